#include "SerialLine.h"

#include "SerialPort.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <array>

namespace {

// Whole by what it holds: its acknowledgment, its length, a line end or a full buffer.
bool wholeByContent(const std::vector<std::uint8_t> &answer, const std::string &acknowledgment,
                    std::size_t wholeLength)
{
    if (answer.size() >= SerialLine::kAnswerLimit || (wholeLength > 0 && answer.size() >= wholeLength))
        return true;
    if (!acknowledgment.empty() && std::search(answer.begin(), answer.end(), acknowledgment.begin(),
                                               acknowledgment.end()) != answer.end())
        return true;
    const std::size_t n = answer.size();
    return n >= 2 && answer[n - 2] == '\r' && answer[n - 1] == '\n';
}

} // namespace

SerialLine::SerialLine(SerialPort &port, LinkClock &clock, QObject *parent)
    : LineEndpoint(parent), m_port(port), m_clock(clock),
      m_charTimer(clock.makeTimer(LinkClock::Repeat::Once, [this] { spacingElapsed(); })),
      m_pauseTimer(clock.makeTimer(LinkClock::Repeat::Once, [this] { writeNext(); })),
      m_pollTimer(clock.makeTimer(LinkClock::Repeat::Every, [this] { readArrived(); })),
      m_boundTimer(clock.makeTimer(LinkClock::Repeat::Once, [this] { giveUpWaiting(); }))
{
}

SerialLine::~SerialLine()
{
    // Nobody is told any more. The rest of a framed byte under way still goes out, paced (70 ms at
    // the most, as the program ends), so the generator is not left half a frame; then the port closes.
    disconnect();
    const std::size_t left = m_open ? leftInUnit() : 0;
    for (std::size_t i = 0; left <= 2 && i < left; ++i) {
        QThread::msleep(kCharSpacingMs);
        if (!m_port.write(m_job->job.units[m_job->unit].bytes[m_job->next + i]))
            break;
    }
    m_job.reset();
    closeNow();
}

LineEvent SerialLine::stamped(LineEvent::Kind kind, std::uint64_t serial) const
{
    LineEvent e;
    e.kind = kind;
    e.serial = serial;
    e.atMs = m_clock.nowMs();
    return e;
}

void SerialLine::say(LineEvent::Kind kind, std::uint64_t serial, QByteArray bytes)
{
    LineEvent e = stamped(kind, serial);
    e.bytes = std::move(bytes);
    emit event(e);
}

void SerialLine::tellUnit(std::size_t count)
{
    Going &g = *m_job;
    LineEvent out = stamped(LineEvent::Kind::UnitOut, g.job.serial);
    out.unit = static_cast<int>(g.unit);
    const std::vector<std::uint8_t> &unit = g.job.units[g.unit].bytes;
    out.bytes = QByteArray(reinterpret_cast<const char *>(unit.data()), static_cast<int>(count));
    out.times = std::move(g.times);
    g.times.clear();
    emit event(out);
}

void SerialLine::tellJobDone(std::uint64_t serial, bool written)
{
    LineEvent done = stamped(LineEvent::Kind::JobDone, serial);
    done.written = written;
    emit event(done);
}

std::size_t SerialLine::leftInUnit() const
{
    if (!m_job || m_job->next == 0)
        return 0;
    return m_job->job.units[m_job->unit].bytes.size() - m_job->next;
}

void SerialLine::request(const LineRequest &request)
{
    if (request.kind == LineRequest::Kind::Close) {
        close();
        return;
    }
    m_requests.push_back(request);
    pump();
}

void SerialLine::pump()
{
    while (!m_job && !m_opening && !m_closeAfterUnit && !m_requests.empty()) {
        LineRequest next = std::move(m_requests.front());
        m_requests.pop_front();
        if (next.kind == LineRequest::Kind::Open)
            open(next.serial, next.device);
        else if (m_open)
            start(std::move(next.job));
        else
            refuse(next.job.serial);
    }
}

void SerialLine::refuse(std::uint64_t serial)
{
    // No port to write to: the job ends at once, unwritten.
    tellJobDone(serial, false);
}

