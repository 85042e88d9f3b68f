#pragma once

#include "AppTestSupport.h"
#include "FakeSerialPort.h"
#include "LinkHarness.h"
#include "QtLinkClock.h"
#include "SgxProgram.h"

#include <QTest>

#include <map>
#include <string>

// The program on a port in memory whose generator answers each command line from a script and
// keeps silent on commands the script leaves out (a test may answer those itself).
struct ScriptedProgram {
    ScriptedProgram(DeviceLinkState &state, SharedValues &values, std::map<std::string, std::string> answers)
        : program(state, values, bundle), form(program.mainForm()), script(std::move(answers))
    {
        port.onWrite = [this](std::uint8_t byte) {
            // A line cut short by a disconnect is not the start of the next one.
            if (port.opens() != opensAtLineStart)
                line.clear();
            opensAtLineStart = port.opens();
            line += static_cast<char>(byte);
            if (line.size() < 2 || line.compare(line.size() - 2, 2, "\n\r") != 0)
                return;
            const auto answer = script.find(line.substr(0, line.find(' ')));
            if (answer != script.end())
                port.queueAnswer(answer->second.c_str());
            line.clear();
        };
    }

    // Connects to COM 1 and answers the presence check, so the generator is shown present, with
    // nothing written yet.
    void connectPresent(const DeviceLinkState &state)
    {
        const bool scripted = script.count("URTCNT") != 0;
        script.emplace("URTCNT", "OK\r\n");
        program.deviceLink().connectPort(PortChoice::named(1, QStringLiteral("/dev/scripted"), QStringLiteral("1")));
        QVERIFY2(AppTestSupport::waitUntil(
                     [&] { return state.devicePresent == 1 && !program.deviceLink().LinkBusy(); }, 5000),
                 "the presence check");
        if (!scripted)
            script.erase("URTCNT");
        port.clearWritten();
        line.clear();
    }

    // The link's time runs ten times faster: a command line is out in 40 ms, and every
    // time-out comes ten times sooner.
    QtLinkClock clock{10};
    FakeSerialPort port{clock};
    LocalLine bundle{port, clock};
    SgxProgram program;
    TMainForm &form;
    std::map<std::string, std::string> script;
    std::string line;
    int opensAtLineStart = 0;
};
