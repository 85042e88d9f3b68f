#include "TPattern_List.h"

#include "FrameChildren.h"
#include "PatternGridModels.h"
#include "PatternValues.h"
#include "StringGrid.h"
#include "TPatternForm.h"

TPattern_List::TPattern_List(PatternValues &values, QMdiArea &frame, QWidget *parent)
    : PickList(
          {QStringLiteral("Pattern_List"),
           QStringLiteral("List of patterns"),
           QSize(338, 474),
           QStringLiteral("StringGrid2"),
           {125, 125}},
          makePatternListModel(nullptr), values.currentPatternIndex, frame,
          [](QMdiArea &frame) {
              if (TPatternForm *pattern = focusChildWindow<TPatternForm>(frame))
                  pattern->FormActivate();
          },
          parent)
{
    connect(&grid(), &StringGrid::mousePressed, this, &TPattern_List::StringGrid2MouseDown);
    connect(&grid(), &StringGrid::doubleClickedGrid, this, &TPattern_List::StringGrid2DblClick);
}

void TPattern_List::StringGrid2MouseDown()
{
    highlightCurrentRow();
}

void TPattern_List::StringGrid2DblClick()
{
    pickCurrentRow();
}
