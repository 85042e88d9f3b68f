// The port last connected, known again in a later run only where it still means the same device.
#include "RememberedPort.h"
#include "FakeSystemPortList.h"
#include "PortDirectory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>

namespace {

SystemPort adapter(const QString &name, const QString &serial)
{
    return {name,
            QStringLiteral("/dev/") + name,
            QStringLiteral("FT232R USB UART"),
            QStringLiteral("FTDI"),
            serial,
            quint16{0x0403},
            quint16{0x6001}};
}

SystemPort plain(const QString &name, const QString &location = {})
{
    return {name, location.isEmpty() ? QStringLiteral("/dev/") + name : location, {}, {}, {}, {}, {}};
}

// What the system reports and what SGX100_COM<n> names at one moment.
struct Bench {
    std::vector<SystemPort> ports{};
    std::map<int, QString> com{};
};

struct Rig {
    void put(const Bench &bench)
    {
        for (int n = 1; n <= PortDirectory::kComPorts; ++n) {
            const QByteArray variable = "SGX100_COM" + QByteArray::number(n);
            const auto mapped = bench.com.find(n);
            if (mapped == bench.com.end())
                qunsetenv(variable.constData());
            else
                qputenv(variable.constData(), mapped->second.toUtf8());
        }
        system.ports = bench.ports;
        ports.refresh();
    }
    ~Rig() { put({}); }

    FakeSystemPortList system;
    PortDirectory ports{system};
};

TEST(RememberedPort, FoundAgainOnlyAsTheSameDevice)
{
    const QString tcp = QStringLiteral("tcp://bench:4001");
    struct Case {
        const char *what;
        Bench before;
        int chosen;
        Bench now;
        int expected; // 0: not offered
    };
    const std::vector<Case> cases = {
        {"a USB adapter back under another name",
         {{adapter("ttyUSB0", "A50285BI")}},
         9,
         {{adapter("ttyUSB0", "FT9XQ2LC"), adapter("ttyUSB1", "A50285BI")}},
         10},
        {"a USB adapter gone, another in its place",
         {{adapter("ttyUSB0", "A50285BI")}},
         9,
         {{adapter("ttyUSB0", "FT9XQ2LC")}},
         0},
        {"a USB adapter a COM n names now",
         {{adapter("ttyUSB0", "A50285BI")}},
         9,
         {{adapter("ttyUSB1", "A50285BI")}, {{2, "/dev/ttyUSB1"}}},
         2},
        {"a path reported again", {{plain("ttyAMA0")}}, 9, {{plain("ttyACM0"), plain("ttyAMA0")}}, 10},
        {"a path gone", {{plain("ttyAMA0")}}, 9, {{plain("ttyACM0")}}, 0},
        {"COM n naming the same device", {{}, {{2, "/tmp/pts-4"}}}, 2, {{}, {{2, "/tmp/pts-4"}}}, 2},
        {"COM n naming another device", {{}, {{2, "/tmp/pts-4"}}}, 2, {{}, {{2, "/tmp/pts-5"}}}, 0},
        {"COM n's device under another number", {{}, {{2, "/tmp/pts-4"}}}, 2, {{}, {{3, "/tmp/pts-4"}}}, 0},
        {"COM n unmapped both times", {}, 1, {}, 1},
        {"a terminal server under another COM n", {{}, {{4, tcp}}}, 4, {{}, {{6, tcp}}}, 6},
        {"a terminal server no COM n names", {{}, {{4, tcp}}}, 4, {}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.put(c.before);
        const RememberedPort kept = RememberedPort::of(rig.ports.choice(c.chosen));
        rig.put(c.now);
        EXPECT_EQ(kept.portNumberIn(rig.ports), c.expected);
    }
}

TEST(RememberedPort, AnAdapterWithoutSerialNumberByItsLastingName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("by-id")));
    const QString usb0 = dir.filePath(QStringLiteral("ttyUSB0"));
    const QString usb1 = dir.filePath(QStringLiteral("ttyUSB1"));
    const QString byId = dir.filePath(QStringLiteral("by-id/usb-Prolific_USB-Serial-if00-port0"));
    for (const QString &device : {usb0, usb1})
        ASSERT_TRUE(QFile(device).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(usb0, byId));

    Rig rig;
    rig.put({{plain(QStringLiteral("ttyUSB0"), usb0)}});
    const RememberedPort kept =
        RememberedPort::of(rig.ports.choice(9), dir.filePath(QStringLiteral("by-id")));
    EXPECT_EQ(kept.byId, byId);
    EXPECT_FALSE(kept.usb);

    // Plugged in again after another adapter took its old name.
    ASSERT_TRUE(QFile::remove(byId) && QFile::link(usb1, byId));
    rig.put({{plain(QStringLiteral("ttyUSB0"), usb0), plain(QStringLiteral("ttyUSB1"), usb1)}});
    EXPECT_EQ(kept.portNumberIn(rig.ports), 10);
    // Unplugged: its old path is somebody else's.
    ASSERT_TRUE(QFile::remove(byId));
    rig.put({{plain(QStringLiteral("ttyUSB0"), usb0)}});
    EXPECT_EQ(kept.portNumberIn(rig.ports), 0);
}

} // namespace
