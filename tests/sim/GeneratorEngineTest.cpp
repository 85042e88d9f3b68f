#include "GeneratorEngine.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The program's side of the line: bytes 35 ms apart, answers collected as they fall due.
struct Wire {
    explicit Wire(SimFaults faults = {}) : engine(faults)
    {
        engine.onChange = [this](const std::string &line) { changes.push_back(line); };
    }

    void send(const Bytes &bytes)
    {
        for (std::uint8_t b : bytes) {
            engine.receive(b, now);
            lastSentMs = now;
            now += 35;
        }
    }
    void line(const std::string &text, int argument)
    {
        send(Bytes(text.begin(), text.end()));
        send({0x20, static_cast<std::uint8_t>(argument), 0x20, 0x0A, 0x0D});
    }
    void framed(const Bytes &values)
    {
        for (std::uint8_t v : values)
            send({0x20, v, 0x20});
    }
    // A table upload: count, data and a checksum that is right unless skewed.
    void table(const std::string &command, int argument, int count, const Bytes &data, int skew = 0)
    {
        line(command, argument);
        int sum = count;
        for (std::uint8_t b : data)
            sum += b;
        framed({static_cast<std::uint8_t>(count)});
        framed(data);
        framed({static_cast<std::uint8_t>((256 - sum % 256 + skew) % 256)});
    }
    // Everything queued, however late it falls due.
    std::string drain()
    {
        std::string out;
        while (engine.nextDueMs() >= 0) {
            now = std::max(now, engine.nextDueMs());
            const Bytes due = engine.takeDue(now);
            out.append(due.begin(), due.end());
        }
        return out;
    }

    GeneratorEngine engine;
    std::int64_t now = 0;
    std::int64_t lastSentMs = 0;
    std::vector<std::string> changes;
};

Bytes flags(std::size_t count, std::initializer_list<int> set)
{
    Bytes out(count, 0);
    for (int i : set)
        out[static_cast<std::size_t>(i)] = 1;
    return out;
}

std::string times(int n, const std::string &text)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

std::string blockAnswer(const GeneratorState::Edid &edid, int offset)
{
    std::string text = "A";
    for (int k = 0; k < 32; ++k)
        for (int digit : {edid[offset + k] >> 4, edid[offset + k] & 15})
            text += "0123456789ABCDEF"[digit];
    return text + "T";
}

TEST(SimCommandLine, EveryCommandIsAcknowledged)
{
    const std::array<std::pair<const char *, int>, 10> commands = {{{"URTCNT", 0},
                                                                    {"TMIX", 1},
                                                                    {"PTIX", 1},
                                                                    {"TMGS", 37},
                                                                    {"PTNS", 41},
                                                                    {"ATRN", 130},
                                                                    {"DFSET", 0},
                                                                    {"REDID", 0},
                                                                    {"UEDID", 255},
                                                                    {"WEDID", 0}}};
    for (const auto &[text, argument] : commands) {
        Wire w;
        w.line(text, argument);
        EXPECT_EQ(w.drain(), std::string(text) == "REDID" ? "OK1\r\n" : "OK\r\n") << text;
        EXPECT_EQ(w.engine.state().lastCommand, text);
        EXPECT_EQ(w.engine.state().protocolErrors, 0) << text;
    }
}

TEST(SimCommandLine, BadLinesGetOneNgAndTheNextLineIsUnderstood)
{
    // Arguments that look like line ends or spaces must not cut a line short.
    const std::vector<Bytes> bad = {{'T', 'M', 'I', 'X', 0x20, 0x0A, 0x20, 0x0A, 0x0D},
                                    {'T', 'M', 'I', 'X', 0x20, 0x0D, 0x20, 0x0A, 0x0D},
                                    {'U', 'R', 'T', 'C', 'N', 'T', 0x20, 0x20, 0x20, 0x0A, 0x0D},
                                    {'H', 'E', 'L', 'L', 'O', 0x20, 0, 0x20, 0x0A, 0x0D},
                                    {'u', 'r', 't', 'c', 'n', 't', 0x20, 0, 0x20, 0x0A, 0x0D},
                                    {'U', 'R', 'T', 'C', 'N', 'T', 0x20, 0, 0x0A, 0x0D},
                                    Bytes(300, 'A')};
    for (const Bytes &line : bad) {
        Wire w;
        w.send(line);
        w.now += GeneratorEngine::kResyncGapMs; // only needed after the endless text
        w.line("URTCNT", 0);
        EXPECT_EQ(w.drain(), "NG\r\nOK\r\n") << std::string(line.begin(), line.end());
        EXPECT_EQ(w.engine.state().protocolErrors, 1);
    }

    Wire w;
    w.send({0x0D, 0x0A, 0x20, 0x00}); // noise between lines is ignored
    w.send({'T', 'M', 'I'});          // a line given up half way is dropped after a pause
    w.now += GeneratorEngine::kResyncGapMs;
    w.line("URTCNT", 0);
    EXPECT_EQ(w.drain(), "OK\r\n");
    EXPECT_EQ(w.changes.front(), "error: incomplete command line dropped");
}

