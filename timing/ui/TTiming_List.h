#pragma once

#include "PickList.h"

struct TimingValues;

// "List of Timings": every timing with its rates, from which a double click picks the one the
// Timing window shows and runs. Every showing starts without a highlighted row.
class TTiming_List : public PickList {
    Q_OBJECT
public:
    TTiming_List(TimingValues &values, QMdiArea &frame, QWidget *parent = nullptr);

    // "Show List": no row highlighted, then shown, not modally.
    void showWithoutHighlight();

    void StringGrid1MouseDown();
    void StringGrid1DblClick();
};
