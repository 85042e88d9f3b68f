#pragma once

#include "LineMonitorEntry.h"
#include "LineTypes.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The line as it went, from the program's start: what the line thread tells the link, kept as
// entries in the order of their first byte, the oldest dropped past the capacity. A unit is
// told once it is out, which can be after its answer began; it is put back before what came
// after its first character.
class LineMonitorLog : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kCapacity = 10000;
    // Longer runs from the generator (a chattering line) go on in a new entry. An EDID block's
    // answer is 66 bytes.
    static constexpr std::size_t kAnswerBytes = 128;
    // Silence after which what the generator sends is another answer: a receive tick.
    static constexpr std::int64_t kAnswerGapUs = 100'000;

    explicit LineMonitorLog(std::size_t capacity = kCapacity, QObject *parent = nullptr);

    // What DeviceLink::traffic hands on; the link's own bookkeeping (an answer whole, a job
    // done) is left out.
    void add(const LineEvent &event);
    // timesUs: when each byte went out.
    void addSent(std::vector<std::uint8_t> bytes, std::vector<std::int64_t> timesUs);
    void addReceived(std::int64_t atUs, const std::uint8_t *bytes, std::size_t count);
    void addNote(std::int64_t atUs, std::string note);
    void clear();

    [[nodiscard]] const std::deque<LineMonitorEntry> &entries() const { return m_entries; }
    [[nodiscard]] std::size_t capacity() const { return m_capacity; }
    // Every byte kept, in the trace format, in the order of time.
    [[nodiscard]] std::string traceText() const;

signals:
    // The first `dropped` entries went to make room; from index `from` on, the entries are new
    // or have changed.
    void changed(std::size_t dropped, std::size_t from);
    void cleared();

private:
    void appendEntry(LineMonitorEntry entry);
    // Drops what is past the capacity and says what changed from `from` (an index before the drop).
    void settle(std::size_t from);

    std::size_t m_capacity;
    std::deque<LineMonitorEntry> m_entries;
};
