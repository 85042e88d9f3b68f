#include "CliArguments.h"

#include "EdidFile.h"
#include "PortNaming.h"
#include "ProgramSequence.h"
#include "ShownName.h"
#include "WholeFile.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace {

std::optional<int> parseNumber(std::string text, int low, int high)
{
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t\r") + 1);
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// Seconds with at most three decimals, as milliseconds.
std::optional<int> parseSeconds(const std::string &text)
{
    const auto dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    const auto digits = [](const std::string &s) {
        return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    if (whole.empty() || whole.size() > 5 || fraction.size() > 3 || !digits(whole) || !digits(fraction) ||
        (dot != std::string::npos && fraction.empty()))
        return std::nullopt;
    const int ms =
        std::stoi(whole) * 1000 + (fraction.empty() ? 0 : std::stoi((fraction + "00").substr(0, 3)));
    if (ms > 86400 * 1000)
        return std::nullopt;
    return ms;
}

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

// A program file is a few lines of text; a megabyte is far more than a program's steps need.
constexpr std::size_t kLongestProgramFile = 1024 * 1024;

// The text of a program file, checked before it is read: a regular file (a pipe would wait for
// a writer, a device never end) of at most kLongestProgramFile bytes; "-" is standard input.
bool readProgramText(const std::string &path, std::string &text, std::string &error)
{
    const auto fail = [&error](const std::string &reason) {
        error = "cannot read the program " + reason;
        return false;
    };
    std::vector<std::uint8_t> bytes;
    // One byte more tells a longer input, or a file that grew past the bound since it was opened.
    if (path == "-") {
        if (!readStandardInput(kLongestProgramFile + 1, bytes, error))
            return fail("from " + error);
        if (bytes.size() > kLongestProgramFile)
            return fail("from standard input: more than a program file's 1 MiB");
    } else {
        if (!readBoundedFile(path, kLongestProgramFile, "a program file's 1 MiB", bytes, error))
            return fail("file " + error);
    }
    text.assign(bytes.begin(), bytes.end());
    return true;
}

// One step a line: timing, pattern, s|m, show time.
bool readProgram(const std::string &path, SharedValues &values, std::string &error, bool &fileProblem)
{
    std::string text;
    fileProblem = !readProgramText(path, text, error);
    if (fileProblem)
        return false;
    const auto fail = [&error](const std::string &reason) {
        error = reason;
        return false;
    };
    std::istringstream in(text);
    ProgramSequence sequence;
    int steps = 0;
    int lineNumber = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber;
        const auto hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const std::string where =
            (path == "-" ? std::string("standard input") : path) + ":" + std::to_string(lineNumber) + ": ";
        const auto fields = split(line, ',');
        if (fields.size() != 4)
            return fail(where + "expected: timing, pattern, s|m, show time");
        const auto timing = parseNumber(fields[0], 1, kTimingCount);
        const auto pattern = parseNumber(fields[1], 1, kPatternCount);
        std::string unit = fields[2];
        unit.erase(std::remove_if(unit.begin(), unit.end(), [](unsigned char c) { return std::isspace(c); }),
                   unit.end());
        const auto showTime = parseNumber(fields[3], 1, 59);
        if (!timing)
            return fail(where + "timing must be 1 to " + std::to_string(kTimingCount));
        if (!pattern)
            return fail(where + "pattern must be 1 to " + std::to_string(kPatternCount));
        if (unit != "s" && unit != "m")
            return fail(where + "unit must be s or m");
        if (!showTime)
            return fail(where + "show time must be 1 to 59");
        if (steps == kProgramSteps)
            return fail(where + "a program has at most " + std::to_string(kProgramSteps) + " steps");
        sequence.setStep(steps++, ProgramStep{static_cast<std::uint8_t>(*timing - 1),
                                              static_cast<std::uint8_t>(*pattern - 1),
                                              static_cast<std::uint8_t>(unit == "m" ? 1 : 0),
                                              static_cast<std::uint8_t>(*showTime)});
    }
    if (BuildProgramUploadImage(sequence, values.ProgramUploadImage) == 0)
        return fail("There is no legal item");
    return true;
}

} // namespace

std::optional<std::vector<int>> parseNumberList(const std::string &text, int count)
{
    std::vector<int> numbers;
    if (text == "all") {
        for (int n = 1; n <= count; ++n)
            numbers.push_back(n);
        return numbers;
    }
    for (const std::string &part : split(text, ',')) {
        const auto n = parseNumber(part, 1, count);
        if (!n)
            return std::nullopt;
        numbers.push_back(*n);
    }
    if (numbers.empty())
        return std::nullopt;
    return numbers;
}

