#pragma once

#include "LinkClock.h"

#include <QElapsedTimer>

// The link's time on Qt's timers and the steady clock. Single-shot timers are precise (the
// pacing of characters); the two ticks keep Qt's default. With a speed above 1 the link's time
// runs that many times faster than the wall clock, timers and readings alike (window tests).
class QtLinkClock final : public LinkClock {
public:
    explicit QtLinkClock(int speed = 1);

    [[nodiscard]] std::int64_t nowMs() const override;
    [[nodiscard]] std::unique_ptr<LinkTimer> makeTimer(Repeat repeat,
                                                       std::function<void()> onTimeout) override;

private:
    int m_speed;
    QElapsedTimer m_elapsed;
};
