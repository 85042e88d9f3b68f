#pragma once

#include "LineEndpoint.h"
#include "LineTypes.h"
#include "LinkClock.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SerialPort;

// The whole line, on the thread it lives on: the port, the 35 ms pacing of every character, and
// the framing of what comes back. It takes requests (open, close, a job of units) and tells what
// happened by events, both as queued signals, so nobody ever waits for it.
//
// Answers: what the port held before an operation's command line began is stale (reported under
// the earlier job, so it never counts as this one's); everything from the first character on
// belongs to the job. An answer is whole once it holds the job's acknowledgment or length, ends
// in CR LF or fills the reply buffer, and at the latest kAnswerBoundMs after its first byte, as it
// stands. During a payload, an answer before the last value byte is early: the payload stops
// after the unit going out.
class SerialLine final : public LineEndpoint {
    Q_OBJECT
public:
    static constexpr int kCharSpacingMs = 35;
    // How often the port is looked at when no character goes out: often while an answer is
    // awaited, seldom otherwise (what arrives is only told; and a busy timer beside the
    // characters' own would cost them their precision). While a job goes out it is looked at
    // before every character.
    static constexpr int kAwaitingPollMs = 20;
    static constexpr int kIdlePollMs = 100;
    // Two of the link's step ticks.
    static constexpr int kAnswerBoundMs = 1000;
    static constexpr std::size_t kAnswerLimit = 1024;
    // An answer still coming when a job starts (no line end yet, its last byte this recent) goes
    // on being that answer until its line end or such a pause.
    static constexpr int kTailGapMs = 100;
    static constexpr std::int64_t kLongAgo = -1000000;

    SerialLine(SerialPort &port, LinkClock &clock, QObject *parent = nullptr);
    ~SerialLine() override;
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    void request(const LineRequest &request) override;

private:
    struct Going {
        LineJob job;
        std::size_t unit = 0;
        std::size_t next = 0;            // next character of the unit
        std::vector<std::int64_t> times; // when each character of the unit went out
        bool stop = false;               // an early answer: no unit after this one
        bool lastValueWritten = false;   // a payload's last value byte is with the generator
    };

    void pump();
    void open(std::uint64_t serial, const QString &device);
    void refuse(std::uint64_t serial);
    void close();
    void closeNow();
    void start(LineJob job);
    void writeNext();
    void spacingElapsed();
    void unitDone();
    void finishJob(bool written);
    void readArrived();
    void arrived(const std::uint8_t *bytes, std::size_t count);
    void take(const std::uint8_t *bytes, std::size_t count);
    void giveUpWaiting();
    // Looks at the port often or seldom, as an answer is awaited with nothing going out or not.
    void pace();
    [[nodiscard]] LineEvent stamped(LineEvent::Kind kind, std::uint64_t serial) const;
    void say(LineEvent::Kind kind, std::uint64_t serial, QByteArray bytes = {});
    // The unit under way is out as far as its first count characters.
    void tellUnit(std::size_t count);
    void tellJobDone(std::uint64_t serial, bool written);
    // Characters of the unit under way still to go; none when it has not begun.
    [[nodiscard]] std::size_t leftInUnit() const;

    SerialPort &m_port;
    LinkClock &m_clock;
    std::unique_ptr<LinkTimer> m_charTimer;
    std::unique_ptr<LinkTimer> m_pauseTimer;
    std::unique_ptr<LinkTimer> m_pollTimer;
    std::unique_ptr<LinkTimer> m_boundTimer;
    std::deque<LineRequest> m_requests;
    std::optional<Going> m_job;
    std::int64_t m_lastWriteMs = 0;
    bool m_open = false;
    bool m_opening = false;
    bool m_closeAfterUnit = false;
    bool m_hungUpSaid = false;
    int m_pollInterval = kIdlePollMs;
    std::uint64_t m_generation = 0; // counts closes: an earlier open's answer is not reported
    std::uint64_t m_serial = 0;     // the job what arrives now belongs to
    std::uint64_t m_tail = 0;       // the job whose answer is still coming, while it does
    std::int64_t m_lastByteMs = kLongAgo;
    std::uint8_t m_beforeLast = 0;
    std::uint8_t m_lastByte = 0;

    // The answer being framed.
    bool m_awaiting = false;
    bool m_whole = false;
    std::string m_acknowledgment;
    std::size_t m_wholeLength = 0;
    std::vector<std::uint8_t> m_answer;
};
