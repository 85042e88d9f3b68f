#pragma once

#include <cstdint>

// Time as the link sees it: pacing waits, the short sleeps of the payload loops, and a
// millisecond reading. Production sleeps on a steady clock; tests advance a virtual one.
class LinkClock {
public:
    virtual ~LinkClock() = default;
    [[nodiscard]] virtual std::int64_t nowMs() const = 0;
    // Blocks for at least ms milliseconds without processing any event.
    virtual void waitMs(int ms) = 0;
    // A plain sleep (payload loops).
    virtual void sleepMs(int ms) = 0;
};

class SteadyLinkClock final : public LinkClock {
public:
    [[nodiscard]] std::int64_t nowMs() const override;
    void waitMs(int ms) override;
    void sleepMs(int ms) override;
};
