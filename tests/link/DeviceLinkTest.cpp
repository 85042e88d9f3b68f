#include "LinkHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string replyText(const DeviceLinkState &state)
{
    return std::string(reinterpret_cast<const char *>(state.replyBuffer.data()), state.replyLength);
}

TEST(DeviceLinkOpen, OpensConfiguresAndNumbersThePort)
{
    LinkHarness h;
    EXPECT_TRUE(h.link.OpenLink(2));
    EXPECT_EQ(h.state.portNumber, 3);
    EXPECT_EQ(h.port.openedPort(), 3);
    EXPECT_EQ(h.port.lastBaudCode(), 13);
    EXPECT_EQ(h.port.lastModeCode(), 3);
    EXPECT_TRUE(h.ui.messages().empty());
}

TEST(DeviceLinkOpen, EachFailureHasItsOwnMessageAndClosesThePort)
{
    struct Case {
        int open, line, second;
        const char *message;
    };
    for (const Case &c :
         {Case{1, 0, 0, "Open COM Port 5 fail !!"}, Case{0, 1, 0, "Error!!"}, Case{0, 0, 1, "Error"}}) {
        LinkHarness h;
        h.port.openResult = c.open;
        h.port.openFailure = {"/dev/ttyUSB0", "permission denied"};
        h.port.lineParametersResult = c.line;
        h.port.secondSetupResult = c.second;
        EXPECT_FALSE(h.link.OpenLink(4));
        EXPECT_EQ(h.ui.messages(), std::vector<std::string>{c.message});
        // The device and the reason stand under an open failure only.
        EXPECT_EQ(h.ui.details.front(), c.open != 0 ? "/dev/ttyUSB0: permission denied" : "");
        EXPECT_EQ(h.port.closeCalls(), 1);
        EXPECT_FALSE(h.port.isOpen());
    }
}

TEST(DeviceLinkOpen, AFailedNameShowsOnOneLine)
{
    LinkHarness h;
    h.port.openResult = 1;
    h.port.openFailure = {"/tmp/a\nb\x1B", "not found"};
    EXPECT_FALSE(h.link.OpenLink(0));
    EXPECT_EQ(h.ui.details.front(), "/tmp/a\\nb\\x1B: not found");
}

TEST(DeviceLinkSend, CommandLineIsExactAndPaced35msApart)
{
    LinkHarness h;
    h.connectPresent();
    h.state.ackTicks = 7;
    h.state.replyTicks = 9;
    h.state.replyLength = 12;
    const std::int64_t start = h.clock.nowMs();
    h.link.SendCommand("TMIX", 1);
    h.runUntilSent();
    EXPECT_EQ(h.port.writtenBytes(), bytesOf({0x54, 0x4D, 0x49, 0x58, 0x20, 0x01, 0x20, 0x0A, 0x0D}));
    const auto &w = h.port.written();
    for (std::size_t i = 1; i < w.size(); ++i)
        EXPECT_EQ(w[i].atMs - w[i - 1].atMs, 35);
    EXPECT_EQ(h.clock.nowMs() - start, 9 * 35);
    EXPECT_EQ(h.state.ackTicks, 0);
    EXPECT_EQ(h.state.replyTicks, 0);
    EXPECT_EQ(h.state.replyLength, 0u);
}

TEST(DeviceLinkSend, TheThreadIsNeverHeldAndClosingStopsAtTheNextCharacter)
{
    LinkHarness h;
    h.connectPresent();
    h.link.SendCommand("URTCNT", 0);
    EXPECT_EQ(h.clock.nowMs(), 0) << "sending returns at once";
    EXPECT_EQ(h.port.writtenBytes().size(), 1u);
    EXPECT_TRUE(h.link.sending());
    h.run(80); // three characters out
    h.link.ClosePort();
    h.run(1000);
    EXPECT_EQ(h.port.writtenBytes(), bytesOf({'U', 'R', 'T'}));
    EXPECT_FALSE(h.link.sending());
}

TEST(DeviceLinkSend, FramedBytesCarryAnyValueRaw)
{
    LinkHarness h;
    h.connectPresent();
    for (int v : {0x00, 0x0A, 0x0D, 0x20, 0xFF})
        h.link.SendFramedByte(static_cast<std::uint8_t>(v));
    h.runUntilSent();
    EXPECT_EQ(h.port.writtenBytes(),
              concat({framed(0), framed(0x0A), framed(0x0D), framed(0x20), framed(0xFF)}));
    EXPECT_EQ(h.clock.nowMs(), 5 * 105);
}

TEST(DeviceLinkReceive, ClosedPortCountsNothing)
{
    LinkHarness h;
    h.state.stepTMIX = AwaitAck;
    h.port.queueAnswer("OK");
    for (int i = 0; i < 30; ++i)
        h.link.receiveTick();
    EXPECT_EQ(h.state.ackTicks, 0);
    EXPECT_EQ(h.state.stepTMIX, AwaitAck);
}