void SerialLine::open(std::uint64_t serial, const QString &device)
{
    closeNow();
    m_opening = true;
    const std::uint64_t generation = m_generation;
    m_port.open(device, [this, serial, generation](bool ok, const OpenError &error) {
        if (generation != m_generation)
            return;
        m_opening = false;
        if (ok) {
            m_open = true;
            m_hungUpSaid = false;
            m_tail = 0;
            m_lastByteMs = kLongAgo;
            m_serial = serial;
            m_pollTimer->start(kIdlePollMs);
            say(LineEvent::Kind::Opened, serial);
        } else {
            LineEvent e = stamped(LineEvent::Kind::OpenFailed, serial);
            e.error = error;
            emit event(e);
        }
        // The open may have answered from inside itself: go on from the message loop.
        QMetaObject::invokeMethod(
            this, [this] { pump(); }, Qt::QueuedConnection);
    });
}

void SerialLine::close()
{
    // Queued work behind the close was for the line being closed.
    m_requests.erase(std::remove_if(m_requests.begin(), m_requests.end(),
                                    [](const LineRequest &r) { return r.kind == LineRequest::Kind::Send; }),
                     m_requests.end());
    // A unit once started goes out whole when little of it is left (the rest of a framed byte),
    // so the generator is never left a lone 0x20 of one.
    if (const std::size_t left = leftInUnit(); left > 0 && left <= 2) {
        m_closeAfterUnit = true;
        return;
    }
    closeNow();
    pump();
}

void SerialLine::closeNow()
{
    // A unit cut short is told as far as it went.
    if (m_job && m_job->next > 0)
        tellUnit(m_job->next);
    ++m_generation;
    m_charTimer->stop();
    m_pauseTimer->stop();
    m_pollTimer->stop();
    m_boundTimer->stop();
    m_job.reset();
    m_awaiting = false;
    m_closeAfterUnit = false;
    const bool inUse = m_open || m_opening;
    m_opening = false;
    if (m_open)
        say(LineEvent::Kind::Closed, m_serial);
    m_open = false;
    if (inUse)
        m_port.close();
}

void SerialLine::start(LineJob job)
{
    // What the line holds before a job is not its answer: it goes out under the job it came
    // during, which the link no longer waits for; so does the rest of an answer still coming.
    readArrived();
    const bool ended = m_beforeLast == '\r' && m_lastByte == '\n';
    if (ended || m_clock.nowMs() - m_lastByteMs >= kTailGapMs)
        m_tail = 0;
    else
        m_tail = m_serial;
    m_serial = job.serial;
    m_awaiting = true;
    m_whole = false;
    m_acknowledgment = job.acknowledgment;
    m_wholeLength = job.wholeLength;
    m_answer.clear();
    m_boundTimer->stop();
    m_job = Going{};
    m_job->job = std::move(job);
    if (m_job->job.units.empty()) {
        // Anything now was in answer to nothing of this job's: early for a payload.
        if (m_job->job.kind != JobKind::Command)
            readArrived();
        finishJob(true);
        return;
    }
    pace();
    writeNext();
}

void SerialLine::writeNext()
{
    // Whatever came before this character was in answer to what went before it.
    readArrived();
    if (!m_job)
        return;
    Going &g = *m_job;
    if (g.next == 0 && g.stop) {
        finishJob(true);
        return;
    }
    const std::vector<std::uint8_t> &unit = g.job.units[g.unit].bytes;
    const std::uint8_t ch = unit[g.next++];
    if (!m_port.write(ch)) {
        finishJob(false);
        return;
    }
    m_lastWriteMs = m_clock.nowMs();
    g.times.push_back(m_lastWriteMs);
    // The payload's last value byte, the one before its closing character, is now with the
    // generator: from here on an answer is the final one.
    if (g.job.kind == JobKind::Payload && g.unit + 1 == g.job.units.size() && g.next + 1 >= unit.size())
        g.lastValueWritten = true;
    m_charTimer->start(kCharSpacingMs);
}

void SerialLine::spacingElapsed()
{
    if (!m_job)
        return;
    // A timer may round its interval; the line gets its full 35 ms however it does.
    const std::int64_t waited = m_clock.nowMs() - m_lastWriteMs;
    if (waited < kCharSpacingMs) {
        m_charTimer->start(static_cast<int>(kCharSpacingMs - waited));
        return;
    }
    if (m_job->next < m_job->job.units[m_job->unit].bytes.size())
        writeNext();
    else
        unitDone();
}

