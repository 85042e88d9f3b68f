#include "SharedValues.h"

#include "DeviceLinkState.h"

// The link frames what it is given; these are what the generator's commands can carry.
static_assert(1 + kTimingCount + 1 <= 255 && 1 + kPatternCount + 1 <= 255 && 1 + 4 * kProgramSteps + 1 <= 255,
              "a table upload's argument, count and entries are one byte each");
static_assert(kEdidSize % kEdidBlockSize == 0 && kEdidSize <= 256,
              "Read EDID asks for whole blocks at one-byte offsets");

SharedValues::operator LinkValues() &
{
    return {currentTimingIndex, currentPatternIndex, timingSelection, patternSelection, EdidBuffer};
}
