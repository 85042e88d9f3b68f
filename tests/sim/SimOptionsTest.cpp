#include "SimOptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Every option the help lists is one the emulator takes, each on a line of its own that fits a
// terminal; a value, written in capitals, is given as 1.
TEST(SimOptions, HelpListsEachOptionOnItsOwnLine)
{
    std::istringstream help(simHelp("sgx100-sim"));
    int options = 0;
    for (std::string line; std::getline(help, line);) {
        EXPECT_LE(line.size(), 100u) << line;
        std::istringstream words(line);
        std::string option;
        std::string value;
        if (line.rfind("  -", 0) != 0 || !(words >> option))
            continue;
        std::vector<std::string> args{option.substr(0, option.find(','))};
        if (words >> value && value.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos)
            args.emplace_back("1");
        SimOptions parsed;
        std::string error;
        EXPECT_TRUE(parseSimOptions(args, parsed, error)) << line << ": " << error;
        ++options;
    }
    EXPECT_EQ(options, 17);
}

} // namespace
