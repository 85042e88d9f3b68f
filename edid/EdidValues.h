#pragma once

#include <array>
#include <cstdint>

// An EDID as the program keeps it: the generator's 256 bytes, the size of every file it reads
// and writes.
constexpr int kEdidSize = 256;

using EdidBytes = std::array<std::uint8_t, kEdidSize>;

// What the EDID windows and files share with the link: Read EDID fills it, Upload sends it.
struct EdidValues {
    EdidBytes EdidBuffer{};
};
