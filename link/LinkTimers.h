#pragma once

#include "DeviceLink.h"
#include "LinkClock.h"

#include <memory>

class StepMachine;

// Drives a link from the message loop, the same way in the window, sgxctl, the benchmarks and
// the tests (on a virtual clock there): Timer2 every 100 ms runs the receive tick, Timer1 every
// 500 ms the step tick, and a single-shot timer sends each next payload byte when the step
// machine asks for it. The characters themselves are paced by the link's own writer.
class LinkTimers {
public:
    static constexpr int kStepTickMs = 500;
    static constexpr int kReceiveTickMs = DeviceLink::kReceiveTickMs;

    LinkTimers(DeviceLink &link, StepMachine &machine, LinkClock &clock);
    ~LinkTimers();
    LinkTimers(const LinkTimers &) = delete;
    LinkTimers &operator=(const LinkTimers &) = delete;

    void start();
    // Stops them all; a payload under way sends nothing more from here.
    void stop();

private:
    StepMachine &m_machine;
    std::unique_ptr<LinkTimer> m_timer1;
    std::unique_ptr<LinkTimer> m_stepDue;
    std::unique_ptr<LinkTimer> m_timer2;
    std::unique_ptr<LinkTimer> m_payload;
};
