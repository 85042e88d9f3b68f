#pragma once

#include "ByteTrace.h"

#include <cstdint>
#include <string>
#include <vector>

class LineMonitorLog;

// A byte trace told to the line monitor as the line would have told it: what the program sent as
// its units (a command line up to its line end, a framed byte as its three characters), what
// the generator sent as it came.
namespace TraceReplay {

// A character this long after the one before begins another unit (they are 35 ms apart).
constexpr std::int64_t kUnitGapUs = 200'000;
// What runs on this long without a line end is put out as a unit of its own.
constexpr std::size_t kLongestUnit = 32;
// Days of a busy line (a character 35 ms apart, one line of 17 characters each); a longer file
// is not read.
constexpr std::uint64_t kLongestTraceFile = 64ULL * 1024 * 1024;

void replay(std::vector<ByteTrace::Byte> bytes, LineMonitorLog &log);

// The trace file's bytes, read only from a regular file of at most kLongestTraceFile bytes.
// False, with why ("PATH: reason"), when it cannot be read or holds no line of a trace.
[[nodiscard]] bool readFile(const std::string &path, std::vector<ByteTrace::Byte> &bytes, std::string &error);

} // namespace TraceReplay
