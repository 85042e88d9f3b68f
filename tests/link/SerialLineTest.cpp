// The line on the test's clock: pacing, closing, and the framing of answers (stale, whole, early).
#include "SerialLine.h"
#include "FakeSerialPort.h"
#include "LinkHarness.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = LineEvent::Kind;

struct LineRig {
    LineRig()
    {
        QObject::connect(&line, &LineEndpoint::event, [this](const LineEvent &e) { events.push_back(e); });
        LineRequest open;
        open.kind = LineRequest::Kind::Open;
        open.serial = 1;
        open.device = QStringLiteral("/dev/fake");
        line.request(open);
        clock.advance(1);
        events.clear();
    }

    void send(std::uint64_t serial, JobKind kind, std::vector<LineUnit> units, std::size_t wholeLength = 0)
    {
        LineRequest r;
        r.kind = LineRequest::Kind::Send;
        r.job.serial = serial;
        r.job.kind = kind;
        r.job.units = std::move(units);
        r.job.acknowledgment = wholeLength > 0 ? "" : "OK";
        r.job.wholeLength = wholeLength;
        line.request(r);
    }
    void close()
    {
        LineRequest r;
        r.kind = LineRequest::Kind::Close;
        line.request(r);
    }
    // When the first event of that kind (and job) came; -1 when none did.
    [[nodiscard]] std::int64_t when(Kind kind, std::uint64_t serial) const
    {
        for (const LineEvent &e : events)
            if (e.kind == kind && e.serial == serial)
                return e.atMs;
        return -1;
    }
    [[nodiscard]] std::string receivedUnder(std::uint64_t serial) const
    {
        std::string out;
        for (const LineEvent &e : events)
            if (e.kind == Kind::Received && e.serial == serial)
                out.append(e.bytes.constData(), static_cast<std::size_t>(e.bytes.size()));
        return out;
    }

    VirtualClock clock;
    FakeSerialPort port{clock};
    SerialLine line{port, clock};
    std::vector<LineEvent> events;
};

LineUnit unit(std::vector<std::uint8_t> bytes, int pauseAfterMs = 0)
{
    return LineUnit{std::move(bytes), pauseAfterMs};
}

TEST(SerialLine, EveryCharacter35msApartAndTheCallerNeverWaits)
{
    LineRig rig;
    rig.send(2, JobKind::Payload,
             {unit(framed(0x00), 5), unit(framed(0x0A)), unit(framed(0x0D)), unit(framed(0xFF))});
    EXPECT_EQ(rig.port.writtenBytes().size(), 1u) << "the first character at once, the rest later";
    EXPECT_EQ(rig.clock.nowMs(), 1);
    rig.clock.advance(2000);
    EXPECT_EQ(rig.port.writtenBytes(), concat({framed(0), framed(0x0A), framed(0x0D), framed(0xFF)}));
    const auto &w = rig.port.written();
    for (std::size_t i = 1; i < w.size(); ++i)
        EXPECT_EQ(w[i].atMs - w[i - 1].atMs, i == 3 ? 40 : 35) << i;
    int unitsOut = 0;
    for (const LineEvent &e : rig.events)
        unitsOut += e.kind == Kind::UnitOut ? 1 : 0;
    EXPECT_EQ(unitsOut, 4);
    EXPECT_EQ(rig.when(Kind::JobDone, 2), w.back().atMs + 35)
        << "done once the last character's time is over";
}

TEST(SerialLine, ClosingCutsALineButFinishesAFramedByte)
{
    // A command line stops at the next character; a framed byte once begun goes out whole, so the
    // generator is never left a lone 0x20, and an open asked for meanwhile waits for it.
    LineRig rig;
    rig.send(2, JobKind::Command, {unit(commandLine("URTCNT", 0))});
    rig.clock.advance(80);
    rig.close();
    rig.clock.advance(500);
    EXPECT_EQ(rig.port.writtenBytes(), bytesOf({'U', 'R', 'T'}));

    LineRig framedRig;
    framedRig.send(2, JobKind::Payload, {unit(framed(7)), unit(framed(8))});
    framedRig.clock.advance(10);
    framedRig.close();
    LineRequest open;
    open.kind = LineRequest::Kind::Open;
    open.serial = 3;
    framedRig.line.request(open);
    EXPECT_TRUE(framedRig.port.isOpen());
    framedRig.clock.advance(500);
    EXPECT_EQ(framedRig.port.writtenBytes(), framed(7));
    EXPECT_GE(framedRig.when(Kind::Opened, 3), framedRig.port.written().back().atMs);
}

TEST(SerialLine, WhatCameBeforeACommandIsStaleAndAnAnswerMayBeginWithinIt)
{
    LineRig rig;
    rig.port.queueAnswer("OK\r\n"); // left from before
    rig.port.onWrite = [&](std::uint8_t byte) {
        if (byte == 0x0A) // a generator that acts on the line before its 0x0D
            rig.port.queueAnswer("OK\r\n");
    };
    rig.send(2, JobKind::Command, {unit(commandLine("DFSET", 0))});
    rig.clock.advance(1000);
    EXPECT_EQ(rig.receivedUnder(1), "OK\r\n") << "told under the job before";
    EXPECT_EQ(rig.receivedUnder(2), "OK\r\n");
    ASSERT_GE(rig.when(Kind::AnswerWhole, 2), 0);
    EXPECT_LT(rig.when(Kind::AnswerWhole, 2), rig.when(Kind::JobDone, 2));
}

