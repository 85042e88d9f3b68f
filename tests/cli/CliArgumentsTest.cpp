#include "CliArguments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

CliParseResult parse(std::initializer_list<const char *> args)
{
    std::vector<std::string> v;
    for (const char *a : args)
        v.emplace_back(a);
    return parseCliArguments(v);
}

std::string writeTemp(const std::string &name, const std::string &text)
{
    const fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path) << text;
    return path.string();
}

TEST(CliArguments, OptionsBeforeTheCommand)
{
    struct Case {
        std::vector<std::string> args;
        std::string error{}; // empty: accepted, with the rest below
        int portNumber = 1;
        std::string portPath{};
        std::string tracePath{};
        bool quiet = false;
        int waitMs = 0;
    };
    const std::string comNumbers = "a COM number is 1 to 8";
    const std::vector<Case> cases = {
        {{"check"}, ""},
        {{"--port", "8", "check"}, "", 8},
        {{"--port=3", "check"}, "", 3},
        {{"--port", "/dev/pts/7", "default"}, "", 1, "/dev/pts/7"},
        {{"--port", "./9", "check"}, "", 1, "./9"},
        {{"--port=tcp://bench:4001", "check"}, "", 1, "tcp://bench:4001"},
        {{"--trace=t.txt", "--port", "3", "check"}, "", 3, "", "t.txt"},
        {{"-q", "--trace", "t.txt", "check"}, "", 1, "", "t.txt", true},
        {{"--port", "2", "--quiet", "check"}, "", 2, "", "", true},
        {{"--wait", "5", "check"}, "", 1, "", "", false, 5000},
        {{"--wait=2.5", "--port", "3", "check"}, "", 3, "", "", false, 2500},
        {{"--wait", "-1", "check"}, "--wait takes seconds"},
        {{"--wait", "86400.5", "check"}, "--wait takes seconds"},
        {{"--wait", "1", "--wait=2", "check"}, "--wait takes seconds"},
        {{"--port", "9", "check"},
         "--port 9: " + comNumbers + " (for a device of that name in this folder, give ./9)"},
        {{"--port", "0", "check"}, "--port 0: " + comNumbers},
        {{"--port", "caf\xE9", "check"}, "--port caf\\xE9: the name is not valid UTF-8; refused"},
        {{"--port", "tty\n1", "check"}, "", 1, "tty\n1"},
        {{"--bogus", "x", "check"}, "unknown option --bogus; sgxctl --help lists the options"},
        {{"-x", "check"}, "unknown option -x; sgxctl --help lists the options"},
        {{"--port", "2", "--help"}, "--help stands alone: sgxctl --help"},
        {{"--quiet=yes", "check"}, "--quiet takes no value"},
        {{"--port"}, "--port needs"},
        {{"--port=", "check"}, "--port needs"},
        {{"--port", "2"}, "no command given"},
        {{"--port", "1", "--port", "2", "check"}, "--port needs"},
        {{"--trace", "check"}, "no command given"},
        {{"--trace", "a", "--trace=b", "check"}, "--trace needs a file name, once"},
        {{"frob"}, "unknown command frob; sgxctl --help lists the commands"},
    };
    for (const Case &c : cases) {
        const CliParseResult r = parseCliArguments(c.args);
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        if (!c.error.empty()) {
            EXPECT_FALSE(r.request);
            EXPECT_EQ(r.error.rfind(c.error, 0), 0u) << r.error;
            continue;
        }
        ASSERT_TRUE(r.request) << r.error;
        EXPECT_EQ(r.request->portNumber, c.portNumber);
        EXPECT_EQ(r.request->portPath, c.portPath);
        EXPECT_EQ(r.request->tracePath, c.tracePath);
        EXPECT_EQ(r.request->quiet, c.quiet);
        EXPECT_EQ(r.request->waitMs, c.waitMs);
    }
}

