#pragma once

#include "DeviceLink.h"
#include "LineMonitorLog.h"
#include "LineThread.h"
#include "PortDirectory.h"
#include "PortWatcher.h"
#include "QtSystemPortList.h"
#include "TAboutBox.h"
#include "TCOM_PORT_SETTING_FORM.h"
#include "TEDID_Block.h"
#include "TMainForm.h"
#include "TPattern_List.h"
#include "TPatterns.h"
#include "TProgrammer_Form.h"
#include "TTiming_List.h"
#include "TTimings.h"

#include <memory>

class ByteTrace;
struct DeviceLinkState;
struct SharedValues;

// The composition root: the line and the link, then the program's windows in start-up order,
// and what each window asks for connected to what does it, once. Every window lives until the
// program ends; only the main window is shown.
class SgxProgram {
public:
    // On the program's own line thread; with a trace, every byte both ways goes to it.
    SgxProgram(DeviceLinkState &state, SharedValues &values, ByteTrace *trace = nullptr);
    // On a line of the caller's (tests).
    SgxProgram(DeviceLinkState &state, SharedValues &values, LineBundle &line);
    ~SgxProgram();
    SgxProgram(const SgxProgram &) = delete;
    SgxProgram &operator=(const SgxProgram &) = delete;

    void show();
    // Output > Timing and Output > Pattern: an open one is left where it is, not brought forward.
    void openTimingWindow();
    void openPatternWindow();
    // Window > Line Monitor, the same way.
    void openLineMonitor();

    [[nodiscard]] TMainForm &mainForm() { return m_mainForm; }
    [[nodiscard]] TAboutBox &aboutBox() { return m_aboutBox; }
    [[nodiscard]] TCOM_PORT_SETTING_FORM &comPortSettingForm() { return m_comPortSettingForm; }
    [[nodiscard]] TTiming_List &timingList() { return m_timingList; }
    [[nodiscard]] TPattern_List &patternList() { return m_patternList; }
    [[nodiscard]] TTimings &timings() { return m_timings; }
    [[nodiscard]] TPatterns &patterns() { return m_patterns; }
    [[nodiscard]] TProgrammer_Form &programmerForm() { return m_programmerForm; }
    [[nodiscard]] TEDID_Block &edidBlock() { return m_edidBlock; }
    [[nodiscard]] DeviceLink &deviceLink() { return m_link; }
    [[nodiscard]] PortDirectory &ports() { return m_ports; }
    // Opens a port and checks for the generator, as OK in the COM Port dialog does; a port that
    // went away is not waited for any more.
    void connectTo(const PortChoice &port);
    [[nodiscard]] LineMonitorLog &lineLog() { return m_lineLog; }

private:
    SgxProgram(DeviceLinkState &state, SharedValues &values, LineBundle *line, ByteTrace *trace);
    // What the link says goes to the main window; what the windows ask for goes to the link.
    void connectLink();
    void connectMainForm();
    // No port is waited for any more, and the status bar no longer says one is.
    void stopWaitingForPort();
    // An operation's message, over whatever modal window is up; the link hears when it is closed.
    void tellOutcome(Operation op, Outcome outcome);

    // Ownership, in order of construction (destruction runs the other way):
    // 1. the port directory and the line, which the link uses until its very end (the program's
    //    own runs on a thread of its own; a caller's on the caller's);
    // 2. the main window, the Qt parent of every other window;
    // 3. the link;
    // 4. the other long-lived windows, in start-up order, each destroyed before the link.
    QtSystemPortList m_systemPorts;
    PortDirectory m_ports;
    std::unique_ptr<LineThread> m_ownLine;
    LineBundle &m_line;
    SharedValues &m_values;
    // Everything on the line from start-up, for the line monitor; it outlives the monitor window.
    LineMonitorLog m_lineLog;
    TMainForm m_mainForm;
    DeviceLink m_link;
    PortWatcher m_watcher;
    PortChoice m_port; // the port last chosen, as it was opened
    TAboutBox m_aboutBox;
    TCOM_PORT_SETTING_FORM m_comPortSettingForm;
    TTiming_List m_timingList;
    TPattern_List m_patternList;
    TTimings m_timings;
    TPatterns m_patterns;
    TProgrammer_Form m_programmerForm;
    TEDID_Block m_edidBlock;
};
