#pragma once

#include "ByteSpan.h"

#include <cstdint>

// What the windows hand over, as the link sees it: it reads the indexes and the selections when a
// payload starts, and Read EDID fills EdidBuffer; the program comes with its request. The values,
// and how many entries each table has, belong to the timing, pattern and EDID folders, which the link does
// not know; a table upload sends however many entries it is given, its count first, and its command's
// argument is counted from the same length.
struct LinkValues {
    std::uint8_t &currentTimingIndex;
    std::uint8_t &currentPatternIndex;
    ByteSpan timingSelection;
    ByteSpan patternSelection;
    ByteSpan EdidBuffer;
};
