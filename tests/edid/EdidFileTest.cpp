#include "EdidFile.h"

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QString>

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
    [[nodiscard]] std::vector<fs::path> entries() const
    {
        return {fs::directory_iterator(dir), fs::directory_iterator()};
    }
    fs::path dir;
    const fs::path data = SGX_TEST_DATA;
};

TEST_F(EdidFileTest, AFileReplacesOnlyItsOwnLeadingBytes)
{
    for (const std::size_t size : {0u, 1u, 128u, 255u, 256u, 300u}) {
        SCOPED_TRACE(size);
        const fs::path path = dir / ("f" + std::to_string(size));
        writeBytes(path, counting(size));
        EdidBytes edid = filled(0xAA);
        ASSERT_TRUE(EdidFile::load(path.string(), edid));
        const std::vector<char> file = counting(size);
        for (std::size_t i = 0; i < edid.size(); ++i)
            ASSERT_EQ(edid[i], i < size ? static_cast<std::uint8_t>(file[i]) : 0xAA) << "byte " << i;
    }
}

TEST_F(EdidFileTest, AHugeFileIsReadNoFurtherThanItsFirst256Bytes)
{
    const fs::path path = dir / "huge.bin";
    writeBytes(path, counting(300));
    std::error_code ec;
    fs::resize_file(path, std::uintmax_t{1} << 32, ec); // sparse: costs no disk
    if (ec)
        GTEST_SKIP() << "no sparse file here: " << ec.message();
    EdidBytes edid{};
    ASSERT_TRUE(EdidFile::load(path.string(), edid));
    EXPECT_EQ(edid[255], static_cast<std::uint8_t>(255 * 7 + 1));
}

TEST_F(EdidFileTest, WhatIsNotAReadableRegularFileLeavesTheBufferAlone)
{
    const fs::path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A regular file whose read fails at once with an I/O error.
    const fs::path unreadable = "/proc/self/mem";
    std::vector<fs::path> paths = {dir / "missing.bin", dir, pipe, "/dev/zero", ""};
    if (fs::exists(unreadable))
        paths.push_back(unreadable);
    for (const fs::path &path : paths) {
        SCOPED_TRACE(path.string());
        EdidBytes edid = filled(0x42);
        EXPECT_FALSE(EdidFile::load(path.string(), edid));
        EXPECT_EQ(edid, filled(0x42));
    }
}

TEST_F(EdidFileTest, SavedFileIsExactly256BytesUnderItsOwnNameAndRoundTrips)
{
    EdidBytes edid{};
    ASSERT_TRUE(EdidFile::load((data / "asus-vw246-hdmi.bin").string(), edid));
    const fs::path out = dir / "copy"; // no extension is added
    writeBytes(out, std::vector<char>(1000, 'x'));
    ASSERT_TRUE(EdidFile::save(out.string(), edid));
    EXPECT_EQ(fileBytes(out), fileBytes(data / "asus-vw246-hdmi.bin"));
    EdidBytes back{};
    ASSERT_TRUE(EdidFile::load(out.string(), back));
    EXPECT_EQ(back, edid);
    EXPECT_EQ(entries(), std::vector<fs::path>{out});
}

TEST_F(EdidFileTest, FailedSavesLeaveWhatWasThere)
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
        EXPECT_FALSE(EdidFile::save(path.string(), filled(1)));
        EXPECT_FALSE(EdidFile::canSave(QString::fromStdString(path.string())));
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(fileBytes(plain), (std::vector<char>{'o', 'l', 'd'}));
    EXPECT_EQ(entries().size(), 3u);

    if (::geteuid() != 0) {
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(EdidFile::save((dir / "locked" / "x.bin").string(), filled(1)));
        fs::permissions(dir / "locked", fs::perms::owner_all);
    }
}

TEST_F(EdidFileTest, AWriteThatFailsPartWayLeavesTheOldFileWhole)
{
    const fs::path path = dir / "monitor.bin";
    const std::vector<char> old = fileBytes(data / "asus-vw246-hdmi.bin");
    writeBytes(path, old);
    {
        // Files may grow to 100 bytes: the write fails part-way as on a full disk.
        FileSizeLimit limit(100);
        EXPECT_FALSE(EdidFile::save(path.string(), filled(0xEE)));
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(entries(), std::vector<fs::path>{path}); // no temporary left behind
    ASSERT_TRUE(EdidFile::save(path.string(), filled(0xEE)));
    EXPECT_EQ(fileBytes(path), std::vector<char>(256, static_cast<char>(0xEE)));
}

TEST_F(EdidFileTest, AskingWhetherASaveWouldWorkWritesNothing)
{
    const fs::path existing = dir / "old.bin";
    writeBytes(existing, {'o', 'l', 'd'});
    for (const fs::path &path : {existing, dir / "new.bin"}) {
        SCOPED_TRACE(path.string());
        EXPECT_TRUE(EdidFile::canSave(QString::fromStdString(path.string())));
    }
    EXPECT_EQ(entries(), std::vector<fs::path>{existing});
    EXPECT_EQ(fileBytes(existing), (std::vector<char>{'o', 'l', 'd'}));
    FileSizeLimit limit(100); // a disk that fills up: found by the 256 bytes the question writes
    EXPECT_FALSE(EdidFile::canSave(QString::fromStdString(existing.string())));
}

// A replaced file keeps its owner, group and mode; one whose hard links a replacement would
// split is left alone. (A file whose owner cannot be kept: the sgxctl tests, as another user.)
TEST_F(EdidFileTest, ReplacingKeepsOwnerAndModeAndNeverSplitsHardLinks)
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

        const EdidFile::Result result = EdidFile::save(path.string(), filled(0x21));
        EXPECT_EQ(result.ok, c.saved) << result.reason.toStdString();
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_nlink, before.st_nlink);
        EXPECT_EQ(fileBytes(path).size(), c.saved ? 256u : 3u);
        if (c.linked) {
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(result.reason, "it has 2 hard links, which replacing it would split");
        }
    }
    EXPECT_EQ(entries().size(), 5u) << "no temporary file left";
}

TEST(EdidFileName, ANameThatDoesNotDecodeToItsOwnBytesIsRefused)
{
    struct Case {
        std::string argument;
        bool taken;
    };
    for (const Case &c :
         {Case{"plain.bin", true}, Case{"caf\xC3\xA9.bin", true}, Case{"caf\xE9.bin", false},
          Case{"caf\xE8.bin", false}, Case{"\xFF\xFE", false}, Case{"/tmp/\xC3.bin", false}}) {
        QString path = QStringLiteral("untouched");
        const EdidFile::Result result = EdidFile::localName(c.argument, path);
        EXPECT_EQ(result.ok, c.taken) << c.argument;
        EXPECT_EQ(path, c.taken ? QString::fromUtf8(c.argument.c_str()) : QStringLiteral("untouched"));
        EdidBytes edid{};
        if (!c.taken) {
            EXPECT_FALSE(EdidFile::save(c.argument, edid));
            EXPECT_FALSE(EdidFile::load(c.argument, edid));
        }
    }
}

} // namespace
