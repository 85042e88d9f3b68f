// How names are shown and opened, and what the operator is told about a device that would not
// open: the plain functions, then the serial layer on real files and pseudo-terminals.
#include "PortAccess.h"
#include "PortDirectory.h"
#include "QtSerialPort.h"
#include "ShownName.h"

#include "FakeSystemPortList.h"
#include "PtyPair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(ShownName, KeepsMessagesOnOneReadableLine)
{
    struct Case {
        std::string bytes;
        std::string shown;
    };
    for (const Case &c : {Case{"/dev/ttyUSB0", "/dev/ttyUSB0"}, Case{"/tmp/a\nb\tc\r", "/tmp/a\\nb\\tc\\r"},
                          Case{"x\x1B[2Jy\x7F", "x\\x1B[2Jy\\x7F"}, Case{"gen\xE9", "gen\\xE9"},
                          Case{"caf\xC3\xA9", "caf\xC3\xA9"},
                          Case{"a\xE2\x80\xAE"
                               "b",
                               "a\\u202Eb"},
                          Case{"line\xE2\x80\xA8sep", "line\\u2028sep"}, Case{"\xC0\xAF", "\\xC0\\xAF"},
                          Case{"\xED\xA0\x80", "\\xED\\xA0\\x80"}}) {
        EXPECT_EQ(shownName(c.bytes), c.shown);
        EXPECT_EQ(shownName(QString::fromStdString(c.shown)).toStdString(), c.shown) << "shown as itself";
    }
    EXPECT_EQ(shownName(QStringLiteral("a\nb")), QStringLiteral("a\\nb"));

    // A long name keeps its beginning and its end, and never half an escape.
    const std::string longName = "/dev/" + std::string(70000, 'b') + "\n/tail";
    const std::string shown = shownName(longName);
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(kShownNameLength));
    EXPECT_EQ(shown.rfind("/dev/bbb", 0), 0u);
    EXPECT_EQ(shown.substr(shown.size() - 8), "b\\n/tail");
    EXPECT_NE(shown.find("..."), std::string::npos);
    EXPECT_EQ(shownName(shown), shown);
    const std::string escapes = shownName(std::string(200, '\x01'));
    EXPECT_LE(escapes.size(), static_cast<std::size_t>(kShownNameLength));
    EXPECT_EQ(escapes.substr(escapes.size() - 4), "\\x01");
}

TEST(PortAccessAdvice, JoiningAGroupIsAdvisedOnlyWhereItHelps)
{
    const DeviceAccess dialout{0, 20, 0660, "root", "dialout"};
    const DeviceAccess rootOnly{0, 0, 0600, "root", "root"};
    const DeviceAccess groupReadOnly{0, 20, 0640, "root", "dialout"};
    const DeviceAccess ownedByUser{1000, 20, 0600, "ann", "dialout"};
    const std::string join = "the device belongs to the group dialout, which you are not in: "
                             "sudo usermod -aG dialout $USER, then log out and in again";
    const std::string again = "the device belongs to the group dialout, which you joined after logging in: "
                              "log out and in again";
    struct Case {
        DeviceAccess device;
        ProcessAccess process;
        std::string advice;
    };
    for (const Case &c : {
             Case{dialout, {1000, {1000}, {1000}}, join},
             Case{dialout, {1000, {1000}, {1000, 20}}, again},
             Case{rootOnly, {1000, {1000}, {1000}}, "the device is owned by root, group root, mode 0600"},
             Case{groupReadOnly,
                  {1000, {1000}, {1000}},
                  "the device is owned by root, group dialout, mode 0640"},
             Case{
                 ownedByUser, {1000, {1000}, {1000}}, "the device is owned by ann, group dialout, mode 0600"},
             // In the group and still refused: the group is not what is missing.
             Case{dialout,
                  {1000, {1000, 20}, {1000, 20}},
                  "the device is owned by root, group dialout, mode 0660"},
         }) {
        EXPECT_EQ(permissionAdvice(c.device, c.process), c.advice);
    }
}

