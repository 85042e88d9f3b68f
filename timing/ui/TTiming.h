#pragma once

#include "LinkRequest.h"

#include <QWidget>

#include <array>

class NumberSelectGroup;
class QLineEdit;
class TTiming_List;
struct TimingValues;
struct TimingTexts;

// The Timing output window: a child of the frame, made by Output > Timing when none is open and
// destroyed when closed. It shows every parameter of one timing and runs the one that
// currentTimingIndex names.
class TTiming : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLeft = 10;
    static constexpr int kTop = 10;
    static constexpr int kWidth = 820;
    static constexpr int kHeight = 520;

    TTiming(TimingValues &values, TTiming_List &list, QWidget *parent = nullptr);

    // Writes every field of entry index.
    void ShowTiming(int index);
    // On every activation: back to the entry of currentTimingIndex.
    void FormActivate();

    void TimingComboBox1Change();
    void TimingComboBox1KeyDown(int key);
    void UpDown1ChangingEx(bool up);
    void Button1Click();
    void Run_TimingClick();

signals:
    void linkRequested(const LinkRequest &request);

private:
    TTiming_List &m_list;

    // The number box, spinner, name box and buttons, and their picking shared with the Pattern
    // window.
    NumberSelectGroup *m_groupBox1 = nullptr;
    // The read-only fields in the order of TimingTexts' members after the number and the name.
    std::array<QLineEdit *, 21> m_fields{};
};
