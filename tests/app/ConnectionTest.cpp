// Connecting, the presence display, Default Setting, Disconnect and Exit against a generator on
// a pseudo-terminal: the emulator, or a scripted one for outcomes the emulator cannot give.
// Everything runs at real pacing.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "GaugeBar.h"
#include "ModalDriver.h"
#include "ScriptedGenerator.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#ifdef SGX_SIM_PATH
#include "SimProcess.h"
#endif

#include <QPushButton>
#include <QSerialPort>
#include <QTest>

#include <memory>

using namespace AppTestSupport;

namespace {
constexpr int kAnswerWaitMs = 5000;
}

class ConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { quietenPlatformWarnings(); }
    void init();
    void cleanup();

    void connectingShowsTheGeneratorPresent();
    void defaultSettingIsConfirmed();
    void silentGeneratorIsReportedAbsent();
    void presenceCheckWithoutOkShowsAbsentQuietly();
    void failedReopenShowsAbsent();
    void refusedDefaultSettingShowsErrorAndAbsent();
    void disconnectEndsARunningOperationQuietly();
    void exitClosesThePort();

private:
    TMainForm &form() { return m_program->mainForm(); }
    // Connects COM 1 to `device` through the dialog, as the operator does.
    void connectTo(const QString &device);
    void startEmulator(const QStringList &flags);

    std::unique_ptr<DeviceLinkState> m_state;
    std::unique_ptr<SharedValues> m_values;
    std::unique_ptr<SgxProgram> m_program;
    std::unique_ptr<ModalDriver> m_driver;
#ifdef SGX_SIM_PATH
    std::unique_ptr<SimProcess> m_sim;
#endif
};

void ConnectionTest::init()
{
    m_state = std::make_unique<DeviceLinkState>();
    m_values = std::make_unique<SharedValues>();
    m_program = std::make_unique<SgxProgram>(*m_state, *m_values);
    m_driver = std::make_unique<ModalDriver>();
    m_program->show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
}

void ConnectionTest::cleanup()
{
    m_driver.reset();
    m_program.reset();
#ifdef SGX_SIM_PATH
    m_sim.reset();
#endif
    m_values.reset();
    m_state.reset();
    qunsetenv("SGX100_COM1");
    qunsetenv("SGX100_COM5");
}

void ConnectionTest::startEmulator(const QStringList &flags)
{
#ifdef SGX_SIM_PATH
    m_sim = std::make_unique<SimProcess>();
    QVERIFY(m_sim->start(flags));
    connectTo(m_sim->path());
#else
    Q_UNUSED(flags);
    QSKIP("sgx100-sim is not built");
#endif
}

void ConnectionTest::connectTo(const QString &device)
{
    qputenv("SGX100_COM1", device.toLocal8Bit());
    pickPortAndConfirm(*m_driver, 0);
    clickToolButton(form(), QStringLiteral("ConnectButton"));
    QVERIFY(m_driver->allDone());
    QVERIFY(!m_program->comPortSettingForm().isVisible());
    QCOMPARE(m_state->portOpen, 1);
    QCOMPARE(m_state->portNumber, 1);
}

void ConnectionTest::connectingShowsTheGeneratorPresent()
{
    startEmulator({});
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));
    QVERIFY(showsPresent(form()));
    QVERIFY(m_driver->messages.isEmpty());
#ifdef SGX_SIM_PATH
    QCOMPARE(m_sim->sentBytes(), QByteArray("URTCNT \x00 \n\r", 11));
#endif
}

void ConnectionTest::defaultSettingIsConfirmed()
{
    startEmulator({});
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));
    chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QVERIFY(QTest::qWaitFor([this] { return !m_driver->messages.isEmpty(); }, kAnswerWaitMs));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Upload Successful!!")});
    QVERIFY(showsPresent(form()));
#ifdef SGX_SIM_PATH
    QVERIFY(m_sim->sentBytes().endsWith(QByteArray("DFSET \x00 \n\r", 10)));
#endif
}

