#pragma once

#include "DeviceLinkState.h"

#include <cstdint>
#include <vector>

class DeviceLink;
struct SharedValues;

// Carries every exchange with the generator to its end, one step per 500 ms tick.
class StepMachine {
public:
    static constexpr int kEdidBlockAnswerLength = 66; // "A", 64 hex digits, "T"

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

    [[nodiscard]] DeviceLink &link() { return m_link; }

private:
    void handle(Operation op);
    void handleAcknowledgment(Operation op);
    void handleFinalAnswer(Operation op);
    void handleEdidBlock();
    void timeOut(std::uint8_t &counter, Operation op);
    void sendTableUpload(Operation op);
    void sendEdidUpload();
    [[nodiscard]] bool payloadAbandoned(Operation op) const;
    [[nodiscard]] bool decodeEdidBlock(int offset);
    void finishEdidRead();

    DeviceLink &m_link;
    SharedValues &m_values;
    bool m_edidBlockMalformed = false;
};
