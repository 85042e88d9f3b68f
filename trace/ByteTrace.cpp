#include "ByteTrace.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr double kLatestMs = 1e12;

} // namespace

bool ByteTrace::open(const std::string &path)
{
    const bool opened = m_out.open(path, RegularFile::Mode::Replace);
    m_failed.store(!opened, std::memory_order_release);
    return opened;
}

void ByteTrace::record(std::int64_t sinceStartUs, Direction direction, const std::uint8_t *bytes,
                       std::size_t count)
{
    if (!m_out.isOpen())
        return;
    std::string batch;
    for (std::size_t i = 0; i < count; ++i)
        batch += line(sinceStartUs, direction, bytes[i]);
    // Written per batch, so a trace can be followed while the emulator runs.
    if (!m_out.writeAll(batch.data(), batch.size())) {
        m_out.close();
        m_failed.store(true, std::memory_order_release);
    }
}

std::string ByteTrace::line(std::int64_t sinceStartUs, Direction direction, std::uint8_t value)
{
    std::array<char, 48> text{};
    const int n = std::snprintf(
        text.data(), text.size(), "%7lld.%03lld %c %02X\n", static_cast<long long>(sinceStartUs / 1000),
        static_cast<long long>(sinceStartUs % 1000), direction == Direction::ToGenerator ? '>' : '<', value);
    return std::string(text.data(), static_cast<std::size_t>(std::clamp(n, 0, 47)));
}

std::vector<ByteTrace::Byte> ByteTrace::read(const std::string &path)
{
    std::ifstream in(path);
    return read(in);
}

std::vector<ByteTrace::Byte> ByteTrace::read(std::istream &in)
{
    std::vector<Byte> out;
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        double atMs = 0;
        std::string arrow;
        std::string hex;
        if (!(fields >> atMs >> arrow >> hex) || (arrow != ">" && arrow != "<") || hex.size() != 2)
            continue;
        // A time no trace can hold (before its start, or past 30 years) would not survive a
        // conversion to microseconds.
        if (!(atMs >= 0 && atMs <= kLatestMs))
            continue;
        char *end = nullptr;
        const unsigned long value = std::strtoul(hex.c_str(), &end, 16);
        if (end != hex.c_str() + 2)
            continue;
        out.push_back({atMs, arrow == ">" ? Direction::ToGenerator : Direction::FromGenerator,
                       static_cast<std::uint8_t>(value)});
    }
    return out;
}
