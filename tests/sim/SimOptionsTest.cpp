#include "SimOptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Every option the help lists is one the emulator takes, each on a line of its own, and every
// line fits a terminal.
TEST(SimOptions, HelpListsEachOptionOnItsOwnLine)
{
    std::istringstream help(simHelp("sgx100-sim"));
    int options = 0;
    std::string line;
    while (std::getline(help, line)) {
        EXPECT_LE(line.size(), 100u) << line;
        if (line.rfind("  -", 0) != 0)
            continue;
        std::istringstream words(line);
        std::string option;
        std::string value;
        words >> option >> value;
        if (!option.empty() && option.back() == ',')
            option.pop_back();
        std::vector<std::string> args{option};
        // A value is written in capitals (MS, N, PATH); "--faults-from N" needs a number.
        if (!value.empty() && value.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos)
            args.emplace_back(value == "MS" || value == "N" || value == "K" ? "1" : "x");
        SimOptions parsed;
        EXPECT_EQ(parseSimOptions(args, parsed), "") << line;
        ++options;
    }
    EXPECT_EQ(options, 17);
    SimOptions parsed;
    EXPECT_EQ(parseSimOptions({"--loud"}, parsed), "unknown argument --loud");
}

} // namespace
