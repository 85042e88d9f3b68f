#include "ProgramOptions.h"

ProgramOptionsResult parseProgramOptions(const std::vector<std::string> &args)
{
    ProgramOptionsResult result;
    ProgramOptions &options = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--connect") {
            options.connect = true;
        } else if (arg == "--trace") {
            if (!options.tracePath.empty() || i + 1 >= args.size() || args[i + 1].empty() ||
                args[i + 1][0] == '-') {
                result.error = "--trace needs a file name, once";
                return result;
            }
            options.tracePath = args[++i];
        } else {
            options.rest.push_back(arg);
        }
    }
    return result;
}
