// Connecting, the presence display, Default Setting, Disconnect and Exit, at real pacing: against
// the emulator on a pseudo-terminal, and against an in-memory generator for outcomes the
// emulator cannot give (a presence check that succeeds before a refused command).
#include "AppForms.h"
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "FakeSerialLibrary.h"
#include "GaugeBar.h"
#include "LinkClock.h"
#include "ModalDriver.h"
#include "PanelStatusBar.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#ifdef SGX_SIM_PATH
#include "SimProcess.h"
#endif

#include <QTest>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

using namespace AppTestSupport;

namespace {

constexpr int kAnswerWaitMs = 5000;

// The main window and port dialog on a port in memory whose generator answers each command line
// from a script, and stays silent on commands the script leaves out.
struct ScriptedFront {
    ScriptedFront(DeviceLinkState &state, SharedValues &values, std::map<std::string, std::string> answers)
        : form(state, values, port, clock, forms), dialog(form.stepMachine(), &form),
          script(std::move(answers))
    {
        forms.mainForm = &form;
        forms.comPortSettingForm = &dialog;
        port.onWrite = [this](std::uint8_t byte) {
            line += static_cast<char>(byte);
            if (line.size() < 2 || line.compare(line.size() - 2, 2, "\n\r") != 0)
                return;
            const auto answer = script.find(line.substr(0, line.find(' ')));
            if (answer != script.end())
                port.queueAnswer(answer->second.c_str());
            line.clear();
        };
    }

    SteadyLinkClock clock;
    FakeSerialLibrary port{clock};
    AppForms forms;
    TMainForm form;
    TCOM_PORT_SETTING_FORM dialog;
    std::map<std::string, std::string> script;
    std::string line;
};

} // namespace

class ConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { quietenPlatformWarnings(); }
    void init();
    void cleanup();

    void connectingShowsPresentAndDefaultSettingIsConfirmed();
    void tableUploadFillsTheGauge();
    void silentGeneratorIsReportedAbsent();
    void failedReopenShowsAbsent();
    void refusedDefaultSettingShowsAbsentAndExitClosesThePort();
    void disconnectEndsARunningOperationQuietly();

private:
    void connect(TMainForm &form);
    void connectToEmulator(const QStringList &flags = {});
    TMainForm &scriptedForm(std::map<std::string, std::string> answers);
    bool waitForPresent()
    {
        return QTest::qWaitFor([this] { return m_state->devicePresent == 1; }, kAnswerWaitMs);
    }
    bool waitForMessage()
    {
        return QTest::qWaitFor([this] { return !m_driver->messages.isEmpty(); }, kAnswerWaitMs);
    }

    std::unique_ptr<DeviceLinkState> m_state;
    std::unique_ptr<SharedValues> m_values;
    std::unique_ptr<SgxProgram> m_program;
    std::unique_ptr<ScriptedFront> m_front;
    std::unique_ptr<ModalDriver> m_driver;
#ifdef SGX_SIM_PATH
    std::unique_ptr<SimProcess> m_sim;
#endif
};

void ConnectionTest::init()
{
    m_state = std::make_unique<DeviceLinkState>();
    m_values = std::make_unique<SharedValues>();
    m_driver = std::make_unique<ModalDriver>();
}

void ConnectionTest::cleanup()
{
    m_driver.reset();
    m_program.reset();
    m_front.reset();
#ifdef SGX_SIM_PATH
    m_sim.reset();
#endif
    qunsetenv("SGX100_COM1");
    qunsetenv("SGX100_COM5");
}

// COM 1 through the dialog, as the operator does it.
void ConnectionTest::connect(TMainForm &form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    pickPortAndConfirm(*m_driver, 0);
    clickToolButton(form, QStringLiteral("ConnectButton"));
    QVERIFY(m_driver->allDone());
    QCOMPARE(m_state->portOpen, 1);
    QCOMPARE(m_state->portNumber, 1);
}

void ConnectionTest::connectToEmulator(const QStringList &flags)
{
#ifdef SGX_SIM_PATH
    m_sim = std::make_unique<SimProcess>();
    QVERIFY(m_sim->start(flags));
    qputenv("SGX100_COM1", m_sim->path().toLocal8Bit());
    m_program = std::make_unique<SgxProgram>(*m_state, *m_values);
    connect(m_program->mainForm());
#else
    Q_UNUSED(flags);
    QSKIP("sgx100-sim is not built");
#endif
}

TMainForm &ConnectionTest::scriptedForm(std::map<std::string, std::string> answers)
{
    m_front = std::make_unique<ScriptedFront>(*m_state, *m_values, std::move(answers));
    return m_front->form;
}

