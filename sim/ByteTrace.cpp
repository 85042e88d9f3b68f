#include "ByteTrace.h"

#include <array>
#include <cstdio>

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
