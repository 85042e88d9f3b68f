#include "EngineSerialPort.h"
#include "LinkHarness.h"
#include "ProgramSequence.h"
#include "SharedValues.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The program's link core talking to the emulator's engine, both timers run on virtual time.
struct EngineLink : BasicLinkHarness<EngineSerialPort> {
    explicit EngineLink(SimFaults faults = {}) : BasicLinkHarness(faults) {}

    void connect()
    {
        link.connectPort(PortChoice::named(1, QStringLiteral("/dev/engine"), QStringLiteral("1")));
        run(10);
        ASSERT_TRUE(runUntilIdle());
        ASSERT_EQ(state.devicePresent, 1);
    }

    // Starts op on a connected link and returns the messages the operator saw.
    std::vector<std::string> perform(Operation op)
    {
        ui.events.clear();
        EXPECT_TRUE(link.StartLinkOperation(op, op == Operation::ATRN
                                                    ? programWireOrder(values.ProgramUploadImage)
                                                    : std::vector<std::uint8_t>{}));
        EXPECT_TRUE(runUntilIdle(200000));
        return ui.messages();
    }
};

using Messages = std::vector<std::string>;

TEST(EngineLink, UploadsReachTheGenerator)
{
    EngineLink e;
    e.connect();
    e.values.currentTimingIndex = 6;
    EXPECT_EQ(e.perform(Operation::TMIX), Messages{});
    EXPECT_EQ(e.port.engine().state().timingIndex, 6);

    e.values.timingSelection[0] = 1;
    e.values.timingSelection[2] = 1;
    EXPECT_EQ(e.perform(Operation::TMGS), Messages{"Upload successful!!"});
    EXPECT_EQ(std::count(e.port.engine().state().timingSelection.begin(),
                         e.port.engine().state().timingSelection.end(), 1),
              2);

    e.values.ProgramUploadImage.fill(0xFF);
    for (int column = 0; column < 4; ++column)
        e.values.ProgramUploadImage[column * kProgramSteps] = static_cast<std::uint8_t>(column + 1);
    EXPECT_EQ(e.perform(Operation::ATRN), Messages{"Upload successful!!"});
    EXPECT_EQ(e.port.engine().state().program[3], 4);
    EXPECT_EQ(e.port.engine().state().program[4], 0xFF);

    EXPECT_EQ(e.perform(Operation::DFSET), Messages{"Upload Successful!!"});
    EXPECT_EQ(e.port.engine().state().protocolErrors, 0);
}

TEST(EngineLink, EdidReadUploadAndWriteRoundTrip)
{
    EngineLink e;
    e.connect();
    EXPECT_EQ(e.perform(Operation::REDID), Messages{"  Read EDID Successful!!  "});
    EXPECT_EQ(e.values.EdidBuffer, e.port.engine().state().edidMemory);

    for (int i = 0; i < kEdidSize; ++i)
        e.values.EdidBuffer[i] = static_cast<std::uint8_t>(i ^ 0x5A);
    const std::int64_t start = e.clock.nowMs();
    EXPECT_EQ(e.perform(Operation::UEDID), Messages{"Upload successful!!"});
    EXPECT_GT(e.clock.nowMs() - start, 256 * 105) << "every byte paced on the line";
    EXPECT_EQ(e.perform(Operation::WEDID), Messages{"Write EDID successful!!"});
    EXPECT_EQ(e.port.engine().state().edidMemory, e.values.EdidBuffer);
}

TEST(EngineLink, GeneratorFaultsReachTheOperator)
{
    SimFaults noFinal;
    noFinal.noFinalAnswer = true;
    EngineLink quiet(noFinal);
    quiet.connect();
    EXPECT_EQ(quiet.perform(Operation::WEDID), Messages{"No Response !!"});

    SimFaults malformed;
    malformed.malformedBlock = 3;
    EngineLink broken(malformed);
    broken.connect();
    EXPECT_EQ(broken.perform(Operation::REDID), Messages{"Error!!"});

    SimFaults hangUp;
    hangUp.hangUpMidPayload = true;
    EngineLink dropped(hangUp);
    dropped.connect();
    EXPECT_EQ(dropped.perform(Operation::UEDID), Messages{"No Response !!"});
    EXPECT_TRUE(dropped.port.engine().hungUp());
    EXPECT_EQ(dropped.port.engine().state().edidUploads, 0);
}

} // namespace
