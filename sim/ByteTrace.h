#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

// A log of every byte on the line, one line per byte: the time since start in milliseconds
// with microseconds, ">" for a byte that reached the generator, "<" for one it sent.
class ByteTrace {
public:
    enum class Direction { ToGenerator, FromGenerator };

    [[nodiscard]] bool open(const std::string &path);
    [[nodiscard]] bool isOpen() const { return m_out.is_open(); }
    void record(std::int64_t sinceStartUs, Direction direction, const std::uint8_t *bytes, std::size_t count);

private:
    std::ofstream m_out;
};
