#pragma once

#include "SelectionDialog.h"

class StepMachine;
struct PatternValues;

// "Patterns": marks any of the patterns and uploads the selection ("PTNS"). Made once at
// start-up, shown modally by Edit > Pattern; closing it clears the selection.
class TPatterns : public SelectionDialog {
    Q_OBJECT
public:
    TPatterns(PatternValues &values, StepMachine &steps, QWidget *parent = nullptr);

    void StringGrid4MouseDown();
    void Button1Click();
    void Patterns_OKClick();
};
