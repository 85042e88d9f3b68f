#pragma once

#include "LinkRequest.h"

#include <QWidget>

class NumberSelectGroup;
class TPattern_List;
struct PatternValues;

// The Pattern output window: a child of the frame, made by Output > Pattern when none is open
// and destroyed when closed. It shows one pattern's number and name and runs the one that
// currentPatternIndex names.
class TPatternForm : public QWidget {
    Q_OBJECT
public:
    // The outer size in the frame; the frame chooses the place, as for any new child.
    static constexpr int kWidth = 693;
    static constexpr int kHeight = 520;

    TPatternForm(PatternValues &values, TPattern_List &list, QWidget *parent = nullptr);

    // The number and name of entry index.
    void ShowPattern(int index);
    // On every activation: back to the entry of currentPatternIndex.
    void FormActivate();

    // The box reports a choice from its list and a change of its text alike.
    void PatternComboBox3Change();
    void PatternComboBox3KeyDown(int key);
    void UpDown1ChangingEx(bool up);
    void ShowButton1Click();
    void Run_PatternClick();

signals:
    void linkRequested(const LinkRequest &request);

private:
    TPattern_List &m_list;
    // The number box, spinner, name box and buttons, and their picking shared with the Timing
    // window.
    NumberSelectGroup *m_groupBox1 = nullptr;
};