TEST(DeviceLinkReceive, CountsOncePerTickAndMovesSteps)
{
    LinkHarness h;
    h.connectPresent();
    h.state.stepTMIX = AwaitAck;
    h.state.stepPTIX = AwaitAck;
    h.state.stepTMGS = AwaitReply;
    h.link.receiveTick();
    h.link.receiveTick();
    EXPECT_EQ(h.state.ackTicks, 2);
    EXPECT_EQ(h.state.replyTicks, 2);

    h.port.queueAnswer("O");
    h.link.receiveTick();
    EXPECT_EQ(h.state.stepTMIX, AckIn);
    EXPECT_EQ(h.state.stepPTIX, AckIn);
    EXPECT_EQ(h.state.stepTMGS, ReplyIn);
    h.port.queueAnswer("K");
    h.link.receiveTick();
    EXPECT_EQ(replyText(h.state), "OK");
    EXPECT_EQ(h.ui.receiveLog, "OK");
}

TEST(DeviceLinkReceive, StepOneReachesTwoNotFourInOneTick)
{
    LinkHarness h;
    h.connectPresent();
    h.state.stepURTCNT = AwaitAck;
    h.port.queueAnswer("OK");
    h.link.receiveTick();
    EXPECT_EQ(h.state.stepURTCNT, AckIn);
}

TEST(DeviceLinkReceive, OverlongAnswerIsCutAtTheBufferEnd)
{
    LinkHarness h;
    h.connectPresent();
    h.state.stepTMIX = AwaitAck;
    std::vector<std::uint8_t> flood(5000, 'x');
    flood[1500] = 'O';
    flood[1501] = 'K';
    h.port.queueAnswer(flood);
    for (int i = 0; i < 6; ++i)
        h.link.receiveTick();
    EXPECT_EQ(h.state.replyLength, kLinkBufferSize);
    EXPECT_EQ(h.ui.receiveLog.size(), 5000u);
    // "OK" arrived past the 1,024th byte and was dropped with the rest.
    EXPECT_FALSE(h.link.CheckReply(Operation::TMIX));
}

TEST(DeviceLinkCheckReply, FindsTheAcknowledgmentAnywhere)
{
    struct Case {
        const char *reply;
        Operation op;
        bool acknowledged;
    };
    for (const Case &c : {Case{"OK", Operation::TMIX, true}, Case{"\r\nxxOKyy\r\n", Operation::TMGS, true},
                          Case{"OK1", Operation::DFSET, true}, Case{"OK1\r\n", Operation::REDID, true},
                          Case{"OK\r\n", Operation::REDID, false}, Case{"O", Operation::TMIX, false},
                          Case{"NG\r\n", Operation::UEDID, false}, Case{"", Operation::URTCNT, false}}) {
        LinkHarness h;
        h.connectPresent();
        h.port.queueAnswer(c.reply);
        h.link.receiveTick();
        EXPECT_EQ(h.link.CheckReply(c.op), c.acknowledged) << c.reply;
        EXPECT_EQ(h.state.replyLength, 0u);
    }
}

TEST(DeviceLinkCheckReply, AnEarlierAnswerNeverAcknowledgesALaterOne)
{
    LinkHarness h;
    h.connectPresent();
    // A long answer with "OK" past position 30, then a short bad one.
    h.port.queueAnswer("..................................OK");
    h.link.receiveTick();
    EXPECT_TRUE(h.link.CheckReply(Operation::TMIX));
    h.port.queueAnswer("NG");
    h.link.receiveTick();
    EXPECT_FALSE(h.link.CheckReply(Operation::TMIX));

    // Bytes left from before a send are not part of the next answer either.
    h.port.queueAnswer("OK");
    h.link.receiveTick();
    h.link.SendFramedByte(0);
    h.runUntilSent();
    EXPECT_FALSE(h.link.CheckReply(Operation::TMIX));
}

TEST(DeviceLinkCheckReply, ReplyOfMoreThan255BytesIsSearchedWhole)
{
    LinkHarness h;
    h.connectPresent();
    std::string reply(300, '.');
    reply += "OK";
    h.port.queueAnswer(reply.c_str());
    h.link.receiveTick();
    EXPECT_TRUE(h.link.CheckReply(Operation::TMIX));
}

TEST(DeviceLinkBusy, AnyStepMakesTheLinkBusy)
{
    LinkHarness h;
    EXPECT_FALSE(h.link.LinkBusy());
    for (Operation op : kAllOperations) {
        h.state.step(op) = ReplyIn;
        EXPECT_TRUE(h.link.LinkBusy());
        h.state.step(op) = Idle;
    }
}

} // namespace
