#pragma once

#include "DeviceLinkState.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class DeviceLink;
struct SharedValues;

// Carries every exchange with the generator to its end, one step per 500 ms tick.
class StepMachine {
public:
    StepMachine(DeviceLink &link, SharedValues &values);

    // The start rule of every user command: refused silently unless the port is open, the
    // generator present and the link idle. Returns whether the operation was started.
    bool StartLinkOperation(Operation op);

    // The COM port dialog's OK: closes an open port, quietly ends what ran on it, opens
    // COM (itemIndex + 1) and starts the presence check. Returns whether the port is open.
    bool connectPort(int itemIndex);
    // Starts "URTCNT" whatever else is running.
    void StartPresenceCheck();
    // The Disconnect button: closes the port, shows the generator absent and quietly ends
    // whatever was running, so a later connect is not answered by a stale time-out.
    void disconnect();
    void abandonOperations();

    // Timer1Timer.
    void stepTick();

    // A payload goes out one framed byte per call, from the message loop, so that nothing the
    // operator opens meanwhile (a modal window runs its own loop) can hold it up. After each
    // byte the machine asks, through onPayloadDue, to be called again after a pause in ms.
    void payloadTick();
    [[nodiscard]] bool payloadRunning() const { return m_payload.has_value(); }
    std::function<void(int pauseMs)> onPayloadDue;

    // Started, and its payload not yet begun: the generator has not acknowledged it yet.
    [[nodiscard]] bool payloadPending(Operation op) const;
    // A selection window closed while its upload is pending hands over the flags its Upload
    // accepted (closing clears the shared ones): that payload then carries these. Only for
    // "TMGS" and "PTNS" while pending; dropped when the next operation starts.
    void handOverSelection(Operation op, std::vector<std::uint8_t> flags);

    [[nodiscard]] DeviceLink &link() { return m_link; }

private:
    void handle(Operation op);
    void handleAcknowledgment(Operation op);
    void handleFinalAnswer(Operation op);
    void handleEdidBlock();
    void timeOut(std::uint8_t &counter, Operation op);
    void startTableUpload(Operation op);
    void startEdidUpload();
    void startPayload(Operation op, std::vector<std::uint8_t> bytes, int bytesPerEntry);
    // Sends the next byte; returns the pause before the one after it.
    int sendPayloadByte();
    [[nodiscard]] bool decodeEdidBlock(int offset);
    [[nodiscard]] bool blockAnswerCanStillBeWellFormed() const;
    void finishEdidRead();

    // The payload being sent: a copy taken when it started, so that a window changed meanwhile
    // cannot mix two states in one upload.
    struct Payload {
        Operation op;
        std::vector<std::uint8_t> bytes;
        int bytesPerEntry = 1; // table uploads; 0 for the EDID upload
        std::size_t next = 0;
        unsigned sum = 0;
    };

    DeviceLink &m_link;
    SharedValues &m_values;
    std::optional<Payload> m_payload;
    std::optional<std::pair<Operation, std::vector<std::uint8_t>>> m_handedOver;
    bool m_edidBlockMalformed = false;
};
