#pragma once

class DeviceLink;
class LinkTimers;
class StepMachine;
class TAboutBox;
class TCOM_PORT_SETTING_FORM;
class TMainForm;

// The program's long-lived windows, one of each, and the link core, filled in as they are
// created. The main menu reaches the others through it; a window not built yet stays null and
// its item does nothing.
struct AppForms {
    TMainForm *mainForm = nullptr;
    DeviceLink *link = nullptr;
    StepMachine *steps = nullptr;
    LinkTimers *timers = nullptr;
    TAboutBox *aboutBox = nullptr;
    TCOM_PORT_SETTING_FORM *comPortSettingForm = nullptr;
    // Still to come, in this order of creation: TTiming_List, TPattern_List, TTimings,
    // TPatterns, TProgrammer_Form, TEDID_Block.
};
