#include "GeneratorEngine.h"

#include "EdidImage.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

struct CommandInfo {
    const char *text;
    std::uint8_t argument;
    int items; // framed bytes that follow the acknowledgment
};

// In the order of GeneratorEngine::Command.
constexpr std::array<CommandInfo, 10> kCommands = {{
    {"URTCNT", 0, 0},
    {"TMIX", 1, 1},
    {"PTIX", 1, 1},
    {"TMGS", 37, 37},
    {"PTNS", 41, 41},
    {"ATRN", 130, 130},
    {"DFSET", 0, 0},
    {"REDID", 0, 8},
    {"UEDID", 255, 256},
    {"WEDID", 0, 1},
}};

constexpr int kBlockSize = 32;
constexpr int kLastBlockOffset = 224;

// 19200 baud, ten bits per character.
constexpr std::int64_t kBitsPerChar = 10;
constexpr std::int64_t kBaud = 19200;

std::string hexByte(int value)
{
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%02X", value & 0xFF);
    return text.data();
}

std::string flagList(const std::uint8_t *flags, int count)
{
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (flags[i] == 0)
            continue;
        if (!list.empty())
            list += ',';
        list += std::to_string(i + 1);
    }
    return list.empty() ? "none" : list;
}

} // namespace

GeneratorEngine::GeneratorEngine(SimFaults faults) : m_faults(faults)
{
    m_state.edidMemory = defaultEdid();
}

void GeneratorEngine::setEdid(const GeneratorState::Edid &edid)
{
    m_state.edidMemory = edid;
}

std::string GeneratorEngine::commandName() const
{
    return kCommands[static_cast<std::size_t>(m_command)].text;
}

void GeneratorEngine::report(const std::string &line)
{
    if (onChange)
        onChange(line);
}

void GeneratorEngine::protocolError(const std::string &why)
{
    ++m_state.protocolErrors;
    report("error: " + why);
}

void GeneratorEngine::receive(std::uint8_t byte, std::int64_t nowMs)
{
    if (m_hungUp)
        return;
    if (m_anyByte)
        dropStaleExchange(nowMs);
    m_anyByte = true;
    m_lastByteMs = nowMs;

    switch (m_phase) {
    case Phase::Line: receiveLineByte(byte, nowMs); break;
    case Phase::Payload: receivePayloadByte(byte, nowMs); break;
    case Phase::Skip:
        if (m_previousByte == 0x0A && byte == 0x0D)
            resetLine();
        else
            m_previousByte = byte;
        break;
    }
}

void GeneratorEngine::dropStaleExchange(std::int64_t nowMs)
{
    const std::int64_t quietMs = nowMs - m_lastByteMs;
    switch (m_phase) {
    case Phase::Line:
        if (quietMs >= kResyncGapMs && (m_textLength > 0 || m_linePart != LinePart::Text)) {
            protocolError("incomplete command line dropped");
            resetLine();
        }
        break;
    case Phase::Skip:
        if (quietMs >= kResyncGapMs)
            resetLine();
        break;
    case Phase::Payload:
        if (nowMs - std::max(m_lastByteMs, m_lastAnswerMs) >= kExchangeTimeoutMs) {
            protocolError(commandName() + " payload incomplete, dropped");
            resetLine();
        }
        break;
    }
}

void GeneratorEngine::resetLine()
{
    m_phase = Phase::Line;
    m_linePart = LinePart::Text;
    m_textLength = 0;
}

void GeneratorEngine::skipRest(std::uint8_t lastByte)
{
    m_phase = Phase::Skip;
    m_previousByte = lastByte;
}

void GeneratorEngine::rejectLine(const std::string &why, std::uint8_t lastByte, std::int64_t nowMs)
{
    protocolError(why);
    answer("NG\r\n", AnswerKind::Acknowledgment, nowMs);
    skipRest(lastByte);
}

