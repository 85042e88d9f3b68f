#include "SgxProgram.h"

#include "QtSerialLibrary.h"
#include "SharedValues.h"

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
      m_ownLine(serial != nullptr ? nullptr
                                  : std::make_unique<SerialThread>([this, trace]() -> std::unique_ptr<SerialLibrary> {
                                        auto port = std::make_unique<QtSerialLibrary>(m_ports);
                                        if (trace == nullptr)
                                            return port;
                                        return std::make_unique<TracingSerial>(std::move(port), *trace);
                                    })),
      m_tracing(serial != nullptr && trace != nullptr ? std::make_unique<TracingSerial>(*serial, *trace) : nullptr),
      m_serial(m_tracing           ? *m_tracing
               : serial != nullptr ? *serial
                                   : *m_ownLine),
      m_clock(clock != nullptr ? *clock : m_ownClock),
      m_ownWriter(serial != nullptr ? std::make_unique<PacedWriter>(m_serial, m_clock) : nullptr),
      m_writer(m_ownWriter ? static_cast<LineWriter &>(*m_ownWriter) : *m_ownLine), m_mainForm(state, m_forms),
      m_link(state, m_serial, m_writer, m_clock, m_mainForm), m_steps(m_link, values),
      m_timers(m_link, m_steps, m_clock), m_aboutBox(&m_mainForm),
      m_comPortSettingForm(m_steps, m_ports, &m_mainForm), m_timingList(values, *m_mainForm.mdiArea(), &m_mainForm),
      m_patternList(values, *m_mainForm.mdiArea(), &m_mainForm), m_timings(values, m_steps, &m_mainForm),
      m_patterns(values, m_steps, &m_mainForm), m_programmerForm(values, m_steps, &m_mainForm),
      m_edidBlock(values, &m_mainForm)
{
    m_forms.mainForm = &m_mainForm;
    m_forms.values = &values;
    m_forms.timingList = &m_timingList;
    m_forms.patternList = &m_patternList;
    m_forms.timings = &m_timings;
    m_forms.patterns = &m_patterns;
    m_forms.programmerForm = &m_programmerForm;
    m_forms.link = &m_link;
    m_forms.steps = &m_steps;
    m_forms.timers = &m_timers;
    m_forms.aboutBox = &m_aboutBox;
    m_forms.comPortSettingForm = &m_comPortSettingForm;
    m_forms.edidBlock = &m_edidBlock;
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
