#pragma once

#include "PickList.h"

struct PatternValues;

// "List of patterns": every pattern by number and name, from which a double click picks the one
// the Pattern window shows and runs. The row last pressed stays highlighted from one showing to
// the next.
class TPattern_List : public PickList {
    Q_OBJECT
public:
    TPattern_List(PatternValues &values, QMdiArea &frame, QWidget *parent = nullptr);

    // "Show List": shown, not modally, its highlight as it was.
    using PickList::showList;

    void StringGrid2MouseDown();
    void StringGrid2DblClick();
};