void GeneratorEngine::receiveLineByte(std::uint8_t byte, std::int64_t nowMs)
{
    switch (m_linePart) {
    case LinePart::Text:
        if (m_textLength == 0 && (byte == 0x20 || byte == 0x0A || byte == 0x0D || byte == 0x00))
            return; // line noise between commands
        if (byte == 0x20) {
            m_linePart = LinePart::Argument;
        } else if (byte < 'A' || byte > 'Z') {
            rejectLine("unexpected byte " + hexByte(byte) + " in a command", byte, nowMs);
        } else if (m_textLength == m_text.size()) {
            rejectLine("command text too long", byte, nowMs);
        } else {
            m_text[m_textLength++] = static_cast<char>(byte);
        }
        return;
    case LinePart::Argument:
        m_argument = byte;
        m_linePart = LinePart::SpaceAfterArgument;
        return;
    case LinePart::SpaceAfterArgument:
    case LinePart::LineFeed:
    case LinePart::CarriageReturn: {
        const std::uint8_t expected = m_linePart == LinePart::SpaceAfterArgument ? 0x20
                                      : m_linePart == LinePart::LineFeed         ? 0x0A
                                                                                 : 0x0D;
        if (byte != expected) {
            rejectLine("command line broken: " + hexByte(byte) + " where " + hexByte(expected) + " belongs",
                       byte, nowMs);
        } else if (m_linePart == LinePart::SpaceAfterArgument) {
            m_linePart = LinePart::LineFeed;
        } else if (m_linePart == LinePart::LineFeed) {
            m_linePart = LinePart::CarriageReturn;
        } else {
            completeLine(nowMs);
        }
        return;
    }
    }
}

void GeneratorEngine::completeLine(std::int64_t nowMs)
{
    const std::string text(m_text.data(), m_textLength);
    resetLine();
    ++m_commandLines;
    m_state.lastCommand = text;

    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&text](const CommandInfo &c) { return text == c.text; });
    if (found == kCommands.end()) {
        protocolError("unknown command " + text);
        answer("NG\r\n", AnswerKind::Acknowledgment, nowMs);
        return;
    }
    if (m_argument != found->argument) {
        protocolError(text + " argument " + std::to_string(m_argument) + ", expected " +
                      std::to_string(found->argument));
        answer("NG\r\n", AnswerKind::Acknowledgment, nowMs);
        return;
    }

    const auto command = static_cast<Command>(found - kCommands.begin());
    switch (command) {
    case Command::URTCNT: report("presence check"); break;
    case Command::DFSET: restoreDefaults(); break;
    default: startPayload(command); break;
    }
    answer(command == Command::REDID ? "OK1\r\n" : "OK\r\n", AnswerKind::Acknowledgment, nowMs);
    if (m_faults.hangUpAfterAck && faultsActive())
        m_hangUpWhenSent = true;
}

void GeneratorEngine::restoreDefaults()
{
    m_state.timingSelection = GeneratorState::defaultTimingSelection();
    m_state.patternSelection = GeneratorState::defaultPatternSelection();
    m_state.program = GeneratorState::emptyProgram();
    m_state.timingIndex = 0;
    m_state.patternIndex = 0;
    ++m_state.defaultRestores;
    report("defaults restored");
}

void GeneratorEngine::startPayload(Command command)
{
    m_phase = Phase::Payload;
    m_command = command;
    m_items = kCommands[static_cast<std::size_t>(command)].items;
    m_itemsDone = 0;
    m_framePos = 0;
    m_wireBytes = 0;
    m_sum = 0;
}

void GeneratorEngine::rejectPayload(const std::string &why, std::int64_t nowMs)
{
    protocolError(why);
    answer("NG\r\n", AnswerKind::Final, nowMs);
}

void GeneratorEngine::receivePayloadByte(std::uint8_t byte, std::int64_t nowMs)
{
    ++m_wireBytes;
    if (m_faults.hangUpMidPayload && faultsActive() && m_wireBytes >= std::max(1, m_items * 3 / 2)) {
        hangUp("in the middle of the " + commandName() + " payload");
        return;
    }
    if (m_framePos == 1) {
        m_value = byte;
        m_framePos = 2;
        return;
    }
    if (byte != 0x20) {
        rejectPayload("framing error in " + commandName() + ": " + hexByte(byte) + " where 0x20 belongs",
                      nowMs);
        skipRest(byte);
        return;
    }
    if (m_framePos == 0) {
        m_framePos = 1;
        return;
    }
    m_framePos = 0;
    completeItem(m_value, nowMs);
}

