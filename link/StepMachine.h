#pragma once

#include "DeviceLinkState.h"
#include "EdidBlockRead.h"
#include "LinkValues.h"
#include "Outcome.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class DeviceLink;

// Carries every exchange with the generator to its end, one step per 500 ms tick, and ends each
// with exactly one Outcome: the operator is told its message, and finished() says which.
class StepMachine : public QObject {
    Q_OBJECT
public:
    // values: where the payloads come from and Read EDID's bytes go, for the machine's lifetime.
    StepMachine(DeviceLink &link, LinkValues values);

    // The start rule of every user command: refused unless the port is open, the generator
    // present and the link idle (then the outcome is Refused, without a message). Returns
    // whether the operation was started.
    bool StartLinkOperation(Operation op);

    // The COM port dialog's OK: closes an open port, ends what ran on it (Abandoned), opens
    // COM (itemIndex + 1) and starts the presence check. Returns whether the port is open.
    bool connectPort(int itemIndex);
    // Starts "URTCNT" whatever else is running.
    void StartPresenceCheck();
    // The Disconnect button: closes the port, shows the generator absent and ends whatever was
    // running (Abandoned), so a later connect is not answered by a stale time-out.
    void disconnect();
    void abandonOperations();

    // Timer1Timer. A tick that falls while a unit is going out runs once it is out.
    void stepTick();

    // A payload goes out one framed byte at a time from the message loop; after each byte is
    // out, the machine asks through onPayloadDue to be called again after a pause in ms (the
    // short pauses of the old payload loops, kept so the pace on the line is unchanged).
    void payloadTick();
    [[nodiscard]] bool payloadRunning() const;
    std::function<void(int pauseMs)> onPayloadDue;

    // Started, and its payload not yet begun: the generator has not acknowledged it yet.
    [[nodiscard]] bool payloadPending(Operation op) const;
    // A selection window closed while its upload is pending hands over the flags its Upload
    // accepted (closing clears the shared ones): that payload then carries these. Only for
    // "TMGS" and "PTNS" while pending; dropped when the next operation starts.
    void handOverSelection(Operation op, std::vector<std::uint8_t> flags);

    [[nodiscard]] DeviceLink &link() { return m_link; }

signals:
    // Once for every operation, after its message (if any) has been shown and closed.
    void finished(Operation op, Outcome outcome);

private:
    void handle(Operation op);
    void handleAcknowledgment(Operation op);
    void handleFinalAnswer(Operation op);
    void finish(Operation op, Outcome outcome);
    void startPayload(Operation op);
    [[nodiscard]] std::uint8_t commandArgument(Operation op) const;
    [[nodiscard]] std::vector<std::uint8_t> payloadBytes(Operation op);
    void afterSend(bool written);
    // Sends the next byte; returns the pause before the one after it.
    int sendPayloadByte();

    // The payload being sent: a copy taken when it started, so that a window changed meanwhile
    // cannot mix two states in one upload. Kept until its operation ends.
    struct Outgoing {
        Operation op = Operation::URTCNT;
        std::vector<std::uint8_t> bytes;
        enum class Style { Single, Table, Edid } style = Style::Single;
        int bytesPerEntry = 1; // table uploads
        std::size_t next = 0;
        unsigned sum = 0;
        std::optional<int> pauseAfterSend; // the byte going out now, and the pause after it
        bool cut = false;                  // a write failed: nothing more goes out
    };
    [[nodiscard]] bool payloadIncomplete(Operation op) const;

    DeviceLink &m_link;
    LinkValues m_values;
    EdidBlockRead m_edidRead;
    std::optional<Outgoing> m_payload;
    std::optional<std::pair<Operation, std::vector<std::uint8_t>>> m_handedOver;
    bool m_stepLate = false;
    bool m_writeFailed = false;
};
