#pragma once

#include "LinkClock.h"
#include "LinkRequest.h"

#include <QObject>

#include <memory>

class SystemPortList;

// Waits for a port that went away to come back: its device path again (a /dev/serial/by-id link
// that udev makes anew, say), the same USB adapter under whatever name it now has, or a terminal
// server, which is simply tried again now and then. It only says so; reopening is the link's.
class PortWatcher final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLookMs = 500;
    static constexpr int kServerRetryMs = 3000;

    PortWatcher(const SystemPortList &system, LinkClock &clock);

    // The port as it was opened.
    void watch(const PortChoice &port);
    void stop();
    [[nodiscard]] bool watching() const { return m_watched.has_value(); }

signals:
    // Back, possibly under another device name.
    void returned(const PortChoice &port);

private:
    void look();

    const SystemPortList &m_system;
    std::unique_ptr<LinkTimer> m_timer;
    std::optional<PortChoice> m_watched;
    QString m_canonical; // what the device path led to when it was opened
    bool m_gone = false; // seen missing since the watch began
    int m_looks = 0;
};
