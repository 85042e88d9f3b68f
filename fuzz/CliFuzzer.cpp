// sgxctl's argument parser over any argument list, and its program-file reader over any file:
// it either refuses with a reason or hands the link values it may send.
//
// Input: the arguments separated by NUL bytes; if the first is "program", the rest of the input
// after a second NUL-NUL pair is written to a file whose path stands in for the program file.
#include "CliArguments.h"
#include "FileFuzzSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace {

void checkValues(const CliRequest &r)
{
    if (r.portNumber < 1 || r.portNumber > 8)
        fuzzFail("port number out of range");
    if (r.values.currentTimingIndex >= kTimingCount || r.values.currentPatternIndex >= kPatternCount)
        fuzzFail("index out of range");
    for (std::uint8_t f : r.values.timingSelection)
        if (f > 1)
            fuzzFail("timing flag not 0 or 1");
    for (std::uint8_t f : r.values.patternSelection)
        if (f > 1)
            fuzzFail("pattern flag not 0 or 1");
    if (r.operation == Operation::ATRN) {
        // Valid steps first, then unset rows; a valid step's fields in range.
        bool unset = false;
        int valid = 0;
        for (int row = 0; row < kProgramSteps; ++row) {
            const auto at = [&](int column) {
                return r.values.ProgramUploadImage[column * kProgramSteps + row];
            };
            const bool empty = at(0) == 0xFF && at(1) == 0xFF && at(2) == 0xFF && at(3) == 0xFF;
            if (empty) {
                unset = true;
                continue;
            }
            if (unset)
                fuzzFail("a gap in the program");
            if (at(0) >= kTimingCount || at(1) >= kPatternCount || at(2) > 1 || at(3) < 1 || at(3) > 59)
                fuzzFail("a step out of range");
            ++valid;
        }
        if (valid == 0)
            fuzzFail("an empty program accepted");
    }
    if (r.sweep && (r.sweep->timings.empty() || r.sweep->patterns.empty() || r.sweep->dwellMs < 0))
        fuzzFail("an empty sweep accepted");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::string arguments = input;
    std::optional<InputFile> program;
    const auto split = input.find(std::string("\0\0", 2));
    if (input.rfind("program", 0) == 0 && split != std::string::npos) {
        arguments = "program";
        const std::string text = input.substr(split + 2);
        program.emplace(reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
    }
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= arguments.size()) {
        const auto end = arguments.find('\0', start);
        args.push_back(arguments.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (program)
        args = {"program", program->path()};
    // "-" would read the fuzzer's own standard input.
    for (std::string &arg : args)
        if (arg == "-")
            arg = "./-";
    const CliParseResult parsed = parseCliArguments(args);
    if (parsed.request)
        checkValues(*parsed.request);
    else if (parsed.error.empty())
        fuzzFail("refused without a reason");
    return 0;
}
