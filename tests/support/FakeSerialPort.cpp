#include "FakeSerialPort.h"

#include <cstring>

void FakeSerialPort::open(const QString &device, OpenDone done)
{
    m_device = device;
    m_hungUp = false;
    ++m_opens;
    if (deferOpen) {
        m_pendingOpen = std::move(done);
        return;
    }
    m_open = openOk;
    done(openOk, openError);
}

void FakeSerialPort::finishOpen(bool ok)
{
    OpenDone done = std::move(m_pendingOpen);
    m_pendingOpen = nullptr;
    m_open = ok;
    if (done)
        done(ok, openError);
}

bool FakeSerialPort::write(std::uint8_t byte)
{
    if (!m_open || m_hungUp)
        return false;
    m_written.push_back({m_clock.nowMs(), byte});
    if (onWrite)
        onWrite(byte);
    return true;
}

int FakeSerialPort::read(std::uint8_t *buffer, int maxBytes)
{
    if (!m_open)
        return 0;
    // What came before the far end went is still read; then it has gone.
    if (m_hungUp && m_incoming.empty())
        return -1;
    int n = 0;
    while (n < maxBytes && n < readChunk && !m_incoming.empty()) {
        buffer[n++] = m_incoming.front();
        m_incoming.pop_front();
    }
    return n;
}

void FakeSerialPort::close()
{
    ++m_closeCalls;
    m_open = false;
    m_pendingOpen = nullptr;
}

void FakeSerialPort::queueAnswer(const std::vector<std::uint8_t> &bytes)
{
    m_incoming.insert(m_incoming.end(), bytes.begin(), bytes.end());
}

void FakeSerialPort::queueAnswer(const char *text)
{
    queueAnswer(std::vector<std::uint8_t>(text, text + std::strlen(text)));
}

std::vector<std::uint8_t> FakeSerialPort::writtenBytes() const
{
    std::vector<std::uint8_t> out;
    out.reserve(m_written.size());
    for (const Written &w : m_written)
        out.push_back(w.byte);
    return out;
}
