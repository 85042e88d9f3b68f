#include "WholeFile.h"

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
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

void writeBytes(const fs::path &path, const std::vector<char> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> counting(std::size_t size)
{
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + 1);
    return bytes;
}

std::vector<std::uint8_t> filled(std::uint8_t value)
{
    return std::vector<std::uint8_t>(256, value);
}

bool replace(const fs::path &path, const std::vector<std::uint8_t> &bytes, std::string &error)
{
    return replaceFile(path.string(), bytes.data(), bytes.size(), error);
}

bool canReplace(const fs::path &path)
{
    std::string error;
    return canReplaceFile(path.string(), 256, error);
}

class WholeFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("wholefile-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    [[nodiscard]] std::vector<fs::path> entries() const
    {
        return {fs::directory_iterator(dir), fs::directory_iterator()};
    }
    fs::path dir;
    std::string error;
};

TEST_F(WholeFileTest, AHugeFileIsReadNoFurtherThanAsked)
{
    const fs::path path = dir / "huge.bin";
    writeBytes(path, counting(300));
    std::error_code ec;
    fs::resize_file(path, std::uintmax_t{1} << 32, ec); // sparse: costs no disk
    if (ec)
        GTEST_SKIP() << "no sparse file here: " << ec.message();
    std::vector<std::uint8_t> start;
    ASSERT_TRUE(readFileStart(path.string(), 256, start, error)) << error;
    ASSERT_EQ(start.size(), 256u);
    EXPECT_EQ(start[255], static_cast<std::uint8_t>(255 * 7 + 1));
}

TEST_F(WholeFileTest, OnlyARegularFileIsRead)
{
    const fs::path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A regular file whose read fails at once with an I/O error.
    const fs::path unreadable = "/proc/self/mem";
    std::vector<std::pair<fs::path, std::string>> cases = {{dir / "missing.bin", "No such file or directory"},
                                                           {dir, "a folder, not a file"},
                                                           {pipe, "a pipe, not a regular file"},
                                                           {"/dev/zero", "a device, not a regular file"},
                                                           {"", "an empty file name"}};
    if (fs::exists(unreadable))
        cases.emplace_back(unreadable, "Input/output error");
    for (const auto &[path, reason] : cases) {
        SCOPED_TRACE(path.string());
        std::vector<std::uint8_t> bytes;
        EXPECT_FALSE(readFileStart(path.string(), 256, bytes, error));
        EXPECT_EQ(error, path.string() + ": " + reason);
    }
}

TEST_F(WholeFileTest, FailedSavesLeaveWhatWasThere)
{
    const fs::path plain = dir / "plain";
    writeBytes(plain, {'o', 'l', 'd'});
    const fs::path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    // As root, permission bits stop nothing: a folder that cannot be made stands for one that
    // cannot be written, and a pipe for a device that must not be replaced by a file.
    for (const fs::path &path : {plain / "x.bin", dir / "missing" / "x.bin", pipe, dir / "folder"}) {
        SCOPED_TRACE(path.string());
        EXPECT_FALSE(replace(path, filled(1), error));
        EXPECT_FALSE(canReplace(path));
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(fileBytes(plain), (std::vector<char>{'o', 'l', 'd'}));
    EXPECT_EQ(entries().size(), 3u);

    if (::geteuid() != 0) {
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(replace(dir / "locked" / "x.bin", filled(1), error));
        fs::permissions(dir / "locked", fs::perms::owner_all);
    }
}

TEST_F(WholeFileTest, AWriteThatFailsPartWayLeavesTheOldFileWhole)
{
    const fs::path path = dir / "monitor.bin";
    const std::vector<char> old = counting(256);
    writeBytes(path, old);
    {
        // Files may grow to 100 bytes: the write fails part-way as on a full disk.
        FileSizeLimit limit(100);
        EXPECT_FALSE(replace(path, filled(0xEE), error));
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(entries(), std::vector<fs::path>{path}); // no temporary left behind
    ASSERT_TRUE(replace(path, filled(0xEE), error)) << error;
    EXPECT_EQ(fileBytes(path), std::vector<char>(256, static_cast<char>(0xEE)));
}

TEST_F(WholeFileTest, AskingWhetherASaveWouldWorkWritesNothing)
{
    const fs::path existing = dir / "old.bin";
    writeBytes(existing, {'o', 'l', 'd'});
    for (const fs::path &path : {existing, dir / "new.bin"}) {
        SCOPED_TRACE(path.string());
        EXPECT_TRUE(canReplace(path));
    }
    EXPECT_EQ(entries(), std::vector<fs::path>{existing});
    EXPECT_EQ(fileBytes(existing), (std::vector<char>{'o', 'l', 'd'}));
    FileSizeLimit limit(100); // a disk that fills up: found by the 256 bytes the question writes
    EXPECT_FALSE(canReplace(existing));
}

// A replaced file keeps its owner, group and mode; one whose hard links a replacement would
// split is left alone. (A file whose owner cannot be kept: the sgxctl tests, as another user.)
TEST_F(WholeFileTest, ReplacingKeepsOwnerAndModeAndNeverSplitsHardLinks)
{
    struct Case {
        const char *name;
        unsigned mode;
        bool otherOwner; // given to nobody (65534), where this test may do so
        bool linked;     // a second hard link
        bool saved;
    };
    const bool root = ::geteuid() == 0;
    for (const Case &c :
         {Case{"private.bin", 0600, false, false, true}, Case{"shared.bin", 0664, false, false, true},
          Case{"theirs.bin", 0640, root, false, true}, Case{"linked.bin", 0644, false, true, false}}) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        writeBytes(path, {'o', 'l', 'd'});
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        if (c.otherOwner) {
            ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        }
        if (c.linked)
            fs::create_hard_link(path, dir / "second-name.bin");
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);

        error.clear();
        EXPECT_EQ(replace(path, filled(0x21), error), c.saved) << error;
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_nlink, before.st_nlink);
        EXPECT_EQ(fileBytes(path).size(), c.saved ? 256u : 3u);
        if (c.linked) {
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(error, path.string() + ": it has 2 hard links, which replacing it would split");
        }
    }
    EXPECT_EQ(entries().size(), 5u) << "no temporary file left";
}

// A name is used as the bytes given, UTF-8 or not; one that is a symbolic link has the file it
// leads to replaced, and stays a link.
TEST_F(WholeFileTest, NamesAreTheirBytesAndLinksLeadToWhatIsReplaced)
{
    for (const std::string name : {"plain.bin", "caf\xC3\xA9.bin", "caf\xE9.bin", "\xFF\xFE"}) {
        SCOPED_TRACE(name);
        const fs::path path = dir / name;
        ASSERT_TRUE(replace(path, filled(0x5A), error)) << error;
        std::vector<std::uint8_t> back;
        ASSERT_TRUE(readFileStart(path.string(), 1000, back, error)) << error;
        EXPECT_EQ(back, filled(0x5A));
    }
    fs::create_directory(dir / "real");
    writeBytes(dir / "real" / "monitor.bin", {'o', 'l', 'd'});
    fs::create_symlink("real/monitor.bin", dir / "link.bin");
    ASSERT_TRUE(replace(dir / "link.bin", filled(0x21), error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(fileBytes(dir / "real" / "monitor.bin"), std::vector<char>(256, 0x21));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
}

} // namespace
