#pragma once

#include <array>
#include <cstdint>

constexpr int kTimingCount = 35;
constexpr int kPatternCount = 39;
constexpr int kProgramSteps = 32;
constexpr int kEdidSize = 256;

using EdidBytes = std::array<std::uint8_t, kEdidSize>;

// What the windows hand over to the link; read by the step machine when a payload starts.
// Created once and passed by reference, so every test can build a fresh set.
struct SharedValues {
    std::uint8_t currentTimingIndex = 0;
    std::uint8_t currentPatternIndex = 0;
    std::array<std::uint8_t, kTimingCount> timingSelection{};
    std::array<std::uint8_t, kPatternCount> patternSelection{};
    // Four columns of 32 bytes: TimingIndex, PatternIndex, UnitIndex, ShowTime.
    std::array<std::uint8_t, 4 * kProgramSteps> ProgramUploadImage{};
    EdidBytes EdidBuffer{};
};
