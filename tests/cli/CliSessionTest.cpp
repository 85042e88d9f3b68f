// sgxctl's session (connect, presence, the command, the exit status) on the emulator's engine and
// a virtual clock: every command and fault in milliseconds. sgxctl as a process on a real line is
// tested once per family in SgxctlEndToEndTest.
#include "CliSession.h"
#include "CliArguments.h"
#include "EngineSerialPort.h"
#include "LinkHarness.h"
#include "SimOptions.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    Lines messages;
};

SimFaults faultsOf(const std::vector<std::string> &simArgs)
{
    SimOptions options;
    std::string error;
    EXPECT_TRUE(parseSimOptions(simArgs, options, error)) << error;
    return options.faults;
}

Bytes fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool contains(const Bytes &haystack, const Bytes &needle)
{
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// One generator (the engine, with the faults sgx100-sim would take) and any number of sgxctl runs
// against it, as from a shell.
struct Generator : BasicLinkHarness<EngineSerialPort> {
    explicit Generator(const std::vector<std::string> &simArgs = {}) : BasicLinkHarness(faultsOf(simArgs)) {}

    CliRun sgxctl(const std::vector<std::string> &args)
    {
        CliParseResult parsed = parseCliArguments(args);
        EXPECT_TRUE(parsed.request) << parsed.error;
        CliRun run;
        if (!parsed.request)
            return run;
        const CliRequest &request = *parsed.request;
        values = request.values;
        ui.events.clear();
        ui.progressValues.clear();
        char *text = nullptr;
        std::size_t length = 0;
        std::FILE *out = ::open_memstream(&text, &length);
        char *errText = nullptr;
        std::size_t errLength = 0;
        std::FILE *err = ::open_memstream(&errText, &errLength);
        {
            CliSession session(
                request, values, link, clock,
                [&](int status) {
                    run.status = status;
                    link.closeDown();
                },
                out, err);
            session.start(PortChoice::named(1, QStringLiteral("/dev/engine"), QStringLiteral("1")));
            for (int i = 0; i < 100000 && run.status < 0; ++i)
                this->run(100);
        }
        std::fclose(out);
        std::fclose(err);
        run.out.assign(text, length);
        run.err.assign(errText, errLength);
        std::free(text);
        std::free(errText);
        run.messages = ui.messages();
        return run;
    }

    [[nodiscard]] Bytes sent() const
    {
        Bytes bytes;
        for (const auto &w : port.written())
            bytes.push_back(w.byte);
        return bytes;
    }
};

TEST(CliSession, PresenceAndItsAbsence)
{
    Generator present;
    EXPECT_EQ(present.sgxctl({"check"}).out, "Exist\n");
    EXPECT_EQ(present.sgxctl({"check"}).status, CliSession::Done);

    for (const auto &faults : {std::vector<std::string>{"--silent"}, {"--no-ok"}}) {
        Generator absent(faults);
        const CliRun r = absent.sgxctl({"timing", "1"});
        EXPECT_EQ(r.status, CliSession::Absent) << faults[0];
        EXPECT_EQ(r.out, "Not Exist\n");
        EXPECT_EQ(absent.sent(), commandLine("URTCNT", 0)) << "nothing but the presence check";
    }
}

TEST(CliSession, UploadsCarryTheirTablesAndSucceed)
{
    Generator g;
    CliRun r = g.sgxctl({"timings", "1,3"});
    EXPECT_EQ(r.status, CliSession::Done);
    EXPECT_EQ(r.messages, Lines{"Upload successful!!"});
    EXPECT_EQ(g.ui.progressValues.back(), 100);
    Bytes payload = concat({framed(0x23), framed(1), framed(0), framed(1)});
    for (int i = 0; i < 32; ++i)
        payload = concat({payload, framed(0)});
    EXPECT_TRUE(contains(g.sent(), concat({commandLine("TMGS", 0x25), payload, framed(0xDB)})));

    r = g.sgxctl({"patterns", "all"});
    EXPECT_EQ(r.messages, Lines{"Upload successful!!"});
    EXPECT_TRUE(contains(g.sent(), concat({commandLine("PTNS", 41), framed(39), framed(1)})));
    r = g.sgxctl({"default"});
    EXPECT_EQ(r.status, CliSession::Done);
    EXPECT_EQ(r.messages, Lines{"Upload Successful!!"});

    QTemporaryDir dir;
    const std::string program = dir.filePath("show.txt").toStdString();
    std::ofstream(program) << "# two steps\n6,3,s,5\n10,1,m,2\n";
    r = g.sgxctl({"program", program});
    EXPECT_EQ(r.messages, Lines{"Upload successful!!"});
    Bytes rows =
        concat({framed(5), framed(2), framed(0), framed(5), framed(9), framed(0), framed(1), framed(2)});
    for (int i = 0; i < 30 * 4; ++i)
        rows = concat({rows, framed(0xFF)});
    EXPECT_TRUE(contains(g.sent(), concat({commandLine("ATRN", 130), framed(32), rows})));
    EXPECT_EQ(g.port.engine().state().program[0], 5);
    EXPECT_EQ(g.port.engine().state().protocolErrors, 0);
}

TEST(CliSession, EdidUploadWriteAndReadBack)
{
    Generator g;
    const std::string sample = SGX_TEST_DATA "/dell-2408wfp-dp.bin";
    CliRun r = g.sgxctl({"edid-upload", sample});
    EXPECT_EQ(r.status, CliSession::Done);
    EXPECT_EQ(r.messages, Lines{"Upload successful!!"});
    EXPECT_EQ(g.ui.progressValues.back(), 100);
    r = g.sgxctl({"edid-write"});
    EXPECT_EQ(r.messages, Lines{"Write EDID successful!!"});
    EXPECT_EQ(g.ui.progressValues, (std::vector<int>{0, 50, 100}));

    QTemporaryDir dir;
    const std::string back = dir.filePath("back.bin").toStdString();
    r = g.sgxctl({"edid-read", back});
    ASSERT_EQ(r.status, CliSession::Done);
    EXPECT_EQ(r.messages, Lines{"  Read EDID Successful!!  "});
    // A 128-byte file fills the first half; the rest of the uploaded image was zero.
    Bytes image = fileBytes(sample);
    image.resize(256, 0);
    EXPECT_EQ(fileBytes(back), image);
    Bytes requests = commandLine("REDID", 0);
    for (int offset = 0; offset < 256; offset += 32)
        requests = concat({requests, framed(offset)});
    EXPECT_TRUE(contains(g.sent(), requests));
    Bytes upload = commandLine("UEDID", 255);
    for (std::uint8_t b : image)
        upload = concat({upload, framed(b)});
    EXPECT_TRUE(contains(g.sent(), upload));
}

TEST(CliSession, FaultsEndInTheirOutcome)
{
    QTemporaryDir dir;
    const std::string out = dir.filePath("read.bin").toStdString();
    struct Case {
        std::vector<std::string> sim;
        std::vector<std::string> command;
        int status;
        Lines messages;
    };
    for (const Case &c : {
             Case{{"--no-ok", "--faults-from", "2"}, {"default"}, CliSession::Failed, {"Error!!"}},
             Case{{"--garbage", "--faults-from", "2"}, {"timing", "7"}, CliSession::Failed, {"Error!!"}},
             Case{{"--long-answer"}, {"timing", "2"}, CliSession::Done, {}},
             Case{{"--no-final"}, {"timing", "3"}, CliSession::Failed, {"No Response !!"}},
             Case{{"--delay", "300"}, {"timing", "35"}, CliSession::Done, {}},
             Case{{"--split-ok"}, {"timing", "35"}, CliSession::Done, {}},
             Case{{"--malformed-block", "3"}, {"edid-read", out}, CliSession::Failed, {"Error!!"}},
         }) {
        Generator g(c.sim);
        const CliRun r = g.sgxctl(c.command);
        EXPECT_EQ(r.status, c.status) << c.sim[0] << " " << r.out;
        EXPECT_EQ(r.messages, c.messages) << c.sim[0];
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out))) << "a read that failed writes no file";
}

