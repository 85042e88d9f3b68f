#include "Outcome.h"

#include <array>

namespace {

// The generator's operators know these by heart: keep them exact, spaces included.
constexpr const char *kNoResponse = "No Response !!";
constexpr const char *kError = "Error!!";
constexpr const char *kUploadSuccessful = "Upload successful!!";
constexpr const char *kDefaultSettingDone = "Upload Successful!!";
constexpr const char *kReadEdidSuccessful = "  Read EDID Successful!!  ";
constexpr const char *kWriteEdidSuccessful = "Write EDID successful!!";
constexpr const char *kWriteEdidFail = "Write EDID Fail!!";

const char *successMessage(Operation op)
{
    switch (op) {
    case Operation::TMGS:
    case Operation::PTNS:
    case Operation::ATRN:
    case Operation::UEDID: return kUploadSuccessful;
    case Operation::DFSET: return kDefaultSettingDone;
    case Operation::REDID: return kReadEdidSuccessful;
    case Operation::WEDID: return kWriteEdidSuccessful;
    default: return nullptr; // presence check and the two runs: the status bar says it
    }
}

} // namespace

const char *outcomeMessage(Operation op, Outcome outcome)
{
    switch (outcome) {
    case Outcome::Succeeded: return successMessage(op);
    case Outcome::NotAcknowledged: return op == Operation::URTCNT ? nullptr : kError;
    case Outcome::FinalRefused: return op == Operation::WEDID ? kWriteEdidFail : kError;
    case Outcome::EarlyAnswer:
    case Outcome::MalformedBlock: return kError;
    case Outcome::NoResponse:
    case Outcome::WriteFailed: return kNoResponse;
    case Outcome::Refused:
    case Outcome::Abandoned: return nullptr;
    }
    return nullptr;
}

const char *outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Succeeded: return "succeeded";
    case Outcome::Refused: return "refused";
    case Outcome::NotAcknowledged: return "not acknowledged";
    case Outcome::FinalRefused: return "final answer refused";
    case Outcome::EarlyAnswer: return "answered before the payload was complete";
    case Outcome::MalformedBlock: return "malformed block";
    case Outcome::NoResponse: return "no response";
    case Outcome::WriteFailed: return "write failed";
    case Outcome::Abandoned: return "abandoned";
    }
    return "unknown";
}

bool isOutcomeMessage(const std::string &text)
{
    static constexpr std::array kAll = {
        kNoResponse,          kError,        kUploadSuccessful, kDefaultSettingDone, kReadEdidSuccessful,
        kWriteEdidSuccessful, kWriteEdidFail};
    for (const char *message : kAll)
        if (text == message)
            return true;
    return false;
}

std::string openFailedMessage(const std::string &portLabel)
{
    return "Open COM Port " + portLabel + " fail !!";
}
