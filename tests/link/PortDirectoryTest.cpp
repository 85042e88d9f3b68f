// Port numbers and the devices they open, over a port list the test writes.
#include "PortDirectory.h"
#include "FakeSystemPortList.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

namespace {

SystemPort port(const QString &name, const QString &location)
{
    return {name, location, {}, {}, {}, {}, {}};
}

TEST(PortDirectory, NumbersFromNineFollowTheSystemsList)
{
    for (int n = 1; n <= 8; ++n)
        qunsetenv(QByteArray("SGX100_COM" + QByteArray::number(n)).constData());
    qputenv("SGX100_COM4", "/dev/ttyUSB3");
    FakeSystemPortList system;
    system.ports = {port("ttyS0", "/dev/ttyS0"), port("ttyUSB0", "/dev/ttyUSB0"), port("nowhere", ""),
                    port("ttyUSB3", "/dev/ttyUSB3"), port("ttyACM0", "/dev/ttyACM0")};
    PortDirectory ports(system);
    EXPECT_EQ(ports.devicePath(9), QString()); // nothing listed before the first refresh
    ports.refresh();
    qunsetenv("SGX100_COM4");

    struct Row {
        int number;
        const char *device;
        const char *label;
    };
    for (const Row &row :
         {Row{0, "", "0"}, Row{1, "/dev/ttyS0", "1"}, Row{8, "/dev/ttyS7", "8"},
          Row{9, "/dev/ttyUSB0", "ttyUSB0"}, Row{10, "/dev/ttyACM0", "ttyACM0"}, Row{11, "", "11"}}) {
        EXPECT_EQ(ports.devicePath(row.number).toStdString(), row.device) << row.number;
        EXPECT_EQ(ports.label(row.number).toStdString(), row.label) << row.number;
    }
    EXPECT_EQ(ports.systemPorts().size(), 5u);
    EXPECT_EQ(ports.comNumberOf(system.ports[0]), 1);
    EXPECT_EQ(ports.comNumberOf(system.ports[1]), 0);
    EXPECT_EQ(ports.portNumberOf("ttyACM0"), 10);
    EXPECT_EQ(ports.portNumberOf("ttyUSB3"), 0); // COM 4 at the time of the refresh
    EXPECT_EQ(ports.portNumberOf(""), 0);

    // Port numbers are one byte: whatever lies past 255 is not offered.
    system.ports.clear();
    for (int i = 0; i < 300; ++i)
        system.ports.push_back(
            port(QStringLiteral("ttyUSB%1").arg(i), QStringLiteral("/dev/ttyUSB%1").arg(i)));
    ports.refresh();
    EXPECT_EQ(ports.addedPorts().size(), 247u);
    EXPECT_EQ(ports.devicePath(255), QStringLiteral("/dev/ttyUSB246"));
    EXPECT_EQ(ports.devicePath(256), QString());
}

} // namespace
