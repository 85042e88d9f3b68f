#include "PacedWriter.h"

#include "SerialLibrary.h"

#include <array>

PacedWriter::PacedWriter(SerialLibrary &serial, LinkClock &clock)
    : m_serial(serial), m_clock(clock),
      m_timer(clock.makeTimer(LinkClock::Repeat::Once, [this] { spacingElapsed(); }))
{
}

void PacedWriter::send(int port, std::vector<std::uint8_t> unit, Answered answered, Done done)
{
    m_queue.push_back(Unit{port, std::move(unit), answered, std::move(done)});
    if (!m_writing)
        startNext();
}

void PacedWriter::cancel()
{
    ++m_generation;
    m_timer->stop();
    m_queue.clear();
    m_next = 0;
    m_writing = false;
}

void PacedWriter::startNext()
{
    if (m_queue.empty())
        return;
    m_writing = true;
    m_next = 0;
    if (m_queue.front().bytes.empty()) {
        finishUnit(true);
        return;
    }
    writeNext();
}

void PacedWriter::writeNext()
{
    const Unit &unit = m_queue.front();
    if (unit.answered == Answered::Yes && m_next + 1 == unit.bytes.size())
        dropWhatTheLineHolds(unit.port);
    const std::uint8_t ch = unit.bytes[m_next++];
    const std::uint64_t generation = m_generation;
    const bool written = m_serial.writeChar(unit.port, ch) == 0;
    // Whatever the port did while writing (a hang-up it reported) may have cancelled us.
    if (generation != m_generation)
        return;
    m_lastWriteMs = m_clock.nowMs();
    if (!written) {
        finishUnit(false);
        return;
    }
    m_timer->start(kCharSpacingMs);
}

void PacedWriter::dropWhatTheLineHolds(int port)
{
    // Bounded, so a line that never stops talking still lets the unit end.
    std::array<std::uint8_t, 1024> scratch{};
    for (int i = 0; i < 1024; ++i)
        if (m_serial.readPort(port, scratch.data(), static_cast<int>(scratch.size())) <= 0)
            break;
}

void PacedWriter::spacingElapsed()
{
    if (!m_writing)
        return;
    // A timer may round its interval; the line gets its full 35 ms however it does.
    const std::int64_t waited = m_clock.nowMs() - m_lastWriteMs;
    if (waited < kCharSpacingMs) {
        m_timer->start(static_cast<int>(kCharSpacingMs - waited));
        return;
    }
    if (m_next < m_queue.front().bytes.size())
        writeNext();
    else
        finishUnit(true);
}

void PacedWriter::finishUnit(bool written)
{
    Done done = std::move(m_queue.front().done);
    m_queue.pop_front();
    m_writing = false;
    if (done)
        done(written);
    // The callback may have queued (and started) the next unit itself.
    if (!m_writing)
        startNext();
}
