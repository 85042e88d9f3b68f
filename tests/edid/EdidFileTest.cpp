#include "EdidFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> fileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EdidFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("edidfile-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    const fs::path data = SGX_TEST_DATA;
};

TEST_F(EdidFileTest, ShortFileReplacesOnlyItsOwnBytes)
{
    EdidBytes edid;
    edid.fill(0xAA);
    ASSERT_TRUE(EdidFile::load((data / "dell-2408wfp-dp.bin").string(), edid));
    const auto file = fileBytes(data / "dell-2408wfp-dp.bin");
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(edid[i], static_cast<std::uint8_t>(file[i]));
    for (int i = 128; i < 256; ++i)
        EXPECT_EQ(edid[i], 0xAA);
}

TEST_F(EdidFileTest, LongFileGivesItsFirst256Bytes)
{
    EdidBytes edid{};
    ASSERT_TRUE(EdidFile::load((data / "acer-xv273k-dp.bin").string(), edid));
    const auto file = fileBytes(data / "acer-xv273k-dp.bin");
    ASSERT_EQ(file.size(), 384u);
    EXPECT_TRUE(std::equal(edid.begin(), edid.end(), file.begin(),
                           [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
}

TEST_F(EdidFileTest, UnopenableFileLeavesTheBufferAlone)
{
    EdidBytes edid;
    edid.fill(0x42);
    EXPECT_FALSE(EdidFile::load((dir / "missing.bin").string(), edid));
    EXPECT_FALSE(EdidFile::load(dir.string(), edid));
    for (std::uint8_t b : edid)
        EXPECT_EQ(b, 0x42);
    EXPECT_FALSE(EdidFile::save((dir / "no-such-dir" / "x.bin").string(), edid));
}

TEST_F(EdidFileTest, SavedFileIsExactly256BytesAndRoundTrips)
{
    EdidBytes edid{};
    ASSERT_TRUE(EdidFile::load((data / "asus-vw246-hdmi.bin").string(), edid));
    const fs::path out = dir / "copy"; // no extension is added
    {
        std::ofstream longer(out, std::ios::binary);
        longer << std::string(1000, 'x');
    }
    ASSERT_TRUE(EdidFile::save(out.string(), edid));
    EXPECT_EQ(fs::file_size(out), 256u);
    EXPECT_EQ(fileBytes(out), fileBytes(data / "asus-vw246-hdmi.bin"));
    EdidBytes back{};
    ASSERT_TRUE(EdidFile::load(out.string(), back));
    EXPECT_EQ(back, edid);
}

} // namespace
