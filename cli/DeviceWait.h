#pragma once

#include "LinkClock.h"

#include <QString>

#include <functional>
#include <memory>

// sgxctl --wait: gives a device that is not there yet (an adapter just plugged in, whose node
// udev is still making) a while to appear before the run opens it. A terminal server's name has
// nothing to wait for; whatever the wait ends in, the run goes on and the open says what it finds.
class DeviceWait {
public:
    static constexpr int kLookMs = 100;

    explicit DeviceWait(LinkClock &clock);

    // done() runs once the device exists or waitMs have passed, from the message loop; at once
    // (within this call) when there is nothing to wait for. True when it had to wait.
    [[nodiscard]] bool start(const QString &device, int waitMs, std::function<void()> done);

private:
    void look();

    LinkClock &m_clock;
    std::unique_ptr<LinkTimer> m_timer;
    QString m_device;
    std::int64_t m_deadlineMs = 0;
    std::function<void()> m_done;
};
