#include "DeviceWait.h"

#include "TcpSerialPort.h"

#include <QFileInfo>

#include <utility>

DeviceWait::DeviceWait(LinkClock &clock)
    : m_clock(clock), m_timer(clock.makeTimer(LinkClock::Repeat::Every, [this] { look(); }))
{
}

bool DeviceWait::start(const QString &device, int waitMs, std::function<void()> done)
{
    // exists() follows a symbolic link: a by-id name counts once it leads to a device.
    if (waitMs <= 0 || TcpSerialPort::isTcpName(device) || QFileInfo::exists(device)) {
        done();
        return false;
    }
    m_device = device;
    m_deadlineMs = m_clock.nowMs() + waitMs;
    m_done = std::move(done);
    m_timer->start(kLookMs);
    return true;
}

void DeviceWait::look()
{
    if (!QFileInfo::exists(m_device) && m_clock.nowMs() < m_deadlineMs)
        return;
    m_timer->stop();
    std::exchange(m_done, {})();
}