// The serial layer's reason for each kind of device that does not open.
class OpenFailure : public ::testing::Test {
protected:
    static std::string reasonFor(const QString &device)
    {
        QtSerialPort serial;
        std::string reason = "(no answer)";
        serial.open(device, [&](bool ok, const OpenError &error) { reason = ok ? "opened" : error.reason; });
        return reason;
    }

    FakeSystemPortList m_system;
    QTemporaryDir m_dir;
};

TEST_F(OpenFailure, SaysWhatTheNameIs)
{
    ASSERT_TRUE(m_dir.isValid());
    const QString file = m_dir.filePath("file");
    QFile(file).open(QIODevice::WriteOnly);
    PtyPair pty;
    ASSERT_FALSE(pty.device().isEmpty());
    // Each folder's name is short, but the lock file's name, the whole path, is not.
    const QString deep =
        m_dir.filePath(QString(100, 'a') + "/" + QString(100, 'b') + "/" + QString(100, 'c'));
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(QFile::link(pty.device(), deep + "/tty"));
    const std::string lockTooLong =
        "the name is too long for the port's lock file: open it by a shorter path (a symbolic link will do)";
    struct Case {
        QString device;
        std::string reason;
    };
    for (const Case &c :
         {Case{m_dir.filePath("missing"), "not found"}, Case{file, "not a serial port"},
          Case{m_dir.path(), "not a serial port"}, Case{"/dev/null", "not a serial port"},
          Case{deep + "/tty", lockTooLong}, Case{"/dev/" + QString(70000, 'b'), "the name is too long"}})
        EXPECT_EQ(reasonFor(c.device), c.reason) << c.device.left(100).toStdString();
}

TEST_F(OpenFailure, APortHeldByItsNameNamesItsHolderWhereverItLies)
{
    // Outside /dev Qt's lock file bears the whole path; its holder is found there too.
    PtyPair pty;
    ASSERT_FALSE(pty.device().isEmpty());
    const QString link = m_dir.filePath("gen");
    ASSERT_TRUE(QFile::link(pty.device(), link));
    QtSerialPort holder;
    bool held = false;
    holder.open(link, [&held](bool ok, const OpenError &) { held = ok; });
    ASSERT_TRUE(held);
    EXPECT_EQ(reasonFor(link),
              "already in use by another program (process " + std::to_string(QCoreApplication::applicationPid()) + ")");
}

TEST_F(OpenFailure, ACom1ThatIsNoUtf8OpensNeitherItNorItsTwin)
{
    PtyPair named;
    PtyPair twin;
    ASSERT_FALSE(named.device().isEmpty() || twin.device().isEmpty());
    const QByteArray folder = QFile::encodeName(m_dir.path());
    ASSERT_EQ(::symlink(QFile::encodeName(named.device()).constData(), (folder + "/gen\xE9").constData()), 0);
    // What the name would decode to.
    ASSERT_EQ(
        ::symlink(QFile::encodeName(twin.device()).constData(), (folder + "/gen\xEF\xBF\xBD").constData()),
        0);
    qputenv("SGX100_COM1", folder + "/gen\xE9");
    // The link refuses a choice with a problem before anything is opened (DeviceLinkTest).
    PortDirectory ports(m_system);
    const PortChoice com1 = ports.choice(1);
    EXPECT_EQ(com1.device, m_dir.path() + "/gen\\xE9");
    EXPECT_TRUE(com1.problem.startsWith(QStringLiteral("the name is not valid UTF-8; refused")))
        << com1.problem.toStdString();
    qunsetenv("SGX100_COM1");
    // Names Qt cannot spell, so QTemporaryDir cannot remove them.
    ::unlink((folder + "/gen\xE9").constData());
    ::unlink((folder + "/gen\xEF\xBF\xBD").constData());
}

} // namespace
