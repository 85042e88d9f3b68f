#pragma once

#include "TimingTable.h"

#include <array>
#include <cstdint>

// What the timing windows hand over to the link: the timing to run and the timings to offer.
struct TimingValues {
    std::uint8_t currentTimingIndex = 0;
    std::array<std::uint8_t, kTimingCount> timingSelection{};
};
