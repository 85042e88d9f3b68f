#include "Checksum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace {

TEST(ZeroSumChecksum, MakesTheRunAddUpToZeroModulo256)
{
    struct Case {
        std::vector<std::uint8_t> run;
        std::uint8_t checksum;
    };
    const std::vector<std::uint8_t> longRun(300, 0xFF); // a sum far past one byte
    for (const Case &c : {Case{{}, 0x00}, Case{{0x00}, 0x00}, Case{{0x01}, 0xFF}, Case{{0x80, 0x80}, 0x00},
                          Case{{35, 1, 1, 0, 1}, 0xDA}, Case{longRun, 0x2C}}) {
        SCOPED_TRACE(c.run.size());
        const std::uint8_t checksum = zeroSumChecksum(c.run.data(), c.run.data() + c.run.size());
        EXPECT_EQ(checksum, c.checksum);
        EXPECT_EQ((std::accumulate(c.run.begin(), c.run.end(), 0u) + checksum) % 256, 0u);
    }
}

} // namespace
