#pragma once

#include <array>
#include <cstdint>
#include <vector>

// How many steps an auto-run program has.
constexpr int kProgramSteps = 32;

constexpr std::uint8_t kNotSet = 255;

struct ProgramStep {
    std::uint8_t TimingIndex = kNotSet;
    std::uint8_t PatternIndex = kNotSet;
    std::uint8_t UnitIndex = kNotSet; // 0 = seconds, 1 = minutes
    std::uint8_t ShowTime = kNotSet;  // 1 to 59

    [[nodiscard]] bool isValid() const;
};

// The auto-run program being edited: 32 steps, kept as four columns of 32 bytes.
class ProgramSequence {
public:
    ProgramSequence() { clear(); }

    void clear();
    [[nodiscard]] ProgramStep step(int index) const;
    void setStep(int index, const ProgramStep &step);

    std::array<std::uint8_t, kProgramSteps> TimingIndex{};
    std::array<std::uint8_t, kProgramSteps> PatternIndex{};
    std::array<std::uint8_t, kProgramSteps> UnitIndex{};
    std::array<std::uint8_t, kProgramSteps> ShowTime{};
};

// Packs the valid steps, in order and without gaps, into the image the program upload sends;
// the remaining slots hold 255 in all four columns. Returns the number of valid steps.
std::uint8_t BuildProgramUploadImage(const ProgramSequence &sequence,
                                     std::array<std::uint8_t, 4 * kProgramSteps> &image);

// The image as the program upload puts it on the line: row by row, each step's TimingIndex,
// PatternIndex, UnitIndex and ShowTime.
[[nodiscard]] std::vector<std::uint8_t>
programWireOrder(const std::array<std::uint8_t, 4 * kProgramSteps> &image);
