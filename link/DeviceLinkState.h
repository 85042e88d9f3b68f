#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The ten exchanges with the generator, in the order the step tick examines them.
enum class Operation : std::uint8_t { URTCNT, TMIX, PTIX, TMGS, PTNS, ATRN, DFSET, REDID, UEDID, WEDID };

constexpr std::size_t kOperationCount = 10;

constexpr std::array<Operation, kOperationCount> kAllOperations = {
    Operation::URTCNT, Operation::TMIX,  Operation::PTIX,  Operation::TMGS,  Operation::PTNS,
    Operation::ATRN,   Operation::DFSET, Operation::REDID, Operation::UEDID, Operation::WEDID};

// Step codes of one operation; 3 is never used.
enum StepCode : std::uint8_t { Idle = 0, AwaitAck = 1, AckIn = 2, AwaitReply = 4, ReplyIn = 5 };

constexpr std::size_t kLinkBufferSize = 1024;

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

// The command text that opens each operation on the wire.
[[nodiscard]] const char *commandText(Operation op);
