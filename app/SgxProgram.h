#pragma once

#include "AppForms.h"
#include "LinkClock.h"
#include "QtSerialLibrary.h"
#include "TAboutBox.h"
#include "TCOM_PORT_SETTING_FORM.h"
#include "TMainForm.h"

struct DeviceLinkState;
struct SharedValues;

// The program's windows and link, built in start-up order once the link state and the shared
// values exist. Every window lives until the program ends; only the main window is shown.
class SgxProgram {
public:
    SgxProgram(DeviceLinkState &state, SharedValues &values);

    void show();

    [[nodiscard]] TMainForm &mainForm() { return m_mainForm; }
    [[nodiscard]] TAboutBox &aboutBox() { return m_aboutBox; }
    [[nodiscard]] TCOM_PORT_SETTING_FORM &comPortSettingForm() { return m_comPortSettingForm; }

private:
    QtSerialLibrary m_serial;
    SteadyLinkClock m_clock;
    AppForms m_forms;
    // Order of creation; each one's FormCreate runs as it is built.
    TMainForm m_mainForm;
    TAboutBox m_aboutBox;
    TCOM_PORT_SETTING_FORM m_comPortSettingForm;
    // Next in line: TTiming_List, TPattern_List, TTimings, TPatterns, TProgrammer_Form, TEDID_Block.
};
