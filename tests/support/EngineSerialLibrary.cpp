#include "EngineSerialLibrary.h"

#include <algorithm>

int EngineSerialLibrary::openPort(int port)
{
    discardArrived();
    m_open = true;
    m_port = port;
    return 0;
}

int EngineSerialLibrary::setLineParameters(int port, int baudCode, int modeCode)
{
    return usable(port) && baudCode == 13 && modeCode == 3 ? 0 : -1;
}

int EngineSerialLibrary::secondSetup(int port, int arg)
{
    return usable(port) && arg == 0 ? 0 : -1;
}

int EngineSerialLibrary::writeChar(int port, int ch)
{
    if (!usable(port) || m_engine.hungUp())
        return -1;
    const auto byte = static_cast<std::uint8_t>(ch);
    m_written.push_back({m_clock.nowMs(), byte});
    m_engine.receive(byte, m_clock.nowMs());
    return 0;
}

int EngineSerialLibrary::readPort(int port, std::uint8_t *buffer, int maxBytes)
{
    if (!usable(port) || m_engine.hungUp() || maxBytes <= 0)
        return 0;
    const std::vector<std::uint8_t> due = m_engine.takeDue(m_clock.nowMs());
    m_arrived.insert(m_arrived.end(), due.begin(), due.end());
    const auto n =
        static_cast<std::ptrdiff_t>(std::min(m_arrived.size(), static_cast<std::size_t>(maxBytes)));
    std::copy_n(m_arrived.begin(), n, buffer);
    m_arrived.erase(m_arrived.begin(), m_arrived.begin() + n);
    return static_cast<int>(n);
}

int EngineSerialLibrary::closePort(int)
{
    m_open = false;
    discardArrived();
    return 0;
}

void EngineSerialLibrary::discardArrived()
{
    m_arrived.clear();
    (void)m_engine.takeDue(m_clock.nowMs());
}
