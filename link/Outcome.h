#pragma once

#include "DeviceLinkState.h"

#include <string>

// How an operation ended; the link delivers exactly one for every operation.
enum class Outcome : std::uint8_t {
    Succeeded,       // acknowledged, and its final answer or blocks accepted
    Refused,         // not started: port closed, generator absent or another operation running
    NotAcknowledged, // the first answer lacked the acknowledgment
    FinalRefused,    // the final answer lacked "OK"
    EarlyAnswer,     // an answer came before the payload was complete: it cannot have been received
    MalformedBlock,  // an EDID block answer could not be read (the read ran to its end)
    NoResponse,      // the generator stayed silent past the time-out
    WriteFailed,     // the line went away while sending; then it timed out as for silence
    Abandoned,       // ended by Disconnect, a new connection or closing the program
};

// The one table of what the operator is told: the message for an operation's outcome, or none.
[[nodiscard]] const char *outcomeMessage(Operation op, Outcome outcome);

// A short name for logs and sgxctl: "succeeded", "no response", ...
[[nodiscard]] const char *outcomeName(Outcome outcome);

// Every message outcomeMessage can give, for checks that no other text reaches the operator.
[[nodiscard]] bool isOutcomeMessage(const std::string &text);

// Opening a port has its own three failures.
[[nodiscard]] std::string openFailedMessage(const std::string &portLabel);
inline constexpr const char *kLineParametersFailedMessage = "Error!!";
inline constexpr const char *kSecondSetupFailedMessage = "Error";
