// Port numbers the COM Port dialog does not show, and waiting for a port that went away to come back.
#include "PortDirectory.h"
#include "FakeSystemPortList.h"
#include "PortWatcher.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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

struct Watching {
    explicit Watching(const PortChoice &port)
    {
        QObject::connect(&watcher, &PortWatcher::returned,
                         [this](const PortChoice &p) { back.push_back(p); });
        watcher.watch(port);
    }
    FakeSystemPortList system;
    VirtualClock clock;
    PortWatcher watcher{system, clock};
    std::vector<PortChoice> back;
};

TEST(PortWatcher, APathIsBackOnceItLeadsSomewhereAgain)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("pts-1"));
    const QString second = dir.filePath(QStringLiteral("pts-2"));
    const QString byId = dir.filePath(QStringLiteral("usb-FTDI_A50285BI-if00-port0"));
    for (const QString &device : {first, second})
        QFile(device).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(first, byId));

    // Still there as it was (a line that hung up but kept its device): not back.
    Watching w(PortChoice::named(12, byId, QStringLiteral("by-id")));
    w.clock.advance(3000);
    EXPECT_TRUE(w.back.empty());
    // Gone, as udev removes the link on unplugging; then made anew.
    QFile::remove(byId);
    w.clock.advance(1000);
    EXPECT_TRUE(w.back.empty());
    ASSERT_TRUE(QFile::link(first, byId));
    w.clock.advance(PortWatcher::kLookMs);
    ASSERT_EQ(w.back.size(), 1u);
    EXPECT_EQ(w.back[0].device, byId);
    EXPECT_EQ(w.back[0].number, 12);

    // Leading to another device at once counts too; stopped, nothing more.
    Watching moved(PortChoice::named(3, byId, QStringLiteral("3")));
    QFile::remove(byId);
    ASSERT_TRUE(QFile::link(second, byId));
    moved.clock.advance(PortWatcher::kLookMs);
    EXPECT_EQ(moved.back.size(), 1u);
    moved.watcher.stop();
    moved.clock.advance(5000);
    EXPECT_EQ(moved.back.size(), 1u);
}

TEST(PortWatcher, AUsbAdapterIsFoundAgainUnderAnotherName)
{
    const UsbIdentity ftdi{0x0403, 0x6001, QStringLiteral("A50285BI")};
    const auto adapter = [](const QString &name, const QString &serial) {
        return SystemPort{name,   "/dev/" + name, QStringLiteral("FT232R USB UART"), {}, serial,
                          0x0403, 0x6001};
    };
    PortChoice port = PortChoice::named(9, QStringLiteral("/dev/ttyUSB0"), QStringLiteral("ttyUSB0"));
    port.usb = ftdi;
    Watching w(port);
    w.system.ports = {adapter(QStringLiteral("ttyUSB0"), ftdi.serialNumber)};
    w.clock.advance(2000);
    EXPECT_TRUE(w.back.empty()) << "still where it was";
    w.system.ports = {
        adapter(QStringLiteral("ttyUSB0"), QStringLiteral("OTHER"))}; // another adapter of its kind
    w.clock.advance(2000);
    EXPECT_TRUE(w.back.empty());
    w.system.ports.push_back(adapter(QStringLiteral("ttyUSB1"), ftdi.serialNumber));
    w.clock.advance(PortWatcher::kLookMs);
    ASSERT_EQ(w.back.size(), 1u);
    EXPECT_EQ(w.back[0].device, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(w.back[0].label, QStringLiteral("ttyUSB1"));
}

TEST(PortWatcher, ATerminalServerIsTriedAgainNowAndThen)
{
    Watching w(PortChoice::named(1, QStringLiteral("tcp://bench:4001"), QStringLiteral("1")));
    w.clock.advance(3 * PortWatcher::kServerRetryMs);
    EXPECT_EQ(w.back.size(), 3u);
}

} // namespace
