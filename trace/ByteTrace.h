#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A log of every byte on the line, one line per byte: the time since start in milliseconds
// with microseconds, ">" for a byte that went to the generator, "<" for one it sent. The
// emulator, sgxctl and sgxcontrol write it; the tests and the benchmark read it back with read().
class ByteTrace {
public:
    enum class Direction { ToGenerator, FromGenerator };

    struct Byte {
        double atMs;
        Direction direction;
        std::uint8_t value;
    };

    [[nodiscard]] bool open(const std::string &path);
    [[nodiscard]] bool isOpen() const { return m_out.is_open(); }
    void record(std::int64_t sinceStartUs, Direction direction, const std::uint8_t *bytes, std::size_t count);

    // Every well-formed line of a trace file, in order; anything else in it is skipped.
    [[nodiscard]] static std::vector<Byte> read(const std::string &path);

private:
    std::ofstream m_out;
};
