#pragma once

class DeviceLink;
class LinkTimers;
class StepMachine;
class TAboutBox;
class TCOM_PORT_SETTING_FORM;
class TEDID_Block;
class TMainForm;
class TTiming_List;
class TTimings;
struct SharedValues;

// The program's long-lived windows, one of each, and the link core, filled in as they are
// created. The main menu reaches the others through it; a window not built yet stays null and
// its item does nothing.
struct AppForms {
    TMainForm *mainForm = nullptr;
    SharedValues *values = nullptr;
    DeviceLink *link = nullptr;
    StepMachine *steps = nullptr;
    LinkTimers *timers = nullptr;
    TAboutBox *aboutBox = nullptr;
    TCOM_PORT_SETTING_FORM *comPortSettingForm = nullptr;
    TTiming_List *timingList = nullptr;
    TTimings *timings = nullptr;
    // Still to come, in their places in the order of creation: TPattern_List (after the list of
    // timings), TPatterns, TProgrammer_Form, TEDID_Block (after the Timings dialog).
    TEDID_Block *edidBlock = nullptr;
};