TEST(CliArguments, SweepListsDwellAndKeepGoing)
{
    auto r = parse({"sweep", "--dwell", "2.5"});
    ASSERT_TRUE(r.request && r.request->sweep);
    EXPECT_EQ(r.request->sweep->timings.size(), 35u);
    EXPECT_EQ(r.request->sweep->patterns.size(), 39u);
    EXPECT_EQ(r.request->sweep->dwellMs, 2500);
    EXPECT_FALSE(r.request->sweep->keepGoing);
    r = parse({"sweep", "--patterns", "13,1", "--keep-going", "--timings", "12", "--dwell", "0"});
    ASSERT_TRUE(r.request && r.request->sweep);
    EXPECT_EQ(r.request->sweep->timings, std::vector<int>{12});
    EXPECT_EQ(r.request->sweep->patterns, (std::vector<int>{13, 1}));
    EXPECT_TRUE(r.request->sweep->keepGoing);
    for (const auto &bad :
         std::vector<std::vector<const char *>>{{"sweep"},
                                                {"sweep", "--dwell"},
                                                {"sweep", "--dwell", "-1"},
                                                {"sweep", "--dwell", "1.2345"},
                                                {"sweep", "--dwell", "1."},
                                                {"sweep", "--dwell", "90000"},
                                                {"sweep", "--dwell", "1", "--timings", "36"},
                                                {"sweep", "--dwell", "1", "--fast"}}) {
        std::vector<std::string> args(bad.begin(), bad.end());
        EXPECT_FALSE(parseCliArguments(args).request) << args.back();
    }
}

