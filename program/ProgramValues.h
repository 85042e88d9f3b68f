#pragma once

#include "ProgramSequence.h"

#include <array>
#include <cstdint>

// What the program editor hands over to the link: the program last built for upload.
struct ProgramValues {
    // Four columns, TimingIndex, PatternIndex, UnitIndex and ShowTime, of one byte per step.
    std::array<std::uint8_t, 4 * kProgramSteps> ProgramUploadImage{};
};
