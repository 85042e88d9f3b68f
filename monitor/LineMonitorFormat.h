#pragma once

#include "LineMonitorEntry.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The line monitor's entries in words, one line each: the time in milliseconds since the line
// started, ">" for what the program sent, "<" for what the generator sent, "*" for what
// happened to the line; the bytes as text in quotes, control characters escaped, then in hex:
//
//     412.000 > "TMIX \x00 \n\r"     54 4D 49 58 20 00 20 0A 0D
//     438.000 < "OK\r\n"             4F 4B 0D 0A
//
// Each command line begins an exchange, shown apart from the one before.
namespace LineMonitorFormat {

[[nodiscard]] std::string line(const LineMonitorEntry &entry);
// A command line, which begins an exchange (a framed byte or an answer carries one on).
[[nodiscard]] bool startsExchange(const LineMonitorEntry &entry);
// Every entry's line, each ending in a newline, with an empty line before each exchange but the
// first line.
[[nodiscard]] std::string text(const std::deque<LineMonitorEntry> &entries);

} // namespace LineMonitorFormat
