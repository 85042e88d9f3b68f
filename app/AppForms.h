#pragma once

class DeviceLink;
class LinkTimers;
class StepMachine;
class TAboutBox;
class TCOM_PORT_SETTING_FORM;
class TEDID_Block;
class TMainForm;
class TPattern_List;
class TPatterns;
class TProgrammer_Form;
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
    TPattern_List *patternList = nullptr;
    TTimings *timings = nullptr;
    TPatterns *patterns = nullptr;
    TProgrammer_Form *programmerForm = nullptr;
    TEDID_Block *edidBlock = nullptr;
};
