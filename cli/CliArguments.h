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
    bool quiet = false;    // --quiet: no "progress P" lines
    int waitMs = 0;        // --wait: how long the port's device may take to appear
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

constexpr const char *kCliHelp =
    "usage: sgxctl [--port N|PATH|tcp://HOST:PORT] [--wait SECONDS] [--trace FILE] [--quiet]\n"
    "              COMMAND [ARGS]\n"
    "       sgxctl list timings|patterns [--json] | ports [--json] | edid-check FILE [--fix] | trace FILE\n"
    "       sgxctl --help | --version\n"
    "\n"
    "The SGX-100 video test-signal generator's commands from a shell. Each command that talks to\n"
    "the generator first checks that it answers (\"URTCNT\").\n"
    "\n"
    "Commands:\n"
    "  check                   presence only; prints Exist, or Not Exist\n"
    "  timing N                output timing N (1-35) now\n"
    "  pattern N               output pattern N (1-39) now\n"
    "  timings LIST            upload a selection of timings: all, or numbers separated by commas\n"
    "  patterns LIST           upload a selection of patterns, the same way\n"
    "  program FILE            upload an auto-run program, one step a line: timing, pattern, s|m,\n"
    "                          show time (1-59); # starts a comment; - is standard input;\n"
    "                          at most 1 MiB\n"
    "  default                 restore the generator's default settings\n"
    "  edid-read FILE          read the generator's EDID into FILE (256 bytes)\n"
    "  edid-upload FILE        upload the first 256 bytes of FILE as the EDID\n"
    "  edid-write              have the generator write the uploaded EDID\n"
    "  sweep [--timings LIST] [--patterns LIST] --dwell SECONDS [--keep-going]\n"
    "                          every timing of LIST with every pattern of LIST, each pair held\n"
    "                          for the dwell; one line per pair on standard output\n"
    "  list timings|patterns [--json]\n"
    "                          the built-in tables; no port needed\n"
    "  ports [--json]          the serial ports the system reports; no port opened\n"
    "  edid-check FILE [--fix] check an EDID file, --fix rewriting wrong checksums; no port needed\n"
    "  trace FILE              a byte trace printed as the Line Monitor shows the line; no port\n"
    "\n"
    "Options:\n"
    "  --port N|PATH|tcp://HOST:PORT\n"
    "                          COM N (1-8; the default is 1), a device path, or a terminal\n"
    "                          server's raw TCP port (ser2net)\n"
    "  --wait SECONDS          wait up to SECONDS (0 to 86400) for the port's device to appear,\n"
    "                          as after plugging an adapter in\n"
    "  --trace FILE            write every byte both ways to FILE, one a line: milliseconds since\n"
    "                          start, '>' sent or '<' received, the byte in hex\n"
    "  --quiet, -q             leave out the progress P lines\n"
    "  --help, -h              print this help and exit\n"
    "  --version               print the name and version and exit\n"
    "\n"
    "Messages go to standard error, one a line, as the window would show them in a box; an open\n"
    "failure adds a line with the device and why.\n"
    "\n"
    "Environment:\n"
    "  SGX100_COM1 .. SGX100_COM8\n"
    "                          the device COM n opens, such as /dev/ttyUSB0, or tcp://HOST:PORT;\n"
    "                          unset, COM n is /dev/ttyS<n-1>\n"
    "\n"
    "Exit status:\n"
    "  0    done\n"
    "  1    the operation did not succeed (the message says how), or edid-check found a fault\n"
    "  2    bad arguments, or a file that cannot be read or written, a trace included\n"
    "  3    no generator answered\n"
    "  129, 130, 143\n"
    "       ended by SIGHUP, SIGINT or SIGTERM (the port is closed on the way out)\n"
    "\n"
    "A serial device on Linux belongs to the group dialout: add yourself to it once\n"
    "(sudo usermod -aG dialout $USER), then log out and in again.";
