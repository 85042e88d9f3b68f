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
           " [--link PATH] [--edid FILE] [--trace FILE] [--silent] [--no-final] [--no-ok]"
           " [--split-ok] [--delay MS] [--malformed-block 0-7] [--garbage] [--long-answer]"
           " [--hang-up] [--hang-up-after-ack] [--keep-slave] [--faults-from N] [--help] [--version]\n"
           "SIGUSR1 hangs the line up at once; --keep-slave makes every hang-up close only the"
           " master side, keeping the device open so that the far end reads end-of-file";
}

std::string parseSimOptions(const std::vector<std::string> &args, SimOptions &options)
{
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
                return arg + " needs a value";
            const std::string &value = args[++i];
            if (arg == "--delay" && !parseNumber(value, 0, 600000, f.delayMs))
                return "--delay takes milliseconds, 0 to 600000";
            if (arg == "--malformed-block" && !parseNumber(value, 0, 7, f.malformedBlock))
                return "--malformed-block takes a block number, 0 to 7";
            if (arg == "--faults-from" && !parseNumber(value, 1, 1000000, f.fromCommand))
                return "--faults-from takes a command line number, 1 or more";
            if (arg == "--link")
                options.linkPath = value;
            else if (arg == "--edid")
                options.edidPath = value;
            else if (arg == "--trace")
                options.tracePath = value;
        } else {
            return "unknown argument " + arg;
        }
    }
    return {};
}