void GeneratorEngine::completeItem(std::uint8_t value, std::int64_t nowMs)
{
    const int item = m_itemsDone++;
    switch (m_command) {
    case Command::TMIX:
    case Command::PTIX: {
        const bool timing = m_command == Command::TMIX;
        const int count = timing ? GeneratorState::kTimingCount : GeneratorState::kPatternCount;
        resetLine();
        if (value >= count) {
            rejectPayload(commandName() + " index " + std::to_string(value) + " out of range", nowMs);
            return;
        }
        (timing ? m_state.timingIndex : m_state.patternIndex) = value;
        report(std::string(timing ? "timing " : "pattern ") + std::to_string(value + 1) + " (index " +
               std::to_string(value) + ")");
        answer("OK\r\n", AnswerKind::Final, nowMs);
        return;
    }
    case Command::TMGS:
    case Command::PTNS:
    case Command::ATRN: {
        const int entries = m_command == Command::TMGS   ? GeneratorState::kTimingCount
                            : m_command == Command::PTNS ? GeneratorState::kPatternCount
                                                         : GeneratorState::kProgramRows;
        m_sum += value;
        if (item == 0 && value != entries) {
            rejectPayload(commandName() + " count " + std::to_string(value) + ", expected " +
                              std::to_string(entries),
                          nowMs);
            skipRest(0x20);
            return;
        }
        if (item > 0 && item < m_items - 1)
            m_payload[static_cast<std::size_t>(item - 1)] = value;
        if (m_itemsDone == m_items)
            completeTable(nowMs);
        return;
    }
    case Command::REDID: answerEdidBlock(value, nowMs); return;
    case Command::UEDID:
        m_payload[static_cast<std::size_t>(item)] = value;
        if (m_itemsDone < m_items)
            return;
        resetLine();
        m_state.uploadedEdid = m_payload;
        ++m_state.edidUploads;
        report("EDID uploaded");
        answer("OK\r\n", AnswerKind::Final, nowMs);
        return;
    case Command::WEDID:
        resetLine();
        if (value != 1) {
            rejectPayload("WEDID confirmation " + std::to_string(value) + ", expected 1", nowMs);
        } else if (m_state.edidUploads == 0) {
            rejectPayload("WEDID before any EDID upload", nowMs);
        } else {
            m_state.edidMemory = m_state.uploadedEdid;
            ++m_state.edidWrites;
            report("EDID written");
            answer("OK\r\n", AnswerKind::Final, nowMs);
        }
        return;
    case Command::URTCNT:
    case Command::DFSET: return; // no payload
    }
}

void GeneratorEngine::completeTable(std::int64_t nowMs)
{
    resetLine();
    if (m_sum % 256 != 0) {
        rejectPayload("bad checksum in " + commandName(), nowMs);
        return;
    }
    const std::uint8_t *data = m_payload.data();
    switch (m_command) {
    case Command::TMGS:
        std::copy_n(data, GeneratorState::kTimingCount, m_state.timingSelection.begin());
        report("timing selection: " + flagList(data, GeneratorState::kTimingCount));
        break;
    case Command::PTNS:
        std::copy_n(data, GeneratorState::kPatternCount, m_state.patternSelection.begin());
        report("pattern selection: " + flagList(data, GeneratorState::kPatternCount));
        break;
    default: {
        std::copy_n(data, GeneratorState::kProgramSize, m_state.program.begin());
        int steps = 0;
        for (int row = 0; row < GeneratorState::kProgramRows; ++row)
            if (data[row * 4] != GeneratorState::kUnsetProgramByte)
                ++steps;
        report("program: " + std::to_string(steps) + " step(s)");
        break;
    }
    }
    answer("OK\r\n", AnswerKind::Final, nowMs);
}

