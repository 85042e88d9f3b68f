#pragma once

#include "SimFaults.h"

#include <string>
#include <vector>

// The command line of sgx100-sim.
struct SimOptions {
    SimFaults faults;
    std::string linkPath;  // --link: symbolic link to the pseudo-terminal
    std::string edidPath;  // --edid: EDID file to answer reads from
    std::string tracePath; // --trace: time-stamped log of every byte
    bool help = false;
    bool version = false;
};

// The one usage line, and the whole help: one option a line with what it does.
[[nodiscard]] std::string simUsage(const std::string &program);
[[nodiscard]] std::string simHelp(const std::string &program);

// Parses the arguments after the program name; false with what was wrong in error.
[[nodiscard]] bool parseSimOptions(const std::vector<std::string> &args, SimOptions &options,
                                   std::string &error);
