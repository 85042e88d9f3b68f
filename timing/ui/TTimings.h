#pragma once

#include "SelectionDialog.h"

class StepMachine;
struct TimingValues;

// "Timings": marks any of the timings and uploads the selection ("TMGS"). Made once at
// start-up, shown modally by Edit > Timing; closing it clears the selection.
class TTimings : public SelectionDialog {
    Q_OBJECT
public:
    TTimings(TimingValues &values, StepMachine &steps, QWidget *parent = nullptr);

    void StringGrid3MouseDown();
    void StringGrid3MouseUp();
    void Button1Click();
    void Timings_OKClick();
};
