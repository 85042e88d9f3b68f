#include "EdidImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>

namespace {

int blockSum(const GeneratorState::Edid &edid, int block)
{
    return std::accumulate(edid.begin() + block * 128, edid.begin() + block * 128 + 128, 0);
}

TEST(SimDefaultEdid, IsAValidMonitorEdidWithOneCtaExtension)
{
    const GeneratorState::Edid edid = defaultEdid();
    const std::array<std::uint8_t, 8> header = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_TRUE(std::equal(edid.begin(), edid.begin() + 8, header.begin()));
    EXPECT_EQ(blockSum(edid, 0) % 256, 0);
    EXPECT_EQ(blockSum(edid, 1) % 256, 0);
    EXPECT_EQ(edid[126], 1);
    EXPECT_EQ(edid[128], 0x02);
    EXPECT_EQ(edid[129], 0x03);

    // First detailed timing: 1920x1080, 148.5 MHz, 60 Hz.
    const int clock10kHz = edid[54] | edid[55] << 8;
    const int hActive = edid[56] | (edid[58] >> 4) << 8;
    const int hBlank = edid[57] | (edid[58] & 15) << 8;
    const int vActive = edid[59] | (edid[61] >> 4) << 8;
    const int vBlank = edid[60] | (edid[61] & 15) << 8;
    EXPECT_EQ(clock10kHz, 14850);
    EXPECT_EQ(hActive, 1920);
    EXPECT_EQ(vActive, 1080);
    EXPECT_NEAR(clock10kHz * 10000.0 / ((hActive + hBlank) * (vActive + vBlank)), 60.0, 0.01);

    // Range limits and a monitor name among the other descriptors.
    bool range = false;
    std::string name;
    for (int at = 72; at < 126; at += 18) {
        range = range || edid[at + 3] == 0xFD;
        if (edid[at + 3] == 0xFC)
            for (int i = at + 5; i < at + 18 && edid[i] != 0x0A; ++i)
                name += static_cast<char>(edid[i]);
    }
    EXPECT_TRUE(range);
    EXPECT_FALSE(name.empty());
    // The extension's timing descriptors start inside the block.
    EXPECT_GE(edid[130], 4);
    EXPECT_LE(edid[130], 127 - 18);
}

TEST(SimEdidFile, ShortFilesFillFromTheStartLongOnesAreCutUnreadableOnesRefused)
{
    const std::string path = ::testing::TempDir() + "sim_edid_test.bin";
    GeneratorState::Edid edid{};
    edid.fill(0x55);
    {
        std::ofstream(path, std::ios::binary) << "\x01\x02\x03";
    }
    ASSERT_TRUE(loadEdidFile(path, edid));
    EXPECT_EQ(edid[0], 1);
    EXPECT_EQ(edid[2], 3);
    EXPECT_EQ(std::count(edid.begin(), edid.end(), 0), 253);

    {
        std::ofstream(path, std::ios::binary) << std::string(300, '\x7E');
    }
    ASSERT_TRUE(loadEdidFile(path, edid));
    EXPECT_EQ(std::count(edid.begin(), edid.end(), 0x7E), 256);
    std::remove(path.c_str());

    EXPECT_FALSE(loadEdidFile(path, edid));
    EXPECT_EQ(edid[0], 0x7E) << "left as it was";
}

} // namespace
