#include "SgxProgram.h"

#include "ByteTrace.h"
#include "LineMonitorWindow.h"
#include "MessageBoxes.h"
#include "SharedValues.h"
#include "ShownName.h"
#include "SwitchingSerialPort.h"
#include "TPatternForm.h"
#include "TTiming.h"
#include "TracingSerialPort.h"

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values, ByteTrace *trace)
    : SgxProgram(state, values, nullptr, trace)
{
}

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values, LineBundle &line)
    : SgxProgram(state, values, &line, nullptr)
{
}

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values, LineBundle *line, ByteTrace *trace)
    : m_ports(m_systemPorts),
      // The program's own port lives on its line thread, traced there when asked.
      m_ownLine(line != nullptr ? nullptr
                                : std::make_unique<LineThread>([trace]() -> std::unique_ptr<SerialPort> {
                                      auto port = std::make_unique<SwitchingSerialPort>();
                                      if (trace == nullptr)
                                          return port;
                                      return std::make_unique<TracingSerialPort>(std::move(port), *trace);
                                  })),
      m_line(line != nullptr ? *line : *m_ownLine), m_values(values), m_mainForm(state, values.EdidBuffer),
      m_link(state, values, m_line), m_watcher(m_systemPorts, m_line.clock()), m_aboutBox(&m_mainForm),
      m_comPortSettingForm(m_ports, state.portNumber, &m_mainForm),
      m_timingList(values, *m_mainForm.mdiArea(), &m_mainForm),
      m_patternList(values, *m_mainForm.mdiArea(), &m_mainForm), m_timings(values, &m_mainForm),
      m_patterns(values, &m_mainForm), m_programmerForm(values, &m_mainForm), m_edidBlock(values, &m_mainForm)
{
    connectLink();
    connectMainForm();
}

SgxProgram::~SgxProgram()
{
    m_link.closeDown();
}

void SgxProgram::show()
{
    m_mainForm.show();
}

void SgxProgram::connectLink()
{
    TMainForm *form = &m_mainForm;
    DeviceLink *link = &m_link;
    QObject::connect(link, &DeviceLink::presenceChanged, form, &TMainForm::showPresence);
    QObject::connect(link, &DeviceLink::progressChanged, form, &TMainForm::setProgress);
    QObject::connect(link, &DeviceLink::progressPanelOwnerDrawn, form,
                     &TMainForm::setProgressPanelOwnerDrawn);
    QObject::connect(link, &DeviceLink::receiveLogCleared, form, &TMainForm::clearReceiveLog);
    QObject::connect(link, &DeviceLink::received, form, &TMainForm::appendReceiveLog);
    QObject::connect(link, &DeviceLink::finished, form,
                     [this](Operation op, Outcome outcome) { tellOutcome(op, outcome); });
    // What the line said, and a port that went away: in the status bar, without a message box; a
    // port that went away is waited for, and opened again once it is back.
    QObject::connect(link, &DeviceLink::lineSaid, form, [form](const QString &text) {
        form->showStatusNote(QStringLiteral("the line answered: ") + text);
    });
    QObject::connect(link, &DeviceLink::lineLost, form, [this, form](const QString &reason) {
        // As the operator knows the port (COM n, or the system's name), and what it opens.
        const QString port = m_port.number >= 1 && m_port.number <= PortDirectory::kComPorts
                                 ? QStringLiteral("COM %1").arg(m_port.number)
                                 : m_port.label;
        form->showStatusNote(QStringLiteral("%1 (%2): %3; waiting for it to come back")
                                 .arg(port, shownName(m_port.device), reason));
        m_watcher.watch(m_port);
    });
    QObject::connect(&m_watcher, &PortWatcher::returned, link, [this, link](const PortChoice &port) {
        if (link->opening())
            return;
        m_port = port;
        link->connectPort(port, true);
    });
    QObject::connect(link, &DeviceLink::connectFinished, form, [this](bool opened) {
        if (opened && m_watcher.watching())
            stopWaitingForPort();
    });
    QObject::connect(link, &DeviceLink::traffic, &m_lineLog, &LineMonitorLog::add);

    // Every window asks for an operation by one signal.
    QObject::connect(&m_timings, &TTimings::linkRequested, link, &DeviceLink::request);
    QObject::connect(&m_patterns, &TPatterns::linkRequested, link, &DeviceLink::request);
    QObject::connect(&m_programmerForm, &TProgrammer_Form::linkRequested, link, &DeviceLink::request);
    QObject::connect(form, &TMainForm::operationRequested, link,
                     [link](Operation op) { link->StartLinkOperation(op); });

    TCOM_PORT_SETTING_FORM *dialog = &m_comPortSettingForm;
    QObject::connect(dialog, &TCOM_PORT_SETTING_FORM::connectRequested, link,
                     [this](const PortChoice &port) { connectTo(port); });
    QObject::connect(dialog, &TCOM_PORT_SETTING_FORM::connectCancelled, link,
                     [link] { link->cancelConnect(); });
    QObject::connect(link, &DeviceLink::connectFinished, dialog, &TCOM_PORT_SETTING_FORM::showConnectResult);
}

