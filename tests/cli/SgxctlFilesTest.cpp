// sgxctl with the files and names it is given, where every case ends before a generator is
// reached: the port named does not exist, so a run that got that far would say "Open COM Port".
#include <gtest/gtest.h>

#include <QByteArray>
#include <QElapsedTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct CtlRun {
    int exitCode = -1; // -1: stopped after 10 s
    std::string out;
    std::string err;
    qint64 elapsedMs = 0;
};

std::string fileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs sgxctl with arguments taken as raw bytes (QProcess would re-encode them), with inChild
// run just before exec.
CtlRun sgxctl(const std::vector<std::string> &args, const std::function<void()> &inChild = {})
{
    const fs::path out = fs::temp_directory_path() / ("sgxctl-out-" + std::to_string(::getpid()));
    const fs::path err = fs::temp_directory_path() / ("sgxctl-err-" + std::to_string(::getpid()));
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        ::alarm(10); // kept across exec: what would block for ever is ended
        if (inChild)
            inChild();
        std::vector<char *> argv{const_cast<char *>(SGXCTL_PATH)};
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(SGXCTL_PATH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CtlRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileBytes(out), fileBytes(err), timer.elapsed()};
    fs::remove(out);
    fs::remove(err);
    return run;
}

void writeFile(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Whether anyone may run the program at path: it and every folder above it searchable by others.
bool othersMayRun(fs::path path)
{
    for (;; path = path.parent_path()) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || (info.st_mode & S_IXOTH) == 0)
            return false;
        if (path == path.root_path())
            return true;
    }
}

// A real monitor's EDID with a wrong block-0 checksum: what --fix is for.
std::string edidWithAWrongChecksum()
{
    std::string bytes = fileBytes(fs::path(SGX_TEST_DATA) / "asus-vw246-hdmi.bin");
    bytes[127] = static_cast<char>(bytes[127] ^ 0x55);
    return bytes;
}

class SgxctlFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("sgxctl-files-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        for (const auto &entry : fs::recursive_directory_iterator(dir, ec))
            ::chmod(entry.path().c_str(), 0700);
        fs::remove_all(dir);
    }
    fs::path dir;
    const std::vector<std::string> noPort = {"--port", "/nonexistent/tty"};
};

TEST_F(SgxctlFiles, RefusedAtOnceNamingTheFileAndTheReason)
{
    const std::string pipe = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string folder = dir.string();
    const std::string sparse = (dir / "sparse.txt").string();
    writeFile(sparse, "1,1,s,3\n");
    std::error_code ec;
    fs::resize_file(sparse, std::uintmax_t{1} << 32, ec); // 4 GiB that cost no disk
    ASSERT_FALSE(ec) << ec.message();
    const std::string latin1 = (dir / "caf\xE9.bin").string();
    const std::string original = edidWithAWrongChecksum();
    writeFile(latin1, original);

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"program", "/dev/zero"}, "cannot read the program file /dev/zero: a device, not a regular file"},
        {{"program", sparse},
         "cannot read the program file " + sparse + ": 4294967296 bytes, more than a program file's 1 MiB"},
        {{"program", pipe}, "cannot read the program file " + pipe + ": a pipe, not a regular file"},
        {{"program", folder}, "cannot read the program file " + folder + ": a folder, not a file"},
        {{"--trace", pipe, "check"}, "cannot write the trace: " + pipe + ": a pipe, not a regular file"},
        {{"--trace", "/dev/full", "check"},
         "cannot write the trace: /dev/full: a device, not a regular file"},
        {{"edid-read", folder}, "Open file error: " + folder + ": a folder, not a file"},
        {{"edid-read", folder + "/missing/read.bin"},
         "Open file error: " + folder + "/missing/read.bin: the folder " + folder +
             "/missing does not exist"},
        {{"edid-read", "/dev/full"}, "Open file error: /dev/full: a device, not a regular file"},
        {{"edid-check", folder}, "Open file error: " + folder + ": a folder, not a file"},
        {{"trace", pipe}, "cannot show the trace " + pipe + ": a pipe, not a regular file"},
        {{"trace", "/dev/zero"}, "cannot show the trace /dev/zero: a device, not a regular file"},
        {{"trace", sparse},
         "cannot show the trace " + sparse + ": 4294967296 bytes, more than a trace's 64 MiB"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = noPort;
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const CtlRun r = sgxctl(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err, c.message + "\n");
        EXPECT_LT(r.elapsedMs, 3000);
    }
    // A name in no encoding is the file of those bytes, fixed in its place.
    EXPECT_EQ(sgxctl({"edid-check", latin1, "--fix"}).exitCode, 0);
    EXPECT_NE(fileBytes(latin1), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST_F(SgxctlFiles, ATraceNamedInNoEncodingIsTheFileOfThoseBytes)
{
    const fs::path trace = dir / "trace-\xE9.txt";
    std::vector<std::string> args = {"--trace", trace.string()};
    args.insert(args.end(), noPort.begin(), noPort.end());
    args.emplace_back("check");
    const CtlRun r = sgxctl(args);
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.err, "Open COM Port /nonexistent/tty fail !!\n/nonexistent/tty: not found\n");
    EXPECT_TRUE(fs::is_regular_file(trace));
}

