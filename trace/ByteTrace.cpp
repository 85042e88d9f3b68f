#include "ByteTrace.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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
    const char arrow = direction == Direction::ToGenerator ? '>' : '<';
    std::array<char, 48> line{};
    std::string batch;
    for (std::size_t i = 0; i < count; ++i) {
        const int n = std::snprintf(line.data(), line.size(), "%7lld.%03lld %c %02X\n",
                                    static_cast<long long>(sinceStartUs / 1000),
                                    static_cast<long long>(sinceStartUs % 1000), arrow, bytes[i]);
        batch.append(line.data(), static_cast<std::size_t>(std::max(n, 0)));
    }
    // Written per batch, so a trace can be followed while the emulator runs.
    if (!m_out.writeAll(batch.data(), batch.size())) {
        m_out.close();
        m_failed.store(true, std::memory_order_release);
    }
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
