#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// One timer of the link: started with an interval, it calls back once (single-shot) or every
// interval (repeating) until stopped.
class LinkTimer {
public:
    virtual ~LinkTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isActive() const = 0;
};

// Time as the link sees it: a millisecond reading and timers that run from the message loop.
// The programs use Qt's timers on the steady clock; tests a virtual clock that runs a 28 s
// upload in milliseconds. Nothing here ever blocks.
class LinkClock {
public:
    enum class Repeat { Once, Every };

    virtual ~LinkClock() = default;
    [[nodiscard]] virtual std::int64_t nowMs() const = 0;
    [[nodiscard]] virtual std::unique_ptr<LinkTimer> makeTimer(Repeat repeat,
                                                               std::function<void()> onTimeout) = 0;
};
