#pragma once

#include "LinkClock.h"

#include <chrono>

// Real time with the link's pacing waits skipped: the message loop, its timers and a generator
// on the other end see time pass as usual, but a command line goes out at once, stamped 35 ms
// a character. A whole EDID upload then takes a second or two instead of 28.
class FastForwardClock final : public LinkClock {
public:
    [[nodiscard]] std::int64_t nowMs() const override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now() - m_start).count() + m_skipped;
    }
    void waitMs(int ms) override { m_skipped += ms; }
    void sleepMs(int ms) override { m_skipped += ms; }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::int64_t m_skipped = 0;
};
