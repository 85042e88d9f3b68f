#pragma once

#include "DeviceLink.h"
#include "Outcome.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <optional>

// Runs the message loop for ms, so timers and the line's events go on meanwhile, sleeping
// between them (a benchmark measures what the program costs, not its own polling).
inline void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The outcomes a benchmark's link ends its operations with, one at a time.
class Outcomes {
public:
    explicit Outcomes(DeviceLink &link)
    {
        QObject::connect(&link, &DeviceLink::finished, [this](Operation, Outcome outcome) {
            m_ended = outcome;
            m_waiting.quit();
        });
    }
    // Forgets one not yet taken.
    void reset() { m_ended.reset(); }
    // The next one, the message loop running (and sleeping) until it comes.
    [[nodiscard]] Outcome next()
    {
        if (!m_ended)
            m_waiting.exec();
        const Outcome outcome = *m_ended;
        m_ended.reset();
        return outcome;
    }

private:
    std::optional<Outcome> m_ended;
    QEventLoop m_waiting;
};