TEST(SimAnswers, LeaveAfterAProcessingDelayAtLineSpeed)
{
    Wire w;
    w.line("REDID", 0);
    const std::int64_t delay = w.engine.nextDueMs() - w.lastSentMs;
    EXPECT_GE(delay, GeneratorEngine::kMinProcessingMs);
    EXPECT_LE(delay, GeneratorEngine::kMaxProcessingMs);
    w.drain();

    w.framed({0});
    const std::int64_t first = w.engine.nextDueMs();
    std::int64_t last = first;
    std::size_t count = 0;
    while (w.engine.nextDueMs() >= 0) {
        last = w.engine.nextDueMs();
        count += w.engine.takeDue(last).size();
    }
    EXPECT_EQ(count, GeneratorEngine::kBlockAnswerLength);
    EXPECT_NEAR(static_cast<double>(last - first), 65 * 10000.0 / 19200, 1.0)
        << "ten bits a byte at 19200 baud";
}

TEST(SimPayloads, IndexesSelectionsAndProgramAreStored)
{
    Wire w;
    w.line("TMIX", 1);
    w.framed({4});
    w.line("PTIX", 1);
    w.framed({38});
    w.table("TMGS", 37, 35, flags(35, {0, 2}));
    w.table("PTNS", 41, 39, flags(39, {38}));
    Bytes program(128, 0xFF);
    program[0] = 7;
    program[3] = 20;
    w.table("ATRN", 130, 32, program);
    EXPECT_EQ(w.drain(), times(10, "OK\r\n"));

    const GeneratorState &s = w.engine.state();
    EXPECT_EQ(s.timingIndex, 4);
    EXPECT_EQ(s.patternIndex, 38);
    EXPECT_EQ(Bytes(s.timingSelection.begin(), s.timingSelection.end()), flags(35, {0, 2}));
    EXPECT_EQ(Bytes(s.patternSelection.begin(), s.patternSelection.end()), flags(39, {38}));
    EXPECT_EQ(Bytes(s.program.begin(), s.program.end()), program);
    EXPECT_EQ(w.changes, (std::vector<std::string>{"timing 5 (index 4)", "pattern 39 (index 38)",
                                                   "timing selection: 1,3", "pattern selection: 39",
                                                   "program: 1 step(s)"}));

    w.line("DFSET", 0);
    EXPECT_EQ(w.drain(), "OK\r\n");
    EXPECT_EQ(s.timingSelection, GeneratorState::defaultTimingSelection());
    EXPECT_EQ(s.patternSelection, GeneratorState::defaultPatternSelection());
    EXPECT_EQ(s.program, GeneratorState::emptyProgram());
    EXPECT_EQ(s.defaultRestores, 1);
}

TEST(SimPayloads, BadIndexCountChecksumFramingOrStallStoresNothing)
{
    Wire w;
    w.line("TMIX", 1);
    w.framed({35}); // one past the last timing
    w.line("PTIX", 1);
    w.framed({39});
    w.table("TMGS", 37, 35, flags(35, {5}), 1);
    EXPECT_EQ(w.drain(), "OK\r\nNG\r\nOK\r\nNG\r\nOK\r\nNG\r\n");
    EXPECT_EQ(w.changes.back(), "error: bad checksum in TMGS");

    // A wrong count or a framing error is refused at once; the rest of the payload is skipped.
    w.table("PTNS", 41, 38, Bytes(39, 0));
    w.now += GeneratorEngine::kResyncGapMs;
    w.line("ATRN", 130);
    w.send({0x20, 32, 0x21});
    w.framed(Bytes(129, 0));
    w.now += GeneratorEngine::kResyncGapMs;
    // A payload that stalls is given up.
    w.line("TMGS", 37);
    w.framed({35, 1});
    w.now += GeneratorEngine::kExchangeTimeoutMs;
    w.line("URTCNT", 0);
    EXPECT_EQ(w.drain(), "OK\r\nNG\r\nOK\r\nNG\r\nOK\r\nOK\r\n");
    EXPECT_EQ(w.changes.end()[-2], "error: TMGS payload incomplete, dropped");

    const GeneratorState &s = w.engine.state();
    EXPECT_EQ(s.timingIndex, -1);
    EXPECT_EQ(s.patternIndex, -1);
    EXPECT_EQ(s.timingSelection, GeneratorState::defaultTimingSelection());
    EXPECT_EQ(s.patternSelection, GeneratorState::defaultPatternSelection());
    EXPECT_EQ(s.program, GeneratorState::emptyProgram());
    EXPECT_EQ(s.protocolErrors, 6);
}