void SerialLine::unitDone()
{
    Going &g = *m_job;
    tellUnit(g.job.units[g.unit].bytes.size());
    if (m_closeAfterUnit) {
        m_job.reset();
        closeNow();
        pump();
        return;
    }
    if (g.stop || g.unit + 1 == g.job.units.size()) {
        finishJob(true);
        return;
    }
    const int pause = g.job.units[g.unit].pauseAfterMs;
    ++g.unit;
    g.next = 0;
    if (pause > 0)
        m_pauseTimer->start(pause);
    else
        writeNext();
}

void SerialLine::finishJob(bool written)
{
    const std::uint64_t serial = m_job->job.serial;
    m_job.reset();
    m_charTimer->stop();
    m_pauseTimer->stop();
    pace();
    tellJobDone(serial, written);
    pump();
}

void SerialLine::pace()
{
    if (!m_open || m_hungUpSaid)
        return;
    const int interval = !m_job && m_awaiting && !m_whole ? kAwaitingPollMs : kIdlePollMs;
    if (!m_pollTimer->isActive() || m_pollInterval != interval) {
        m_pollInterval = interval;
        m_pollTimer->start(interval);
    }
}

void SerialLine::readArrived()
{
    if (!m_open || m_hungUpSaid)
        return;
    std::array<std::uint8_t, kAnswerLimit> buffer; // filled by the reads: not cleared each time
    // Bounded, so a line that never stops talking still lets the thread go on.
    for (int i = 0; i < 64; ++i) {
        const int n = m_port.read(buffer.data(), static_cast<int>(buffer.size()));
        if (n < 0) {
            m_hungUpSaid = true;
            m_pollTimer->stop();
            LineEvent gone = stamped(LineEvent::Kind::HungUp, m_serial);
            gone.error.reason = m_port.errorString();
            emit event(gone);
            return;
        }
        if (n == 0)
            return;
        const auto count = static_cast<std::size_t>(std::min<int>(n, static_cast<int>(buffer.size())));
        arrived(buffer.data(), count);
    }
}

void SerialLine::arrived(const std::uint8_t *bytes, std::size_t count)
{
    const std::int64_t now = m_clock.nowMs();
    if (m_tail != 0 && now - m_lastByteMs >= kTailGapMs)
        m_tail = 0;
    std::size_t tail = 0;
    std::uint8_t before = m_lastByte;
    // The rest of an earlier answer, up to its line end, is still that answer's.
    while (m_tail != 0 && tail < count) {
        const bool lineEnd = before == '\r' && bytes[tail] == '\n';
        before = bytes[tail++];
        if (lineEnd) {
            say(LineEvent::Kind::Received, m_tail,
                QByteArray(reinterpret_cast<const char *>(bytes), static_cast<int>(tail)));
            m_tail = 0;
            bytes += tail;
            count -= tail;
            tail = 0;
        }
    }
    if (tail > 0)
        say(LineEvent::Kind::Received, m_tail,
            QByteArray(reinterpret_cast<const char *>(bytes), static_cast<int>(tail)));
    if (tail < count) {
        say(LineEvent::Kind::Received, m_serial,
            QByteArray(reinterpret_cast<const char *>(bytes + tail), static_cast<int>(count - tail)));
        take(bytes + tail, count - tail);
    }
    if (count > 0) {
        m_beforeLast = count >= 2 ? bytes[count - 2] : m_lastByte;
        m_lastByte = bytes[count - 1];
    }
    m_lastByteMs = now;
}

void SerialLine::take(const std::uint8_t *bytes, std::size_t count)
{
    if (!m_awaiting || m_whole)
        return;
    if (m_job && m_job->job.kind == JobKind::Payload && !m_job->lastValueWritten && !m_job->stop) {
        m_job->stop = true;
        say(LineEvent::Kind::EarlyAnswer, m_serial);
    }
    if (m_answer.empty())
        m_boundTimer->start(kAnswerBoundMs);
    const std::size_t room = kAnswerLimit - m_answer.size();
    m_answer.insert(m_answer.end(), bytes, bytes + std::min(room, count));
    if (wholeByContent(m_answer, m_acknowledgment, m_wholeLength)) {
        m_whole = true;
        m_boundTimer->stop();
        pace();
        say(LineEvent::Kind::AnswerWhole, m_serial);
    }
}

void SerialLine::giveUpWaiting()
{
    if (!m_awaiting || m_whole || m_answer.empty())
        return;
    m_whole = true;
    pace();
    say(LineEvent::Kind::AnswerWhole, m_serial);
}