void SgxProgram::stopWaitingForPort()
{
    m_watcher.stop();
    m_mainForm.showStatusNote({});
}

void SgxProgram::connectTo(const PortChoice &port)
{
    stopWaitingForPort();
    m_port = port;
    m_link.connectPort(port);
}

void SgxProgram::tellOutcome(Operation op, Outcome outcome)
{
    const char *message = outcomeMessage(op, outcome);
    if (message == nullptr) {
        m_link.messageClosed(op);
        return;
    }
    DeviceLink *link = &m_link;
    openProgramMessage(&m_mainForm, QString::fromLatin1(message), QMessageBox::NoIcon, {},
                       [link, op] { link->messageClosed(op); });
}

void SgxProgram::connectMainForm()
{
    TMainForm *form = &m_mainForm;
    QObject::connect(form, &TMainForm::timingsRequested, form, [this] { m_timings.exec(); });
    QObject::connect(form, &TMainForm::patternsRequested, form, [this] { m_patterns.exec(); });
    QObject::connect(form, &TMainForm::programRequested, form, [this] { m_programmerForm.exec(); });
    QObject::connect(form, &TMainForm::portSettingsRequested, form, [this] { m_comPortSettingForm.exec(); });
    QObject::connect(form, &TMainForm::disconnectRequested, form, [this] {
        stopWaitingForPort();
        m_link.disconnectPort();
    });
    // No connection needed, and a running transfer goes on behind it.
    QObject::connect(form, &TMainForm::edidMemoryRequested, form, [this] { m_edidBlock.exec(); });
    QObject::connect(form, &TMainForm::aboutRequested, form, [this] { m_aboutBox.exec(); });
    QObject::connect(form, &TMainForm::timingWindowRequested, form, [this] { openTimingWindow(); });
    QObject::connect(form, &TMainForm::patternWindowRequested, form, [this] { openPatternWindow(); });
    QObject::connect(form, &TMainForm::lineMonitorRequested, form, [this] { openLineMonitor(); });
    // Closing the frame: the ticks stop, a running transfer is abandoned and the port closed.
    QObject::connect(form, &TMainForm::closing, form, [this] { m_link.closeDown(); });
}

void SgxProgram::openTimingWindow()
{
    if (m_mainForm.outputWindow<TTiming>() != nullptr)
        return;
    auto *timing = new TTiming(m_values, m_timingList);
    QObject::connect(timing, &TTiming::linkRequested, &m_link, &DeviceLink::request);
    m_mainForm.addOutputWindow(timing, QSize(TTiming::kWidth, TTiming::kHeight),
                               QPoint(TTiming::kLeft, TTiming::kTop), [timing] { timing->FormActivate(); });
}

void SgxProgram::openPatternWindow()
{
    if (m_mainForm.outputWindow<TPatternForm>() != nullptr)
        return;
    auto *pattern = new TPatternForm(m_values, m_patternList);
    QObject::connect(pattern, &TPatternForm::linkRequested, &m_link, &DeviceLink::request);
    m_mainForm.addOutputWindow(pattern, QSize(TPatternForm::kWidth, TPatternForm::kHeight), std::nullopt,
                               [pattern] { pattern->FormActivate(); });
}

void SgxProgram::openLineMonitor()
{
    if (m_mainForm.outputWindow<LineMonitorWindow>() == nullptr)
        m_mainForm.addOutputWindow(new LineMonitorWindow(m_lineLog),
                                   QSize(LineMonitorWindow::kWidth, LineMonitorWindow::kHeight), std::nullopt,
                                   {});
}
