#include "FakeSerialLibrary.h"

#include <cstring>

int FakeSerialLibrary::openPort(int port)
{
    if (openResult != 0)
        return openResult;
    m_open = true;
    m_port = port;
    return 0;
}

int FakeSerialLibrary::setLineParameters(int, int baudCode, int modeCode)
{
    m_baud = baudCode;
    m_mode = modeCode;
    return lineParametersResult;
}

int FakeSerialLibrary::secondSetup(int, int)
{
    return secondSetupResult;
}

int FakeSerialLibrary::writeChar(int port, int ch)
{
    if (!m_open || port != m_port || m_hungUp)
        return -1;
    const auto byte = static_cast<std::uint8_t>(ch);
    m_written.push_back({m_clock.nowMs(), byte});
    if (onWrite)
        onWrite(byte);
    return 0;
}

int FakeSerialLibrary::readPort(int port, std::uint8_t *buffer, int maxBytes)
{
    if (!m_open || port != m_port || m_hungUp)
        return 0;
    int n = 0;
    while (n < maxBytes && n < readChunk && !m_incoming.empty()) {
        buffer[n++] = m_incoming.front();
        m_incoming.pop_front();
    }
    return n;
}

int FakeSerialLibrary::closePort(int)
{
    ++m_closeCalls;
    m_open = false;
    return 0;
}

void FakeSerialLibrary::queueAnswer(const std::vector<std::uint8_t> &bytes)
{
    m_incoming.insert(m_incoming.end(), bytes.begin(), bytes.end());
}

void FakeSerialLibrary::queueAnswer(const char *text)
{
    queueAnswer(std::vector<std::uint8_t>(text, text + std::strlen(text)));
}

std::vector<std::uint8_t> FakeSerialLibrary::writtenBytes() const
{
    std::vector<std::uint8_t> out;
    out.reserve(m_written.size());
    for (const Written &w : m_written)
        out.push_back(w.byte);
    return out;
}
