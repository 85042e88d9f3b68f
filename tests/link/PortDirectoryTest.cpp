// Port numbers the COM Port dialog does not show: out of range, and past what one byte holds.
#include "PortDirectory.h"
#include "FakeSystemPortList.h"

#include <gtest/gtest.h>

namespace {

TEST(PortDirectory, NumbersThatNameNoPort)
{
    FakeSystemPortList system;
    system.ports.push_back({QStringLiteral("nowhere"), {}, {}, {}, {}, {}, {}}); // a device without a path
    for (int i = 0; i < 300; ++i)
        system.ports.push_back(
            {QStringLiteral("ttyUSB%1").arg(i), QStringLiteral("/dev/ttyUSB%1").arg(i), {}, {}, {}, {}, {}});
    PortDirectory ports(system);
    EXPECT_EQ(ports.devicePath(9), QString()); // nothing listed before the first refresh
    ports.refresh();

    // Port numbers are one byte: whatever lies past 255 is not offered.
    EXPECT_EQ(ports.addedPorts().size(), 247u);
    EXPECT_EQ(ports.devicePath(9), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(ports.devicePath(255), QStringLiteral("/dev/ttyUSB246"));
    EXPECT_EQ(ports.label(255), QStringLiteral("ttyUSB246"));
    for (const int number : {0, -1, 256})
        EXPECT_EQ(ports.devicePath(number), QString()) << number;
    EXPECT_EQ(ports.label(3), QStringLiteral("3"));
    EXPECT_EQ(ports.portNumberOf(QStringLiteral("ttyUSB247")), 0);
    EXPECT_EQ(ports.portNumberOf(QString()), 0);
}

} // namespace
