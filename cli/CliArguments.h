#pragma once

#include "DeviceLinkState.h"
#include "SharedValues.h"

#include <optional>
#include <string>
#include <vector>

// sgxctl sweep: every timing of a list with every pattern of another, each pair held a while.
struct SweepRequest {
    std::vector<int> timings;  // numbers, 1 to kTimingCount, in the order given
    std::vector<int> patterns; // numbers, 1 to kPatternCount
    int dwellMs = 0;
    bool keepGoing = false;
};

// What sgxctl was asked to do, checked and with its files read, before any port is touched.
struct CliRequest {
    std::string portPath; // empty: COM portNumber
    int portNumber = 1;
    std::string tracePath; // --trace: every byte both ways, time-stamped
    std::string command;
    std::optional<Operation> operation; // none for "check"
    SharedValues values;
    std::string edidOutputPath; // edid-read
    std::string listed;         // list: "timings" or "patterns"; "ports" for ports; needs no port
    bool json = false;          // list, ports --json
    std::optional<SweepRequest> sweep;
    std::string edidCheckPath; // edid-check: needs no port
    bool fixChecksums = false; // edid-check --fix

    // trace: a byte trace to print as the line monitor shows it; needs no port.
    std::string shownTracePath;
};

struct CliParseResult {
    std::optional<CliRequest> request;
    std::string error;        // the reason, for standard error
    bool fileProblem = false; // a file named could not be read or written: the usage would not help
};

[[nodiscard]] CliParseResult parseCliArguments(const std::vector<std::string> &args);

// "all" or comma-separated numbers from 1 to count; nullopt when malformed.
[[nodiscard]] std::optional<std::vector<int>> parseNumberList(const std::string &text, int count);

constexpr const char *kCliUsage =
    "usage: sgxctl [--port N|PATH] [--trace FILE] check | timing N | pattern N | timings LIST | patterns "
    "LIST |\n"
    "              program FILE | default | edid-read FILE | edid-upload FILE | edid-write\n"
    "       sgxctl [--port N|PATH] [--trace FILE] sweep [--timings LIST] [--patterns LIST] --dwell SECONDS\n"
    "              [--keep-going]\n"
    "       sgxctl list timings|patterns [--json]\n"
    "       sgxctl ports [--json]\n"
    "       sgxctl edid-check FILE [--fix]\n"
    "       sgxctl trace FILE\n"
    "       sgxctl --help | --version";
