#include "QtLinkClock.h"

#include <QTimer>

#include <algorithm>

namespace {

class QtLinkTimer final : public LinkTimer {
public:
    QtLinkTimer(LinkClock::Repeat repeat, int speed, std::function<void()> onTimeout) : m_speed(speed)
    {
        const bool once = repeat == LinkClock::Repeat::Once;
        m_timer.setSingleShot(once);
        if (once)
            m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [callback = std::move(onTimeout)] { callback(); });
    }

    void start(int intervalMs) override
    {
        // Rounded up, so a sped-up timer never fires before its time on the link's clock.
        m_timer.start(std::max(0, (intervalMs + m_speed - 1) / m_speed));
    }
    void stop() override { m_timer.stop(); }
    [[nodiscard]] bool isActive() const override { return m_timer.isActive(); }

private:
    int m_speed;
    QTimer m_timer;
};

} // namespace

QtLinkClock::QtLinkClock(int speed) : m_speed(std::max(1, speed))
{
    m_elapsed.start();
}

std::int64_t QtLinkClock::nowMs() const
{
    return m_elapsed.nsecsElapsed() * m_speed / 1000000;
}

std::unique_ptr<LinkTimer> QtLinkClock::makeTimer(Repeat repeat, std::function<void()> onTimeout)
{
    return std::make_unique<QtLinkTimer>(repeat, m_speed, std::move(onTimeout));
}
