#pragma once

#include <string>
#include <vector>

// sgxcontrol's own command line, read before the window system is touched so that --help and
// --version work without a display. Whatever is not ours (Qt's -platform, -style, ...) is left
// for QApplication.
struct ProgramOptions {
    bool help = false;
    bool version = false;
    bool connect = false;  // --connect: the remembered port opened at start
    std::string tracePath; // --trace: every byte both ways, time-stamped
    std::vector<std::string> rest;
};

// The arguments after the program name; false with what was wrong in error.
[[nodiscard]] bool parseProgramOptions(const std::vector<std::string> &args, ProgramOptions &options,
                                       std::string &error);

constexpr const char *kProgramHelp =
    "usage: sgxcontrol [--connect] [--trace FILE] [Qt options such as -platform offscreen]\n"
    "       sgxcontrol --help | --version\n"
    "\n"
    "The desktop program for the SGX-100 video test-signal generator.\n"
    "\n"
    "  --connect      connect at start, without the COM Port dialog: to the port last connected\n"
    "                 when it is there (kept in ~/.config/sgxcontrol/sgxcontrol.conf), else COM 1\n"
    "  --trace FILE   write every byte sent to the generator and received from it to FILE, one a\n"
    "                 line: milliseconds since start, '>' sent or '<' received, the byte in hex\n"
    "  --help, -h     print this help and exit\n"
    "  --version      print the name and version and exit\n"
    "\n"
    "Environment:\n"
    "  SGX100_COM1 .. SGX100_COM8\n"
    "                 the device that COM n in Config > COM Port opens, such as /dev/ttyUSB0,\n"
    "                 or tcp://HOST:PORT, a terminal server's raw TCP port (ser2net);\n"
    "                 unset, COM n is /dev/ttyS<n-1> (COM<n> on Windows). After COM 8 the list\n"
    "                 also offers every serial port the system reports, USB adapters included.\n"
    "\n"
    "A serial device on Linux belongs to the group dialout: add yourself to it once\n"
    "(sudo usermod -aG dialout $USER), then log out and in again.";
