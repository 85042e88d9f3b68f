#pragma once

#include "LinkClock.h"

#include <functional>

// A clock that advances instantly; onAdvance lets a fake generator act while time passes.
class VirtualClock final : public LinkClock {
public:
    [[nodiscard]] std::int64_t nowMs() const override { return m_now; }
    void waitMs(int ms) override { advance(ms); }
    void sleepMs(int ms) override { advance(ms); }
    void advance(std::int64_t ms)
    {
        m_now += ms;
        if (onAdvance)
            onAdvance(m_now);
    }

    std::function<void(std::int64_t)> onAdvance;

private:
    std::int64_t m_now = 0;
};
