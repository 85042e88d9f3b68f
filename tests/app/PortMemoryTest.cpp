// The bench remembered: the port connected in one run offered again in the next, and opened at
// start by --connect; the settings file it is kept in, in a configuration folder of the test's.
#include "WindowTest.h"

#include "PortMemory.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

using namespace AppTestSupport;

class PortMemoryTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { checkFonts(); }
    void init();
    void cleanup();

    void thePortIsOfferedAgainAfterARestart();
    void connectAtStartOpensTheKeptPortElseCom1_data();
    void connectAtStartOpensTheKeptPortElseCom1();
    void anOpenThatFailsAtStartIsToldAndNotKept();
    void theFileKeepsAnAdapterAndNothingElse();

private:
    // The program anew, with the memory main() gives it.
    void restart()
    {
        stopProgram();
        startProgram({{"URTCNT", "OK\r\n"}});
        m_memory = new PortMemory(m_front->program, PortMemory::userSettingsFile());
    }
    // The item the COM Port dialog starts at, read when it is shown; it is cancelled.
    [[nodiscard]] QString offered()
    {
        QString shown;
        m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&shown](QWidget *dialog) {
            shown = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText();
        });
        cancelPortDialog(*m_driver);
        return chooseMenuItem(form(), QStringLiteral("Config1"), QStringLiteral("COMPort1")) &&
                       m_driver->allDone()
                   ? shown
                   : QStringLiteral("<no dialog>");
    }
    [[nodiscard]] QString settingsFile() const
    {
        return m_config->filePath(QStringLiteral("sgxcontrol/sgxcontrol.conf"));
    }
    [[nodiscard]] QString device(int com) const
    {
        return m_config->filePath(QStringLiteral("pts-%1").arg(com));
    }

    std::unique_ptr<QTemporaryDir> m_config;
    PortMemory *m_memory = nullptr;
};

void PortMemoryTest::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
    for (int com = 1; com <= 3; ++com)
        qputenv(QByteArray("SGX100_COM") + QByteArray::number(com), device(com).toUtf8());
}

void PortMemoryTest::cleanup()
{
    stopProgram();
    for (int com = 1; com <= 3; ++com)
        qunsetenv(QByteArray("SGX100_COM") + QByteArray::number(com));
    qunsetenv("XDG_CONFIG_HOME");
}

void PortMemoryTest::thePortIsOfferedAgainAfterARestart()
{
    restart();
    QCOMPARE(PortMemory::userSettingsFile(), settingsFile());
    QCOMPARE(offered(), QStringLiteral("COM 1"));
    pickPortAndConfirm(*m_driver, 2);
    QVERIFY(clickToolButton(form(), QStringLiteral("ConnectButton")));
    QVERIFY(waitUntil([this] { return m_state.devicePresent == 1; }, 5000));
    QCOMPARE(m_front->port.openedDevice(), device(3));

    restart();
    QCOMPARE(offered(), QStringLiteral("COM 3"));
    // Once COM 3 names another device, it is not the port that was connected.
    qputenv("SGX100_COM3", device(4).toUtf8());
    restart();
    QCOMPARE(offered(), QStringLiteral("COM 1"));
    QVERIFY(m_driver->messages.isEmpty());
}

void PortMemoryTest::connectAtStartOpensTheKeptPortElseCom1_data()
{
    QTest::addColumn<int>("kept");      // 0: nothing kept
    QTest::addColumn<bool>("remapped"); // the kept COM n names another device now
    QTest::addColumn<int>("opened");
    QTest::newRow("nothing kept") << 0 << false << 1;
    QTest::newRow("COM 2 kept") << 2 << false << 2;
    QTest::newRow("COM 2 kept, another device now") << 2 << true << 1;
}

void PortMemoryTest::connectAtStartOpensTheKeptPortElseCom1()
{
    QFETCH(int, kept);
    QFETCH(bool, remapped);
    QFETCH(int, opened);
    if (kept != 0) {
        RememberedPort port;
        port.comNumber = kept;
        port.device = device(kept);
        QVERIFY(PortMemory::save(settingsFile(), port));
    }
    if (remapped)
        qputenv("SGX100_COM2", device(5).toUtf8());
    restart();
    m_memory->connectAtStart();
    QVERIFY(waitUntil([this] { return m_state.devicePresent == 1; }, 5000));
    QVERIFY(showsPresent(form()));
    QCOMPARE(m_front->port.openedDevice(), device(opened));
    QVERIFY(!m_front->program.comPortSettingForm().isVisible());
    QVERIFY(m_driver->messages.isEmpty());
    // It is the port in use and the one kept for the next run.
    QCOMPARE(offered(), QStringLiteral("COM %1").arg(opened));
    const std::optional<RememberedPort> now = PortMemory::load(settingsFile());
    QVERIFY(now.has_value());
    QCOMPARE(now->comNumber, opened);
}

void PortMemoryTest::anOpenThatFailsAtStartIsToldAndNotKept()
{
    restart();
    m_front->port.openOk = false;
    m_memory->connectAtStart();
    QVERIFY(waitUntil([this] { return !m_driver->messages.isEmpty(); }, 5000));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Open COM Port 1 fail !!")});
    QVERIFY(showsAbsent(form()));
    QVERIFY(!QFile::exists(settingsFile()));
}

void PortMemoryTest::theFileKeepsAnAdapterAndNothingElse()
{
    RememberedPort adapter;
    adapter.device = QStringLiteral("/dev/ttyUSB0");
    adapter.byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    adapter.usb = UsbIdentity{0x0403, 0xFFFF, QStringLiteral("A50285BI")};
    QVERIFY(PortMemory::save(settingsFile(), adapter));
    QVERIFY(PortMemory::load(settingsFile()) == adapter);

    const QStringList contents = {
        QStringLiteral("[port]\ncom=9\ndevice=/dev/ttyS8\n"),
        QStringLiteral("[port]\ncom=2\n"),
        QStringLiteral("[port]\ncom=two\ndevice=/dev/ttyS1\n"),
        QStringLiteral("[port]\ncom=0\ndevice=/dev/ttyUSB0\nusbVendor=70000\nusbProduct=1\nusbSerial=A5\n"),
        QStringLiteral("\x01\x02\xff garbage"),
    };
    for (const QString &text : contents) {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        QVERIFY2(!PortMemory::load(settingsFile()), qPrintable(text));
    }

    // A configuration folder that cannot be made: the connect goes on, and the status bar says
    // the port is not remembered.
    QFile blocker(m_config->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());
    restart();
    m_memory->connectAtStart();
    QVERIFY(waitUntil([this] { return m_state.devicePresent == 1; }, 5000));
    QVERIFY2(form().statusNote().startsWith(QStringLiteral("The port is not remembered: ")),
             qPrintable(form().statusNote()));
}

QTEST_MAIN(PortMemoryTest)
#include "PortMemoryTest.moc"
