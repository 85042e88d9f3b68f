// edid-check's verdicts on real monitor EDIDs and on copies with one byte changed.
#include "EdidCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> readData(const std::string &name)
{
    std::ifstream in(std::string(SGX_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool says(const EdidCheck &check, const std::string &line)
{
    return std::find(check.lines.begin(), check.lines.end(), line) != check.lines.end();
}

std::string all(const EdidCheck &check)
{
    std::string text;
    for (const std::string &l : check.lines)
        text += l + "\n";
    return text;
}

TEST(EdidCheck, RealDisplaysAreRightAndNamed)
{
    struct Case {
        const char *file;
        std::size_t size;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"dell-2408wfp-dp.bin",
         128,
         {"header: right", "block 0 checksum: right (0x92)", "extensions: 0, and the file holds 0",
          "manufacturer: DEL", "product code: 0xA02B (41003)", "made: week 47, 2008", "EDID version: 1.4",
          "monitor name: DELL 2408WFP", "preferred timing: 1920x1200, 59.950 Hz, 154.00 MHz"}},
        {"asus-vw246-hdmi.bin",
         256,
         {"block 1 checksum: right (0x69)", "extensions: 1, and the file holds 1", "manufacturer: ACI",
          "monitor name: VW246", "preferred timing: 1920x1080, 60.000 Hz, 148.50 MHz"}},
        {"acer-xv273k-dp.bin",
         384,
         {"block 2 checksum: right (0x90)", "extensions: 2, and the file holds 2", "manufacturer: ACR",
          "made: week 50, 2018", "preferred timing: 3840x2160, 59.997 Hz, 533.25 MHz"}},
    };
    for (const Case &c : cases) {
        const std::vector<std::uint8_t> bytes = readData(c.file);
        ASSERT_EQ(bytes.size(), c.size) << c.file;
        const EdidCheck check = checkEdid(bytes);
        EXPECT_FALSE(check.wrong) << all(check);
        EXPECT_TRUE(check.fixes.empty());
        for (const std::string &line : c.lines)
            EXPECT_TRUE(says(check, line)) << c.file << " lacks '" << line << "' in\n" << all(check);
    }
}

TEST(EdidCheck, OneChangedByteIsFoundWithTheRightChecksum)
{
    const std::vector<std::uint8_t> good = readData("asus-vw246-hdmi.bin");
    for (const std::size_t offset : {std::size_t{20}, std::size_t{200}, std::size_t{127}, std::size_t{255}}) {
        std::vector<std::uint8_t> bytes = good;
        bytes[offset] ^= 0x5A;
        const EdidCheck check = checkEdid(bytes);
        EXPECT_TRUE(check.wrong);
        ASSERT_EQ(check.fixes.size(), 1u) << offset;
        const std::size_t block = offset / 128;
        EXPECT_EQ(check.fixes[0].offset, block * 128 + 127);
        // The good checksum, less what the change added (or the good one, if it was the change).
        const std::size_t at = block * 128 + 127;
        const int added = offset == at ? 0 : bytes[offset] - good[offset];
        EXPECT_EQ(check.fixes[0].should, static_cast<std::uint8_t>((good[at] - added + 256) % 256)) << offset;
        bytes[at] = check.fixes[0].should;
        EXPECT_FALSE(checkEdid(bytes).wrong) << offset;
    }
}

TEST(EdidCheck, BrokenShapes)
{
    std::vector<std::uint8_t> bytes = readData("dell-2408wfp-dp.bin");
    bytes[0] = 0x01;
    EXPECT_TRUE(says(checkEdid(bytes), "header: wrong, it should be 00 FF FF FF FF FF FF 00"));

    bytes = readData("asus-vw246-hdmi.bin");
    bytes.resize(200); // one block and a bit
    const EdidCheck truncated = checkEdid(bytes);
    EXPECT_TRUE(says(truncated, "the file holds 72 bytes past its last whole block"));
    EXPECT_TRUE(says(truncated, "extensions: 1, and the file holds 0: they disagree"));

    EXPECT_TRUE(checkEdid(std::vector<std::uint8_t>(20, 0)).wrong);
    EXPECT_TRUE(checkEdid({}).wrong);
}

// Only what is an EDID through and through may have its checksums rewritten; the rest is only
// reported. Each case has a wrong block-0 checksum, so a fix is always on offer.
TEST(EdidCheck, OnlyAWholeEdidMayBeFixed)
{
    const std::vector<std::uint8_t> asus = readData("asus-vw246-hdmi.bin"); // one extension
    const auto broken = [&asus](std::size_t size, std::uint8_t extensions) {
        std::vector<std::uint8_t> bytes = asus;
        bytes.resize(size, 0x3C);
        bytes[126] = extensions;
        bytes[127] ^= 0x01;
        return bytes;
    };
    std::vector<std::uint8_t> header = broken(256, 1);
    header[3] = 0xFD;
    struct Case {
        const char *what;
        std::vector<std::uint8_t> bytes;
        const char *notAnEdid;
    };
    const std::vector<Case> cases = {
        {"two blocks, one extension", broken(256, 1), ""},
        {"one block", broken(128, 0), ""},
        {"256 blocks, 255 extensions", broken(256 * 128, 255), ""},
        {"a wrong header", header, "its header is wrong"},
        {"a block and a bit", broken(300, 1), "not a whole number of 128-byte blocks"},
        {"blocks past the count", broken(384, 1), "its blocks disagree with its extension count"},
        {"blocks short of the count", broken(256, 3), "its blocks disagree with its extension count"},
        {"257 blocks", broken(257 * 128, 255), "longer than 256 blocks"},
        {"an EDID and a long tail, as read", broken(256 * 128 + 1, 1), "longer than 256 blocks"},
    };
    for (const Case &c : cases) {
        const EdidCheck check = checkEdid(c.bytes);
        EXPECT_EQ(check.notAnEdid, c.notAnEdid) << c.what << "\n" << all(check);
        EXPECT_TRUE(check.wrong) << c.what;
        ASSERT_FALSE(check.fixes.empty()) << c.what;
        EXPECT_EQ(check.fixes[0].offset, 127u) << c.what;
        EXPECT_LE(check.fixes.back().offset, 256u * 128 - 1) << c.what;
    }
}

} // namespace
