#pragma once

#include "PatternTable.h"

#include <array>
#include <cstdint>

// What the pattern windows hand over to the link: the pattern to run and the patterns to offer.
struct PatternValues {
    std::uint8_t currentPatternIndex = 0;
    std::array<std::uint8_t, kPatternCount> patternSelection{};
};
