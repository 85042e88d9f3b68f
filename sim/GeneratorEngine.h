#pragma once

#include "GeneratorState.h"
#include "SimFaults.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// The generator's side of the serial protocol, without any I/O: bytes go in with the time
// they arrived, answer bytes come out when they are due on the line.
//
// Input is parsed by structure: a command line is upper-case text, 0x20, one argument byte
// (any value), 0x20, 0x0A, 0x0D; payload bytes are framed as 0x20, byte, 0x20. Anything that
// breaks that structure is answered "NG" once, and the rest of the broken exchange is skipped
// up to the next line end (0x0A 0x0D) or the next pause of kResyncGapMs, whichever comes
// first; then a command line is expected again. A payload that stalls for kExchangeTimeoutMs
// is given up, so a sender that abandoned a transfer is not misread forever.
//
// Answers leave after a processing delay of kMinProcessingMs..kMaxProcessingMs (plus the
// delay fault) and then take the line's real time, about half a millisecond per byte.
class GeneratorEngine {
public:
    static constexpr int kMinProcessingMs = 10;
    static constexpr int kMaxProcessingMs = 30;
    static constexpr int kSplitGapMs = 150;
    static constexpr int kResyncGapMs = 200;
    static constexpr int kExchangeTimeoutMs = 2000;
    static constexpr std::size_t kGarbageLength = 5000;
    static constexpr std::size_t kLongAnswerFill = 1100;
    static constexpr std::size_t kMaxCommandLength = 8;
    static constexpr std::size_t kBlockAnswerLength = 66;
    static constexpr int kHangUpAfterAckMs = 50;
    // Answers waiting for the line past this are dropped, as a real line's buffer would lose them.
    static constexpr std::size_t kMaxQueuedBytes = 64 * 1024;

    explicit GeneratorEngine(SimFaults faults = {});

    // The EDID memory that EDID reads answer from.
    void setEdid(const GeneratorState::Edid &edid);
    // One byte from the program and the time it arrived; times must not go backwards.
    void receive(std::uint8_t byte, std::int64_t nowMs);
    // Answer bytes due at or before nowMs, removed from the queue.
    [[nodiscard]] std::vector<std::uint8_t> takeDue(std::int64_t nowMs);
    // Time the next queued byte is due, -1 when nothing is queued.
    [[nodiscard]] std::int64_t nextDueMs() const;
    [[nodiscard]] std::size_t queuedBytes() const { return m_queue.size(); }
    // The hang-up fault has fired: nothing is answered any more.
    [[nodiscard]] bool hungUp() const { return m_hungUp; }
    // Hangs the line up now, whatever is going on (the emulator's SIGUSR1).
    void hangUp(const std::string &why);
    // Whether the requested faults are in force yet (they may wait for a later command line).
    [[nodiscard]] bool faultsActive() const { return m_commandLines >= m_faults.fromCommand; }
    [[nodiscard]] const GeneratorState &state() const { return m_state; }
    [[nodiscard]] const SimFaults &faults() const { return m_faults; }

    // One human-readable line per change of state, and one per protocol error ("error: ...").
    std::function<void(const std::string &)> onChange;

private:
    enum class Command { URTCNT, TMIX, PTIX, TMGS, PTNS, ATRN, DFSET, REDID, UEDID, WEDID };
    enum class Phase { Line, Payload, Skip };
    enum class LinePart { Text, Argument, SpaceAfterArgument, LineFeed, CarriageReturn };
    // Final answers are the ones that follow a payload; the no-final-answer fault drops them.
    enum class AnswerKind { Acknowledgment, Final };

    struct DueByte {
        std::int64_t atMs;
        std::uint8_t byte;
    };

    void dropStaleExchange(std::int64_t nowMs);
    void receiveLineByte(std::uint8_t byte, std::int64_t nowMs);
    void completeLine(std::int64_t nowMs);
    void receivePayloadByte(std::uint8_t byte, std::int64_t nowMs);
    void completeItem(std::uint8_t value, std::int64_t nowMs);
    void completeTable(std::int64_t nowMs);
    void answerEdidBlock(std::uint8_t offset, std::int64_t nowMs);
    void startPayload(Command command);
    void resetLine();
    void skipRest(std::uint8_t lastByte);
    void rejectLine(const std::string &why, std::uint8_t lastByte, std::int64_t nowMs);
    void rejectPayload(const std::string &why, std::int64_t nowMs);
    void restoreDefaults();

    void answer(std::string text, AnswerKind kind, std::int64_t nowMs);
    void enqueue(const std::string &bytes, std::int64_t readyMs);
    std::uint32_t nextRandom();
    void report(const std::string &line);
    void protocolError(const std::string &why);
    [[nodiscard]] std::string commandName() const;

    SimFaults m_faults;
    GeneratorState m_state;
    bool m_hungUp = false;
    bool m_hangUpWhenSent = false; // the hang-up-after-ack fault waits for its answer to leave
    std::int64_t m_hangUpAtMs = -1;
    int m_commandLines = 0;

    Phase m_phase = Phase::Line;
    LinePart m_linePart = LinePart::Text;
    std::array<char, kMaxCommandLength> m_text{};
    std::size_t m_textLength = 0;
    std::uint8_t m_argument = 0;
    std::uint8_t m_previousByte = 0;

    Command m_command = Command::URTCNT;
    int m_items = 0;     // framed bytes the current payload holds
    int m_itemsDone = 0; // framed bytes received so far
    int m_framePos = 0;  // 0 = leading space, 1 = value, 2 = trailing space
    std::uint8_t m_value = 0;
    int m_wireBytes = 0;
    unsigned m_sum = 0;
    std::array<std::uint8_t, GeneratorState::kEdidSize> m_payload{};

    bool m_anyByte = false;
    std::int64_t m_lastByteMs = 0;
    std::int64_t m_lastAnswerMs = 0;
    std::int64_t m_lineFreeMs = 0;
    std::deque<DueByte> m_queue;
    std::uint32_t m_random = 0x2545F491u;
};