TEST(SimEdid, ReadUploadAndWrite)
{
    Wire w;
    GeneratorState::Edid edid{};
    for (std::size_t i = 0; i < edid.size(); ++i)
        edid[i] = static_cast<std::uint8_t>(255 - i);
    w.engine.setEdid(edid);
    w.line("REDID", 0);
    EXPECT_EQ(w.drain(), "OK1\r\n");
    for (int offset = 0; offset < 256; offset += 32) {
        w.framed({static_cast<std::uint8_t>(offset)});
        EXPECT_EQ(w.drain(), blockAnswer(edid, offset)) << offset;
    }
    w.line("REDID", 0); // the read is over: commands again
    w.framed({16});
    EXPECT_EQ(w.drain(), "OK1\r\nNG\r\n");

    w.line("WEDID", 0);
    w.framed({1}); // nothing uploaded yet
    GeneratorState::Edid uploaded{};
    for (std::size_t i = 0; i < uploaded.size(); ++i)
        uploaded[i] = static_cast<std::uint8_t>(i * 3);
    w.line("UEDID", 255);
    w.framed(Bytes(uploaded.begin(), uploaded.end()));
    EXPECT_EQ(w.engine.state().edidMemory, edid) << "not before it is written";
    w.line("WEDID", 0);
    w.framed({2});
    w.line("WEDID", 0);
    w.framed({1});
    EXPECT_EQ(w.drain(), "OK\r\nNG\r\nOK\r\nOK\r\nOK\r\nNG\r\nOK\r\nOK\r\n");
    EXPECT_EQ(w.changes.back(), "EDID written");

    w.line("REDID", 0);
    w.framed({224});
    EXPECT_EQ(w.drain(), "OK1\r\n" + blockAnswer(uploaded, 224));
}

TEST(SimFaultInjection, SilentNoFinalAnswerAndNoOk)
{
    SimFaults silent;
    silent.silent = true;
    Wire s(silent);
    s.line("TMIX", 1);
    s.framed({3});
    EXPECT_EQ(s.drain(), "");
    EXPECT_EQ(s.engine.state().timingIndex, 3) << "it still listens";

    SimFaults noFinal;
    noFinal.noFinalAnswer = true;
    Wire n(noFinal);
    n.line("DFSET", 0);
    n.line("TMIX", 1);
    n.framed({99});
    n.line("REDID", 0);
    n.framed({0});
    EXPECT_EQ(n.drain(), "OK\r\nOK\r\nOK1\r\n");

    SimFaults noOk;
    noOk.noOk = true;
    Wire o(noOk);
    o.line("TMIX", 1);
    o.framed({3});
    o.line("REDID", 0);
    EXPECT_EQ(o.drain(), "NG\r\nNG\r\nNG\r\n");

    // Faults that wait for the second command line let the presence check pass.
    SimFaults later;
    later.silent = true;
    later.fromCommand = 2;
    Wire l(later);
    l.line("URTCNT", 0);
    EXPECT_EQ(l.drain(), "OK\r\n");
    l.line("DFSET", 0);
    EXPECT_EQ(l.drain(), "");
}

