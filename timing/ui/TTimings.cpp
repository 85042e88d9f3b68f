#include "TTimings.h"

#include "MessageBoxes.h"
#include "OuterGeometry.h"
#include "SharedValues.h"
#include "StepMachine.h"
#include "StringGrid.h"
#include "TimingGridModels.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {
const QString kSelectAll = QStringLiteral("Select All");
const QString kUnSelectAll = QStringLiteral(" UnSelect All");
constexpr int kSpareColumn = 5;
} // namespace

TTimings::TTimings(SharedValues &values, StepMachine &steps, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_values(values), m_steps(steps)
{
    setObjectName(QStringLiteral("Timings"));
    setWindowTitle(QStringLiteral("Timings"));
    new OuterGeometry(this, QSize(603, 406), OuterGeometry::Sizing::Fixed);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    setFont(arial);

    // FormCreate
    m_values.timingSelection.fill(0);
    m_model = makeTimingSelectionModel(m_values.timingSelection, this);
    m_stringGrid3 = new StringGrid(this);
    m_stringGrid3->setObjectName(QStringLiteral("StringGrid3"));
    m_stringGrid3->setModel(m_model);
    m_stringGrid3->setColumnWidths({48, 116, 115, 115, 115, 12});
    m_stringGrid3->setRowHeight(24);
    m_stringGrid3->setAccessibleName(windowTitle());
    m_stringGrid3->setFixedWidth(m_stringGrid3->fittingWidth());

    m_button1 = new QPushButton(kSelectAll, this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_timingsOK = new QPushButton(QStringLiteral("Upload"), this);
    m_timingsOK->setObjectName(QStringLiteral("Timings_OK"));
    for (QPushButton *button : {m_button1, m_timingsOK}) {
        button->setFixedSize(130, 32);
        button->setAutoDefault(false);
    }
    // The client area is what the frame leaves of the outer size: the buttons keep to its foot.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    buttons->addSpacing(30);
    buttons->addWidget(m_timingsOK);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 12);
    layout->setSpacing(12);
    layout->addWidget(m_stringGrid3, 1, Qt::AlignHCenter);
    layout->addLayout(buttons);

    connect(m_stringGrid3, &StringGrid::mousePressed, this, &TTimings::StringGrid3MouseDown);
    connect(m_stringGrid3, &StringGrid::mouseReleased, this, &TTimings::StringGrid3MouseUp);
    connect(m_button1, &QPushButton::clicked, this, &TTimings::Button1Click);
    connect(m_timingsOK, &QPushButton::clicked, this, &TTimings::Timings_OKClick);
}

void TTimings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_stringGrid3->setCurrentCell(1, 0);
}

void TTimings::StringGrid3MouseDown()
{
    // While the button is held the grid shows its own highlight of the current cell.
    m_model->setOwnDrawing(true);
    if (m_stringGrid3->currentRow() >= 1 && m_stringGrid3->currentColumn() == 0)
        m_model->toggle(m_stringGrid3->currentRow() - 1);
}

void TTimings::StringGrid3MouseUp()
{
    m_model->setOwnDrawing(false);
}

void TTimings::Button1Click()
{
    const bool selectAll = m_button1->text() == kSelectAll;
    m_model->setAll(selectAll);
    m_button1->setText(selectAll ? kUnSelectAll : kSelectAll);
    m_stringGrid3->setCurrentCell(1, kSpareColumn);
}

void TTimings::Timings_OKClick()
{
    if (m_model->markedCount() == 0) {
        showProgramMessage(this, QStringLiteral("Please Select the Timing index"));
        return;
    }
    m_steps.StartLinkOperation(Operation::TMGS);
}

void TTimings::done(int result)
{
    // FormClose. An upload still waiting for its acknowledgment takes the selection that Upload
    // accepted with it; the generator must not be told to offer none.
    if (m_steps.payloadPending(Operation::TMGS))
        m_steps.handOverSelection(Operation::TMGS, std::vector<std::uint8_t>(m_values.timingSelection.begin(),
                                                                             m_values.timingSelection.end()));
    m_model->setAll(false);
    QDialog::done(result);
}
