#pragma once

#include "LinkRequest.h"
#include "SelectionDialog.h"

struct TimingValues;

// "Timings": marks any of the timings and uploads the selection ("TMGS"). Made once at
// start-up, shown modally by Edit > Timing; closing it clears the selection.
class TTimings : public SelectionDialog {
    Q_OBJECT
public:
    explicit TTimings(TimingValues &values, QWidget *parent = nullptr);

    void StringGrid3MouseDown();
    void StringGrid3MouseUp();
    void Button1Click();
    void Timings_OKClick();

signals:
    // Every upload, and the flags a pending one is to take when closing.
    void linkRequested(const LinkRequest &request);
};
