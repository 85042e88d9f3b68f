#include "ProgramSequence.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramUploadImage, ValidStepsFillSlotsInOrderWithoutGaps)
{
    ProgramSequence sequence;
    sequence.setStep(2, {5, 2, 1, 5});
    sequence.setStep(4, {0, 0, 0, 60}); // show time out of range
    sequence.setStep(6, {34, 38, 0, 1});
    sequence.setStep(9, {3, kNotSet, 0, 3});
    std::array<std::uint8_t, 4 * kProgramSteps> image{};
    EXPECT_EQ(BuildProgramUploadImage(sequence, image), 2);
    const std::array<int, 4> slot0 = {image[0], image[32], image[64], image[96]};
    const std::array<int, 4> slot1 = {image[1], image[33], image[65], image[97]};
    EXPECT_EQ(slot0, (std::array<int, 4>{5, 2, 1, 5}));
    EXPECT_EQ(slot1, (std::array<int, 4>{34, 38, 0, 1}));
    for (int slot = 2; slot < kProgramSteps; ++slot)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(image[column * 32 + slot], 255);
}

TEST(ProgramUploadImage, EmptyProgramHasNoLegalItem)
{
    ProgramSequence sequence;
    std::array<std::uint8_t, 4 * kProgramSteps> image{};
    EXPECT_EQ(BuildProgramUploadImage(sequence, image), 0);
    for (std::uint8_t b : image)
        EXPECT_EQ(b, 255);
}

TEST(ProgramStep, Validity)
{
    EXPECT_TRUE((ProgramStep{0, 0, 0, 1}.isValid()));
    EXPECT_TRUE((ProgramStep{34, 38, 1, 59}.isValid()));
    EXPECT_FALSE((ProgramStep{35, 0, 0, 1}.isValid()));
    EXPECT_FALSE((ProgramStep{0, 39, 0, 1}.isValid()));
    EXPECT_FALSE((ProgramStep{0, 0, 2, 1}.isValid()));
    EXPECT_FALSE((ProgramStep{0, 0, 0, 0}.isValid()));
}

} // namespace
