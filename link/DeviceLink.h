#pragma once

#include "DeviceLinkState.h"
#include "LineEndpoint.h"
#include "LineTypes.h"
#include "LinkClock.h"
#include "LinkRequest.h"
#include "LinkValues.h"
#include "Outcome.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

// The link: the one writer of DeviceLinkState. It owns the operation in flight as one value and
// carries it to its end on two ticks of its own clock: the receive tick (Timer2Timer, 100 ms)
// takes what the line brought, counts the time-out ticks and moves steps 1->2 and 4->5; the step
// tick (Timer1Timer, 500 ms) advances the operation by one step. Every operation ends in exactly
// one Outcome, given by finished(); what the operator is told is left to whoever listens. The
// line (port, pacing, answer framing) is reached by queued signals only.
class DeviceLink final : public QObject {
    Q_OBJECT
public:
    static constexpr int kReceiveTickMs = 100;
    static constexpr int kStepTickMs = 500;
    static constexpr int kFramedBytePauseEdidMs = 5; // the old EDID loop's own pause per byte
    static constexpr int kProgressPauseMs = 1;       // and the table loops' pause when the bar rose
    // A port opened again of itself (after it went away) must stay open this long before it
    // counts as back: a terminal server that cannot reach the device accepts and hangs up at once.
    static constexpr int kSettleMs = 300;
    // What the line said that was no answer, kept for the operator (its last bytes).
    static constexpr int kHeardLimit = 256;

    DeviceLink(DeviceLinkState &state, LinkValues values, LineBundle &bundle);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // The start rule of every user command: refused unless the port is open, the generator
    // present and the link idle (then the outcome is Refused, without a message). Returns
    // whether it started. table: what "ATRN" sends (see LinkRequest).
    bool StartLinkOperation(Operation op, std::vector<std::uint8_t> table = {});
    // A window's request: a start, or a hand-over to a pending "TMGS"/"PTNS".
    void request(const LinkRequest &request);

    // The COM port dialog's OK: closes an open port and ends what ran on it (Abandoned), then
    // opens the chosen one; once it is open the presence check starts. connectFinished() says
    // how the open went.
    // quietly: an open the program makes of itself (the port came back): it counts only once the
    // port has stayed open kSettleMs, and a failure shows nothing.
    void connectPort(const PortChoice &port, bool quietly = false);
    // Gives up an open still under way.
    void cancelConnect();
    // The Disconnect button: closes the port, shows the generator absent and ends whatever was
    // running (Abandoned).
    void disconnectPort();
    // The program ends: a running transfer is abandoned and the port closed; the ticks find
    // nothing more to do.
    void closeDown();
    // The operator has closed the message of op's outcome ("Write EDID" turns the display absent
    // only then).
    void messageClosed(Operation op);

    [[nodiscard]] const DeviceLinkState &state() const { return m_state; }
    [[nodiscard]] bool LinkBusy() const;
    [[nodiscard]] int progress() const { return m_progress; }
    [[nodiscard]] bool opening() const { return m_opening.has_value(); }
    // Started, and its payload not yet begun: the generator has not acknowledged it yet.
    [[nodiscard]] bool payloadPending(Operation op) const;

signals:
    // Once for every operation, after its step, displays and bar are set.
    void finished(Operation op, Outcome outcome);
    // The end of connectPort's open: on failure, the message and what to say under it.
    void connectFinished(bool opened, const QString &message, const QString &detail);
    void presenceChanged(bool present);
    void progressChanged(int percent);
    // Text the line carried that holds no acknowledgment, once an operation has failed with it or
    // the line has gone away after it (a terminal server's words: "Port already in use").
    void lineSaid(const QString &text);
    // The open port went away (a device unplugged, a terminal server's connection closed): the
    // generator is shown absent at once; an operation in flight has its answer examined if one
    // came, and otherwise ends at the next step tick as on a time-out ("No Response !!").
    void lineLost(const QString &reason);
    // The status bar's first panel turns owner-drawn before a table upload's checksum.
    void progressPanelOwnerDrawn();
    // The hidden receive log: emptied before each user-started command, then what arrives.
    void receiveLogCleared();
    void received(const QByteArray &bytes);
    // Everything the line tells, as it comes: what went out and what came in, with their times
    // (a monitor of the line listens).
    void traffic(const LineEvent &event);
    // To the line.
    void lineRequest(const LineRequest &request);

private:
    // What the gauge does once a unit of a payload is out.
    struct UnitShow {
        int progress = -1;
        bool panelOwnerDrawn = false;
    };
    // The operation in flight, and what its line is doing.
    struct InFlight {
        Operation op = Operation::URTCNT;
        std::uint64_t job = 0; // the line job it waits for or last sent
        bool sending = false;  // a job is going out: the ticks leave it alone till its end
        bool answerWhole = false;
        bool early = false;
        bool writeFailed = false;
        bool blockMalformed = false;
        bool lineLost = false; // nothing more can come: what waits for an answer ends now
        std::optional<std::vector<std::uint8_t>> table; // handed over instead of the shared values
        std::vector<UnitShow> shows;
    };

    void lineEvent(const LineEvent &event);
    void jobDone(const LineEvent &event);
    void opened(const LineEvent &event);
    void receiveTick();
    void stepTick();
    void handleAcknowledgment();
    void handleFinalAnswer();
    void blockTick();
    void finish(Outcome outcome);
    void hungUp(const LineEvent &event);
    void settled();
    void tellWhatWasHeard();
    void abandonOperations();
    void startPresenceCheck();
    void begin(Operation op);
    void send(JobKind kind, std::vector<LineUnit> units, std::vector<UnitShow> shows = {});
    void sendCommand(Operation op);
    void requestBlock(int offset);
    void startPayload();
    void closeLine();
    [[nodiscard]] bool checkReply();
    [[nodiscard]] std::uint8_t commandArgument(Operation op) const;
    void showDevicePresent();
    void showDeviceAbsent();
    void setProgress(int percent);
    [[nodiscard]] const OperationInfo &row() const { return operationInfo(m_op->op); }
    [[nodiscard]] std::uint8_t &step() { return m_state.step(m_op->op); }

    DeviceLinkState &m_state;
    LinkValues m_values;
    std::unique_ptr<LinkTimer> m_timer1;
    std::unique_ptr<LinkTimer> m_timer2;
    std::optional<InFlight> m_op;
    std::optional<PortChoice> m_opening;
    bool m_openQuietly = false;
    std::unique_ptr<LinkTimer> m_settle;
    QByteArray m_heard; // what the line said since the port opened or an operation last succeeded
    std::uint64_t m_openRequest = 0;
    std::deque<LineEvent> m_inbox; // what the line brought, for the next receive tick
    std::size_t m_inboxHeard = 0;  // its first entries, already told when the line went
    std::uint64_t m_serial = 0;    // numbers the line's jobs and opens
    std::optional<Operation> m_absentWhenClosed;
    int m_progress = 0;
};
