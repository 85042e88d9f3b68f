#include "ByteTrace.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>

bool ByteTrace::open(const std::string &path)
{
    m_out.open(path, std::ios::out | std::ios::trunc);
    return m_out.is_open();
}

void ByteTrace::record(std::int64_t sinceStartUs, Direction direction, const std::uint8_t *bytes,
                       std::size_t count)
{
    if (!m_out.is_open())
        return;
    const char arrow = direction == Direction::ToGenerator ? '>' : '<';
    std::array<char, 48> line{};
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(line.data(), line.size(), "%7lld.%03lld %c %02X\n",
                      static_cast<long long>(sinceStartUs / 1000),
                      static_cast<long long>(sinceStartUs % 1000), arrow, bytes[i]);
        m_out << line.data();
    }
    // Flushed per batch, so a trace can be followed while the emulator runs.
    m_out.flush();
}

std::vector<ByteTrace::Byte> ByteTrace::read(const std::string &path)
{
    std::vector<Byte> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        double atMs = 0;
        std::string arrow;
        std::string hex;
        if (!(fields >> atMs >> arrow >> hex) || (arrow != ">" && arrow != "<") || hex.size() != 2)
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
