#include "TraceReplay.h"

#include "LineMonitorLog.h"
#include "WholeFile.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace TraceReplay {

namespace {

// A framed byte is 0x20, the value, 0x20; a command line ends in 0x0A 0x0D.
bool unitComplete(const std::vector<std::uint8_t> &unit)
{
    if (unit.front() == 0x20)
        return unit.size() == 3;
    const std::size_t n = unit.size();
    return (n >= 2 && unit[n - 2] == 0x0A && unit[n - 1] == 0x0D) || n >= kLongestUnit;
}

} // namespace

void replay(std::vector<ByteTrace::Byte> bytes, LineMonitorLog &log)
{
    std::stable_sort(bytes.begin(), bytes.end(),
                     [](const ByteTrace::Byte &a, const ByteTrace::Byte &b) { return a.atMs < b.atMs; });
    std::vector<std::uint8_t> unit;
    std::vector<std::int64_t> times;
    const auto putOut = [&] {
        if (!unit.empty())
            log.addSent(std::move(unit), std::move(times));
        unit.clear();
        times.clear();
    };
    for (const ByteTrace::Byte &b : bytes) {
        const auto us = static_cast<std::int64_t>(std::llround(b.atMs * 1000.0));
        if (b.direction == ByteTrace::Direction::FromGenerator) {
            log.addReceived(us, &b.value, 1);
            continue;
        }
        if (!times.empty() && us - times.back() > kUnitGapUs)
            putOut();
        unit.push_back(b.value);
        times.push_back(us);
        if (unitComplete(unit))
            putOut();
    }
    putOut();
}

bool readFile(const std::string &path, std::vector<ByteTrace::Byte> &bytes, std::string &error)
{
    std::vector<std::uint8_t> contents;
    if (!readBoundedFile(path, kLongestTraceFile,
                         "a trace's " + std::to_string(kLongestTraceFile >> 20) + " MiB", contents, error))
        return false;
    std::istringstream in(std::string(contents.begin(), contents.end()));
    contents = {};
    bytes = ByteTrace::read(in);
    if (bytes.empty()) {
        error = path + ": no line of a byte trace in it";
        return false;
    }
    return true;
}

} // namespace TraceReplay