TEST(CliArguments, IndexesCountFromOneOnTheCommandLine)
{
    auto r = parse({"timing", "5"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(r.request->operation, Operation::TMIX);
    EXPECT_EQ(r.request->values.currentTimingIndex, 4);
    r = parse({"pattern", "39"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(r.request->values.currentPatternIndex, 38);
    for (auto bad : {"0", "36", "-1", "5x", "", " "})
        EXPECT_FALSE(parse({"timing", bad}).request) << bad;
    EXPECT_FALSE(parse({"pattern", "40"}).request);
    EXPECT_FALSE(parse({"timing"}).request);
    EXPECT_FALSE(parse({"timing", "1", "2"}).request);
    EXPECT_FALSE(parse({"frobnicate"}).request);
}

TEST(CliArguments, Selections)
{
    auto r = parse({"timings", "1,3"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(r.request->operation, Operation::TMGS);
    std::array<std::uint8_t, kTimingCount> expected{};
    expected[0] = expected[2] = 1;
    EXPECT_EQ(r.request->values.timingSelection, expected);
    r = parse({"patterns", "all"});
    ASSERT_TRUE(r.request);
    for (std::uint8_t f : r.request->values.patternSelection)
        EXPECT_EQ(f, 1);
    for (auto bad : {"", ",", "1,,2", "1,40", "a", "1,"})
        EXPECT_FALSE(parse({"patterns", bad}).request) << bad;
}

TEST(CliArguments, ProgramFile)
{
    const auto path = writeTemp("sgxctl-program.txt", "# warm-up\n\n7, 1, s, 3\n 3,2,m,59  # red\n");
    auto r = parse({"program", path.c_str()});
    ASSERT_TRUE(r.request) << r.error;
    EXPECT_EQ(r.request->operation, Operation::ATRN);
    const auto &image = r.request->values.ProgramUploadImage;
    EXPECT_EQ((std::array<int, 4>{image[0], image[32], image[64], image[96]}),
              (std::array<int, 4>{6, 0, 0, 3}));
    EXPECT_EQ((std::array<int, 4>{image[1], image[33], image[65], image[97]}),
              (std::array<int, 4>{2, 1, 1, 59}));
    EXPECT_EQ(image[2], 255);

    struct Bad {
        const char *text;
        const char *reason;
    };
    for (const Bad &b : {Bad{"36,1,s,3\n", "timing must be 1 to 35"}, Bad{"1,1,h,3\n", "unit must be s or m"},
                         Bad{"1,1,s,0\n", "show time must be 1 to 59"}, Bad{"1,1,s\n", "expected"},
                         Bad{"# nothing\n", "There is no legal item"}}) {
        const auto bad = writeTemp("sgxctl-bad.txt", b.text);
        r = parse({"program", bad.c_str()});
        EXPECT_FALSE(r.request) << b.text;
        EXPECT_NE(r.error.find(b.reason), std::string::npos) << r.error;
    }
    std::string tooLong;
    for (int i = 0; i < 33; ++i)
        tooLong += "1,1,s,3\n";
    const auto longPath = writeTemp("sgxctl-long.txt", tooLong);
    EXPECT_FALSE(parse({"program", longPath.c_str()}).request);
    EXPECT_FALSE(parse({"program", "/nonexistent/program.txt"}).request);

    // A name in no encoding at all is the file of exactly those bytes.
    const auto latin1 = writeTemp("sgxctl-caf\xE9.txt", "5,5,s,5\n");
    r = parse({"program", latin1.c_str()});
    ASSERT_TRUE(r.request) << r.error;
    EXPECT_EQ(r.request->values.ProgramUploadImage[0], 4);
    fs::remove(latin1);
}

// "program -" with standard input read from a file holding text.
CliParseResult programFromStandardInput(const std::string &text)
{
    const std::string path = writeTemp("sgxctl-stdin.txt", text);
    const int saved = ::dup(STDIN_FILENO);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::dup2(fd, STDIN_FILENO);
    ::close(fd);
    CliParseResult r = parseCliArguments({"program", "-"});
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    return r;
}

TEST(CliArguments, ProgramFromStandardInputIsBoundedAsAFileIs)
{
    CliParseResult r = programFromStandardInput("7, 1, s, 3\n");
    ASSERT_TRUE(r.request) << r.error;
    EXPECT_EQ(r.request->values.ProgramUploadImage[0], 6);
    r = programFromStandardInput("\n36,1,s,3\n");
    EXPECT_EQ(r.error, "standard input:2: timing must be 1 to 35");
    r = programFromStandardInput("1,1,s,3\n" + std::string(1024 * 1024, '#'));
    EXPECT_EQ(r.error, "cannot read the program from standard input: more than a program file's 1 MiB");
    EXPECT_TRUE(r.fileProblem);
}

TEST(CliArguments, TraceNamesOneFileToShow)
{
    const auto r = parse({"trace", "line.txt"});
    ASSERT_TRUE(r.request) << r.error;
    EXPECT_EQ(r.request->shownTracePath, "line.txt");
    EXPECT_EQ(parse({"trace"}).error, "trace takes: FILE");
    EXPECT_EQ(parse({"trace", "a.txt", "b.txt"}).error, "trace takes: FILE");
}

TEST(CliArguments, EdidFiles)
{
    const std::string sample = std::string(SGX_TEST_DATA) + "/dell-2408wfp-dp.bin";
    auto r = parse({"edid-upload", sample.c_str()});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(r.request->values.EdidBuffer[0], 0x00);
    EXPECT_EQ(r.request->values.EdidBuffer[1], 0xFF);
    EXPECT_EQ(r.request->values.EdidBuffer[200], 0x00); // past a 128-byte file: still zero
    r = parse({"edid-upload", "/nonexistent.bin"});
    EXPECT_FALSE(r.request);
    EXPECT_EQ(r.error, "Open file error: /nonexistent.bin: No such file or directory");
    EXPECT_TRUE(r.fileProblem);
    const std::string out = (fs::temp_directory_path() / "sgxctl-edid-read.bin").string();
    fs::remove(out);
    r = parse({"edid-read", out.c_str()});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(r.request->edidOutputPath, out);
    EXPECT_FALSE(fs::exists(out)) << "asking whether it can be written leaves nothing";
}

} // namespace
