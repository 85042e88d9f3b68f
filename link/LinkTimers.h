#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class DeviceLink;
class StepMachine;

// Drives a link from the message loop, the same way in the window, sgxctl, the benchmark and
// the tests: Timer2 every 100 ms runs the receive tick, Timer1 every 500 ms the step tick, and
// a single-shot timer sends each next payload byte when the step machine asks for it.
class LinkTimers : public QObject {
    Q_OBJECT
public:
    static constexpr int kStepTickMs = 500;
    static constexpr int kReceiveTickMs = 100;

    LinkTimers(DeviceLink &link, StepMachine &machine, QObject *parent = nullptr);
    ~LinkTimers() override;

    void start();
    // Stops all three; a payload under way sends nothing more from here.
    void stop();

    // Runs after every step tick (sgxctl looks at the outcome there).
    std::function<void()> afterStepTick;

    [[nodiscard]] QTimer &stepTimer() { return m_timer1; }
    [[nodiscard]] QTimer &receiveTimer() { return m_timer2; }

private:
    StepMachine &m_machine;
    QTimer m_timer1;
    QTimer m_timer2;
    QTimer m_payload;
};
