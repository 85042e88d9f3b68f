#pragma once

#include "LinkRequest.h"
#include "SelectionDialog.h"

struct PatternValues;

// "Patterns": marks any of the patterns and uploads the selection ("PTNS"). Made once at
// start-up, shown modally by Edit > Pattern; closing it clears the selection.
class TPatterns : public SelectionDialog {
    Q_OBJECT
public:
    explicit TPatterns(PatternValues &values, QWidget *parent = nullptr);

    void StringGrid4MouseDown();
    void Button1Click();
    void Patterns_OKClick();

signals:
    // Every upload, and the flags a pending one is to take when closing.
    void linkRequested(const LinkRequest &request);
};