void GeneratorEngine::answerEdidBlock(std::uint8_t offset, std::int64_t nowMs)
{
    if (offset % kBlockSize != 0) {
        resetLine();
        rejectPayload("EDID block offset " + std::to_string(offset) + " not a multiple of 32", nowMs);
        return;
    }
    static constexpr std::array<char, 16> kDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                     '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string text = "A";
    for (int k = 0; k < kBlockSize; ++k) {
        const std::uint8_t b = m_state.edidMemory[static_cast<std::size_t>(offset + k)];
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    text += 'T';
    if (offset / kBlockSize == m_faults.malformedBlock && faultsActive())
        text[kBlockAnswerLength / 2] = 'Z';
    answer(text, AnswerKind::Final, nowMs);

    if (offset == kLastBlockOffset) {
        resetLine();
        ++m_state.edidReads;
        report("EDID read (" + std::to_string(m_itemsDone) + " block requests)");
    }
}

void GeneratorEngine::hangUp(const std::string &why)
{
    if (m_hungUp)
        return;
    m_hungUp = true;
    m_queue.clear();
    report("hung up " + why);
}

void GeneratorEngine::answer(std::string text, AnswerKind kind, std::int64_t nowMs)
{
    m_lastAnswerMs = std::max(m_lastAnswerMs, nowMs);
    if (m_hungUp)
        return;
    static const SimFaults kNoFaults;
    const SimFaults &faults = faultsActive() ? m_faults : kNoFaults;
    if (faults.silent || (faults.noFinalAnswer && kind == AnswerKind::Final))
        return;
    if (faults.noOk && text.find("OK") != std::string::npos)
        text = "NG\r\n";
    if (faults.garbage) {
        text.clear();
        while (text.size() < kGarbageLength) {
            // Noise of every value but 'K', so it never spells "OK".
            const auto c = static_cast<char>(nextRandom() >> 24);
            if (c != 'K')
                text += c;
        }
    } else if (faults.longAnswer) {
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
            text.resize(text.size() - 2);
        text.append(kLongAnswerFill, '.');
        text += "\r\n";
    }

    const std::int64_t readyMs =
        nowMs + kMinProcessingMs +
        static_cast<std::int64_t>(nextRandom() % (kMaxProcessingMs - kMinProcessingMs + 1)) +
        std::max(0, faults.delayMs);
    if (faults.splitOk && text.compare(0, 2, "OK") == 0) {
        enqueue(text.substr(0, 1), readyMs);
        enqueue(text.substr(1), readyMs + kSplitGapMs);
    } else {
        enqueue(text, readyMs);
    }
}

void GeneratorEngine::enqueue(const std::string &bytes, std::int64_t readyMs)
{
    if (m_queue.size() + bytes.size() > kMaxQueuedBytes) {
        protocolError("answer dropped: the line is " + std::to_string(m_queue.size()) + " bytes behind");
        return;
    }
    const std::int64_t start = std::max(readyMs, m_lineFreeMs);
    const auto count = static_cast<std::int64_t>(bytes.size());
    for (std::int64_t i = 0; i < count; ++i)
        m_queue.push_back({start + i * kBitsPerChar * 1000 / kBaud, static_cast<std::uint8_t>(bytes[i])});
    m_lineFreeMs = start + (count * kBitsPerChar * 1000 + kBaud - 1) / kBaud;
    m_lastAnswerMs = std::max(m_lastAnswerMs, m_lineFreeMs);
}

std::uint32_t GeneratorEngine::nextRandom()
{
    // xorshift32: fixed seed, so every run of a test sees the same delays and noise.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}

std::vector<std::uint8_t> GeneratorEngine::takeDue(std::int64_t nowMs)
{
    std::vector<std::uint8_t> due;
    while (!m_queue.empty() && m_queue.front().atMs <= nowMs) {
        due.push_back(m_queue.front().byte);
        m_queue.pop_front();
    }
    if (m_hangUpWhenSent && m_queue.empty()) {
        // The acknowledgment is on its way; the line goes dead a moment after it has arrived.
        m_hangUpWhenSent = false;
        m_hangUpAtMs = nowMs + kHangUpAfterAckMs;
    }
    if (m_hangUpAtMs >= 0 && nowMs >= m_hangUpAtMs) {
        m_hangUpAtMs = -1;
        hangUp("after the " + m_state.lastCommand + " acknowledgment");
    }
    return due;
}

std::int64_t GeneratorEngine::nextDueMs() const
{
    if (m_queue.empty())
        return m_hangUpAtMs;
    return m_hangUpAtMs >= 0 ? std::min(m_hangUpAtMs, m_queue.front().atMs) : m_queue.front().atMs;
}
