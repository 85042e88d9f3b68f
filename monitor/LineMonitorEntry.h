#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One line of the line monitor: a unit the program sent (a command line or a framed byte), a run
// of bytes the generator sent (an answer), or what happened to the line itself.
struct LineMonitorEntry {
    enum class Kind : std::uint8_t { Sent, Received, Note };

    Kind kind = Kind::Note;
    std::int64_t atUs = 0; // the first byte's time, or the note's
    std::vector<std::uint8_t> bytes;
    std::vector<std::int64_t> timesUs; // one per byte
    std::string note;                  // "opened", "hung up: why", ...

    // The time of its last byte, or of the note.
    [[nodiscard]] std::int64_t lastUs() const { return timesUs.empty() ? atUs : timesUs.back(); }
};
