#include "EngineSerialPort.h"

#include <algorithm>

void EngineSerialPort::open(const QString &, OpenDone done)
{
    discardArrived();
    m_open = true;
    done(true, {});
}

bool EngineSerialPort::write(std::uint8_t byte)
{
    if (!m_open || m_engine.hungUp())
        return false;
    m_written.push_back({m_clock.nowMs(), byte});
    m_engine.receive(byte, m_clock.nowMs());
    return true;
}

int EngineSerialPort::read(std::uint8_t *buffer, int maxBytes)
{
    if (!m_open || maxBytes <= 0)
        return 0;
    if (m_engine.hungUp())
        return -1;
    const std::vector<std::uint8_t> due = m_engine.takeDue(m_clock.nowMs());
    m_arrived.insert(m_arrived.end(), due.begin(), due.end());
    const auto n =
        static_cast<std::ptrdiff_t>(std::min(m_arrived.size(), static_cast<std::size_t>(maxBytes)));
    std::copy_n(m_arrived.begin(), n, buffer);
    m_arrived.erase(m_arrived.begin(), m_arrived.begin() + n);
    return static_cast<int>(n);
}

void EngineSerialPort::close()
{
    m_open = false;
    discardArrived();
}

void EngineSerialPort::discardArrived()
{
    m_arrived.clear();
    (void)m_engine.takeDue(m_clock.nowMs());
}
