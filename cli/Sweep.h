#pragma once

#include "CliArguments.h"

#include <QObject>
#include <QTimer>

#include <functional>

class CliOperator;
class StepMachine;
struct SharedValues;

// sgxctl sweep on a line whose generator has answered: for each pair, "TMIX" then "PTIX", then
// the dwell. One line per pair on standard output, tab-separated: time, timing number and name,
// pattern number and name, outcome ("ok" or the message the generator's answer brought).
class Sweep : public QObject {
    Q_OBJECT
public:
    enum Status { AllPassed = 0, SomeFailed = 1, Interrupted = 130 };

    Sweep(const SweepRequest &request, StepMachine &steps, SharedValues &values, CliOperator &ui,
          std::function<void(int status)> finish);

    void start();
    // After every step tick: an exchange that has ended moves the sweep on.
    void stepTicked();
    // Ctrl+C: stop after the exchange in flight, or at once during a dwell.
    void interrupt();

    [[nodiscard]] int pairCount() const;

private:
    enum class Stage { Timing, Pattern, Dwell, Done };

    void startPair();
    // Whether the exchange that just ended failed; its message, if any, in outcome.
    [[nodiscard]] bool exchangeFailed(std::string &outcome);
    void report(const std::string &outcome);
    void end(int status);

    SweepRequest m_request;
    StepMachine &m_steps;
    SharedValues &m_values;
    CliOperator &m_ui;
    std::function<void(int)> m_finish;
    QTimer m_dwell;
    Stage m_stage = Stage::Timing;
    int m_pair = 0;
    int m_failed = 0;
    int m_reported = 0;
    int m_messagesBefore = 0;
    bool m_interrupted = false;
};
