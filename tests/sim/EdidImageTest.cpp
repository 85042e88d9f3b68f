#include "EdidImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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

// What --edid loads, and what it refuses without waiting (a pipe, an endless device) or because
// there is nothing in it; the report says which.
TEST(SimEdidFile, LoadsTheStartOfARegularFileAndSaysWhatItLoaded)
{
    const std::string dir = ::testing::TempDir() + "sim_edid_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const std::string pipe = dir + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto file = [&dir](const char *name, const std::string &bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
        return dir + "/" + name;
    };
    struct Case {
        std::string path;
        std::string report; // a part of it
        std::string image;  // what the EDID starts with, the rest zero; empty: refused
    };
    const std::string full(256, '\x7E');
    const std::vector<Case> cases = {
        {file("short.bin", "\x01\x02\x03"), "EDID: the 3 bytes of " + dir + "/short.bin, the rest zero",
         "\x01\x02\x03"},
        {file("long.bin", std::string(300, '\x7E')), "EDID: the first 256 of the 300 bytes of", full},
        {file("exact.bin", full), "EDID: the 256 bytes of", full},
        {file("empty.bin", ""), "/empty.bin: empty, no EDID in it", ""},
        {dir + "/missing.bin", "/missing.bin: No such file or directory", ""},
        {pipe, "/pipe: a pipe, not a regular file", ""},
        {"/dev/zero", "/dev/zero: a device, not a regular file", ""},
        {dir, ": a folder, not a file", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        GeneratorState::Edid edid{};
        edid.fill(0x55);
        std::string report;
        EXPECT_EQ(loadEdidFile(c.path, edid, report), !c.image.empty());
        EXPECT_NE(report.find(c.report), std::string::npos) << report;
        GeneratorState::Edid expected{};
        if (c.image.empty())
            expected.fill(0x55); // left as it was
        std::copy(c.image.begin(), c.image.end(), expected.begin());
        EXPECT_EQ(edid, expected);
    }
    std::filesystem::remove_all(dir);
}

} // namespace
