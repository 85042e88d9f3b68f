#include "ByteTrace.h"
#include "DeviceLinkState.h"
#include "PortMemory.h"
#include "ProgramOptions.h"
#include "SgxProgram.h"
#include "SharedValues.h"
#include "SignalPipe.h"
#include "TraceReport.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    ProgramOptions options;
    std::string error;
    if (!parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "sgxcontrol: %s\n%s\n", error.c_str(), kProgramHelp);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n", kProgramHelp);
        return 0;
    }
    if (options.version) {
        std::printf("sgxcontrol %s\n", SGX_VERSION);
        return 0;
    }
    ByteTrace trace;
    if (!options.tracePath.empty() && !trace.open(options.tracePath)) {
        std::fprintf(stderr, "sgxcontrol: cannot write the trace: %s\n", trace.error().c_str());
        return 2;
    }

    // The link's buffers and the shared values exist before any window.
    DeviceLinkState state;
    SharedValues values;

    // Qt takes its own options out of what is left; anything after that is unknown.
    std::vector<char *> qtArgv{argv[0]};
    std::vector<std::string> rest = options.rest;
    for (std::string &arg : rest)
        qtArgv.push_back(arg.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgv.size()) - 1;
    QApplication app(qtArgc, qtArgv.data());
    if (qtArgc > 1) {
        std::fprintf(stderr, "sgxcontrol: unknown argument %s\n%s\n", qtArgv[1], kProgramHelp);
        return 2;
    }
    // Desktops match the windows to the installed desktop entry, and so to its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(SGX_APP_ID));
    SgxProgram program(state, values, trace.isOpen() ? &trace : nullptr);
    if (trace.isOpen())
        new TraceReport(trace, program.mainForm(), program.deviceLink());   // owned by the main window
    auto *memory = new PortMemory(program, PortMemory::userSettingsFile()); // owned by the main window
    program.show();
    if (options.connect)
        memory->connectAtStart();
    // SIGHUP, SIGINT and SIGTERM end the program as File > Exit does, so the port is closed and
    // its lock file goes with it; a modal window up at the time is closed first.
    SignalPipe endings;
    const bool heard = endings.install([&program](int signal) {
        for (int i = 0; i < 16 && QApplication::activeModalWidget() != nullptr; ++i)
            QApplication::activeModalWidget()->close();
        program.mainForm().close();
        QApplication::exit(128 + signal);
    });
    if (!heard)
        std::fprintf(stderr, "sgxcontrol: cannot hear signals: the port's lock file may stay behind\n");
    return QApplication::exec();
}
