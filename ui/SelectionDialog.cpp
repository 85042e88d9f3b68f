#include "SelectionDialog.h"

#include "Fonts.h"
#include "MarkGridModel.h"
#include "MessageBoxes.h"
#include "OuterGeometry.h"
#include "StringGrid.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {
const QString kSelectAll = QStringLiteral("Select All");
// The two buttons and their gap fit the client area a frame leaves of the narrower dialog's 318
// pixels, margins included.
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 32;
constexpr int kButtonGap = 30;
} // namespace

SelectionDialog::SelectionDialog(const Setup &setup,
                                 const std::function<MarkGridModel *(QObject *parent)> &makeModel,
                                 QWidget *parent)
    : ToolDialog(parent), m_setup(setup)
{
    setObjectName(setup.name);
    setWindowTitle(setup.name);
    new OuterGeometry(this, setup.outerSize, OuterGeometry::Sizing::Fixed);
    setFont(arialFont(16));

    // FormCreate: nothing selected.
    m_model = makeModel(this);
    m_model->setAll(false);
    m_grid = new StringGrid(this);
    m_grid->setObjectName(setup.gridName);
    m_grid->setModel(m_model);
    m_grid->setColumnWidths(setup.columnWidths);
    m_grid->setRowHeight(24);
    m_grid->setAccessibleName(windowTitle());
    m_grid->setFixedWidth(m_grid->fittingWidth());

    m_selectAll = new QPushButton(kSelectAll, this);
    m_selectAll->setObjectName(QStringLiteral("Button1"));
    m_uploadButton = new QPushButton(QStringLiteral("Upload"), this);
    m_uploadButton->setObjectName(setup.uploadName);
    for (QPushButton *button : {m_selectAll, m_uploadButton}) {
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->setAutoDefault(false);
    }
    // The client area is what the frame leaves of the outer size: the buttons keep to its foot.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_selectAll);
    buttons->addSpacing(kButtonGap);
    buttons->addWidget(m_uploadButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 12);
    layout->setSpacing(12);
    layout->addWidget(m_grid, 1, Qt::AlignHCenter);
    layout->addLayout(buttons);
}

void SelectionDialog::FormShow()
{
    m_grid->setCurrentCell(1, 0);
}

void SelectionDialog::toggleAtCurrentCell()
{
    if (m_grid->currentRow() >= 1 && m_grid->currentColumn() == 0)
        m_model->toggle(m_grid->currentRow() - 1);
}

void SelectionDialog::selectOrClearAll()
{
    const bool selectAll = m_selectAll->text() == kSelectAll;
    m_model->setAll(selectAll);
    m_selectAll->setText(selectAll ? m_setup.unSelectAllCaption : kSelectAll);
    m_grid->setCurrentCell(1, static_cast<int>(m_setup.columnWidths.size()) - 1);
}

void SelectionDialog::upload()
{
    if (m_model->markedCount() == 0) {
        showProgramMessage(this, m_setup.nothingSelectedMessage);
        return;
    }
    emit uploadRequested();
}

void SelectionDialog::done(int result)
{
    // FormClose.
    std::vector<std::uint8_t> accepted;
    for (int row = 0; row < m_model->rowCount(); ++row)
        accepted.push_back(m_model->marked(row) ? 1 : 0);
    emit closedWith(accepted);
    m_model->setAll(false);
    QDialog::done(result);
}
