#pragma once

#include "PatternTable.h"
#include "ProgramSequence.h"

#include <array>
#include <cstdint>

// What the pattern windows and the program editor hand over to the link: the pattern to run,
// the patterns to offer and the program to run.
struct PatternValues {
    std::uint8_t currentPatternIndex = 0;
    std::array<std::uint8_t, kPatternCount> patternSelection{};
    // Four columns, TimingIndex, PatternIndex, UnitIndex and ShowTime, of one byte per step.
    std::array<std::uint8_t, 4 * kProgramSteps> ProgramUploadImage{};
};
