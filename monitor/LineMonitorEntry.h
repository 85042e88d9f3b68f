#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One line of the line monitor: a unit the program sent (a command line or a framed byte), a run
// of bytes the generator sent (an answer), or what happened to the line itself.
struct LineMonitorEntry {
    enum class Kind : std::uint8_t { Sent, Received, Note };

    Kind kind = Kind::Note;
    std::int64_t atUs = 0; // the first byte's time, or the note's
    std::vector<std::uint8_t> bytes;
    std::string note; // "opened", "hung up: why", ...
    // When the bytes went: each run of bytes of one time as its first byte's index and the time
    // (an answer arrives in a few reads, so this is far smaller than a time a byte). Kept by append.
    std::vector<std::pair<std::uint32_t, std::int64_t>> times;

    // Bytes that went at us, no earlier than those before them.
    void append(const std::uint8_t *data, std::size_t count, std::int64_t us);
    [[nodiscard]] std::int64_t timeOf(std::size_t byte) const;
    // The time of its last byte, or of the note.
    [[nodiscard]] std::int64_t lastUs() const { return times.empty() ? atUs : times.back().second; }
    // Takes out the bytes that went after us, as an entry of the same kind (empty if none did).
    [[nodiscard]] LineMonitorEntry takeAfter(std::int64_t us);
};
