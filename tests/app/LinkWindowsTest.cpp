// Connecting, Default Setting, Disconnect and closing, through the windows, on a generator in
// memory whose answers a script gives (outcomes the emulator cannot give, such as a presence check
// that succeeds before a refused command).
#include "WindowTest.h"

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
    // Nothing goes out after the close, however long one waits.
    QTest::qWait(1000);
    QVERIFY(writtenAtClose > 0);
    QCOMPARE(m_front->port.written().size(), writtenAtClose);
    QTRY_VERIFY(!m_front->port.isOpen());
    QVERIFY(m_driver->messages.isEmpty());
}

QTEST_MAIN(LinkWindowsTest)
#include "LinkWindowsTest.moc"
