#include "PickList.h"

#include "Fonts.h"
#include "HighlightGridModel.h"
#include "OuterGeometry.h"
#include "StringGrid.h"

#include <QVBoxLayout>

PickList::PickList(const Setup &setup, HighlightGridModel *model, std::uint8_t &current, QMdiArea &frame,
                   std::function<void(QMdiArea &frame)> showPick, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_setup(setup), m_model(model), m_current(current), m_frame(frame), m_showPick(std::move(showPick))
{
    setObjectName(setup.name);
    setWindowTitle(setup.caption);
    new OuterGeometry(this, setup.outerSize, OuterGeometry::Sizing::Fixed);

    m_model->setParent(this);
    m_grid = new StringGrid(this);
    m_grid->setObjectName(setup.gridName);
    m_grid->setFont(arialFont(16));
    m_grid->setModel(m_model);
    m_grid->setColumnWidths(setup.columnWidths);
    m_grid->setRowHeight(24);
    m_grid->setAccessibleName(setup.caption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    // From the keyboard, Enter on a row picks it as a double click does.
    connect(m_grid, &StringGrid::keyPressed, this, [this](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            pickCurrentRow();
    });
}

void PickList::showList()
{
    show();
    raise();
    activateWindow();
}

void PickList::highlightCurrentRow()
{
    m_model->setHighlightRow(m_grid->currentRow());
}

void PickList::pickCurrentRow()
{
    const int index = m_grid->currentRow() - 1;
    if (index < 0 || index >= m_model->rowCount())
        return;
    m_current = static_cast<std::uint8_t>(index);
    hide();
    m_showPick(m_frame);
}
