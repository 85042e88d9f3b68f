#pragma once

class TMainForm;
class TAboutBox;
class TCOM_PORT_SETTING_FORM;

// The program's long-lived windows, one of each, filled in as they are created. The main menu
// reaches the others through it; a window not built yet stays null and its item does nothing.
struct AppForms {
    TMainForm *mainForm = nullptr;
    TAboutBox *aboutBox = nullptr;
    TCOM_PORT_SETTING_FORM *comPortSettingForm = nullptr;
    // Still to come, in this order of creation: TTiming_List, TPattern_List, TTimings,
    // TPatterns, TProgrammer_Form, TEDID_Block.
};
