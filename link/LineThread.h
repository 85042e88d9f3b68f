#pragma once

#include "LineEndpoint.h"
#include "QtLinkClock.h"

#include <QThread>

#include <functional>
#include <memory>

class SerialPort;

// The programs' line: the port, its pacing and the framing of its answers on a thread of their
// own, so the characters keep their 35 ms whatever the windows are doing (and Qt requires a
// device to be used on the thread that made it). The link's thread reaches it by queued signals
// only and never waits for it.
class LineThread final : public LineBundle {
public:
    // Runs on the line thread, which owns what it makes.
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

    // speed: the link's time runs that many times faster than the wall clock (window tests).
    explicit LineThread(PortFactory makePort, int speed = 1);
    ~LineThread() override;
    LineThread(const LineThread &) = delete;
    LineThread &operator=(const LineThread &) = delete;

    [[nodiscard]] LineEndpoint &line() override;
    [[nodiscard]] LinkClock &clock() override { return m_clock; }

private:
    class Host;

    QThread m_thread;
    QtLinkClock m_clock;
    Host *m_host = nullptr; // lives on the line thread, deleted there
};