TEST(CliSession, SweepRunsEveryPairInOrderAndStopsAtAFailure)
{
    const std::vector<std::string> sweep = {"sweep", "--timings", "1,12", "--patterns",
                                            "1,13",  "--dwell",   "0.2"};
    Generator g;
    CliRun r = g.sgxctl(sweep);
    EXPECT_EQ(r.status, 0);
    Lines pairs;
    for (std::size_t at = 0, end = 0; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = r.out.substr(at, end - at);
        pairs.push_back(line.substr(line.find('\t') + 1)); // past the time stamp
    }
    EXPECT_EQ(pairs, (Lines{"1\t640x480-60\t1\tWhite\tok", "1\t640x480-60\t13\tColor Bar\tok",
                            "12\t1024x768-75\t1\tWhite\tok", "12\t1024x768-75\t13\tColor Bar\tok"}));
    Bytes expected = commandLine("URTCNT", 0);
    for (int timing : {0, 11})
        for (int pattern : {0, 12})
            expected = concat(
                {expected, commandLine("TMIX", 1), framed(timing), commandLine("PTIX", 1), framed(pattern)});
    EXPECT_EQ(g.sent(), expected);

    // Silent from the fourth command line on: the second pair's timing goes unanswered, and the
    // line names the run and its outcome.
    Generator silent({"--silent", "--faults-from", "4"});
    r = silent.sgxctl(sweep);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
    EXPECT_NE(r.out.find("\tTMIX: no response\n"), std::string::npos) << r.out;
}

TEST(CliSession, QuietLeavesOutProgressButNotMessages)
{
    Generator g;
    for (const bool quiet : {false, true}) {
        const CliRun r = g.sgxctl(quiet ? std::vector<std::string>{"--quiet", "timings", "1"}
                                        : std::vector<std::string>{"timings", "1"});
        EXPECT_EQ(r.err.find("progress 100\n") != std::string::npos, !quiet) << r.err;
        EXPECT_NE(r.err.find("Upload successful!!\n"), std::string::npos);
    }
}

} // namespace