void ConnectionTest::connectingShowsPresentAndDefaultSettingIsConfirmed()
{
    connectToEmulator();
    QVERIFY(waitForPresent());
    QVERIFY(showsPresent(m_program->mainForm()));
    QVERIFY(!m_program->comPortSettingForm().isVisible());
    QVERIFY(m_driver->messages.isEmpty());

    chooseMenuItem(m_program->mainForm(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QVERIFY(waitForMessage());
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Upload Successful!!")});
    QVERIFY(showsPresent(m_program->mainForm()));
#ifdef SGX_SIM_PATH
    QCOMPARE(m_sim->sentBytes(), QByteArray("URTCNT \x00 \n\rDFSET \x00 \n\r", 21));
#endif
}

void ConnectionTest::tableUploadFillsTheGauge()
{
    // The window that starts it comes later; its hand-over is this one call.
    connectToEmulator();
    QVERIFY(waitForPresent());
    TMainForm &form = m_program->mainForm();
    auto *gauge = form.findChild<GaugeBar *>(QStringLiteral("ProgressGauge"));
    QList<int> shown;
    QObject::connect(gauge, &QProgressBar::valueChanged, gauge, [&shown](int value) { shown << value; });
    m_values->timingSelection[0] = 1;
    QVERIFY(form.stepMachine().StartLinkOperation(Operation::TMGS));
    QVERIFY(QTest::qWaitFor([this] { return !m_driver->messages.isEmpty(); }, 10000));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Upload successful!!")});
    QVERIFY(shown.size() > 30);
    QCOMPARE(shown.last(), 100);
    QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    QCOMPARE(gauge->text(), QStringLiteral("100%"));
    QVERIFY(form.findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"))->panelOwnerDrawn(0));
    QVERIFY(showsPresent(form));
}

void ConnectionTest::silentGeneratorIsReportedAbsent()
{
    connectToEmulator({QStringLiteral("--silent")});
    // 17 receive ticks without an answer, then the next step tick.
    QVERIFY(waitForMessage());
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("No Response !!")});
    QVERIFY(showsAbsent(m_program->mainForm()));
    QCOMPARE(m_state->portOpen, 1);
}

void ConnectionTest::failedReopenShowsAbsent()
{
    connectToEmulator();
    QVERIFY(waitForPresent());
    qputenv("SGX100_COM5", "/nonexistent/sgx100");
    bool stillOpen = false;
    pickPortAndConfirm(*m_driver, 4);
    cancelPortDialog(*m_driver, &stillOpen);
    // Connect is disabled while the generator is present; the menu still reaches the dialog.
    chooseMenuItem(m_program->mainForm(), QStringLiteral("Config1"), QStringLiteral("COMPort1"));
    QVERIFY(stillOpen);
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Open COM Port 5 fail !!")});
    QCOMPARE(m_state->portOpen, 0);
    QVERIFY(showsAbsent(m_program->mainForm()));
}

void ConnectionTest::refusedDefaultSettingShowsAbsentAndExitClosesThePort()
{
    TMainForm &form = scriptedForm({{"URTCNT", "OK\r\n"}, {"DFSET", "NG\r\n"}});
    connect(form);
    QVERIFY(waitForPresent());
    chooseMenuItem(form, QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QVERIFY(waitForMessage());
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Error!!")});
    QVERIFY(showsAbsent(form));

    // The absent display leaves the port open; closing the program closes it, without a word.
    QVERIFY(m_front->port.isOpen());
    chooseMenuItem(form, QStringLiteral("File1"), QStringLiteral("FileExitItem"));
    QVERIFY(!form.isVisible());
    QVERIFY(!m_front->port.isOpen());
    QCOMPARE(m_driver->messages.size(), 1);
}

void ConnectionTest::disconnectEndsARunningOperationQuietly()
{
    // Default Setting is never answered.
    TMainForm &form = scriptedForm({{"URTCNT", "OK\r\n"}});
    connect(form);
    QVERIFY(waitForPresent());
    chooseMenuItem(form, QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QCOMPARE(m_state->stepDFSET, AwaitAck);
    clickToolButton(form, QStringLiteral("DisConnectButton"));
    QVERIFY(showsAbsent(form));
    QVERIFY(!m_front->port.isOpen());
    QCOMPARE(form.findChild<GaugeBar *>(QStringLiteral("ProgressGauge"))->value(), 0);

    // Past the Default Setting time-out, and after connecting anew: no stale "No Response !!".
    QTest::qWait(2200);
    connect(form);
    QVERIFY(waitForPresent());
    QTest::qWait(2200);
    QVERIFY(m_driver->messages.isEmpty());
    QVERIFY(showsPresent(form));
}

QTEST_MAIN(ConnectionTest)
#include "ConnectionTest.moc"
