#pragma once

#include "DeviceLink.h"
#include "Outcome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <optional>

// Runs the message loop for ms, so timers and the line's events go on meanwhile.
inline void waitMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// The outcomes a benchmark's link ends its operations with, one at a time.
class Outcomes {
public:
    explicit Outcomes(DeviceLink &link)
    {
        QObject::connect(&link, &DeviceLink::finished,
                         [this](Operation, Outcome outcome) { m_ended = outcome; });
    }
    // Forgets one not yet taken.
    void reset() { m_ended.reset(); }
    // The next one, the message loop running until it comes.
    [[nodiscard]] Outcome next()
    {
        while (!m_ended)
            waitMs(5);
        const Outcome outcome = *m_ended;
        m_ended.reset();
        return outcome;
    }

private:
    std::optional<Outcome> m_ended;
};
