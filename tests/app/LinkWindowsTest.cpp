// Connecting, Default Setting, Disconnect and closing, through the windows, on a generator in
// memory whose answers a script gives (outcomes the emulator cannot give, such as a presence check
// that succeeds before a refused command).
#include "WindowTest.h"

#include "ByteTrace.h"
#include "FileSizeLimit.h"
#include "PanelStatusBar.h"
#include "TraceReport.h"

#include <QTemporaryDir>
#include <QTimer>

using namespace AppTestSupport;

class LinkWindowsTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { checkFonts(); }
    void cleanup() { stopProgram(); }

    void refusedDefaultSettingShowsAbsentAndExitClosesThePort();
    void disconnectEndsARunningOperationQuietly();
    void closingDuringAnUploadEndsItAtOnce();
    void aTraceThatStopsIsNotedAndReportedOnce();

private:
    // COM 1 through the dialog, as the operator does it.
    [[nodiscard]] bool connect()
    {
        pickPortAndConfirm(*m_driver, 0);
        return clickToolButton(form(), QStringLiteral("ConnectButton")) && m_driver->allDone() &&
               m_state.portOpen == 1;
    }
    [[nodiscard]] bool waitForPresent()
    {
        return waitUntil([this] { return m_state.devicePresent == 1; }, 5000);
    }
    [[nodiscard]] bool waitForMessages(int count)
    {
        return waitUntil([this, count] { return m_driver->messages.size() >= count; }, 5000);
    }
};

void LinkWindowsTest::refusedDefaultSettingShowsAbsentAndExitClosesThePort()
{
    startProgram({{"URTCNT", "OK\r\n"}, {"DFSET", "NG\r\n"}});
    QVERIFY(connect());
    QVERIFY(waitForPresent());
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting")));
    QVERIFY(waitForMessages(1));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Error!!")});
    QVERIFY(showsAbsent(form()));

    // The absent display leaves the port open; closing the program closes it, without a word.
    QVERIFY(m_front->port.isOpen());
    QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileExitItem")));
    QVERIFY(!form().isVisible());
    QTRY_VERIFY(!m_front->port.isOpen());
    QCOMPARE(m_driver->messages.size(), 1);
}

void LinkWindowsTest::disconnectEndsARunningOperationQuietly()
{
    // Default Setting is never answered.
    startProgram({{"URTCNT", "OK\r\n"}});
    QVERIFY(connect());
    QVERIFY(waitForPresent());
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting")));
    QCOMPARE(m_state.stepDFSET, AwaitAck);
    QVERIFY(clickToolButton(form(), QStringLiteral("DisConnectButton")));
    QVERIFY(showsAbsent(form()));
    QTRY_VERIFY(!m_front->port.isOpen());

    // Past the Default Setting time-out (1.7 s of the link's time), and after connecting anew: no
    // stale "No Response !!".
    QTest::qWait(300);
    QVERIFY(connect());
    QVERIFY(waitForPresent());
    QTest::qWait(300);
    QVERIFY(m_driver->messages.isEmpty());
    QVERIFY(showsPresent(form()));
}

void LinkWindowsTest::closingDuringAnUploadEndsItAtOnce()
{
    startProgram({{"URTCNT", "OK\r\n"}, {"UEDID", "OK\r\n"}});
    QVERIFY(connect());
    QVERIFY(waitForPresent());
    std::size_t writtenAtClose = 0;
    // In the middle of the upload (2.8 s here).
    QTimer::singleShot(500, &form(), [&] {
        writtenAtClose = m_front->port.written().size();
        form().close();
    });
    QVERIFY(m_front->program.deviceLink().StartLinkOperation(Operation::UEDID));
    // Nothing goes out after the close but the rest of the framed byte under way, however long
    // one waits: the generator is never left half a frame. The close reaches the line as a queued
    // request, so on a busy machine one more character, the first of a frame, may go out first.
    QTest::qWait(1000);
    QVERIFY(writtenAtClose > 0);
    const std::size_t written = m_front->port.written().size();
    QVERIFY2(written - writtenAtClose <= 3,
             qPrintable(QStringLiteral("%1 characters after the close").arg(written - writtenAtClose)));
    const std::size_t lines = 11 + 10; // the command lines of URTCNT and UEDID
    QCOMPARE((written - lines) % 3, 0u);
    QTRY_VERIFY(!m_front->port.isOpen());
    QVERIFY(m_driver->messages.isEmpty());
}

void LinkWindowsTest::aTraceThatStopsIsNotedAndReportedOnce()
{
    startProgram({{"URTCNT", "OK\r\n"}, {"DFSET", "OK\r\n"}});
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("sgx.trace")).toStdString();
    ByteTrace trace;
    QVERIFY(trace.open(path));
    new TraceReport(trace, form(), m_front->program.deviceLink());
    QVERIFY(connect());
    QVERIFY(waitForPresent());
    auto *status = form().findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    QVERIFY(status != nullptr);
    QCOMPARE(status->panelText(1), QString());

    // The disk fills up under the line's next bytes.
    const std::uint8_t ok[] = {'O', 'K'};
    {
        FileSizeLimit full(1);
        trace.record(0, ByteTrace::Direction::FromGenerator, ok, sizeof ok);
    }
    const QString why = QString::fromStdString(path) + QStringLiteral(": File too large");
    QVERIFY(waitUntil([status] { return !status->panelText(1).isEmpty(); }, 2000));
    QCOMPARE(form().statusNote(), QStringLiteral("The trace is incomplete: ") + why);
    QVERIFY2(m_driver->messages.isEmpty(), qPrintable(m_driver->messages.join('|')));

    // The box comes once, after the operation's own message.
    for (int run = 0; run < 2; ++run) {
        QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting")));
        QVERIFY(waitForMessages(run == 0 ? 2 : 3));
    }
    QTest::qWait(200);
    QCOMPARE(m_driver->messages,
             (QStringList{QStringLiteral("Upload Successful!!"), QStringLiteral("The trace is incomplete"),
                          QStringLiteral("Upload Successful!!")}));
    QCOMPARE(m_driver->details.value(1), why);
}

QTEST_MAIN(LinkWindowsTest)
#include "LinkWindowsTest.moc"
