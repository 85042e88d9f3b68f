#include "LineMonitorLog.h"

#include "ByteTrace.h"

#include <algorithm>
#include <iterator>
#include <tuple>

namespace {

constexpr std::int64_t toUs(std::int64_t ms)
{
    return ms * 1000;
}

} // namespace

LineMonitorLog::LineMonitorLog(std::size_t capacity, QObject *parent)
    : QObject(parent), m_capacity(std::max<std::size_t>(capacity, 1))
{
}

void LineMonitorLog::add(const LineEvent &event)
{
    const auto *data = reinterpret_cast<const std::uint8_t *>(event.bytes.constData());
    const auto size = static_cast<std::size_t>(event.bytes.size());
    switch (event.kind) {
    case LineEvent::Kind::UnitOut: {
        std::vector<std::int64_t> times;
        for (std::size_t i = 0; i < size; ++i)
            times.push_back(toUs(i < event.times.size() ? event.times[i] : event.atMs));
        addSent(std::vector<std::uint8_t>(data, data + size), std::move(times));
        break;
    }
    case LineEvent::Kind::Received: addReceived(toUs(event.atMs), data, size); break;
    case LineEvent::Kind::Opened: addNote(toUs(event.atMs), "opened"); break;
    case LineEvent::Kind::OpenFailed:
        addNote(toUs(event.atMs),
                "open failed: " + (event.error.device.empty() ? std::string() : event.error.device + ": ") +
                    event.error.reason);
        break;
    case LineEvent::Kind::HungUp:
        addNote(toUs(event.atMs), event.error.reason.empty() ? "hung up" : "hung up: " + event.error.reason);
        break;
    case LineEvent::Kind::Closed: addNote(toUs(event.atMs), "closed"); break;
    case LineEvent::Kind::EarlyAnswer: addNote(toUs(event.atMs), "early answer: the payload stopped"); break;
    case LineEvent::Kind::AnswerWhole:
    case LineEvent::Kind::JobDone: break;
    }
}

void LineMonitorLog::addSent(std::vector<std::uint8_t> bytes, std::vector<std::int64_t> timesUs)
{
    if (bytes.empty())
        return;
    timesUs.resize(bytes.size(), timesUs.empty() ? 0 : timesUs.back());
    const std::int64_t start = timesUs.front();
    // What came after the unit's first character goes after it; an answer under way when the
    // unit began is split there.
    std::size_t at = m_entries.size();
    while (at > 0 && m_entries[at - 1].kind != LineMonitorEntry::Kind::Sent &&
           m_entries[at - 1].lastUs() > start)
        --at;
    std::vector<LineMonitorEntry> later(
        std::make_move_iterator(m_entries.begin() + static_cast<std::ptrdiff_t>(at)),
        std::make_move_iterator(m_entries.end()));
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(at), m_entries.end());
    const std::size_t from = at;
    if (!later.empty() && later.front().atUs <= start) {
        LineMonitorEntry after = later.front().takeAfter(start);
        m_entries.push_back(std::move(later.front()));
        later.front() = std::move(after);
    }
    LineMonitorEntry sent;
    sent.kind = LineMonitorEntry::Kind::Sent;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        sent.append(&bytes[i], 1, timesUs[i]);
    m_entries.push_back(std::move(sent));
    std::move(later.begin(), later.end(), std::back_inserter(m_entries));
    settle(from);
}

void LineMonitorLog::addReceived(std::int64_t atUs, const std::uint8_t *bytes, std::size_t count)
{
    std::size_t from = m_entries.size();
    while (count > 0) {
        LineMonitorEntry *last = m_entries.empty() ? nullptr : &m_entries.back();
        const bool goesOn = last != nullptr && last->kind == LineMonitorEntry::Kind::Received &&
                            atUs - last->lastUs() <= kAnswerGapUs && last->bytes.size() < kAnswerBytes;
        if (!goesOn) {
            LineMonitorEntry answer;
            answer.kind = LineMonitorEntry::Kind::Received;
            m_entries.push_back(std::move(answer));
            last = &m_entries.back();
        }
        from = std::min(from, m_entries.size() - 1);
        const std::size_t take = std::min(count, kAnswerBytes - last->bytes.size());
        last->append(bytes, take, atUs);
        bytes += take;
        count -= take;
    }
    if (from < m_entries.size())
        settle(from);
}

void LineMonitorLog::addNote(std::int64_t atUs, std::string note)
{
    LineMonitorEntry entry;
    entry.kind = LineMonitorEntry::Kind::Note;
    entry.atUs = atUs;
    entry.note = std::move(note);
    appendEntry(std::move(entry));
}

void LineMonitorLog::appendEntry(LineMonitorEntry entry)
{
    m_entries.push_back(std::move(entry));
    settle(m_entries.size() - 1);
}

void LineMonitorLog::settle(std::size_t from)
{
    std::size_t dropped = 0;
    while (m_entries.size() > m_capacity) {
        m_entries.pop_front();
        ++dropped;
    }
    emit changed(dropped, from > dropped ? from - dropped : 0);
}

void LineMonitorLog::clear()
{
    m_entries.clear();
    emit cleared();
}

std::string LineMonitorLog::traceText() const
{
    std::vector<std::tuple<std::int64_t, ByteTrace::Direction, std::uint8_t>> bytes;
    for (const LineMonitorEntry &entry : m_entries) {
        const auto direction = entry.kind == LineMonitorEntry::Kind::Sent
                                   ? ByteTrace::Direction::ToGenerator
                                   : ByteTrace::Direction::FromGenerator;
        for (std::size_t i = 0; i < entry.bytes.size(); ++i)
            bytes.emplace_back(entry.timeOf(i), direction, entry.bytes[i]);
    }
    // A unit's characters and what arrived meanwhile are interleaved again.
    std::stable_sort(bytes.begin(), bytes.end(),
                     [](const auto &a, const auto &b) { return std::get<0>(a) < std::get<0>(b); });
    std::string text;
    for (const auto &[us, direction, value] : bytes)
        text += ByteTrace::line(us, direction, value);
    return text;
}
