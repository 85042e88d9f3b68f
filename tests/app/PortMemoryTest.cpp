// The bench remembered: the port connected in one run offered again in the next and opened at
// start by --connect, kept in a configuration folder of the test's.
#include "WindowTest.h"

#include "PortMemory.h"

#include <QComboBox>
#include <QTemporaryDir>

using namespace AppTestSupport;

class PortMemoryTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { checkFonts(); }
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
        for (int com = 1; com <= 3; ++com)
            qputenv(("SGX100_COM" + QByteArray::number(com)).constData(), device(com).toUtf8());
    }
    void cleanup() { stopProgram(); }

    void theDialogOffersThePortAgainAfterARestart();
    void connectAtStartOpensTheKeptPortElseCom1_data();
    void connectAtStartOpensTheKeptPortElseCom1();
    void theFileKeepsAnAdapterAndNothingElse();

private:
    // The program anew, with the memory main() gives it.
    void restart()
    {
        stopProgram();
        startProgram({{"URTCNT", "OK\r\n"}});
        m_memory = new PortMemory(m_front->program, PortMemory::userSettingsFile());
    }
    // The item the COM Port dialog starts at; it is cancelled.
    [[nodiscard]] QString offered()
    {
        QString shown;
        m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&shown](QWidget *dialog) {
            shown = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText();
        });
        cancelPortDialog(*m_driver);
        return chooseMenuItem(form(), QStringLiteral("Config1"), QStringLiteral("COMPort1")) ? shown
                                                                                             : QString();
    }
    [[nodiscard]] QString settingsFile() const { return m_config->filePath("sgxcontrol/sgxcontrol.conf"); }
    [[nodiscard]] QString device(int com) const
    {
        return m_config->filePath(QStringLiteral("pts-%1").arg(com));
    }

    std::unique_ptr<QTemporaryDir> m_config;
    PortMemory *m_memory = nullptr;
};

void PortMemoryTest::theDialogOffersThePortAgainAfterARestart()
{
    restart();
    QCOMPARE(PortMemory::userSettingsFile(), settingsFile());
    pickPortAndConfirm(*m_driver, 2);
    QVERIFY(clickToolButton(form(), QStringLiteral("ConnectButton")));
    QVERIFY(waitUntil([this] { return m_state.devicePresent == 1; }, 5000));
    restart();
    QCOMPARE(offered(), QStringLiteral("COM 3"));
}

void PortMemoryTest::connectAtStartOpensTheKeptPortElseCom1_data()
{
    QTest::addColumn<int>("kept"); // 0: nothing
    QTest::addColumn<QString>("com2Now");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing kept") << 0 << "pts-2" << true << 1 << "";
    QTest::newRow("COM 2 kept") << 2 << "pts-2" << true << 2 << "";
    QTest::newRow("COM 2 kept, another device now") << 2 << "pts-9" << true << 1 << "";
    QTest::newRow("an open that fails") << 0 << "pts-2" << false << 1 << "Open COM Port 1 fail !!";
}

void PortMemoryTest::connectAtStartOpensTheKeptPortElseCom1()
{
    QFETCH(int, kept);
    QFETCH(QString, com2Now);
    QFETCH(bool, opens);
    QFETCH(int, opened);
    QFETCH(QString, message);
    RememberedPort port;
    port.comNumber = kept;
    port.device = device(kept);
    QVERIFY(kept == 0 || PortMemory::save(settingsFile(), port));
    qputenv("SGX100_COM2", m_config->filePath(com2Now).toUtf8());
    restart();
    m_front->port.openOk = opens;
    m_memory->connectAtStart();
    QVERIFY(waitUntil([&] { return m_state.devicePresent == 1 || !m_driver->messages.isEmpty(); }, 5000));
    QCOMPARE(m_front->port.openedDevice(), device(opened));
    QCOMPARE(m_driver->messages.join('|'), message);
    QCOMPARE(showsPresent(form()), opens);
    // The port in use is the one the dialog starts at, and, once open, the one kept.
    QCOMPARE(offered(), QStringLiteral("COM %1").arg(opened));
    QCOMPARE(PortMemory::load(settingsFile()).value_or(RememberedPort{}).comNumber, opens ? opened : kept);
}

void PortMemoryTest::theFileKeepsAnAdapterAndNothingElse()
{
    RememberedPort adapter;
    adapter.device = QStringLiteral("/dev/ttyUSB0");
    adapter.byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    adapter.usb = UsbIdentity{0x0403, 0xFFFF, QStringLiteral("A50285BI")};
    QVERIFY(PortMemory::save(settingsFile(), adapter));
    QVERIFY(PortMemory::load(settingsFile()) == adapter);
    for (const char *text : {"[port]\ncom=9\ndevice=/dev/ttyS8\n",
                             "[port]\ncom=0\ndevice=/dev/ttyUSB0\nusbSerial=A5\n", "\x01\x02\xff"}) {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) > 0);
        file.close();
        QVERIFY2(!PortMemory::load(settingsFile()), text);
    }
    // A configuration folder that cannot be made: the connect goes on, and the status bar says so.
    qputenv("XDG_CONFIG_HOME", settingsFile().toUtf8());
    restart();
    m_memory->connectAtStart();
    QVERIFY(waitUntil([this] { return m_state.devicePresent == 1; }, 5000));
    QVERIFY(form().statusNote().startsWith(QStringLiteral("The port is not remembered: ")));
}

QTEST_MAIN(PortMemoryTest)
#include "PortMemoryTest.moc"