TEST(SerialLine, AnAnswerBeforeThePayloadsLastValueIsEarly)
{
    // The answer arrives after the character named: before the last value byte it is early and
    // the payload stops after the unit going out; after it, the answer is the final one.
    struct Case {
        std::size_t answerAfter; // characters written
        bool early;
        std::size_t written;
    };
    for (const Case &c : {Case{2, true, 3}, Case{4, true, 6}, Case{7, true, 9}, Case{8, false, 9}}) {
        LineRig rig;
        rig.port.onWrite = [&](std::uint8_t) {
            if (rig.port.written().size() == c.answerAfter)
                rig.port.queueAnswer("OK\r\n");
        };
        rig.send(2, JobKind::Payload, {unit(framed(1)), unit(framed(2)), unit(framed(3))});
        rig.clock.advance(1000);
        EXPECT_EQ(rig.when(Kind::EarlyAnswer, 2) >= 0, c.early) << c.answerAfter;
        EXPECT_EQ(rig.port.writtenBytes().size(), c.written) << c.answerAfter;
        EXPECT_GE(rig.when(Kind::AnswerWhole, 2), 0);
    }
}

TEST(SerialLine, TheRestOfAnAnswerStillComingStaysThatAnswers)
{
    // "OK" and a long tail: whole at "OK", and the tail, coming while the next job starts, is
    // neither that job's answer nor early.
    LineRig rig;
    rig.send(2, JobKind::Command, {unit(commandLine("TMIX", 1))});
    rig.clock.advance(400);
    rig.port.queueAnswer("OK....");
    rig.clock.advance(25);
    rig.send(3, JobKind::Payload, {unit(framed(4))});
    rig.port.queueAnswer(".......\r\n");
    rig.clock.advance(40);
    rig.port.queueAnswer("OK\r\n");
    rig.clock.advance(500);
    EXPECT_EQ(rig.receivedUnder(2), "OK...........\r\n");
    EXPECT_EQ(rig.receivedUnder(3), "OK\r\n");
    EXPECT_EQ(rig.when(Kind::EarlyAnswer, 3), -1);
    EXPECT_EQ(rig.port.writtenBytes().size(), commandLine("TMIX", 1).size() + 3);
}

TEST(SerialLine, AnAnswerIsWholeByItsContentOrAtTheBound)
{
    struct Case {
        std::vector<std::string> pieces; // one every 150 ms
        std::size_t wholeLength;
        std::int64_t wholeAfterFirst; // ms after the first piece; -1: never
    };
    const std::string block = "A" + std::string(64, '0') + "T";
    for (const Case &c : {Case{{"xxOKyy"}, 0, 0}, Case{{"NG\r\n"}, 0, 0}, Case{{"O", "K"}, 0, 150},
                          Case{{block.substr(0, 40), block.substr(40)}, 66, 150}, Case{{"NG"}, 0, 1000},
                          Case{{std::string(1024, 'x')}, 0, 0},
                          // a trickle that never ends is examined as it stands
                          Case{std::vector<std::string>(40, "."), 0, 1000}}) {
        LineRig rig;
        rig.send(2, JobKind::Request, {unit(framed(0))}, c.wholeLength);
        rig.clock.advance(200);
        const std::int64_t first = rig.clock.nowMs();
        for (const std::string &piece : c.pieces) {
            rig.port.queueAnswer(piece.c_str());
            rig.clock.advance(150);
        }
        rig.clock.advance(2000);
        int wholes = 0;
        for (const LineEvent &e : rig.events)
            wholes += e.kind == Kind::AnswerWhole ? 1 : 0;
        EXPECT_EQ(wholes, 1) << c.pieces.front();
        // Looked at every 20 ms.
        EXPECT_NEAR(static_cast<double>(rig.when(Kind::AnswerWhole, 2) - first),
                    static_cast<double>(c.wholeAfterFirst), SerialLine::kAwaitingPollMs)
            << c.pieces.front();
    }
}

TEST(SerialLine, AHangUpIsToldOnceAndWritesThenFail)
{
    LineRig rig;
    rig.port.hangUp();
    rig.clock.advance(500);
    rig.send(2, JobKind::Payload, {unit(framed(1))});
    rig.clock.advance(500);
    int hangUps = 0;
    for (const LineEvent &e : rig.events)
        hangUps += e.kind == Kind::HungUp ? 1 : 0;
    EXPECT_EQ(hangUps, 1);
    ASSERT_GE(rig.when(Kind::JobDone, 2), 0);
    EXPECT_FALSE(rig.events.back().written);
    EXPECT_TRUE(rig.port.writtenBytes().empty());
}

TEST(SerialLine, AnOpenThatTakesItsTimeCanBeGivenUp)
{
    LineRig rig;
    rig.port.deferOpen = true;
    LineRequest open;
    open.kind = LineRequest::Kind::Open;
    open.serial = 5;
    rig.line.request(open);
    rig.clock.advance(100);
    EXPECT_EQ(rig.when(Kind::Opened, 5), -1);
    rig.close();
    rig.port.finishOpen(true); // too late: nobody waits for it any more
    rig.clock.advance(100);
    EXPECT_EQ(rig.when(Kind::Opened, 5), -1);
    EXPECT_EQ(rig.when(Kind::OpenFailed, 5), -1);
}

} // namespace
