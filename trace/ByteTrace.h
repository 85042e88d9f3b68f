#pragma once

#include "RegularFile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
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

    // Only a regular file, created or emptied; anything else is refused without waiting.
    [[nodiscard]] bool open(const std::string &path);
    [[nodiscard]] bool isOpen() const { return m_out.isOpen(); }
    void record(std::int64_t sinceStartUs, Direction direction, const std::uint8_t *bytes, std::size_t count);
    // After the first write that failed (a full disk), nothing more is written and this says why,
    // as "PATH: reason"; so does a failed open. Empty while all is well. The line's thread writes
    // the trace while another may ask: once failed() is true, error() is settled.
    [[nodiscard]] const std::string &error() const { return m_out.error(); }
    [[nodiscard]] bool failed() const { return m_failed.load(std::memory_order_acquire); }

    // Every well-formed line of a trace file, in order; anything else in it (a time before the
    // start or beyond any run) is skipped.
    [[nodiscard]] static std::vector<Byte> read(const std::string &path);
    [[nodiscard]] static std::vector<Byte> read(std::istream &in);
    // One byte's line, newline included, as record() writes it.
    [[nodiscard]] static std::string line(std::int64_t sinceStartUs, Direction direction, std::uint8_t value);

private:
    RegularFile m_out;
    std::atomic<bool> m_failed{false};
};
