#include "TTiming_List.h"

#include "FrameChildren.h"
#include "OuterGeometry.h"
#include "SharedValues.h"
#include "StringGrid.h"
#include "TTiming.h"
#include "TimingGridModels.h"
#include "TimingTable.h"

#include <QVBoxLayout>

TTiming_List::TTiming_List(SharedValues &values, QMdiArea &frame, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_values(values), m_frame(frame)
{
    setObjectName(QStringLiteral("Timing_List"));
    setWindowTitle(QStringLiteral("List of Timings"));
    new OuterGeometry(this, QSize(588, 512), OuterGeometry::Sizing::Fixed);

    m_model = makeTimingListModel(this);
    m_stringGrid1 = new StringGrid(this);
    m_stringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    m_stringGrid1->setFont(arial);
    m_stringGrid1->setModel(m_model);
    m_stringGrid1->setColumnWidths({125, 125, 125, 125});
    m_stringGrid1->setRowHeight(24);
    m_stringGrid1->setAccessibleName(windowTitle());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stringGrid1);

    connect(m_stringGrid1, &StringGrid::mousePressed, this, &TTiming_List::StringGrid1MouseDown);
    connect(m_stringGrid1, &StringGrid::doubleClickedGrid, this, &TTiming_List::StringGrid1DblClick);
}

void TTiming_List::showWithoutHighlight()
{
    m_model->setHighlightRow(0);
    show();
    raise();
    activateWindow();
}

void TTiming_List::StringGrid1MouseDown()
{
    m_model->setHighlightRow(m_stringGrid1->currentRow());
}

void TTiming_List::StringGrid1DblClick()
{
    const int index = m_stringGrid1->currentRow() - 1;
    if (index < 0 || index >= static_cast<int>(TimingTable.size()))
        return;
    m_values.currentTimingIndex = static_cast<std::uint8_t>(index);
    hide();
    // Its activation shows the pick; an already active child is not activated again, so the
    // activation is run here.
    if (auto *timing = qobject_cast<TTiming *>(focusChildWindow(m_frame, QStringLiteral("Timing"))))
        timing->FormActivate();
}
