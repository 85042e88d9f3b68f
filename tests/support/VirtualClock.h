#pragma once

#include "LinkClock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <utility>

// A clock whose time moves only when a test runs it: advance(ms) fires every timer that falls
// due meanwhile, in order of its time (ties in the order they were started), so the link's
// real timers and pacing run a 28 s upload in milliseconds. What the timers post to the thread
// (the link's and the line's queued signals) is delivered before time moves on, as it would be
// within microseconds. onAdvance lets a fake generator act while time passes.
class VirtualClock final : public LinkClock {
public:
    [[nodiscard]] std::int64_t nowMs() const override { return m_now; }
    [[nodiscard]] std::unique_ptr<LinkTimer> makeTimer(Repeat repeat,
                                                       std::function<void()> onTimeout) override
    {
        return std::make_unique<Timer>(*this, repeat == Repeat::Every, std::move(onTimeout));
    }

    void advance(std::int64_t ms)
    {
        const std::int64_t end = m_now + ms;
        deliverPosted();
        while (!m_due.empty() && m_due.begin()->first.first <= end) {
            const auto next = m_due.begin();
            Timer *timer = next->second;
            moveTo(next->first.first);
            m_due.erase(next);
            timer->fire();
            deliverPosted();
        }
        moveTo(end);
        deliverPosted();
    }

    // Each round delivers what was posted before it; what that posts in turn, the next, until a
    // round finds nothing.
    static void deliverPosted()
    {
        static PostedCalls counter;
        for (int round = 0; round < 64; ++round) {
            const std::uint64_t before = counter.delivered;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            if (counter.delivered == before)
                return;
        }
    }

    std::function<void(std::int64_t)> onAdvance;

private:
    // Counts the queued calls the application delivers.
    struct PostedCalls : QObject {
        PostedCalls()
        {
            if (QCoreApplication::instance() != nullptr)
                QCoreApplication::instance()->installEventFilter(this);
        }
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::MetaCall)
                ++delivered;
            return false;
        }
        std::uint64_t delivered = 0;
    };

    using Key = std::pair<std::int64_t, std::uint64_t>; // due time, order of starting

    class Timer final : public LinkTimer {
    public:
        Timer(VirtualClock &clock, bool repeating, std::function<void()> onTimeout)
            : m_clock(clock), m_repeating(repeating), m_onTimeout(std::move(onTimeout))
        {
        }
        ~Timer() override { stop(); }
        void start(int intervalMs) override
        {
            stop();
            m_interval = intervalMs;
            m_key = m_clock.schedule(m_clock.m_now + intervalMs, this);
            m_active = true;
        }
        void stop() override
        {
            if (m_active)
                m_clock.m_due.erase(m_key);
            m_active = false;
        }
        [[nodiscard]] bool isActive() const override { return m_active; }
        void fire()
        {
            m_active = false;
            // A repeating timer keeps its phase, as Qt's do.
            if (m_repeating) {
                m_key = m_clock.schedule(m_key.first + std::max(1, m_interval), this);
                m_active = true;
            }
            m_onTimeout();
        }

    private:
        VirtualClock &m_clock;
        bool m_repeating;
        std::function<void()> m_onTimeout;
        int m_interval = 0;
        Key m_key{};
        bool m_active = false;
    };

    Key schedule(std::int64_t at, Timer *timer)
    {
        const Key key{at, m_order++};
        m_due.emplace(key, timer);
        return key;
    }
    void moveTo(std::int64_t at)
    {
        if (at <= m_now)
            return;
        m_now = at;
        if (onAdvance)
            onAdvance(m_now);
    }

    std::int64_t m_now = 0;
    std::uint64_t m_order = 0;
    std::map<Key, Timer *> m_due;
};