void ConnectionTest::silentGeneratorIsReportedAbsent()
{
    startEmulator({QStringLiteral("--silent")});
    // The presence check runs into its time-out: 17 receive ticks, then the next step tick.
    QVERIFY(QTest::qWaitFor([this] { return !m_driver->messages.isEmpty(); }, kAnswerWaitMs));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("No Response !!")});
    QVERIFY(showsAbsent(form()));
    // The port itself opened; only the generator is missing.
    QCOMPARE(m_state->portOpen, 1);
}

void ConnectionTest::presenceCheckWithoutOkShowsAbsentQuietly()
{
    startEmulator({QStringLiteral("--no-ok")});
    QVERIFY(QTest::qWaitFor([this] { return m_state->stepURTCNT == Idle; }, kAnswerWaitMs));
    QTest::qWait(600);
    QVERIFY(m_driver->messages.isEmpty());
    QVERIFY(showsAbsent(form()));
}

void ConnectionTest::failedReopenShowsAbsent()
{
    startEmulator({});
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));

    qputenv("SGX100_COM5", "/nonexistent/sgx100");
    pickPortAndConfirm(*m_driver, 4);
    bool stillOpen = false;
    m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&stillOpen](QWidget *dialog) {
        stillOpen = dialog->isVisible();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
    // Connect is disabled while the generator is present; the menu still reaches the dialog.
    chooseMenuItem(form(), QStringLiteral("Config1"), QStringLiteral("COMPort1"));
    QVERIFY(stillOpen);
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Open COM Port 5 fail !!")});
    QCOMPARE(m_state->portOpen, 0);
    QVERIFY(showsAbsent(form()));
}

void ConnectionTest::refusedDefaultSettingShowsErrorAndAbsent()
{
    ScriptedGenerator generator({{"URTCNT", "OK\r\n"}, {"DFSET", "NG\r\n"}});
    QVERIFY(generator.open());
    connectTo(generator.path());
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));

    chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QVERIFY(QTest::qWaitFor([this] { return !m_driver->messages.isEmpty(); }, kAnswerWaitMs));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Error!!")});
    QVERIFY(showsAbsent(form()));
    QCOMPARE(generator.commands(), (std::vector<std::string>{"URTCNT", "DFSET"}));
}

void ConnectionTest::disconnectEndsARunningOperationQuietly()
{
    // The generator acknowledges the presence check and then never answers Default Setting.
    ScriptedGenerator generator(ScriptedGenerator::Answers{{"URTCNT", "OK\r\n"}});
    QVERIFY(generator.open());
    connectTo(generator.path());
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));

    chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QCOMPARE(m_state->stepDFSET, AwaitAck);
    clickToolButton(form(), QStringLiteral("DisConnectButton"));
    QVERIFY(showsAbsent(form()));
    QCOMPARE(m_state->portOpen, 0);
    QCOMPARE(form().findChild<GaugeBar *>(QStringLiteral("ProgressGauge"))->value(), 0);

    // Well past the Default Setting time-out: nothing more is said.
    QTest::qWait(2600);
    QVERIFY(m_driver->messages.isEmpty());
    QCOMPARE(m_state->stepDFSET, Idle);

    // Reconnecting is answered by the generator, not by a stale time-out.
    connectTo(generator.path());
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));
    QTest::qWait(2000);
    QVERIFY(m_driver->messages.isEmpty());
    QVERIFY(showsPresent(form()));
}

void ConnectionTest::exitClosesThePort()
{
    ScriptedGenerator generator(ScriptedGenerator::Answers{{"URTCNT", "OK\r\n"}});
    QVERIFY(generator.open());
    connectTo(generator.path());
    QVERIFY(QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs));

    // An open port is held: nobody else gets it until the program lets go.
    QSerialPort other(generator.path());
    QVERIFY(!other.open(QIODevice::ReadWrite));
    chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileExitItem"));
    QVERIFY(!form().isVisible());
    QVERIFY(other.open(QIODevice::ReadWrite));
    other.close();
    QVERIFY(m_driver->messages.isEmpty());
}

QTEST_MAIN(ConnectionTest)
#include "ConnectionTest.moc"
