#include "SgxProgram.h"

SgxProgram::SgxProgram(DeviceLinkState &state, SharedValues &values)
    : m_mainForm(state, values, m_serial, m_clock, m_forms), m_aboutBox(&m_mainForm),
      m_comPortSettingForm(m_mainForm.stepMachine(), &m_mainForm)
{
    m_forms.mainForm = &m_mainForm;
    m_forms.aboutBox = &m_aboutBox;
    m_forms.comPortSettingForm = &m_comPortSettingForm;
}

void SgxProgram::show()
{
    m_mainForm.show();
}
