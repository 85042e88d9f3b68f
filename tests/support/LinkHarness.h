#pragma once

#include "DeviceLink.h"
#include "DeviceLinkState.h"
#include "FakeSerialPort.h"
#include "LinkRecorder.h"
#include "SerialLine.h"
#include "SharedValues.h"
#include "VirtualClock.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// A line on the test's own thread and clock: what a link is built from in tests.
struct LocalLine final : LineBundle {
    LocalLine(SerialPort &port, LinkClock &clock) : clock_(clock), line_(port, clock) {}
    [[nodiscard]] LineEndpoint &line() override { return line_; }
    [[nodiscard]] LinkClock &clock() override { return clock_; }

    LinkClock &clock_;
    SerialLine line_;
};

// A whole link on a port of type Port (built from the clock and args) and a virtual clock, with
// what the operator would have seen of it.
template <typename Port> struct BasicLinkHarness {
    template <typename... Args>
    explicit BasicLinkHarness(Args &&...args)
        : port(clock, std::forward<Args>(args)...), bundle(port, clock), link(state, values, bundle), ui(link)
    {
    }

    // Connects to COM 1 and answers the presence check, so the generator is present; nothing
    // written or shown yet.
    void connectPresent()
    {
        link.connectPort(PortChoice::named(1, QStringLiteral("/dev/fake"), QStringLiteral("1")));
        runUntilSent();
        answer("OK\r\n");
        runUntilIdle();
        clearWritten();
        ui.events.clear();
        ui.progressValues.clear();
        ui.outcomes.clear();
    }

    // Runs the link for ms of virtual time.
    void run(std::int64_t ms) { clock.advance(ms); }

    // Runs until what is being sent has gone out: nothing more written for longer than a
    // character and the pause after it take.
    void runUntilSent()
    {
        std::int64_t quietSince = clock.nowMs();
        std::size_t count = sentCount();
        while (clock.nowMs() - quietSince < 50) {
            run(5);
            if (sentCount() != count) {
                count = sentCount();
                quietSince = clock.nowMs();
            }
        }
    }

    // Runs until the link is idle again; returns false if it never got there.
    bool runUntilIdle(std::int64_t limitMs = 120000)
    {
        const std::int64_t end = clock.nowMs() + limitMs;
        while (link.LinkBusy() && clock.nowMs() < end)
            run(100);
        return !link.LinkBusy();
    }

    void answer(const char *text)
    {
        if constexpr (std::is_same_v<Port, FakeSerialPort>)
            port.queueAnswer(text);
    }
    [[nodiscard]] std::size_t sentCount() const { return port.written().size(); }
    void clearWritten()
    {
        if constexpr (std::is_same_v<Port, FakeSerialPort>)
            port.clearWritten();
    }
    [[nodiscard]] const std::vector<std::pair<Operation, Outcome>> &outcomes() const { return ui.outcomes; }

    VirtualClock clock;
    Port port;
    LocalLine bundle;
    DeviceLinkState state;
    SharedValues values;
    DeviceLink link;
    LinkRecorder ui;
};

using LinkHarness = BasicLinkHarness<FakeSerialPort>;

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
