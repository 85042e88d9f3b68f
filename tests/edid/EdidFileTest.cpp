// What is EDID about the EDID files: 256 bytes, a shorter file replacing only its own, no
// extension added. What is file about them is the files' tests'.
#include "EdidFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> fileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

EdidBytes filled(std::uint8_t value)
{
    EdidBytes edid;
    edid.fill(value);
    return edid;
}

class EdidFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("edidfile-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    const fs::path data = SGX_TEST_DATA;
    std::string error;
};

TEST_F(EdidFileTest, AFileReplacesOnlyItsOwnLeadingBytesAndNoneWhenItCannotBeRead)
{
    for (const std::size_t size : {0u, 1u, 128u, 256u, 300u}) {
        SCOPED_TRACE(size);
        const fs::path path = dir / ("f" + std::to_string(size));
        std::ofstream(path, std::ios::binary) << std::string(size, '\x07');
        EdidBytes edid = filled(0xAA);
        ASSERT_TRUE(EdidFile::load(path.string(), edid, error)) << error;
        for (std::size_t i = 0; i < edid.size(); ++i)
            ASSERT_EQ(edid[i], i < size ? 0x07 : 0xAA) << "byte " << i;
    }
    EdidBytes edid = filled(0x42);
    EXPECT_FALSE(EdidFile::load((dir / "missing.bin").string(), edid, error));
    EXPECT_EQ(edid, filled(0x42));
    EXPECT_EQ(error, (dir / "missing.bin").string() + ": No such file or directory");
}

TEST_F(EdidFileTest, SavedFileIsExactly256BytesUnderItsOwnNameAndRoundTrips)
{
    EdidBytes edid{};
    ASSERT_TRUE(EdidFile::load((data / "asus-vw246-hdmi.bin").string(), edid, error)) << error;
    const fs::path out = dir / "copy"; // no extension is added
    std::ofstream(out, std::ios::binary) << std::string(1000, 'x');
    ASSERT_TRUE(EdidFile::canSave(out.string(), error)) << error;
    ASSERT_TRUE(EdidFile::save(out.string(), edid, error)) << error;
    EXPECT_EQ(fileBytes(out), fileBytes(data / "asus-vw246-hdmi.bin"));
    EdidBytes back{};
    ASSERT_TRUE(EdidFile::load(out.string(), back, error)) << error;
    EXPECT_EQ(back, edid);
}

} // namespace
