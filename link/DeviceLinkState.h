#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The ten exchanges with the generator, in the order the step tick examines them.
enum class Operation : std::uint8_t { URTCNT, TMIX, PTIX, TMGS, PTNS, ATRN, DFSET, REDID, UEDID, WEDID };

constexpr std::size_t kOperationCount = 10;

// Step codes of one operation; 3 is never used.
enum StepCode : std::uint8_t { Idle = 0, AwaitAck = 1, AckIn = 2, AwaitReply = 4, ReplyIn = 5 };

constexpr std::size_t kLinkBufferSize = 1024;
// Read EDID asks for blocks of 32 bytes; each answer is "A", 64 hexadecimal digits, "T".
constexpr int kEdidBlockSize = 32;
constexpr std::size_t kEdidBlockAnswerLength = 66;

// The one record of the link. Field order and widths are kept as the generator tools have always
// laid them out; the step bytes are split in two groups around the tick counters.
struct DeviceLinkState {
    std::uint8_t devicePresent = 0;
    std::uint8_t portOpen = 0;
    std::uint32_t replyLength = 0;
    std::array<std::uint8_t, kLinkBufferSize> receiveBuffer{};
    std::array<std::uint8_t, kLinkBufferSize> replyBuffer{};
    std::uint8_t stepURTCNT = Idle;
    std::uint8_t stepTMIX = Idle;
    std::uint8_t stepPTIX = Idle;
    std::uint8_t stepTMGS = Idle;
    std::uint8_t stepPTNS = Idle;
    std::uint8_t stepATRN = Idle;
    std::uint8_t stepDFSET = Idle;
    std::uint8_t ackTicks = 0;
    std::uint8_t replyTicks = 0;
    std::uint8_t stepREDID = Idle;
    std::uint8_t stepUEDID = Idle;
    std::uint8_t stepWEDID = Idle;
    std::uint8_t portNumber = 0;
    std::int32_t edidBlockOffset = 0;
    std::uint8_t edidLastBlockRequested = 0;

    [[nodiscard]] std::uint8_t &step(Operation op);
    [[nodiscard]] std::uint8_t step(Operation op) const;
};

// What an operation sends once the generator has acknowledged its command line.
enum class Payload : std::uint8_t {
    None,             // the acknowledgment ends it
    TimingIndex,      // one framed byte: currentTimingIndex
    PatternIndex,     // one framed byte: currentPatternIndex
    TimingSelection,  // count, one flag per timing, checksum
    PatternSelection, // count, one flag per pattern, checksum
    Program,          // count, one row of four bytes per program step, checksum
    EdidBytes,        // every byte of EdidBuffer
    WriteCommand,     // the one framed byte 1
    EdidBlocks,       // eight block requests, each answered by a block
};

// What the presence display does when the generator's answer lacks its acknowledgment.
enum class AbsentOnError : std::uint8_t { No, BeforeMessage, AfterMessage };

// What sets the ten operations apart. A time-out fires when its tick counter exceeds the limit.
struct OperationInfo {
    Operation op;
    const char *command;
    // The command's argument byte. A table upload's is the number of framed bytes that follow,
    // counted by the link from the table it is given; 0 here.
    std::uint8_t argument;
    const char *acknowledgment; // what CheckReply looks for in the first answer
    int ackTimeoutTicks;        // step 1
    int replyTimeoutTicks;      // step 4; for the block answers, the wait for each whole one
    Payload payload;
    // The answers to the payload: 0 for a final answer holding "OK", else blocks of this length.
    std::size_t blockAnswerLength;
    bool presentOnSuccess;
    AbsentOnError absentOnError;
    int progressAtStart;   // -1: the bar is left as it is
    int progressAfterAck;  // -1: the bar is left as it is
    int progressOnSuccess; // -1: the bar is left as it is
    std::uint8_t DeviceLinkState::*step;
};

inline constexpr std::array<OperationInfo, kOperationCount> kOperations = {{
    {Operation::URTCNT, "URTCNT", 0, "OK", 16, 0, Payload::None, 0, true, AbsentOnError::BeforeMessage, -1,
     -1, -1, &DeviceLinkState::stepURTCNT},
    {Operation::TMIX, "TMIX", 1, "OK", 16, 16, Payload::TimingIndex, 0, true, AbsentOnError::No, -1, -1, -1,
     &DeviceLinkState::stepTMIX},
    {Operation::PTIX, "PTIX", 1, "OK", 16, 16, Payload::PatternIndex, 0, true, AbsentOnError::No, -1, -1, -1,
     &DeviceLinkState::stepPTIX},
    {Operation::TMGS, "TMGS", 0, "OK", 16, 70, Payload::TimingSelection, 0, true, AbsentOnError::No, -1, 0,
     -1, &DeviceLinkState::stepTMGS},
    {Operation::PTNS, "PTNS", 0, "OK", 16, 70, Payload::PatternSelection, 0, true, AbsentOnError::No, -1, 0,
     -1, &DeviceLinkState::stepPTNS},
    {Operation::ATRN, "ATRN", 0, "OK", 16, 70, Payload::Program, 0, true, AbsentOnError::No, -1, 0, -1,
     &DeviceLinkState::stepATRN},
    {Operation::DFSET, "DFSET", 0, "OK", 16, 0, Payload::None, 0, true, AbsentOnError::BeforeMessage, -1, -1,
     -1, &DeviceLinkState::stepDFSET},
    {Operation::REDID, "REDID", 0, "OK1", 45, 45, Payload::EdidBlocks, kEdidBlockAnswerLength, false,
     AbsentOnError::BeforeMessage, 0, 0, 100, &DeviceLinkState::stepREDID},
    {Operation::UEDID, "UEDID", 255, "OK", 16, 70, Payload::EdidBytes, 0, true, AbsentOnError::No, 0, -1, -1,
     &DeviceLinkState::stepUEDID},
    {Operation::WEDID, "WEDID", 0, "OK", 16, 100, Payload::WriteCommand, 0, true, AbsentOnError::AfterMessage,
     0, 50, 100, &DeviceLinkState::stepWEDID},
}};

[[nodiscard]] constexpr const OperationInfo &operationInfo(Operation op)
{
    return kOperations[static_cast<std::size_t>(op)];
}

namespace detail {
constexpr bool operationsInOrder()
{
    for (std::size_t i = 0; i < kOperations.size(); ++i)
        if (static_cast<std::size_t>(kOperations[i].op) != i)
            return false;
    return true;
}
} // namespace detail
static_assert(detail::operationsInOrder(), "kOperations is indexed by Operation");

inline constexpr std::array<Operation, kOperationCount> kAllOperations = [] {
    std::array<Operation, kOperationCount> all{};
    for (std::size_t i = 0; i < kOperations.size(); ++i)
        all[i] = kOperations[i].op;
    return all;
}();

// The command text that opens each operation on the wire.
[[nodiscard]] constexpr const char *commandText(Operation op)
{
    return operationInfo(op).command;
}
