#pragma once

#include "DeviceLink.h"
#include "DeviceLinkState.h"
#include "FakeSerialLibrary.h"
#include "RecordingOperator.h"
#include "SharedValues.h"
#include "StepMachine.h"
#include "VirtualClock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A whole link on a port of type Port (built from the clock and args) and a virtual clock,
// with both timers and the payload timer driven as the message loop would drive them: a tick
// that falls due while the thread is busy sending runs late, once, and before a payload byte
// that falls due at the same time.
template <typename Port> struct BasicLinkHarness {
    template <typename... Args>
    explicit BasicLinkHarness(Args &&...args)
        : port(clock, std::forward<Args>(args)...), link(state, port, clock, ui), machine(link, values)
    {
        machine.onPayloadDue = [this](int pauseMs) { nextPayload = clock.nowMs() + pauseMs; };
    }

    // Opens COM 1 directly (no presence check) and marks the generator present.
    void connectPresent()
    {
        if (link.OpenLink(0))
            return;
        state.portOpen = 1;
        state.devicePresent = 1;
        port.clearWritten();
        ui.events.clear();
    }

    // Runs the timers for ms of virtual time.
    void run(std::int64_t ms)
    {
        const std::int64_t end = clock.nowMs() + ms;
        while (true) {
            const bool payloadDue = nextPayload >= 0;
            const std::int64_t next =
                std::min({nextReceive, nextStep, payloadDue ? nextPayload : nextReceive});
            if (next > end)
                break;
            if (clock.nowMs() < next)
                clock.advance(next - clock.nowMs());
            if (nextReceive == next) {
                reschedule(nextReceive, 100);
                link.receiveTick();
            } else if (nextStep == next) {
                reschedule(nextStep, 500);
                machine.stepTick();
            } else {
                nextPayload = -1;
                if (beforePayloadByte)
                    beforePayloadByte();
                machine.payloadTick();
            }
        }
        if (clock.nowMs() < end)
            clock.advance(end - clock.nowMs());
    }

    // Runs until the link is idle again; returns false if it never got there.
    bool runUntilIdle(std::int64_t limitMs = 120000)
    {
        const std::int64_t end = clock.nowMs() + limitMs;
        while (link.LinkBusy() && clock.nowMs() < end)
            run(100);
        return !link.LinkBusy();
    }

    void reschedule(std::int64_t &next, std::int64_t period)
    {
        next += period;
        while (next <= clock.nowMs())
            next += period;
    }

    VirtualClock clock;
    Port port;
    RecordingOperator ui;
    DeviceLinkState state;
    SharedValues values;
    DeviceLink link;
    StepMachine machine;
    std::int64_t nextReceive = 100;
    std::int64_t nextStep = 500;
    std::int64_t nextPayload = -1; // when the step machine wants its next payload byte
    // Runs where the message loop would run other work between two payload bytes.
    std::function<void()> beforePayloadByte;
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
