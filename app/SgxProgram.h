#pragma once

#include "DeviceLink.h"
#include "LinkClock.h"
#include "LinkTimers.h"
#include "MainFormDisplay.h"
#include "PacedWriter.h"
#include "PortDirectory.h"
#include "QtLinkClock.h"
#include "QtSystemPortList.h"
#include "SerialThread.h"
#include "StepMachine.h"
#include "TAboutBox.h"
#include "TCOM_PORT_SETTING_FORM.h"
#include "TEDID_Block.h"
#include "TMainForm.h"
#include "TPattern_List.h"
#include "TPatterns.h"
#include "TProgrammer_Form.h"
#include "TTiming_List.h"
#include "TTimings.h"
#include "TracingSerial.h"

#include <memory>

class ByteTrace;
class SerialLibrary;
struct DeviceLinkState;
struct SharedValues;

// The composition root: the link core and the program's windows, built in start-up order once
// the link state and the shared values exist. Every window lives until the program ends; only
// the main window is shown.
class SgxProgram {
public:
    // On the program's own serial port and clock; with a trace, every byte both ways goes to it.
    SgxProgram(DeviceLinkState &state, SharedValues &values, ByteTrace *trace = nullptr);
    // On a serial layer and clock of the caller's (tests).
    SgxProgram(DeviceLinkState &state, SharedValues &values, SerialLibrary &serial, LinkClock &clock);
    ~SgxProgram();
    SgxProgram(const SgxProgram &) = delete;
    SgxProgram &operator=(const SgxProgram &) = delete;

    void show();
    // Output > Timing and Output > Pattern: an open one is left where it is, not brought forward.
    void openTimingWindow();
    void openPatternWindow();

    [[nodiscard]] TMainForm &mainForm() { return m_mainForm; }
    [[nodiscard]] TAboutBox &aboutBox() { return m_aboutBox; }
    [[nodiscard]] TCOM_PORT_SETTING_FORM &comPortSettingForm() { return m_comPortSettingForm; }
    [[nodiscard]] TTiming_List &timingList() { return m_timingList; }
    [[nodiscard]] TPattern_List &patternList() { return m_patternList; }
    [[nodiscard]] TTimings &timings() { return m_timings; }
    [[nodiscard]] TPatterns &patterns() { return m_patterns; }
    [[nodiscard]] TProgrammer_Form &programmerForm() { return m_programmerForm; }
    [[nodiscard]] TEDID_Block &edidBlock() { return m_edidBlock; }
    [[nodiscard]] StepMachine &stepMachine() { return m_steps; }
    [[nodiscard]] DeviceLink &deviceLink() { return m_link; }

private:
    SgxProgram(DeviceLinkState &state, SharedValues &values, SerialLibrary *serial, LinkClock *clock,
               ByteTrace *trace);
    // What the main window's items and buttons ask for goes to the windows and the link.
    void connectMainForm();
    // Closing the frame: the timers stop, a running transfer is abandoned and the port closed.
    void closeDown();

    // Ownership, in order of construction (destruction runs the other way):
    // 1. the port directory, the serial layer, its writer and the clock, which the link uses until
    //    its very end (the program's own serial layer runs on a thread of its own and paces there;
    //    a caller's is paced on the caller's clock);
    // 2. the main window, the Qt parent of every other window, and the display over it that the
    //    link reports to;
    // 3. the link core, which the windows start operations on, and its timers;
    // 4. the other long-lived windows, in start-up order, each destroyed before the link core.
    QtSystemPortList m_systemPorts;
    PortDirectory m_ports;
    std::unique_ptr<SerialThread> m_ownLine;
    std::unique_ptr<TracingSerial> m_tracing;
    QtLinkClock m_ownClock;
    SerialLibrary &m_serial;
    LinkClock &m_clock;
    std::unique_ptr<PacedWriter> m_ownWriter;
    LineWriter &m_writer;
    SharedValues &m_values;
    TMainForm m_mainForm;
    MainFormDisplay m_display;
    DeviceLink m_link;
    StepMachine m_steps;
    LinkTimers m_timers;
    TAboutBox m_aboutBox;
    TCOM_PORT_SETTING_FORM m_comPortSettingForm;
    TTiming_List m_timingList;
    TPattern_List m_patternList;
    TTimings m_timings;
    TPatterns m_patterns;
    TProgrammer_Form m_programmerForm;
    TEDID_Block m_edidBlock;
};