TEST(SimFaultInjection, SplitDelayedLongAndGarbageAnswers)
{
    SimFaults split;
    split.splitOk = true;
    Wire s(split);
    s.line("REDID", 0);
    EXPECT_EQ(s.engine.takeDue(s.engine.nextDueMs() + GeneratorEngine::kSplitGapMs - 1), Bytes{'O'});
    EXPECT_EQ(s.drain(), "K1\r\n");

    SimFaults delayed;
    delayed.delayMs = 3000;
    Wire d(delayed);
    d.line("URTCNT", 0);
    EXPECT_GE(d.engine.nextDueMs() - d.lastSentMs, 3000 + GeneratorEngine::kMinProcessingMs);

    SimFaults longAnswer;
    longAnswer.longAnswer = true;
    Wire l(longAnswer);
    l.line("URTCNT", 0);
    const std::string text = l.drain();
    EXPECT_GT(text.size(), 1024u + 4);
    EXPECT_EQ(text.substr(0, 2), "OK");
    EXPECT_EQ(text.find("\r\n"), text.size() - 2);

    SimFaults garbage;
    garbage.garbage = true;
    Wire g(garbage);
    g.line("URTCNT", 0);
    const std::string noise = g.drain();
    EXPECT_EQ(noise.size(), GeneratorEngine::kGarbageLength);
    EXPECT_EQ(noise.find("OK"), std::string::npos);
}

TEST(SimFaultInjection, MalformedBlockAndHangUp)
{
    SimFaults malformed;
    malformed.malformedBlock = 2;
    Wire m(malformed);
    m.line("REDID", 0);
    m.drain();
    for (int offset : {32, 64}) {
        m.framed({static_cast<std::uint8_t>(offset)});
        const std::string block = m.drain();
        ASSERT_EQ(block.size(), GeneratorEngine::kBlockAnswerLength);
        EXPECT_EQ(block.front(), 'A');
        EXPECT_EQ(block.back(), 'T');
        EXPECT_EQ(block.find_first_not_of("0123456789ABCDEF", 1) == block.size() - 1, offset != 64) << offset;
    }

    SimFaults hangUp;
    hangUp.hangUpMidPayload = true;
    Wire h(hangUp);
    h.line("URTCNT", 0); // no payload, no hang-up
    h.line("TMGS", 37);
    h.framed({35});
    h.framed(Bytes(17, 0)); // 54 of 111 payload bytes
    EXPECT_FALSE(h.engine.hungUp());
    h.send({0x20});
    EXPECT_TRUE(h.engine.hungUp());
    h.send({0, 0x20});
    h.line("URTCNT", 0);
    EXPECT_EQ(h.drain(), "");

    // After the acknowledgment has gone out in full, once the faults are in force.
    SimFaults afterAck;
    afterAck.hangUpAfterAck = true;
    afterAck.fromCommand = 2;
    Wire a(afterAck);
    a.line("URTCNT", 0);
    EXPECT_EQ(a.drain(), "OK\r\n");
    a.line("TMGS", 37);
    EXPECT_EQ(a.drain(), "OK\r\n");
    EXPECT_TRUE(a.engine.hungUp());
    a.framed({35});
    EXPECT_EQ(a.drain(), "");
}

TEST(SimRobustness, AnswersNobodyReadsStayBounded)
{
    // Found by fuzzing: broken lines under the long-answer fault queued answers without end.
    SimFaults f;
    f.longAnswer = true;
    Wire w(f);
    w.line("URTCNT", 0);
    for (int i = 0; i < 200; ++i) {
        w.send({'?'});
        w.now += 300; // each one a broken line of its own
    }
    EXPECT_LE(w.engine.queuedBytes(), GeneratorEngine::kMaxQueuedBytes);
    EXPECT_GT(w.engine.state().protocolErrors, 200);
}

TEST(SimRobustness, RecoversFromAnyByteStreamWhateverTheFaults)
{
    // Random bytes, biased towards the protocol's own, under every combination of the
    // answer-shaping faults; after a pause a presence check must work again.
    std::uint32_t seed = 12345;
    const std::array<std::uint8_t, 8> common = {0x20, 0x0A, 0x0D, 0x00, 'T', 'M', 'I', 'X'};
    for (int combination = 0; combination < 16; ++combination) {
        SimFaults f;
        f.noOk = (combination & 1) != 0;
        f.longAnswer = (combination & 2) != 0;
        f.splitOk = (combination & 4) != 0;
        f.malformedBlock = (combination & 8) != 0 ? 0 : -1;
        Wire w(f);
        for (int i = 0; i < 3000; ++i) {
            seed = seed * 1103515245u + 12345u;
            const std::uint8_t b = (seed >> 16) % 3 == 0 ? common[(seed >> 8) % common.size()]
                                                         : static_cast<std::uint8_t>(seed >> 20);
            w.send({b});
            if (i % 97 == 0)
                w.drain();
        }
        w.drain();
        w.now += GeneratorEngine::kExchangeTimeoutMs;
        w.line("URTCNT", 0);
        EXPECT_EQ(w.drain().substr(0, 2), f.noOk ? "NG" : "OK") << combination;
    }
}

} // namespace