CliParseResult parseCliArguments(const std::vector<std::string> &args)
{
    CliRequest request;
    std::size_t i = 0;
    bool portGiven = false;
    bool waitGiven = false;
    // The options before the command: --port, --wait and --trace take a value, as the next argument or
    // after '='.
    while (i < args.size() && args[i].size() > 1 && args[i][0] == '-') {
        std::string option = args[i++];
        std::optional<std::string> value;
        if (const auto equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        if (option == "--quiet" || option == "-q") {
            if (value)
                return {std::nullopt, "--quiet takes no value"};
            request.quiet = true;
            continue;
        }
        if (option == "--help" || option == "-h" || option == "--version")
            return {std::nullopt, option + " stands alone: sgxctl " + option};
        if (option != "--port" && option != "--trace" && option != "--wait")
            return {std::nullopt,
                    "unknown option " + shownName(option) + "; sgxctl --help lists the options"};
        if (!value && i < args.size() && !args[i].empty() && args[i][0] != '-')
            value = args[i++];
        if (option == "--port") {
            if (portGiven || !value || value->empty())
                return {std::nullopt,
                        "--port needs a COM number 1 to 8, a device path or tcp://HOST:PORT, once"};
            portGiven = true;
            if (!value->empty() && std::all_of(value->begin(), value->end(),
                                               [](unsigned char c) { return std::isdigit(c) != 0; })) {
                const auto n = parseNumber(*value, 1, 8);
                if (!n)
                    return {std::nullopt, "--port " + shownName(*value) +
                                              ": a COM number is 1 to 8 (for a device of that name in this "
                                              "folder, give ./" +
                                              shownName(*value) + ")"};
                request.portNumber = *n;
                continue;
            }
            const PortName name = portNameFromBytes(QByteArray::fromStdString(*value));
            if (!name.problem.isEmpty())
                return {std::nullopt,
                        "--port " + name.device.toStdString() + ": " + name.problem.toStdString()};
            request.portPath = *value;
        } else if (option == "--wait") {
            const std::optional<int> ms = value ? parseSeconds(*value) : std::nullopt;
            if (waitGiven || !ms)
                return {std::nullopt, "--wait takes seconds, 0 to 86400, such as 5 or 2.5, once"};
            waitGiven = true;
            request.waitMs = *ms;
        } else {
            if (!request.tracePath.empty() || !value || value->empty())
                return {std::nullopt, "--trace needs a file name, once"};
            request.tracePath = *value;
        }
    }
    if (i >= args.size())
        return {std::nullopt, "no command given"};
    request.command = args[i++];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    const std::string &cmd = request.command;

    static const std::set<std::string> commands = {
        "check",       "timing",     "pattern", "timings", "patterns",   "program", "default", "edid-read",
        "edid-upload", "edid-write", "sweep",   "list",    "edid-check", "ports",   "trace"};
    if (commands.count(cmd) == 0)
        return {std::nullopt, "unknown command " + shownName(cmd) + "; sgxctl --help lists the commands"};
    const auto wantArguments = [&](std::size_t n) { return rest.size() == n; };
    if (cmd == "sweep") {
        SweepRequest sweep;
        sweep.timings = *parseNumberList("all", kTimingCount);
        sweep.patterns = *parseNumberList("all", kPatternCount);
        bool dwellGiven = false;
        for (std::size_t k = 0; k < rest.size(); ++k) {
            const std::string &option = rest[k];
            if (option == "--keep-going") {
                sweep.keepGoing = true;
                continue;
            }
            if (k + 1 >= rest.size())
                return {std::nullopt, option + " needs a value"};
            const std::string &value = rest[++k];
            if (option == "--timings" || option == "--patterns") {
                const bool timings = option == "--timings";
                const auto list = parseNumberList(value, timings ? kTimingCount : kPatternCount);
                if (!list)
                    return {std::nullopt, option + " takes 'all' or numbers from 1 to " +
                                              std::to_string(timings ? kTimingCount : kPatternCount) +
                                              " separated by commas"};
                (timings ? sweep.timings : sweep.patterns) = *list;
            } else if (option == "--dwell") {
                const auto ms = parseSeconds(value);
                if (!ms)
                    return {std::nullopt, "--dwell takes seconds, 0 to 86400, such as 1 or 2.5"};
                sweep.dwellMs = *ms;
                dwellGiven = true;
            } else {
                return {std::nullopt, "sweep does not know " + option};
            }
        }
        if (!dwellGiven)
            return {std::nullopt, "sweep needs --dwell SECONDS"};
        request.sweep = sweep;
        return {request, {}};
    }
    if (cmd == "edid-check") {
        const bool fix = rest.size() == 2 && rest[1] == "--fix";
        if ((rest.size() != 1 && !fix) || rest[0].empty())
            return {std::nullopt, "edid-check takes: FILE [--fix]"};
        request.edidCheckPath = rest[0];
        request.fixChecksums = fix;
        return {request, {}};
    }
    if (cmd == "trace") {
        if (rest.size() != 1 || rest[0].empty())
            return {std::nullopt, "trace takes: FILE"};
        request.shownTracePath = rest[0];
        return {request, {}};
    }
    if (cmd == "list") {
        const bool json = rest.size() == 2 && rest[1] == "--json";
        if ((rest.size() != 1 && !json) || (rest[0] != "timings" && rest[0] != "patterns"))
            return {std::nullopt, "list takes: timings|patterns [--json]"};
        request.listed = rest[0];
        request.json = json;
        return {request, {}};
    }
    if (cmd == "ports") {
        if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--json"))
            return {std::nullopt, "ports takes: [--json]"};
        request.listed = cmd;
        request.json = rest.size() == 1;
        return {request, {}};
    }
    if (cmd == "check" || cmd == "default" || cmd == "edid-write") {
        if (!wantArguments(0))
            return {std::nullopt, cmd + " takes no arguments"};
        if (cmd == "default")
            request.operation = Operation::DFSET;
        else if (cmd == "edid-write")
            request.operation = Operation::WEDID;
        return {request, {}};
    }
    if (!wantArguments(1))
        return {std::nullopt, cmd + " takes one argument"};
    const std::string &arg = rest[0];

    if (cmd == "timing" || cmd == "pattern") {
        const int count = cmd == "timing" ? kTimingCount : kPatternCount;
        const auto n = parseNumber(arg, 1, count);
        if (!n)
            return {std::nullopt, cmd + " must be a number from 1 to " + std::to_string(count)};
        if (cmd == "timing") {
            request.values.currentTimingIndex = static_cast<std::uint8_t>(*n - 1);
            request.operation = Operation::TMIX;
        } else {
            request.values.currentPatternIndex = static_cast<std::uint8_t>(*n - 1);
            request.operation = Operation::PTIX;
        }
        return {request, {}};
    }
    if (cmd == "timings" || cmd == "patterns") {
        const int count = cmd == "timings" ? kTimingCount : kPatternCount;
        const auto list = parseNumberList(arg, count);
        if (!list)
            return {std::nullopt, cmd + " takes 'all' or numbers from 1 to " + std::to_string(count) +
                                      " separated by commas"};
        for (int n : *list) {
            if (cmd == "timings")
                request.values.timingSelection[static_cast<std::size_t>(n - 1)] = 1;
            else
                request.values.patternSelection[static_cast<std::size_t>(n - 1)] = 1;
        }
        request.operation = cmd == "timings" ? Operation::TMGS : Operation::PTNS;
        return {request, {}};
    }
    if (cmd == "program") {
        bool fileProblem = false;
        std::string error;
        if (!readProgram(arg, request.values, error, fileProblem))
            return {std::nullopt, error, fileProblem};
        request.operation = Operation::ATRN;
        return {request, {}};
    }
    // "Open file error", the file and why.
    const auto fileError = [](const std::string &error) {
        return CliParseResult{std::nullopt, std::string(EdidFile::OpenErrorMessage) + ": " + error, true};
    };
    std::string error;
    if (cmd == "edid-upload") {
        if (!EdidFile::load(arg, request.values.EdidBuffer, error))
            return fileError(error);
        request.operation = Operation::UEDID;
        return {request, {}};
    }
    // edid-read, the last of the commands.
    if (arg.empty())
        return {std::nullopt, "edid-read needs a file name"};
    // Asked now, not after a 5 s read whose EDID would then be lost.
    if (!EdidFile::canSave(arg, error))
        return fileError(error);
    request.edidOutputPath = arg;
    request.operation = Operation::REDID;
    return {request, {}};
}