TEST_F(SgxctlFiles, TracePrintsEachUnitAndAnswerWithAnEmptyLineBeforeEachCommand)
{
    std::string trace;
    // Characters 35 ms apart from atMs on, as a trace has them.
    const auto add = [&trace](double atMs, char direction, const std::string &bytes, double stepMs) {
        for (const char c : bytes) {
            char line[32];
            std::snprintf(line, sizeof line, "%11.3f %c %02X\n", atMs, direction,
                          static_cast<unsigned char>(c));
            trace += line;
            atMs += stepMs;
        }
    };
    add(10, '>', std::string("URTCNT \0 \n\r", 11), 35);
    add(380.5, '<', "OK\r\n", 0.5);
    add(1000, '>', std::string("DFSET \0 \n\r", 10), 35);
    add(1400, '<', "NG\r\n", 0.5);
    writeFile(dir / "line.txt", trace);
    const CtlRun r = sgxctl({"trace", (dir / "line.txt").string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "     10.000 > \"URTCNT \\x00 \\n\\r\"    55 52 54 43 4E 54 20 00 20 0A 0D\n"
                     "    380.500 < \"OK\\r\\n\"              4F 4B 0D 0A\n"
                     "\n"
                     "   1000.000 > \"DFSET \\x00 \\n\\r\"     44 46 53 45 54 20 00 20 0A 0D\n"
                     "   1400.000 < \"NG\\r\\n\"              4E 47 0D 0A\n");
    EXPECT_EQ(r.err, "");
}

// --fix rewrites checksums of an EDID only; anything else keeps every byte and its length.
TEST_F(SgxctlFiles, FixTouchesOnlyAnEdidAndNeverALength)
{
    const std::string edid = edidWithAWrongChecksum();
    std::string tail;
    for (int i = 0; i < 40000 - 256; ++i)
        tail += static_cast<char>((i * 7919) >> 3);
    struct Case {
        const char *name;
        std::string bytes;
        int exitCode;
        std::string lastLine;
        int changed; // bytes the file differs in afterwards
    };
    const std::vector<Case> cases = {
        {"tail.bin", edid + tail, 1,
         "not fixed: the file is not an EDID (longer than 256 blocks); it is left as it was", 0},
        {"edid.bin", edid, 0, "now nothing is wrong", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        writeFile(path, c.bytes);
        const CtlRun r = sgxctl({"edid-check", path.string(), "--fix"});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1), c.lastLine + "\n");
        const std::string after = fileBytes(path);
        ASSERT_EQ(after.size(), c.bytes.size());
        int changed = 0;
        for (std::size_t i = 0; i < after.size(); ++i)
            changed += after[i] != c.bytes[i] ? 1 : 0;
        EXPECT_EQ(changed, c.changed);
    }
}

// A file sgxctl may not replace as it is (another's, linked twice, in a folder it may not
// write) is named with the reason and left as it was. CtlRun as nobody when the test runs as root,
// whom no permission stops.
TEST_F(SgxctlFiles, FixOfAFileThatCannotBeReplacedAsItIsLeavesIt)
{
    const bool root = ::geteuid() == 0;
    if (root && !othersMayRun(SGXCTL_PATH))
        GTEST_SKIP() << "nobody may not run " << SGXCTL_PATH;
    ::chmod(dir.c_str(), 0755);
    const fs::path locked = dir / "locked";
    const fs::path shared = dir / "shared";
    fs::create_directories(locked);
    fs::create_directories(shared);
    const std::string edid = edidWithAWrongChecksum();
    const fs::path inLocked = locked / "monitor.bin";
    const fs::path theirs = shared / "theirs.bin";
    const fs::path linked = shared / "linked.bin";
    for (const fs::path &p : {inLocked, theirs, linked}) {
        writeFile(p, edid);
        ::chmod(p.c_str(), 0666);
    }
    fs::create_hard_link(linked, shared / "other-name.bin");
    if (root) {
        ASSERT_EQ(::chown(theirs.c_str(), 12345, 12345), 0);
        for (const fs::path &p : {inLocked, linked, shared / "other-name.bin"})
            ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
    }
    ::chmod(locked.c_str(), 0555);
    ::chmod(shared.c_str(), 0777);

    struct Case {
        fs::path path;
        std::string reason;
    };
    std::vector<Case> cases = {
        {inLocked, "cannot create a file in " + locked.string() + " (Permission denied)"},
        {linked, "it has 2 hard links, which replacing it would split"},
    };
    if (root)
        cases.push_back({theirs, "cannot keep its owner 12345 and group 12345 (Operation not permitted)"});
    const auto asNobody = [root] {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(126);
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.string());
        struct stat before {};
        ASSERT_EQ(::stat(c.path.c_str(), &before), 0);
        const CtlRun r = sgxctl({"edid-check", c.path.string(), "--fix"}, asNobody);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err,
                  "Open file error: " + c.path.string() + ": " + c.reason + "; it is left as it was\n");
        struct stat after {};
        ASSERT_EQ(::stat(c.path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(fileBytes(c.path), edid);
    }
}

} // namespace
