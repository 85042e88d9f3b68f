#include "TTiming_List.h"

#include "FrameChildren.h"
#include "StringGrid.h"
#include "TTiming.h"
#include "TimingGridModels.h"
#include "TimingValues.h"

TTiming_List::TTiming_List(TimingValues &values, QMdiArea &frame, QWidget *parent)
    : PickList(
          {QStringLiteral("Timing_List"),
           QStringLiteral("List of Timings"),
           QSize(588, 512),
           QStringLiteral("StringGrid1"),
           {125, 125, 125, 125}},
          makeTimingListModel(nullptr), values.currentTimingIndex, frame,
          [](QMdiArea &frame) {
              if (TTiming *timing = focusChildWindow<TTiming>(frame))
                  timing->FormActivate();
          },
          parent)
{
    connect(&grid(), &StringGrid::mousePressed, this, &TTiming_List::StringGrid1MouseDown);
    connect(&grid(), &StringGrid::doubleClickedGrid, this, &TTiming_List::StringGrid1DblClick);
}

void TTiming_List::showWithoutHighlight()
{
    model().setHighlightRow(0);
    showList();
}

void TTiming_List::StringGrid1MouseDown()
{
    highlightCurrentRow();
}

void TTiming_List::StringGrid1DblClick()
{
    pickCurrentRow();
}
