#include "LinkHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

using Events = std::vector<std::string>;

bool contains(const Events &events, const std::string &e)
{
    return std::find(events.begin(), events.end(), e) != events.end();
}

PortChoice comPort(int number)
{
    return PortChoice::named(number, QStringLiteral("/dev/ttyS%1").arg(number - 1), QString::number(number));
}

// Starts op, answers its command line with ack and runs until the answer has been examined and
// any payload has gone out.
void startAndAnswer(LinkHarness &h, Operation op, const char *ack = "OK\r\n",
                    std::vector<std::uint8_t> table = {})
{
    ASSERT_TRUE(h.link.StartLinkOperation(op, std::move(table)));
    h.runUntilSent();
    h.port.queueAnswer(ack);
    for (int i = 0; i < 20 && (h.state.step(op) == AwaitAck || h.state.step(op) == AckIn); ++i)
        h.run(100);
    h.runUntilSent();
}

void answerFinal(LinkHarness &h, const char *answer = "OK\r\n")
{
    h.port.queueAnswer(answer);
    ASSERT_TRUE(h.runUntilIdle());
}

std::vector<std::uint8_t> blockAnswer(const EdidBytes &edid, int offset, bool lowerCase = false)
{
    std::string text = "A";
    char digits[3];
    for (int k = 0; k < 32; ++k) {
        std::snprintf(digits, sizeof digits, lowerCase ? "%02x" : "%02X", edid[offset + k]);
        text += digits;
    }
    text += "T";
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

EdidBytes sampleEdid()
{
    EdidBytes e{};
    for (int i = 0; i < kEdidSize; ++i)
        e[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return e;
}

TEST(StartRule, RefusesSilentlyWithoutPortGeneratorOrWhileBusy)
{
    LinkHarness h;
    EXPECT_FALSE(h.link.StartLinkOperation(Operation::DFSET)); // port closed
    h.connectPresent();
    h.state.devicePresent = 0;
    EXPECT_FALSE(h.link.StartLinkOperation(Operation::DFSET)); // generator absent
    h.state.devicePresent = 1;
    h.state.stepTMGS = AwaitReply;
    EXPECT_FALSE(h.link.StartLinkOperation(Operation::TMIX)); // upload running
    EXPECT_TRUE(h.port.writtenBytes().empty());
    EXPECT_TRUE(h.ui.events.empty());
}

TEST(StartRule, CommandLinesAndArguments)
{
    struct Case {
        Operation op;
        const char *text;
        int argument;
    };
    for (const Case &c : {Case{Operation::TMIX, "TMIX", 1}, Case{Operation::PTIX, "PTIX", 1},
                          Case{Operation::TMGS, "TMGS", 37}, Case{Operation::PTNS, "PTNS", 41},
                          Case{Operation::ATRN, "ATRN", 130}, Case{Operation::DFSET, "DFSET", 0},
                          Case{Operation::REDID, "REDID", 0}, Case{Operation::UEDID, "UEDID", 255},
                          Case{Operation::WEDID, "WEDID", 0}}) {
        LinkHarness h;
        h.connectPresent();
        h.ui.receiveLog = "stale";
        ASSERT_TRUE(
            h.link.StartLinkOperation(c.op, std::vector<std::uint8_t>(c.op == Operation::ATRN ? 128 : 0)));
        h.runUntilSent();
        EXPECT_EQ(h.port.writtenBytes(), commandLine(c.text, c.argument)) << c.text;
        EXPECT_EQ(h.state.step(c.op), AwaitAck);
        EXPECT_EQ(h.ui.receiveLog, "");
    }
}

TEST(PresenceCheck, AnswerDecidesTheDisplayWithoutMessage)
{
    for (const char *answer : {"OK\r\n", "NG\r\n"}) {
        LinkHarness h;
        h.link.connectPort(comPort(1));
        h.runUntilSent();
        EXPECT_EQ(h.port.writtenBytes(), commandLine("URTCNT", 0));
        h.port.queueAnswer(answer);
        ASSERT_TRUE(h.runUntilIdle());
        const bool ok = std::string(answer) == "OK\r\n";
        EXPECT_EQ(h.state.devicePresent, ok ? 1 : 0);
        EXPECT_EQ(h.ui.events.back(), ok ? "present" : "progress:0");
        EXPECT_TRUE(h.ui.messages().empty());
    }
}

TEST(Flood, WhatTheLineHeldBeforeACommandIsNotItsAnswer)
{
    // Ten seconds of garbage at 100 KB/s while idle, with an "OK" in it; then Run Timing, which a
    // generator refuses. The garbage neither acknowledges it nor delays the real answer.
    LinkHarness h;
    h.connectPresent();
    std::vector<std::uint8_t> garbage(10000, '#');
    garbage[5000] = 'O';
    garbage[5001] = 'K';
    for (int i = 0; i < 100; ++i) {
        h.port.queueAnswer(garbage);
        h.run(100);
    }
    EXPECT_EQ(h.port.pendingAnswerBytes(), 0u) << "each tick drains the line";
    EXPECT_FALSE(h.link.LinkBusy());
    h.port.queueAnswer(garbage); // still arriving when the command starts
    startAndAnswer(h, Operation::TMIX, "NG\r\n");
    EXPECT_EQ(h.outcomes().back(), std::make_pair(Operation::TMIX, Outcome::NotAcknowledged));

    h.port.queueAnswer(garbage);
    startAndAnswer(h, Operation::TMIX);
    answerFinal(h);
    EXPECT_EQ(h.outcomes().back(), std::make_pair(Operation::TMIX, Outcome::Succeeded));
}

// A generator that acts as soon as it can: on a command line at its 0x0A (before the closing
// 0x0D) and on a framed byte at its value byte (before the closing 0x20).
struct PromptGenerator {
    explicit PromptGenerator(LinkHarness &h) : h(h)
    {
        h.port.onWrite = [this](std::uint8_t byte) { take(byte); };
    }
    void take(std::uint8_t byte)
    {
        if (skipReturn) { // the 0x0D after a line acted on
            skipReturn = false;
            return;
        }
        if (framedLeft == 0) {
            if (byte != 0x0A) {
                line += static_cast<char>(byte);
                return;
            }
            const std::string command = line.substr(0, line.find(' '));
            line.clear();
            skipReturn = true;
            const std::map<std::string, int> payloads = {{"TMIX", 1},  {"PTIX", 1},   {"TMGS", 37},
                                                         {"PTNS", 41}, {"ATRN", 130}, {"UEDID", 256},
                                                         {"WEDID", 1}, {"REDID", 8}};
            blocks = command == "REDID";
            h.port.queueAnswer(blocks ? "OK1\r\n" : "OK\r\n");
            framedLeft = payloads.count(command) != 0 ? payloads.at(command) : 0;
            position = 0;
            return;
        }
        if (position++ % 3 != 1) // the spaces around a value
            return;
        --framedLeft;
        if (blocks) {
            std::string block = "A";
            for (int k = 0; k < 32; ++k)
                block += "5A";
            h.port.queueAnswer((block + "T").c_str());
        } else if (framedLeft == 0) {
            h.port.queueAnswer("OK\r\n");
        }
    }

    LinkHarness &h;
    std::string line;
    bool skipReturn = false;
    bool blocks = false;
    int framedLeft = 0;
    int position = 0;
};

TEST(PromptGenerator, AnAnswerThatBeginsBeforeTheLastCharacterIsTheAnswer)
{
    // Whatever comes from the first character of a command line on belongs to its operation; an
    // answer to a payload's last value byte is the final one.
    for (Operation op : kAllOperations) {
        LinkHarness h;
        PromptGenerator generator(h);
        h.link.connectPort(comPort(1));
        h.runUntilSent();
        ASSERT_TRUE(h.runUntilIdle());
        ASSERT_EQ(h.state.devicePresent, 1) << "the presence check";
        if (op == Operation::URTCNT)
            continue;
        ASSERT_TRUE(
            h.link.StartLinkOperation(op, std::vector<std::uint8_t>(op == Operation::ATRN ? 128 : 0, 0xFF)));
        ASSERT_TRUE(h.runUntilIdle());
        EXPECT_EQ(h.outcomes().back(), std::make_pair(op, Outcome::Succeeded)) << commandText(op);
    }
}

TEST(EndlessAnswer, IsTakenAsItStandsTwoStepTicksAfterItBegan)
{
    // A generator that trickles a dot every 150 ms, or drips a byte every 150 to 199 ms, for good:
    // the answer is examined as it stands, and the link is free again at once.
    for (const bool drip : {false, true}) {
        LinkHarness h;
        h.connectPresent();
        int n = 0;
        std::int64_t next = 0;
        h.clock.onAdvance = [&](std::int64_t now) {
            if (next == 0 || now < next)
                return;
            h.port.queueAnswer(drip ? std::vector<std::uint8_t>{static_cast<std::uint8_t>('a' + n % 26)}
                                    : std::vector<std::uint8_t>{'.'});
            next = now + (drip ? 150 + (n * 37) % 50 : 150);
            ++n;
        };
        ASSERT_TRUE(h.link.StartLinkOperation(Operation::TMIX));
        h.runUntilSent();
        next = h.clock.nowMs();
        const std::int64_t firstByte = next;
        while (h.ui.messages().empty() && h.clock.nowMs() - firstByte < 20000)
            h.run(10);
        EXPECT_EQ(h.ui.messages(), Events{"Error!!"}) << drip;
        EXPECT_LE(h.clock.nowMs() - firstByte, 1500) << drip;
        EXPECT_TRUE(h.link.StartLinkOperation(Operation::TMIX)) << "not refused while the line still talks";
    }
}

// What the link says beside its outcomes.
struct Said {
    explicit Said(DeviceLink &link)
    {
        QObject::connect(&link, &DeviceLink::lineSaid, [this](const QString &t) { words << t; });
        QObject::connect(&link, &DeviceLink::lineLost, [this](const QString &r) { lost << r; });
        QObject::connect(&link, &DeviceLink::connectFinished,
                         [this](bool opened, const QString &, const QString &detail) {
                             opens << (opened ? QStringLiteral("opened") : "failed: " + detail);
                         });
    }
    QStringList words;
    QStringList lost;
    QStringList opens;
};

TEST(LineSaid, TextInPlaceOfAnAnswerIsPassedOnWithTheOutcome)
{
    struct Case {
        const char *answer;
        Outcome outcome;
        QStringList words;
    };
    for (const Case &c : {Case{"Device open failure: Value or file not found\r\n",
                               Outcome::NotAcknowledged,
                               {"Device open failure: Value or file not found"}},
                          Case{"NG\r\n", Outcome::NotAcknowledged, {"NG"}},
                          Case{"\x01\x02#\r\n", Outcome::NotAcknowledged, {}}, // noise is not news
                          Case{"OK\r\n", Outcome::Succeeded, {}}}) {
        LinkHarness h;
        Said said(h.link);
        h.connectPresent();
        startAndAnswer(h, Operation::DFSET, c.answer);
        EXPECT_EQ(h.outcomes().back().second, c.outcome) << c.answer;
        EXPECT_EQ(said.words, c.words) << c.answer;
    }
}

TEST(LineLost, AHangUpIsSaidAtOnceAndWhatWaitsForAnAnswerEndsAtTheNextStepTick)
{
    // A terminal server that cannot reach the device: its words, then it hangs up.
    LinkHarness h;
    Said said(h.link);
    h.connectPresent();
    h.port.queueAnswer("Port already in use\r\n");
    h.port.hangUp();
    h.run(100);
    EXPECT_EQ(said.lost, QStringList{"hung up"});
    EXPECT_EQ(said.words, QStringList{"Port already in use"});
    EXPECT_EQ(h.state.devicePresent, 0);
    EXPECT_TRUE(h.ui.messages().empty()) << "no box for it";

    // Gone while an operation waits: an answer that came first is examined as ever; with none,
    // no time-out is waited for on a line that cannot answer.
    for (const char *answer : {"NG\r\n", ""}) {
        LinkHarness g;
        Said gSaid(g.link);
        g.connectPresent();
        ASSERT_TRUE(g.link.StartLinkOperation(Operation::TMIX));
        g.runUntilSent();
        g.port.queueAnswer(answer);
        g.port.hangUp();
        g.run(600);
        ASSERT_FALSE(g.outcomes().empty()) << answer;
        EXPECT_EQ(g.outcomes().back().second, *answer != 0 ? Outcome::NotAcknowledged : Outcome::NoResponse);
        // Said when the line went, and not again with the outcome.
        EXPECT_EQ(gSaid.words, *answer != 0 ? QStringList{"NG"} : QStringList{}) << answer;
    }
}

TEST(LineLost, APortOpenedAgainOfItselfCountsOnlyOnceItStays)
{
    LinkHarness h;
    Said said(h.link);
    // Accepted, then hung up at once: not back, and nothing changes for the operator.
    h.port.queueAnswer("Port already in use\r\n");
    h.link.connectPort(comPort(1), true);
    h.run(10);
    h.port.hangUp();
    h.run(DeviceLink::kSettleMs);
    EXPECT_EQ(said.opens, QStringList{"failed: hung up"});
    EXPECT_EQ(said.words, QStringList{"Port already in use"});
    EXPECT_EQ(h.state.portOpen, 0);
    EXPECT_TRUE(h.port.writtenBytes().empty()) << "no presence check on a line that is not back";
    EXPECT_TRUE(h.ui.events.empty());
    // Staying open: back, and the presence check runs.
    h.link.connectPort(comPort(1), true);
    h.run(DeviceLink::kSettleMs - 50);
    EXPECT_TRUE(h.port.writtenBytes().empty());
    h.runUntilSent();
    EXPECT_EQ(h.port.writtenBytes(), commandLine("URTCNT", 0));
    EXPECT_EQ(said.opens.back(), QStringLiteral("opened"));
}

TEST(TimeOuts, CountFromTheEndOfTheLastLineInReceiveTicks)
{
    // Silence after the command line (the acknowledgment) or after the payload (the final
    // answer): "No Response !!" at the first step tick once the ticks are past the limit.
    struct Case {
        Operation op;
        bool acknowledged;
        int ticks;
    };
    for (const Case &c : {Case{Operation::URTCNT, false, 16}, Case{Operation::REDID, false, 45},
                          Case{Operation::TMIX, true, 16}, Case{Operation::TMGS, true, 70},
                          Case{Operation::WEDID, true, 100}}) {
        LinkHarness h;
        if (c.op == Operation::URTCNT) {
            h.link.connectPort(comPort(1));
            h.run(10);
        } else {
            h.connectPresent();
            ASSERT_TRUE(h.link.StartLinkOperation(c.op));
        }
        if (c.acknowledged) {
            h.runUntilSent();
            h.port.queueAnswer("OK\r\n");
        }
        std::int64_t lineEnd = 0;
        while (h.ui.messages().empty() && h.clock.nowMs() < 30000) {
            h.run(5);
            if (!h.port.written().empty())
                lineEnd = h.port.written().back().atMs + 35;
        }
        EXPECT_EQ(h.ui.messages(), Events{"No Response !!"}) << commandText(c.op);
        const std::int64_t after = h.clock.nowMs() - lineEnd;
        EXPECT_GE(after, c.ticks * 100) << commandText(c.op);
        EXPECT_LE(after, c.ticks * 100 + 100 + 500 + 5) << commandText(c.op);
        EXPECT_EQ(h.state.devicePresent, 0);
        EXPECT_EQ(h.state.portOpen, 1); // the port stays open; Connect reopens it
    }
}

TEST(Connect, EachOpenFailureHasItsMessageAndTheDeviceShowsOnOneLine)
{
    struct Case {
        OpenError error;
        QString problem; // of the name itself
        const char *message;
        const char *detail;
    };
    for (const Case &c : {Case{{OpenError::Stage::Open, "/dev/ttyUSB0", "permission denied"},
                               {},
                               "Open COM Port 5 fail !!",
                               "/dev/ttyUSB0: permission denied"},
                          Case{{OpenError::Stage::Open, "/tmp/a\nb\x1B", "not found"},
                               {},
                               "Open COM Port 5 fail !!",
                               "/tmp/a\\nb\\x1B: not found"},
                          Case{{OpenError::Stage::LineParameters, "/dev/ttyS4", "x"}, {}, "Error!!", ""},
                          Case{{OpenError::Stage::SecondSetup, "/dev/ttyS4", "x"}, {}, "Error", ""},
                          Case{{},
                               QStringLiteral("the name is not valid UTF-8"),
                               "Open COM Port 5 fail !!",
                               "/dev/ttyS4: the name is not valid UTF-8"}}) {
        LinkHarness h;
        h.port.openOk = false;
        h.port.openError = c.error;
        PortChoice port = comPort(5);
        port.problem = c.problem;
        h.link.connectPort(port);
        h.run(10);
        EXPECT_EQ(h.ui.messages(), Events{c.message});
        EXPECT_EQ(h.ui.details, Events{c.detail});
        EXPECT_EQ(h.port.openedDevice().isEmpty(), !c.problem.isEmpty())
            << "a name that is not as given is never opened";
        EXPECT_EQ(h.state.portOpen, 0);
    }
}

TEST(Connect, FailedReopenLeavesPortClosedAndShowsAbsent)
{
    LinkHarness h;
    h.link.connectPort(comPort(2));
    h.runUntilSent();
    h.port.queueAnswer("OK\r\n");
    ASSERT_TRUE(h.runUntilIdle());
    ASSERT_EQ(h.state.devicePresent, 1);
    h.port.openOk = false;
    h.link.connectPort(comPort(5));
    h.run(10);
    EXPECT_EQ(h.ui.messages(), Events{"Open COM Port 5 fail !!"});
    EXPECT_EQ(h.state.portOpen, 0);
    EXPECT_EQ(h.state.devicePresent, 0);
    EXPECT_TRUE(contains(h.ui.events, "absent"));
}

TEST(Connect, ReconnectingEndsWhatRanOnTheOldPortQuietly)
{
    LinkHarness h;
    h.connectPresent();
    startAndAnswer(h, Operation::TMIX); // now waiting for the final answer
    ASSERT_EQ(h.state.stepTMIX, AwaitReply);
    h.link.connectPort(comPort(1));
    h.runUntilSent();
    h.port.queueAnswer("OK\r\n");
    ASSERT_TRUE(h.runUntilIdle());
    h.run(10000);
    EXPECT_TRUE(h.ui.messages().empty());
    EXPECT_EQ(h.state.devicePresent, 1);
}

TEST(Connect, ReconnectingKeepsTheBarOfAFinishedOperation)
{
    LinkHarness h;
    h.connectPresent();
    startAndAnswer(h, Operation::WEDID);
    answerFinal(h);
    ASSERT_EQ(h.link.progress(), 100);
    h.link.connectPort(comPort(1));
    EXPECT_EQ(h.link.progress(), 100);

    // One that is cut short starts from nothing again.
    h.runUntilSent();
    h.port.queueAnswer("OK\r\n");
    ASSERT_TRUE(h.runUntilIdle());
    startAndAnswer(h, Operation::WEDID);
    ASSERT_EQ(h.link.progress(), 50);
    h.link.connectPort(comPort(1));
    EXPECT_EQ(h.link.progress(), 0);
}

TEST(Disconnect, EndsARunningOperationQuietly)
{
    LinkHarness h;
    h.connectPresent();
    ASSERT_TRUE(h.link.StartLinkOperation(Operation::TMIX));
    h.link.disconnectPort();
    EXPECT_FALSE(h.link.LinkBusy());
    EXPECT_EQ(h.state.portOpen, 0);
    EXPECT_EQ(h.link.progress(), 0);
    // Reconnecting is answered by the presence check alone, not by a stale time-out.
    h.link.connectPort(comPort(1));
    h.runUntilSent();
    h.port.queueAnswer("OK\r\n");
    h.run(30000);
    EXPECT_TRUE(h.ui.messages().empty());
    EXPECT_EQ(h.state.devicePresent, 1);
}

TEST(RunTiming, SendsTheIndexAfterTheAcknowledgment)
{
    LinkHarness h;
    h.connectPresent();
    h.values.currentTimingIndex = 4;
    startAndAnswer(h, Operation::TMIX);
    EXPECT_EQ(h.port.writtenBytes(), concat({commandLine("TMIX", 1), framed(4)}));
    answerFinal(h);
    EXPECT_TRUE(h.ui.messages().empty());
    EXPECT_EQ(h.ui.events.back(), "present");
}

TEST(RunPattern, WrongAnswersGiveError)
{
    LinkHarness h;
    h.connectPresent();
    h.values.currentPatternIndex = 38;
    startAndAnswer(h, Operation::PTIX, "NG\r\n");
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
    EXPECT_EQ(h.port.writtenBytes(), commandLine("PTIX", 1));

    h.ui.events.clear();
    startAndAnswer(h, Operation::PTIX);
    answerFinal(h, "??\r\n");
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
    EXPECT_EQ(h.state.devicePresent, 1);
}

TEST(SplitAnswer, IsExaminedOnlyOnceWhole)
{
    // A step tick that falls between the reads of one answer waits for the rest: the answer is
    // whole when it holds the acknowledgment, ends in CR LF, or a receive tick brought nothing.
    struct Case {
        Operation op;
        const char *first;
        const char *second; // nullptr: the generator says nothing more
        const char *message;
    };
    for (const Case &c :
         {Case{Operation::DFSET, "O", "K", "Upload Successful!!"},
          Case{Operation::DFSET, "N", "G\r\n", "Error!!"}, Case{Operation::DFSET, "O", nullptr, "Error!!"},
          Case{Operation::REDID, "OK", "1\r\n", nullptr}}) {
        LinkHarness h;
        h.connectPresent();
        ASSERT_TRUE(h.link.StartLinkOperation(c.op));
        h.runUntilSent();
        h.port.queueAnswer(c.first);
        h.run(600); // a step tick falls between the halves
        EXPECT_TRUE(h.ui.messages().empty()) << c.first;
        if (c.second != nullptr)
            h.port.queueAnswer(c.second);
        h.run(1000);
        if (c.message != nullptr) {
            EXPECT_EQ(h.ui.messages(), Events{c.message}) << c.first;
        } else {
            EXPECT_EQ(h.state.step(c.op), AwaitReply) << "acknowledged";
        }
    }
}

TEST(SplitAnswer, RunTimingNeverFailsWhenEveryAnswerComesInTwoHalves)
{
    // A slow bridge: each answer arrives as "O", then "K\r\n" a while later, at every phase
    // against the ticks.
    for (int gapMs : {20, 60, 120, 150}) {
        for (int phaseMs = 0; phaseMs < 500; phaseMs += 20) {
            LinkHarness h;
            h.connectPresent();
            h.run(phaseMs);
            std::int64_t secondHalfAt = -1;
            h.port.onWrite = [&](std::uint8_t byte) {
                if (byte == 0x0D ||
                    (byte == 0x20 && h.port.written().size() > 9 && h.port.written().size() % 3 == 0)) {
                    h.port.queueAnswer("O");
                    secondHalfAt = h.clock.nowMs() + gapMs;
                }
            };
            h.clock.onAdvance = [&](std::int64_t now) {
                if (secondHalfAt >= 0 && now >= secondHalfAt) {
                    h.port.queueAnswer("K\r\n");
                    secondHalfAt = -1;
                }
            };
            ASSERT_TRUE(h.link.StartLinkOperation(Operation::TMIX));
            ASSERT_TRUE(h.runUntilIdle());
            EXPECT_EQ(h.outcomes().back(), std::make_pair(Operation::TMIX, Outcome::Succeeded))
                << gapMs << " ms apart, phase " << phaseMs;
        }
    }
}

TEST(DefaultSetting, OutcomesAndDisplays)
{
    LinkHarness h;
    h.connectPresent();
    startAndAnswer(h, Operation::DFSET);
    EXPECT_EQ(h.ui.messages(), Events{"Upload Successful!!"});
    EXPECT_EQ(h.state.devicePresent, 1);

    h.ui.events.clear();
    startAndAnswer(h, Operation::DFSET, "NG\r\n");
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
    EXPECT_EQ(h.state.devicePresent, 0);
}

TEST(TimingUpload, BytesChecksumProgressAndMessage)
{
    LinkHarness h;
    h.connectPresent();
    h.values.timingSelection[0] = 1;
    h.values.timingSelection[2] = 1;
    startAndAnswer(h, Operation::TMGS);
    std::vector<std::uint8_t> expected =
        concat({commandLine("TMGS", 37), framed(35), framed(1), framed(0), framed(1)});
    for (int i = 0; i < 32; ++i)
        expected = concat({expected, framed(0)});
    expected = concat({expected, framed(0xDB)});
    EXPECT_EQ(h.port.writtenBytes(), expected);
    EXPECT_EQ(h.ui.progressValues.front(), 0);
    EXPECT_EQ(h.ui.progressValues[1], 2);
    EXPECT_EQ(h.ui.progressValues[2], 5);
    EXPECT_EQ(h.ui.progressValues[3], 8);
    EXPECT_EQ(h.ui.progressValues.back(), 100);
    EXPECT_TRUE(contains(h.ui.events, "panel0"));
    answerFinal(h);
    EXPECT_EQ(h.ui.messages(), Events{"Upload successful!!"});
}

TEST(PatternUpload, CountFlagsAndChecksumAddUpToZero)
{
    LinkHarness h;
    h.connectPresent();
    for (int i = 0; i < kPatternCount; i += 2)
        h.values.patternSelection[i] = 7; // a stray non-zero flag still goes out as 1
    startAndAnswer(h, Operation::PTNS);
    const auto bytes = h.port.writtenBytes();
    const std::size_t payloadStart = commandLine("PTNS", 41).size();
    ASSERT_EQ(bytes.size(), payloadStart + 3 * (1 + 39 + 1));
    unsigned sum = 0;
    for (std::size_t i = payloadStart + 1; i < bytes.size(); i += 3) {
        sum += bytes[i];
        if (i > payloadStart + 1 && i < bytes.size() - 3) {
            EXPECT_LE(bytes[i], 1);
        }
    }
    EXPECT_EQ(sum % 256, 0u);
    EXPECT_EQ(h.ui.progressValues[1], 2);
    EXPECT_EQ(h.ui.progressValues[2], 5);
    EXPECT_EQ(h.ui.progressValues[3], 7);
}

TEST(ProgramUpload, OneValidRowThenUnsetRows)
{
    LinkHarness h;
    h.connectPresent();
    // Handed over in wire order: row by row.
    std::vector<std::uint8_t> program(128, 0xFF);
    program[0] = 5;
    program[1] = 2;
    program[2] = 1;
    program[3] = 5;
    startAndAnswer(h, Operation::ATRN, "OK\r\n", program);
    std::vector<std::uint8_t> expected =
        concat({commandLine("ATRN", 130), framed(32), framed(5), framed(2), framed(1), framed(5)});
    for (int i = 0; i < 31 * 4; ++i)
        expected = concat({expected, framed(0xFF)});
    const unsigned sum = 32 + 5 + 2 + 1 + 5 + 31 * 4 * 0xFF;
    expected = concat({expected, framed(static_cast<int>((256 - sum % 256) % 256))});
    EXPECT_EQ(h.port.writtenBytes(), expected);
    EXPECT_EQ(h.ui.progressValues[1], 3);
    EXPECT_EQ(h.ui.progressValues[2], 6);
    answerFinal(h, "NG");
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
}

TEST(TableUpload, PayloadIsTakenWhenItStarts)
{
    LinkHarness h;
    h.connectPresent();
    h.values.timingSelection.fill(1);
    // The window changes its selection while the payload is going out.
    h.port.onWrite = [&](std::uint8_t) {
        if (h.port.written().size() > commandLine("TMGS", 37).size())
            h.values.timingSelection.fill(0);
    };
    startAndAnswer(h, Operation::TMGS);
    const auto bytes = h.port.writtenBytes();
    const std::size_t dataStart = commandLine("TMGS", 37).size() + 3;
    for (int i = 0; i < kTimingCount; ++i)
        EXPECT_EQ(bytes[dataStart + 3 * i + 1], 1) << i;
    EXPECT_EQ(bytes[bytes.size() - 2], (256 - (35 + 35) % 256) % 256);
}

TEST(TableUpload, AnAnswerBeforeThePayloadIsCompleteEndsItInError)
{
    // The generator cannot have the upload, whatever it says; and nothing more is sent.
    for (const char *answer : {"OK\r\n", "NG\r\n"}) {
        LinkHarness h;
        h.connectPresent();
        ASSERT_TRUE(h.link.StartLinkOperation(Operation::TMGS));
        h.runUntilSent();
        h.port.queueAnswer("OK\r\n");
        const std::size_t line = commandLine("TMGS", 37).size();
        h.port.onWrite = [&](std::uint8_t) {
            if (h.port.written().size() == line + 3 * 18)
                h.port.queueAnswer(answer);
        };
        ASSERT_TRUE(h.runUntilIdle());
        const std::size_t sent = h.port.writtenBytes().size() - line;
        EXPECT_GE(sent, 3u * 18);
        EXPECT_LT(sent, 3u * 20) << "bytes went on after the answer";
        EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
        EXPECT_EQ(h.outcomes().back(), std::make_pair(Operation::TMGS, Outcome::EarlyAnswer));
        h.run(10000);
        EXPECT_EQ(h.ui.messages().size(), 1u);
    }
}

TEST(EdidUpload, SendsAllBytesWithProgressAndNoChecksum)
{
    LinkHarness h;
    h.connectPresent();
    h.values.EdidBuffer = sampleEdid();
    startAndAnswer(h, Operation::UEDID);
    auto expected = commandLine("UEDID", 255);
    for (int i = 0; i < kEdidSize; ++i)
        expected = concat({expected, framed(h.values.EdidBuffer[i])});
    EXPECT_EQ(h.port.writtenBytes(), expected);
    EXPECT_EQ(h.ui.progressValues.back(), 100);
    answerFinal(h);
    EXPECT_EQ(h.ui.messages(), Events{"Upload successful!!"});
}

TEST(EdidUpload, DisconnectDuringThePayloadStopsItQuietly)
{
    LinkHarness h;
    h.connectPresent();
    h.port.onWrite = [&](std::uint8_t) {
        if (h.port.written().size() == commandLine("UEDID", 255).size() + 3 * 10)
            h.link.disconnectPort();
    };
    startAndAnswer(h, Operation::UEDID);
    EXPECT_EQ(h.port.writtenBytes().size(), commandLine("UEDID", 255).size() + 3 * 10);
    h.run(20000);
    EXPECT_TRUE(h.ui.messages().empty());
    EXPECT_EQ(h.link.progress(), 0);
}

TEST(EdidUpload, AHangUpStopsThePayloadAndTimesOutAsForSilence)
{
    LinkHarness h;
    h.connectPresent();
    const std::size_t line = commandLine("UEDID", 255).size();
    std::int64_t hungUpAt = -1;
    h.port.onWrite = [&](std::uint8_t) {
        if (h.port.written().size() == line + 3 * 3) {
            h.port.hangUp();
            hungUpAt = h.clock.nowMs();
        }
    };
    startAndAnswer(h, Operation::UEDID);
    ASSERT_TRUE(h.runUntilIdle());
    EXPECT_EQ(h.port.writtenBytes().size(), line + 3 * 3) << "nothing is sent to a line that is gone";
    EXPECT_EQ(h.ui.messages(), Events{"No Response !!"});
    EXPECT_EQ(h.outcomes(), (std::vector{std::make_pair(Operation::UEDID, Outcome::WriteFailed)}));
    EXPECT_LT(h.clock.nowMs() - hungUpAt, 8000) << "seventy ticks after the last byte, not after 256";
    EXPECT_LT(*std::max_element(h.ui.progressValues.begin(), h.ui.progressValues.end()), 5)
        << "the bar stays where it was";
}

TEST(Outcomes, EachOperationEndsWithExactlyOne)
{
    struct Case {
        Operation op;
        const char *ack;
        const char *final; // nullptr: the generator is silent after the payload
        Outcome outcome;
    };
    for (const Case &c : {Case{Operation::TMIX, "OK\r\n", "OK\r\n", Outcome::Succeeded},
                          Case{Operation::PTIX, "NG\r\n", nullptr, Outcome::NotAcknowledged},
                          Case{Operation::TMGS, "OK\r\n", "NG\r\n", Outcome::FinalRefused},
                          Case{Operation::WEDID, "OK\r\n", nullptr, Outcome::NoResponse},
                          Case{Operation::DFSET, "OK\r\n", nullptr, Outcome::Succeeded}}) {
        LinkHarness h;
        h.connectPresent();
        startAndAnswer(h, c.op, c.ack);
        if (c.final != nullptr)
            h.port.queueAnswer(c.final);
        ASSERT_TRUE(h.runUntilIdle());
        h.run(20000);
        EXPECT_EQ(h.outcomes(), (std::vector{std::make_pair(c.op, c.outcome)})) << commandText(c.op);
    }
    // Refused at the start, and abandoned by a disconnect.
    LinkHarness h;
    h.connectPresent();
    ASSERT_TRUE(h.link.StartLinkOperation(Operation::REDID));
    EXPECT_FALSE(h.link.StartLinkOperation(Operation::UEDID));
    h.link.disconnectPort();
    EXPECT_EQ(h.outcomes(), (std::vector{std::make_pair(Operation::UEDID, Outcome::Refused),
                                         std::make_pair(Operation::REDID, Outcome::Abandoned)}));
}

TEST(WriteEdid, SendsOneAndReportsEachOutcome)
{
    LinkHarness h;
    h.connectPresent();
    startAndAnswer(h, Operation::WEDID);
    EXPECT_EQ(h.port.writtenBytes(), concat({commandLine("WEDID", 0), framed(1)}));
    EXPECT_EQ(h.link.progress(), 50);
    answerFinal(h);
    EXPECT_EQ(h.ui.messages(), Events{"Write EDID successful!!"});
    EXPECT_EQ(h.link.progress(), 100);

    h.ui.events.clear();
    startAndAnswer(h, Operation::WEDID);
    answerFinal(h, "NG\r\n");
    EXPECT_EQ(h.ui.messages(), Events{"Write EDID Fail!!"});
    EXPECT_EQ(h.state.devicePresent, 0);
}

// Answers each block request of a read as a generator with edid would, after delayMs.
void serveEdidRead(LinkHarness &h, const EdidBytes &edid, int delayMs, int malformedBlock = -1,
                   bool lowerCase = false)
{
    for (int block = 0; block < 8; ++block) {
        const std::size_t before = h.port.writtenBytes().size();
        h.run(delayMs);
        auto answer = blockAnswer(edid, block * 32, lowerCase);
        if (block == malformedBlock)
            answer[10] = 'G';
        h.port.queueAnswer(answer);
        for (int i = 0; i < 20 && h.port.writtenBytes().size() == before && h.link.LinkBusy(); ++i)
            h.run(100);
        h.runUntilSent();
    }
    h.runUntilIdle();
}

TEST(ReadEdid, EightBlocksLandAtTheirOffsets)
{
    LinkHarness h;
    h.connectPresent();
    const EdidBytes edid = sampleEdid();
    startAndAnswer(h, Operation::REDID, "OK1\r\n");
    serveEdidRead(h, edid, 0);
    EXPECT_EQ(h.values.EdidBuffer, edid);
    EXPECT_EQ(h.ui.messages(), Events{"  Read EDID Successful!!  "});
    std::vector<std::uint8_t> expected = commandLine("REDID", 0);
    for (int offset = 0; offset < 256; offset += 32)
        expected = concat({expected, framed(offset)});
    EXPECT_EQ(h.port.writtenBytes(), expected);
    const std::vector<int> progress(h.ui.progressValues.begin() + 1, h.ui.progressValues.end());
    EXPECT_EQ(progress, (std::vector<int>{0, 12, 25, 37, 50, 62, 75, 87, 100}));
}

TEST(ReadEdid, SlowGeneratorGetsEachBlockStoredOnce)
{
    LinkHarness h;
    h.connectPresent();
    const EdidBytes edid = sampleEdid();
    startAndAnswer(h, Operation::REDID, "OK1\r\n");
    serveEdidRead(h, edid, 1300, -1, true);
    EXPECT_EQ(h.values.EdidBuffer, edid);
    EXPECT_EQ(h.ui.messages(), Events{"  Read EDID Successful!!  "});
}

TEST(ReadEdid, MalformedBlockKeepsOldBytesAndEndsInError)
{
    LinkHarness h;
    h.connectPresent();
    h.values.EdidBuffer.fill(0xEE);
    const EdidBytes edid = sampleEdid();
    startAndAnswer(h, Operation::REDID, "OK1\r\n");
    serveEdidRead(h, edid, 0, 3);
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
    for (int i = 0; i < kEdidSize; ++i)
        EXPECT_EQ(h.values.EdidBuffer[i], i / 32 == 3 ? 0xEE : edid[i]) << i;
}

TEST(ReadEdid, ShortAnswerThatCannotBeABlockIsMalformedAtOnce)
{
    LinkHarness h;
    h.connectPresent();
    const EdidBytes edid = sampleEdid();
    startAndAnswer(h, Operation::REDID, "OK1\r\n");
    h.port.queueAnswer("NG\r\n"); // the answer to the first request
    h.run(700);
    // Not waited for: the next block is already asked for.
    EXPECT_EQ(h.port.writtenBytes().size(), commandLine("REDID", 0).size() + 2 * 3);
    for (int block = 1; block < 8 && h.link.LinkBusy(); ++block) {
        h.port.queueAnswer(blockAnswer(edid, block * 32));
        h.run(500);
    }
    ASSERT_TRUE(h.runUntilIdle(3000));
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
    EXPECT_TRUE(std::all_of(h.values.EdidBuffer.begin(), h.values.EdidBuffer.begin() + 32,
                            [](int b) { return b == 0; }));
    EXPECT_TRUE(std::equal(edid.begin() + 32, edid.end(), h.values.EdidBuffer.begin() + 32));
}

TEST(ReadEdid, APartialBlockIsWaitedForAWhileThenAStalledReadTimesOut)
{
    LinkHarness h;
    h.connectPresent();
    const EdidBytes edid = sampleEdid();
    startAndAnswer(h, Operation::REDID, "OK1\r\n");
    const auto answer = blockAnswer(edid, 0);
    const std::size_t firstRequest = h.port.writtenBytes().size();
    // Halves 300 ms apart are one block.
    h.port.queueAnswer(std::vector<std::uint8_t>(answer.begin(), answer.begin() + 30));
    h.run(300);
    EXPECT_EQ(h.port.writtenBytes().size(), firstRequest);
    h.port.queueAnswer(std::vector<std::uint8_t>(answer.begin() + 30, answer.end()));
    h.run(700);
    EXPECT_EQ(h.port.writtenBytes().size(), firstRequest + 3);
    EXPECT_TRUE(std::equal(edid.begin(), edid.begin() + 32, h.values.EdidBuffer.begin()));

    // A half that is never completed is taken as it stands, two step ticks after it began.
    h.port.queueAnswer(std::vector<std::uint8_t>(answer.begin(), answer.begin() + 30));
    h.run(1600);
    EXPECT_EQ(h.port.writtenBytes().size(), firstRequest + 6);

    // The generator now says nothing more: the next block is waited for 45 ticks.
    h.run(3000);
    EXPECT_TRUE(h.ui.messages().empty());
    h.run(2500);
    EXPECT_EQ(h.ui.messages(), Events{"No Response !!"});
    EXPECT_EQ(h.state.devicePresent, 0);
    EXPECT_FALSE(h.link.LinkBusy());
}

TEST(ReadEdid, AcknowledgmentMustBeOK1)
{
    LinkHarness h;
    h.connectPresent();
    startAndAnswer(h, Operation::REDID, "OK\r\n");
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
    EXPECT_EQ(h.state.devicePresent, 0);
}

TEST(ReadEdid, GarbageNeverWritesOutsideTheBuffer)
{
    LinkHarness h;
    h.connectPresent();
    startAndAnswer(h, Operation::REDID, "OK1\r\n");
    for (int i = 0; i < 12 && h.link.LinkBusy(); ++i) {
        h.port.queueAnswer(std::vector<std::uint8_t>(3000, 'A'));
        h.run(500);
    }
    ASSERT_TRUE(h.runUntilIdle());
    EXPECT_EQ(h.ui.messages(), Events{"Error!!"});
}

} // namespace
