// sgxctl: the generator's commands from a shell, over the same link and step machine as the
// window, paced and timed the same way.
#include "CliArguments.h"
#include "CliLists.h"
#include "CliOperator.h"
#include "DeviceLink.h"
#include "EdidFile.h"
#include "LinkClock.h"
#include "LinkMessages.h"
#include "LinkTimers.h"
#include "QtSerialLibrary.h"
#include "StepMachine.h"
#include "TracingSerial.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

enum ExitStatus { Done = 0, Failed = 1, BadArguments = 2, Absent = 3 };

bool isSuccessMessage(const std::string &text)
{
    for (const char *ok : {LinkMessages::UploadSuccessful, LinkMessages::DefaultSettingDone,
                           LinkMessages::ReadEdidSuccessful, LinkMessages::WriteEdidSuccessful})
        if (text == ok)
            return true;
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("%s\n", kCliUsage);
        return Done;
    }
    CliParseResult parsed = parseCliArguments(args);
    if (!parsed.request) {
        std::fprintf(stderr, "%s\n%s\n", parsed.error.c_str(), kCliUsage);
        return BadArguments;
    }
    CliRequest &request = *parsed.request;
    if (!request.listed.empty()) {
        const std::string list =
            request.listed == "patterns" ? listPatterns(request.json) : listTimings(request.json);
        std::fputs(list.c_str(), stdout);
        return Done;
    }

    DeviceLinkState state;
    QtSerialLibrary port;
    if (!request.portPath.empty())
        port.setDeviceOverride(QString::fromStdString(request.portPath));
    ByteTrace trace;
    if (!request.tracePath.empty() && !trace.open(request.tracePath)) {
        std::fprintf(stderr, "cannot write the trace file %s\n", request.tracePath.c_str());
        return BadArguments;
    }
    TracingSerial traced(port, trace);
    SerialLibrary &serial = request.tracePath.empty() ? static_cast<SerialLibrary &>(port) : traced;
    SteadyLinkClock clock;
    CliOperator ui;
    SharedValues &values = request.values;
    DeviceLink link(state, serial, clock, ui);
    StepMachine machine(link, values);

    LinkTimers timers(link, machine);
    timers.receiveTimer().start();

    enum class Phase { Presence, Operation } phase = Phase::Presence;
    int messagesBeforeOperation = 0;

    const auto finish = [&](int status) {
        timers.stop();
        link.ClosePort();
        QCoreApplication::exit(status);
    };

    timers.afterStepTick = [&] {
        if (link.LinkBusy())
            return;
        if (phase == Phase::Presence) {
            if (state.devicePresent == 0) {
                std::printf("Not Exist\n");
                finish(Absent);
                return;
            }
            if (!request.operation) {
                std::printf("Exist\n");
                finish(Done);
                return;
            }
            phase = Phase::Operation;
            messagesBeforeOperation = ui.messageCount;
            if (!machine.StartLinkOperation(*request.operation)) {
                std::fprintf(stderr, "the generator refused to start %s\n", commandText(*request.operation));
                finish(Failed);
            }
            return;
        }
        const bool failed = ui.messageCount > messagesBeforeOperation && !isSuccessMessage(ui.lastMessage);
        if (!failed && *request.operation == Operation::REDID &&
            !EdidFile::save(request.edidOutputPath, values.EdidBuffer)) {
            std::fprintf(stderr, "%s\n", EdidFile::OpenErrorMessage);
            finish(BadArguments);
            return;
        }
        finish(failed ? Failed : Done);
    };

    QTimer::singleShot(0, [&] {
        if (!machine.connectPort(request.portNumber - 1)) {
            std::printf("Not Exist\n");
            finish(Absent);
            return;
        }
        timers.stepTimer().start();
    });
    return app.exec();
}
