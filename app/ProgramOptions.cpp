#include "ProgramOptions.h"

bool parseProgramOptions(const std::vector<std::string> &args, ProgramOptions &options, std::string &error)
{
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
                error = "--trace needs a file name, once";
                return false;
            }
            options.tracePath = args[++i];
        } else {
            options.rest.push_back(arg);
        }
    }
    return true;
}
