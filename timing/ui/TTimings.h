#pragma once

#include <QDialog>

class MarkGridModel;
class QPushButton;
class StepMachine;
class StringGrid;
struct SharedValues;

// "Timings": marks any of the timings and uploads the selection ("TMGS"). Made once at
// start-up, shown modally by Edit > Timing; closing it clears the selection.
class TTimings : public QDialog {
    Q_OBJECT
public:
    TTimings(SharedValues &values, StepMachine &steps, QWidget *parent = nullptr);

    void StringGrid3MouseDown();
    void StringGrid3MouseUp();
    void Button1Click();
    void Timings_OKClick();

    [[nodiscard]] MarkGridModel &model() { return *m_model; }

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    SharedValues &m_values;
    StepMachine &m_steps;
    MarkGridModel *m_model = nullptr;
    StringGrid *m_stringGrid3 = nullptr;
    QPushButton *m_timingsOK = nullptr;
    QPushButton *m_button1 = nullptr;
};
