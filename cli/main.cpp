// sgxctl: the generator's commands from a shell, over the same link as the
// window, paced and timed the same way.
#include "CliArguments.h"
#include "CliLists.h"
#include "CliSession.h"
#include "DeviceLink.h"
#include "DeviceWait.h"
#include "EdidCheck.h"
#include "EdidFile.h"
#include "LineMonitorFormat.h"
#include "LineMonitorLog.h"
#include "LineThread.h"
#include "PortDirectory.h"
#include "QtSystemPortList.h"
#include "ShownName.h"
#include "SignalPipe.h"
#include "SwitchingSerialPort.h"
#include "TraceReplay.h"
#include "TracingSerialPort.h"
#include "WholeFile.h"

#include <QCoreApplication>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

enum ExitStatus {
    Done = CliSession::Done,
    Failed = CliSession::Failed,
    BadArguments = CliSession::BadArguments,
    Absent = CliSession::Absent
};

// "Open file error", then which file and why, on standard error.
void reportFileError(const std::string &error)
{
    std::fprintf(stderr, "%s: %s\n", EdidFile::OpenErrorMessage, error.c_str());
}

// sgxctl edid-check: the report on standard output; with fix, the wrong checksum bytes rewritten
// (and nothing else), the file replaced as a whole. Only an EDID is fixed: anything else keeps
// every byte and its length.
int checkEdidFile(const std::string &path, bool fix)
{
    // One byte past the longest EDID tells a longer file.
    constexpr std::size_t kRead = kEdidMaxBlocks * 128 + 1;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!readFileStart(path, kRead, bytes, error)) {
        reportFileError(error);
        return BadArguments;
    }
    const EdidCheck check = checkEdid(bytes);
    for (const std::string &line : check.lines)
        std::printf("%s\n", line.c_str());
    if (!fix || check.fixes.empty())
        return check.wrong ? Failed : Done;
    if (!check.notAnEdid.empty()) {
        std::printf("not fixed: the file is not an EDID (%s); it is left as it was\n",
                    check.notAnEdid.c_str());
        return Failed;
    }
    for (const EdidCheck::Fix &f : check.fixes)
        bytes[f.offset] = f.should;
    if (!replaceFile(path, bytes.data(), bytes.size(), error)) {
        reportFileError(error + "; it is left as it was");
        return BadArguments;
    }
    for (const EdidCheck::Fix &f : check.fixes)
        std::printf("fixed: byte %zu (block %zu checksum) 0x%02X -> 0x%02X\n", f.offset, f.offset / 128,
                    f.was, f.should);
    const bool stillWrong = checkEdid(bytes).wrong;
    std::printf("%s\n", stillWrong ? "still wrong: more than checksums" : "now nothing is wrong");
    return stillWrong ? Failed : Done;
}

// sgxctl trace: the file's bytes as the line monitor shows them, every one of them.
int printTrace(const std::string &path)
{
    std::vector<ByteTrace::Byte> bytes;
    std::string error;
    if (!TraceReplay::readFile(path, bytes, error)) {
        std::fprintf(stderr, "cannot show the trace %s\n", error.c_str());
        return BadArguments;
    }
    LineMonitorLog log(std::numeric_limits<std::size_t>::max());
    TraceReplay::replay(std::move(bytes), log);
    std::fputs(LineMonitorFormat::text(log.entries()).c_str(), stdout);
    return Done;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("%s\n", kCliHelp);
        return Done;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("sgxctl %s\n", SGX_VERSION);
        return Done;
    }
    CliParseResult parsed = parseCliArguments(args);
    if (!parsed.request) {
        std::fprintf(stderr, "%s\n", parsed.error.c_str());
        if (!parsed.fileProblem) {
            const std::string help = kCliHelp;
            std::fprintf(stderr, "%s\n", help.substr(0, help.find("\n\n")).c_str());
        }
        return BadArguments;
    }
    CliRequest &request = *parsed.request;
    if (!request.edidCheckPath.empty())
        return checkEdidFile(request.edidCheckPath, request.fixChecksums);
    if (!request.shownTracePath.empty())
        return printTrace(request.shownTracePath);
    QtSystemPortList systemPorts;
    PortDirectory ports(systemPorts);
    if (request.listed == "ports") {
        ports.refresh();
        std::fputs(listPorts(ports, request.json).c_str(), stdout);
        if (!request.json && ports.systemPorts().empty())
            std::fprintf(stderr, "the system reports no serial port\n");
        return Done;
    }
    if (!request.listed.empty()) {
        const std::string list =
            request.listed == "patterns" ? listPatterns(request.json) : listTimings(request.json);
        std::fputs(list.c_str(), stdout);
        return Done;
    }

    DeviceLinkState state;
    ByteTrace trace;
    if (!request.tracePath.empty() && !trace.open(request.tracePath)) {
        std::fprintf(stderr, "cannot write the trace: %s\n", trace.error().c_str());
        return BadArguments;
    }
    // The port, traced when asked, on a thread of its own that paces its characters.
    const bool traced = !request.tracePath.empty();
    LineThread line([&trace, traced]() -> std::unique_ptr<SerialPort> {
        auto port = std::make_unique<SwitchingSerialPort>();
        if (!traced)
            return port;
        return std::make_unique<TracingSerialPort>(std::move(port), trace);
    });
    SharedValues &values = request.values;
    DeviceLink link(state, values, line);

    const auto finish = [&](int status) {
        link.closeDown();
        if (trace.failed()) {
            std::fprintf(stderr, "the trace is incomplete: %s\n", trace.error().c_str());
            status = status == Done ? BadArguments : status;
        }
        QCoreApplication::exit(status);
    };

    CliSession session(request, values, link, line.clock(), finish);
    // SIGHUP, SIGINT and SIGTERM end the run through finish: the port is closed, and with it goes
    // its lock file; a sweep stops after the exchange in flight on Ctrl+C.
    SignalPipe interrupt;
    if (!interrupt.install([&](int signal) { session.interrupt(signal); }))
        std::fprintf(stderr,
                     "cannot hear signals: the port's lock file may stay behind an interrupted run\n");
    const PortChoice port =
        request.portPath.empty()
            ? ports.choice(request.portNumber)
            : PortChoice::named(request.portNumber, QString::fromStdString(request.portPath),
                                QString::fromStdString(request.portPath));
    DeviceWait wait(line.clock());
    QTimer::singleShot(0, [&] {
        if (wait.start(port.device, request.waitMs, [&] { session.start(port); }) && !request.quiet)
            std::fprintf(stderr, "waiting up to %s s for %s\n",
                         qPrintable(QString::number(request.waitMs / 1000.0)),
                         shownName(port.device).toUtf8().constData());
    });
    return app.exec();
}
