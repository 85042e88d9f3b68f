// The link against whatever a generator may answer: the fuzz input picks an operation and the
// values it sends, then is the generator's side of the line, chunk by chunk, each after a delay,
// over receive and step ticks on a virtual clock.
//
// Input: [operation] [timing index] [pattern index] [flags seed] [EDID seed], then records of
// [delay in 20 ms units] [length] [bytes...] until the input ends.
//
// Beyond the sanitizers, every run checks what an operator would rely on:
// - the operation ends, within a bounded time after the last answer;
// - it ends with exactly one outcome, and at most one message is shown, one of the program's own;
// - success comes only when the acknowledgments it needs were on the line;
// - Read EDID changes EdidBuffer only in blocks a well-formed answer carried, and reports
//   success only when all eight came.
#include "HexDigits.h"
#include "LinkHarness.h"
#include "Outcome.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

[[noreturn]] void fail(const char *what, const std::string &detail = {})
{
    std::fprintf(stderr, "link invariant broken: %s %s\n", what, detail.c_str());
    std::abort();
}

std::size_t occurrences(const std::string &haystack, const std::string &needle)
{
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + needle.size()))
        ++count;
    return count;
}

// Every 32-byte block a well-formed block answer on the line could have carried.
std::set<std::string> wellFormedBlocks(const std::string &line)
{
    std::set<std::string> blocks;
    for (std::size_t at = line.find('A'); at != std::string::npos; at = line.find('A', at + 1)) {
        if (at + kEdidBlockAnswerLength > line.size() || line[at + kEdidBlockAnswerLength - 1] != 'T')
            continue;
        std::string block;
        for (std::size_t k = 0; k < 32; ++k) {
            const int high = hexDigitValue(line[at + 1 + 2 * k]);
            const int low = hexDigitValue(line[at + 2 + 2 * k]);
            if (high < 0 || low < 0)
                break;
            block += static_cast<char>(high * 16 + low);
        }
        if (block.size() == 32)
            blocks.insert(block);
    }
    return blocks;
}

} // namespace

// The link and its line talk by queued signals, which an application delivers.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 5)
        return 0;
    const auto op = static_cast<Operation>(data[0] % kOperationCount);
    LinkHarness h;
    h.values.currentTimingIndex = data[1];
    h.values.currentPatternIndex = data[2];
    for (std::size_t i = 0; i < h.values.timingSelection.size(); ++i)
        h.values.timingSelection[i] = static_cast<std::uint8_t>((data[3] >> (i % 8)) & 1);
    for (std::size_t i = 0; i < h.values.patternSelection.size(); ++i)
        h.values.patternSelection[i] = static_cast<std::uint8_t>((data[3] >> ((i + 3) % 8)) & 1);
    const std::vector<std::uint8_t> program(4 * kProgramSteps, data[3]);
    for (std::size_t i = 0; i < h.values.EdidBuffer.size(); ++i)
        h.values.EdidBuffer[i] = static_cast<std::uint8_t>(data[4] + i * 7);
    const EdidBytes edidBefore = h.values.EdidBuffer;

    if (op == Operation::URTCNT) {
        h.link.connectPort(PortChoice::named(1, QStringLiteral("/dev/fuzz"), QStringLiteral("1")));
        h.run(1);
    } else {
        h.connectPresent();
        if (!h.link.StartLinkOperation(op, op == Operation::ATRN ? program : std::vector<std::uint8_t>{}))
            fail("start refused");
    }

    std::string line; // everything the generator said
    std::size_t at = 5;
    while (at + 2 <= size) {
        const int delayMs = data[at] * 20;
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        h.run(delayMs);
        const std::vector<std::uint8_t> chunk(data + at + 2, data + at + 2 + length);
        h.port.queueAnswer(chunk);
        line.append(chunk.begin(), chunk.end());
        at += 2 + length;
    }
    // Once the generator is silent every operation must end: the longest wait is an EDID read's
    // eight blocks, each allowed 4.5 s, or the 10 s of Write EDID.
    if (!h.runUntilIdle(60000))
        fail("operation did not end", commandText(op));

    const std::vector<std::string> messages = h.ui.messages();
    if (messages.size() > 1)
        fail("more than one message");
    for (const std::string &m : messages)
        if (!isOutcomeMessage(m))
            fail("unknown message", m);
    if (h.outcomes().size() != 1 || h.outcomes().front().first != op)
        fail("not exactly one outcome for", commandText(op));
    const bool success = h.outcomes().front().second == Outcome::Succeeded;
    const char *expected = outcomeMessage(op, h.outcomes().front().second);
    if ((expected == nullptr) != messages.empty() || (expected != nullptr && messages.front() != expected))
        fail("message does not match the outcome", outcomeName(h.outcomes().front().second));
    if (success) {
        // An acknowledgment and, after a payload, a final answer.
        const bool twoSteps = op != Operation::DFSET && op != Operation::REDID && op != Operation::URTCNT;
        if (op == Operation::REDID ? occurrences(line, "OK1") < 1
                                   : occurrences(line, "OK") < (twoSteps ? 2u : 1u))
            fail("success without its acknowledgments", commandText(op));
    }
    if (op == Operation::URTCNT && h.state.devicePresent == 1 && occurrences(line, "OK") < 1)
        fail("present without an answer");

    if (op == Operation::REDID) {
        const std::set<std::string> blocks = wellFormedBlocks(line);
        int changedOrProven = 0;
        for (std::size_t b = 0; b < 8; ++b) {
            const std::string now(h.values.EdidBuffer.begin() + 32 * b,
                                  h.values.EdidBuffer.begin() + 32 * (b + 1));
            const std::string before(edidBefore.begin() + 32 * b, edidBefore.begin() + 32 * (b + 1));
            const bool carried = blocks.count(now) != 0;
            if (now != before && !carried)
                fail("EDID block changed without a well-formed answer", std::to_string(b));
            changedOrProven += carried ? 1 : 0;
        }
        if (success && (changedOrProven < 8 || blocks.empty()))
            fail("EDID read reported whole without eight well-formed blocks");
    } else if (h.values.EdidBuffer != edidBefore) {
        fail("EdidBuffer changed by", commandText(op));
    }
    return 0;
}
