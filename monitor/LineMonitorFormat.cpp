#include "LineMonitorFormat.h"

#include "HexDigits.h"

#include <array>
#include <cstdio>

namespace LineMonitorFormat {

namespace {

// Wide enough for the longest command line, so the hex of short units lines up.
constexpr std::size_t kTextColumn = 20;

std::string time(std::int64_t us)
{
    std::array<char, 32> text{};
    const int n = std::snprintf(text.data(), text.size(), "%7lld.%03lld", static_cast<long long>(us / 1000),
                                static_cast<long long>(us % 1000));
    return std::string(text.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

// In double quotes: printable ASCII as it is, \" \\ \t \n \r, anything else as \xHH.
std::string quoted(const std::vector<std::uint8_t> &bytes)
{
    std::string out = "\"";
    for (const std::uint8_t b : bytes) {
        switch (b) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (b >= 0x20 && b < 0x7F) {
                out += static_cast<char>(b);
            } else {
                out += "\\x";
                out += hexDigitChar(b >> 4);
                out += hexDigitChar(b);
            }
        }
    }
    return out + '"';
}

// Two upper-case hex digits a byte, a space between.
std::string hex(const std::vector<std::uint8_t> &bytes)
{
    std::string out;
    for (const std::uint8_t b : bytes) {
        if (!out.empty())
            out += ' ';
        out += hexDigitChar(b >> 4);
        out += hexDigitChar(b);
    }
    return out;
}

} // namespace

bool startsExchange(const LineMonitorEntry &entry)
{
    const std::vector<std::uint8_t> &b = entry.bytes;
    return entry.kind == LineMonitorEntry::Kind::Sent && b.size() >= 2 && b[b.size() - 2] == 0x0A &&
           b.back() == 0x0D;
}

std::string line(const LineMonitorEntry &entry)
{
    if (entry.kind == LineMonitorEntry::Kind::Note)
        return time(entry.atUs) + " * " + entry.note;
    std::string text = quoted(entry.bytes);
    if (text.size() < kTextColumn)
        text.resize(kTextColumn, ' ');
    return time(entry.atUs) + (entry.kind == LineMonitorEntry::Kind::Sent ? " > " : " < ") + text + "  " +
           hex(entry.bytes);
}

std::string text(const std::deque<LineMonitorEntry> &entries)
{
    std::string out;
    for (const LineMonitorEntry &entry : entries) {
        if (!out.empty() && startsExchange(entry))
            out += '\n';
        out += line(entry) + '\n';
    }
    return out;
}

} // namespace LineMonitorFormat
