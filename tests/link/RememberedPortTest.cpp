// The port last connected, known again in a later run only where it still means the same device.
#include "RememberedPort.h"
#include "FakeSystemPortList.h"
#include "PortDirectory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A bench at one moment: "ttyUSB0=A5" is an adapter of serial number A5 the system reports,
// "ttyAMA0" a port it reports by path alone, "2>/tmp/pts-4" COM 2 mapped to /tmp/pts-4.
struct Rig {
    void put(const QStringList &bench)
    {
        system.ports.clear();
        for (int n = 1; n <= PortDirectory::kComPorts; ++n)
            qunsetenv(("SGX100_COM" + QByteArray::number(n)).constData());
        for (const QString &item : bench) {
            if (item.contains('>')) {
                qputenv(("SGX100_COM" + item.section('>', 0, 0)).toUtf8().constData(),
                        item.section('>', 1).toUtf8());
                continue;
            }
            const QString name = item.section('=', 0, 0);
            const QString serial = item.section('=', 1);
            SystemPort port{name, name.startsWith('/') ? name : "/dev/" + name, {}, {}, serial, {}, {}};
            if (!serial.isEmpty())
                port.vendorId = port.productId = quint16{0x6001};
            system.ports.push_back(port);
        }
        ports.refresh();
    }
    ~Rig() { put({}); }

    FakeSystemPortList system;
    PortDirectory ports{system};
};

TEST(RememberedPort, FoundAgainOnlyAsTheSameDevice)
{
    struct Case {
        const char *what;
        QStringList before;
        int chosen;
        QStringList now;
        int expected; // 0: not offered
    };
    const std::vector<Case> cases = {
        {"a USB adapter under another name", {"ttyUSB0=A5"}, 9, {"ttyUSB0=B7", "ttyUSB1=A5"}, 10},
        {"a USB adapter gone, another in its place", {"ttyUSB0=A5"}, 9, {"ttyUSB0=B7"}, 0},
        {"a USB adapter a COM n names now", {"ttyUSB0=A5"}, 9, {"ttyUSB1=A5", "2>/dev/ttyUSB1"}, 2},
        {"a path reported again", {"ttyAMA0"}, 9, {"ttyACM0", "ttyAMA0"}, 10},
        {"a path gone", {"ttyAMA0"}, 9, {"ttyACM0"}, 0},
        {"COM n naming the same device", {"2>/tmp/pts-4"}, 2, {"2>/tmp/pts-4"}, 2},
        {"COM n naming another device", {"2>/tmp/pts-4"}, 2, {"2>/tmp/pts-5"}, 0},
        {"COM n's device under another number", {"2>/tmp/pts-4"}, 2, {"3>/tmp/pts-4"}, 0},
        {"a terminal server under another COM n", {"4>tcp://bench:4001"}, 4, {"6>tcp://bench:4001"}, 6},
        {"a terminal server no COM n names", {"4>tcp://bench:4001"}, 4, {}, 0},
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

TEST(RememberedPort, AnAdapterWithoutSerialNumberByItsByIdName)
{
    QTemporaryDir dir;
    const QString usb0 = dir.filePath("ttyUSB0"), usb1 = dir.filePath("ttyUSB1");
    const QString byId = dir.filePath("by-id/usb-Prolific_USB-Serial-if00-port0");
    ASSERT_TRUE(QFile(usb0).open(QIODevice::WriteOnly) && QFile(usb1).open(QIODevice::WriteOnly) &&
                QDir(dir.path()).mkdir("by-id") && QFile::link(usb0, byId));
    Rig rig;
    rig.put({usb0});
    const RememberedPort kept = RememberedPort::of(rig.ports.choice(9), dir.filePath("by-id"));
    EXPECT_EQ(kept.byId, byId);
    // Plugged in again after another adapter took its old name; then unplugged.
    ASSERT_TRUE(QFile::remove(byId) && QFile::link(usb1, byId));
    rig.put({usb0, usb1});
    EXPECT_EQ(kept.portNumberIn(rig.ports), 10);
    ASSERT_TRUE(QFile::remove(byId));
    EXPECT_EQ(kept.portNumberIn(rig.ports), 0);
}

} // namespace
