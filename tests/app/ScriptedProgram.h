#pragma once

#include "FakeSerialLibrary.h"
#include "QtLinkClock.h"
#include "SgxProgram.h"

#include <map>
#include <string>

// The program on a port in memory whose generator answers each command line from a script and
// keeps silent on commands the script leaves out (a test may answer those itself).
struct ScriptedProgram {
    ScriptedProgram(DeviceLinkState &state, SharedValues &values, std::map<std::string, std::string> answers)
        : program(state, values, port, clock), form(program.mainForm()), script(std::move(answers))
    {
        port.onWrite = [this](std::uint8_t byte) {
            // As a generator does, a line cut short (by a disconnect) is dropped after a pause.
            if (clock.nowMs() - lastByteMs >= 200)
                line.clear();
            lastByteMs = clock.nowMs();
            line += static_cast<char>(byte);
            if (line.size() < 2 || line.compare(line.size() - 2, 2, "\n\r") != 0)
                return;
            const auto answer = script.find(line.substr(0, line.find(' ')));
            if (answer != script.end())
                port.queueAnswer(answer->second.c_str());
            line.clear();
        };
    }

    // Opens COM 1 and takes the generator as present, as after a presence check, with nothing
    // written yet.
    void connectPresent(DeviceLinkState &state)
    {
        if (!program.deviceLink().OpenLink(0))
            return;
        state.portOpen = 1;
        state.devicePresent = 1;
        port.clearWritten();
        line.clear();
    }

    // The link's time runs ten times faster: a command line is out in 40 ms, and every
    // time-out comes ten times sooner.
    QtLinkClock clock{10};
    FakeSerialLibrary port{clock};
    SgxProgram program;
    TMainForm &form;
    std::map<std::string, std::string> script;
    std::string line;
    std::int64_t lastByteMs = 0;
};
