#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// What the link hands the line thread, and what the line thread tells the link: plain values
// carried by queued signals, so neither thread ever waits for the other.

// One unit on the line, its characters 35 ms apart: a command line or a framed byte; then a pause
// before the next unit, if any.
struct LineUnit {
    std::vector<std::uint8_t> bytes;
    int pauseAfterMs = 0;
};

// How the line reads what arrives while a job goes out and after it.
enum class JobKind : std::uint8_t {
    // An operation's command line: what the line held before its first character is stale.
    Command,
    // A payload: an answer before its last value byte is early (the generator cannot have it all).
    Payload,
    // A block request: everything from its first character on is its block.
    Request,
};

// A run of units with what makes their answer whole (besides a line end, a full buffer and the
// time bound): its acknowledgment anywhere in it, or a length (a block answer).
struct LineJob {
    std::uint64_t serial = 0; // the operation's; every event about the job carries it
    JobKind kind = JobKind::Command;
    std::vector<LineUnit> units;
    std::string acknowledgment;
    std::size_t wholeLength = 0;
};

// Why a port could not be opened, for the operator: the device tried and the reason in plain
// words, and which step failed (the messages differ).
struct OpenError {
    enum class Stage : std::uint8_t { Open, LineParameters, SecondSetup };
    Stage stage = Stage::Open;
    std::string device;
    std::string reason;
};

struct LineRequest {
    enum class Kind : std::uint8_t {
        Open,  // device: open and configure it; answered by Opened or OpenFailed
        Close, // a unit under way goes out whole first (at most two more characters)
        Send,  // job
    };
    Kind kind = Kind::Send;
    std::uint64_t serial = 0;
    QString device;
    LineJob job;
};

struct LineEvent {
    enum class Kind : std::uint8_t {
        Opened,
        OpenFailed,  // error
        Received,    // bytes, as they arrived
        AnswerWhole, // the answer since the job began is whole: examine it
        EarlyAnswer, // it began before the payload's last value byte; the payload stopped there
        UnitOut,     // unit: that unit's characters (bytes, each written at times) are out, their time over
        JobDone,     // the job is over, whole or stopped (written: no write failed)
        HungUp,      // the far end went away (reason in error.reason)
        Closed,      // the line closed the port, as asked
    };
    Kind kind = Kind::Received;
    std::uint64_t serial = 0;
    std::int64_t atMs = 0; // on the line's clock
    QByteArray bytes;
    std::vector<std::int64_t> times; // UnitOut: when each of its characters was written
    int unit = -1;
    bool written = true;
    OpenError error;
};

Q_DECLARE_METATYPE(LineRequest)
Q_DECLARE_METATYPE(LineEvent)
