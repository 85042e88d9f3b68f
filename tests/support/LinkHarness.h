#pragma once

#include "DeviceLink.h"
#include "DeviceLinkState.h"
#include "FakeSerialLibrary.h"
#include "LinkTimers.h"
#include "PacedWriter.h"
#include "RecordingOperator.h"
#include "SharedValues.h"
#include "StepMachine.h"
#include "VirtualClock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A whole link on a port of type Port (built from the clock and args), driven by its real
// LinkTimers on a virtual clock, with the outcomes it delivered.
template <typename Port> struct BasicLinkHarness {
    template <typename... Args>
    explicit BasicLinkHarness(Args &&...args)
        : port(clock, std::forward<Args>(args)...), writer(port, clock), link(state, port, writer, clock, ui),
          machine(link, values), timers(link, machine, clock)
    {
        QObject::connect(&machine, &StepMachine::finished,
                         [this](Operation op, Outcome outcome) { outcomes.emplace_back(op, outcome); });
        timers.start();
    }

    // Opens COM 1 directly (no presence check) and marks the generator present.
    void connectPresent()
    {
        if (!link.OpenLink(0))
            return;
        state.portOpen = 1;
        state.devicePresent = 1;
        port.clearWritten();
        ui.events.clear();
    }

    // Runs the link for ms of virtual time.
    void run(std::int64_t ms) { clock.advance(ms); }

    // Runs until what is being sent has gone out.
    void runUntilSent()
    {
        for (int i = 0; i < 100000 && link.sending(); ++i)
            run(5);
    }

    // Runs until the link is idle again; returns false if it never got there.
    bool runUntilIdle(std::int64_t limitMs = 120000)
    {
        const std::int64_t end = clock.nowMs() + limitMs;
        while (link.LinkBusy() && clock.nowMs() < end)
            run(100);
        return !link.LinkBusy();
    }

    VirtualClock clock;
    Port port;
    PacedWriter writer;
    RecordingOperator ui;
    DeviceLinkState state;
    SharedValues values;
    DeviceLink link;
    StepMachine machine;
    LinkTimers timers;
    std::vector<std::pair<Operation, Outcome>> outcomes;
};

using LinkHarness = BasicLinkHarness<FakeSerialLibrary>;

inline std::vector<std::uint8_t> bytesOf(std::initializer_list<int> list)
{
    std::vector<std::uint8_t> out;
    for (int v : list)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline std::vector<std::uint8_t> commandLine(const std::string &text, int argument)
{
    std::vector<std::uint8_t> out(text.begin(), text.end());
    for (int v : {0x20, argument, 0x20, 0x0A, 0x0D})
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline std::vector<std::uint8_t> framed(int value)
{
    return bytesOf({0x20, value, 0x20});
}

inline std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
