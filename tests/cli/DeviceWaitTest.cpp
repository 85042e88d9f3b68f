// sgxctl --wait: how long the run waits for its port's device, on the test's clock.
#include "DeviceWait.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(DeviceWait, UntilTheDeviceAppearsOrTheTimeIsUp)
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("pts-7"));
    const QString link = dir.filePath(QStringLiteral("usb-FTDI_A50285BI-if00-port0"));
    ASSERT_TRUE(QFile(device).open(QIODevice::WriteOnly));
    struct Case {
        const char *what;
        QString name;
        int waitMs;
        bool waits;
    };
    const std::vector<Case> cases = {
        {"there already", device, 5000, false},
        {"no wait asked for", link, 0, false},
        {"a terminal server", QStringLiteral("tcp://bench:4001"), 5000, false},
        {"not there yet", link, 5000, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VirtualClock clock;
        DeviceWait wait(clock);
        int done = 0;
        EXPECT_EQ(wait.start(c.name, c.waitMs, [&done] { ++done; }), c.waits);
        EXPECT_EQ(done, c.waits ? 0 : 1);
        clock.advance(10000);
        EXPECT_EQ(done, 1);
    }

    // A link made after a second ends the wait at the next look; one that never comes, at the end.
    VirtualClock clock;
    DeviceWait appears(clock);
    std::int64_t doneAt = -1;
    ASSERT_TRUE(appears.start(link, 5000, [&] { doneAt = clock.nowMs(); }));
    clock.advance(1000);
    ASSERT_TRUE(QFile::link(device, link));
    clock.advance(DeviceWait::kLookMs);
    EXPECT_EQ(doneAt, 1000 + DeviceWait::kLookMs);

    DeviceWait never(clock);
    const std::int64_t start = clock.nowMs();
    ASSERT_TRUE(never.start(dir.filePath(QStringLiteral("ttyUSB9")), 2500, [&] { doneAt = clock.nowMs(); }));
    clock.advance(10000);
    EXPECT_EQ(doneAt, start + 2500);
}

} // namespace
