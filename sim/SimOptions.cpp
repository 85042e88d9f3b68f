#include "SimOptions.h"

#include <cstddef>

namespace {

// A whole decimal number in [low, high], or false.
bool parseNumber(const std::string &text, int low, int high, int &value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
        return false;
    const int parsed = std::stoi(text);
    if (parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

} // namespace

std::string simUsage(const std::string &program)
{
    return "usage: " + program +
           " [--link PATH] [--edid FILE] [--trace FILE] [FAULT...] | --help | --version";
}

std::string simHelp(const std::string &program)
{
    return simUsage(program) +
           "\n"
           "\n"
           "An emulated SGX-100 generator on a pseudo-terminal: prints the device path as the first line of\n"
           "standard output, then answers on it; every change of its state is a line on standard error.\n"
           "\n"
           "  --link PATH             also make PATH a symbolic link to the device\n"
           "  --edid FILE             answer EDID reads with the first 256 bytes of FILE (the rest zero)\n"
           "  --trace FILE            write every byte both ways to FILE, time-stamped\n"
           "  --help, -h              print this help and exit\n"
           "  --version               print the name and version and exit\n"
           "\n"
           "Faults, each on its own:\n"
           "  --silent                never answer\n"
           "  --no-final              acknowledge command lines, then stay quiet\n"
           "  --no-ok                 answer NG where OK would stand\n"
           "  --split-ok              send OK answers as O, then the rest 150 ms later\n"
           "  --delay MS              add MS milliseconds (0 to 600000) before every answer\n"
           "  --malformed-block K     put a non-hex digit in EDID block K's answer (0 to 7)\n"
           "  --garbage               answer 5,000 bytes of noise without OK instead\n"
           "  --long-answer           pad every answer past 1,024 bytes before its line end\n"
           "  --hang-up               hang the line up halfway through a payload\n"
           "  --hang-up-after-ack     hang the line up once an acknowledgment has gone out\n"
           "  --keep-slave            let a hang-up close only the emulator's side, so the far end\n"
           "                          reads end-of-file\n"
           "  --faults-from N         hold the faults back until the Nth command line (2 lets the\n"
           "                          presence check pass)\n"
           "\n"
           "SIGUSR1 hangs the line up at once.";
}

bool parseSimOptions(const std::vector<std::string> &args, SimOptions &options, std::string &error)
{
    const auto fail = [&error](const std::string &reason) {
        error = reason;
        return false;
    };
    SimFaults &f = options.faults;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--silent") {
            f.silent = true;
        } else if (arg == "--no-final") {
            f.noFinalAnswer = true;
        } else if (arg == "--no-ok") {
            f.noOk = true;
        } else if (arg == "--split-ok") {
            f.splitOk = true;
        } else if (arg == "--garbage") {
            f.garbage = true;
        } else if (arg == "--long-answer") {
            f.longAnswer = true;
        } else if (arg == "--hang-up") {
            f.hangUpMidPayload = true;
        } else if (arg == "--hang-up-after-ack") {
            f.hangUpAfterAck = true;
        } else if (arg == "--keep-slave") {
            f.keepSlave = true;
        } else if (arg == "--delay" || arg == "--malformed-block" || arg == "--faults-from" ||
                   arg == "--link" || arg == "--edid" || arg == "--trace") {
            if (!hasValue || args[i + 1].empty())
                return fail(arg + " needs a value");
            const std::string &value = args[++i];
            if (arg == "--delay" && !parseNumber(value, 0, 600000, f.delayMs))
                return fail("--delay takes milliseconds, 0 to 600000");
            if (arg == "--malformed-block" && !parseNumber(value, 0, 7, f.malformedBlock))
                return fail("--malformed-block takes a block number, 0 to 7");
            if (arg == "--faults-from" && !parseNumber(value, 1, 1000000, f.fromCommand))
                return fail("--faults-from takes a command line number, 1 or more");
            if (arg == "--link")
                options.linkPath = value;
            else if (arg == "--edid")
                options.edidPath = value;
            else if (arg == "--trace")
                options.tracePath = value;
        } else {
            return fail("unknown argument " + arg);
        }
    }
    return true;
}
