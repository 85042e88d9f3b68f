#include "SgxProgram.h"

#include "SharedValues.h"
#include "SwitchingSerialLibrary.h"
#include "TPatternForm.h"
#include "TTiming.h"

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values, ByteTrace *trace)
    : SgxProgram(state, values, nullptr, nullptr, trace)
{
}

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values, SerialLibrary &serial, LinkClock &clock)
    : SgxProgram(state, values, &serial, &clock, nullptr)
{
}

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values, SerialLibrary *serial, LinkClock *clock,
                       ByteTrace *trace)
    : m_ports(m_systemPorts),
      // The program's own port lives on its line thread, traced there when asked.
      m_ownLine(serial != nullptr
                    ? nullptr
                    : std::make_unique<SerialThread>([this, trace]() -> std::unique_ptr<SerialLibrary> {
                          auto port = std::make_unique<SwitchingSerialLibrary>(m_ports);
                          if (trace == nullptr)
                              return port;
                          return std::make_unique<TracingSerial>(std::move(port), *trace);
                      })),
      m_tracing(serial != nullptr && trace != nullptr ? std::make_unique<TracingSerial>(*serial, *trace)
                                                      : nullptr),
      m_serial(m_tracing           ? *m_tracing
               : serial != nullptr ? *serial
                                   : *m_ownLine),
      m_clock(clock != nullptr ? *clock : m_ownClock),
      m_ownWriter(serial != nullptr ? std::make_unique<PacedWriter>(m_serial, m_clock) : nullptr),
      m_writer(m_ownWriter ? static_cast<LineWriter &>(*m_ownWriter) : *m_ownLine), m_values(values),
      m_mainForm(state, values.EdidBuffer), m_display(m_mainForm),
      m_link(state, m_serial, m_writer, m_clock, m_display), m_steps(m_link, values),
      m_timers(m_link, m_steps, m_clock), m_aboutBox(&m_mainForm),
      m_comPortSettingForm(m_steps, m_ports, &m_mainForm),
      m_timingList(values, *m_mainForm.mdiArea(), &m_mainForm),
      m_patternList(values, *m_mainForm.mdiArea(), &m_mainForm), m_timings(values, m_steps, &m_mainForm),
      m_patterns(values, m_steps, &m_mainForm), m_programmerForm(values, m_steps, &m_mainForm),
      m_edidBlock(values, &m_mainForm)
{
    connectMainForm();
    m_link.usePortNames(m_ports);
    m_timers.start();
}

SgxProgram::~SgxProgram()
{
    m_timers.stop();
}

void SgxProgram::show()
{
    m_mainForm.show();
}

void SgxProgram::connectMainForm()
{
    TMainForm *form = &m_mainForm;
    QObject::connect(form, &TMainForm::timingsRequested, form, [this] { m_timings.exec(); });
    QObject::connect(form, &TMainForm::patternsRequested, form, [this] { m_patterns.exec(); });
    QObject::connect(form, &TMainForm::programRequested, form, [this] { m_programmerForm.exec(); });
    QObject::connect(form, &TMainForm::portSettingsRequested, form, [this] { m_comPortSettingForm.exec(); });
    QObject::connect(form, &TMainForm::disconnectRequested, form, [this] { m_steps.disconnect(); });
    QObject::connect(form, &TMainForm::operationRequested, form,
                     [this](Operation op) { m_steps.StartLinkOperation(op); });
    // No connection needed, and a running transfer goes on behind it.
    QObject::connect(form, &TMainForm::edidMemoryRequested, form, [this] { m_edidBlock.exec(); });
    QObject::connect(form, &TMainForm::aboutRequested, form, [this] { m_aboutBox.exec(); });
    QObject::connect(form, &TMainForm::timingWindowRequested, form, [this] { openTimingWindow(); });
    QObject::connect(form, &TMainForm::patternWindowRequested, form, [this] { openPatternWindow(); });
    QObject::connect(form, &TMainForm::closing, form, [this] { closeDown(); });
}

void SgxProgram::openTimingWindow()
{
    if (m_mainForm.outputWindow<TTiming>() != nullptr)
        return;
    auto *timing = new TTiming(m_values, m_steps, m_timingList);
    m_mainForm.addOutputWindow(timing, QSize(TTiming::kWidth, TTiming::kHeight),
                               QPoint(TTiming::kLeft, TTiming::kTop), [timing] { timing->FormActivate(); });
}

void SgxProgram::openPatternWindow()
{
    if (m_mainForm.outputWindow<TPatternForm>() != nullptr)
        return;
    auto *pattern = new TPatternForm(m_values, m_steps, m_patternList);
    m_mainForm.addOutputWindow(pattern, QSize(TPatternForm::kWidth, TPatternForm::kHeight), std::nullopt,
                               [pattern] { pattern->FormActivate(); });
}

void SgxProgram::closeDown()
{
    m_timers.stop();
    m_steps.abandonOperations();
    m_link.ClosePort();
}
