#include "ProgramSequence.h"

#include "PatternTable.h"
#include "TimingTable.h"

bool ProgramStep::isValid() const
{
    return TimingIndex < kTimingCount && PatternIndex < kPatternCount && UnitIndex <= 1 && ShowTime >= 1 &&
           ShowTime <= 59;
}

void ProgramSequence::clear()
{
    TimingIndex.fill(kNotSet);
    PatternIndex.fill(kNotSet);
    UnitIndex.fill(kNotSet);
    ShowTime.fill(kNotSet);
}

ProgramStep ProgramSequence::step(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    return {TimingIndex[i], PatternIndex[i], UnitIndex[i], ShowTime[i]};
}

void ProgramSequence::setStep(int index, const ProgramStep &step)
{
    const auto i = static_cast<std::size_t>(index);
    TimingIndex[i] = step.TimingIndex;
    PatternIndex[i] = step.PatternIndex;
    UnitIndex[i] = step.UnitIndex;
    ShowTime[i] = step.ShowTime;
}

std::uint8_t BuildProgramUploadImage(const ProgramSequence &sequence,
                                     std::array<std::uint8_t, 4 * kProgramSteps> &image)
{
    image.fill(kNotSet);
    std::size_t slot = 0;
    for (int s = 0; s < kProgramSteps; ++s) {
        const ProgramStep step = sequence.step(s);
        if (!step.isValid())
            continue;
        const int seconds = step.UnitIndex * 60 + step.ShowTime;
        image[slot] = step.TimingIndex;
        image[kProgramSteps + slot] = step.PatternIndex;
        image[2 * kProgramSteps + slot] = static_cast<std::uint8_t>(seconds / 60);
        image[3 * kProgramSteps + slot] = static_cast<std::uint8_t>(seconds % 60);
        ++slot;
    }
    return static_cast<std::uint8_t>(slot);
}

std::vector<std::uint8_t> programWireOrder(const std::array<std::uint8_t, 4 * kProgramSteps> &image)
{
    std::vector<std::uint8_t> wire;
    wire.reserve(image.size());
    for (std::size_t row = 0; row < kProgramSteps; ++row)
        for (std::size_t column = 0; column < 4; ++column)
            wire.push_back(image[column * kProgramSteps + row]);
    return wire;
}
