// sgxcontrol's command line: read before any window, and the program's answers to it.
#include "ProgramOptions.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

TEST(ProgramOptions, TraceHelpVersionAndWhatIsLeftForQt)
{
    struct Row {
        std::vector<std::string> args;
        std::string error;
        std::string trace;
        bool help;
        bool version;
        std::vector<std::string> rest;
    };
    const std::vector<Row> rows = {
        {{}, "", "", false, false, {}},
        {{"--trace", "t.txt", "-platform", "offscreen"},
         "",
         "t.txt",
         false,
         false,
         {"-platform", "offscreen"}},
        {{"-h"}, "", "", true, false, {}},
        {{"--version", "--help"}, "", "", true, true, {}},
        {{"--trace"}, "--trace needs a file name, once", "", false, false, {}},
        {{"--trace", "--help"}, "--trace needs a file name, once", "", false, false, {}},
        {{"--trace", "a", "--trace", "b"}, "--trace needs a file name, once", "a", false, false, {}},
    };
    for (const Row &row : rows) {
        ProgramOptions options;
        std::string error;
        const std::string where = row.args.empty() ? "(none)" : row.args.front();
        EXPECT_EQ(parseProgramOptions(row.args, options, error), row.error.empty()) << where;
        EXPECT_EQ(error, row.error) << where;
        EXPECT_EQ(options.tracePath, row.trace) << where;
        EXPECT_EQ(options.help, row.help) << where;
        EXPECT_EQ(options.version, row.version) << where;
        EXPECT_EQ(options.rest, row.rest) << where;
        EXPECT_FALSE(options.connect) << where;
    }
    ProgramOptions connect;
    std::string error;
    EXPECT_TRUE(parseProgramOptions({"-platform", "offscreen", "--connect"}, connect, error)) << error;
    EXPECT_TRUE(connect.connect);
    EXPECT_EQ(connect.rest, (std::vector<std::string>{"-platform", "offscreen"}));
}

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun sgxcontrol(const QStringList &args)
{
    QProcess p;
    // No display: --help and --version must not need one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SGXCONTROL_PATH), args);
    if (!p.waitForFinished(20000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(ProgramOptions, TheProgramAnswersWithoutADisplay)
{
    ProgramRun r = sgxcontrol({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("sgxcontrol " SGX_VERSION "\n"));

    r = sgxcontrol({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char *said : {"SGX100_COM1", "/dev/ttyS<n-1>", "--connect", "--trace FILE", "dialout"})
        EXPECT_TRUE(r.out.contains(QLatin1String(said))) << said;

    QTemporaryDir dir;
    // Refused at start, with the reason sgxctl gives.
    for (const auto &[path, reason] :
         {std::pair{dir.filePath("missing/trace.txt"), QStringLiteral("No such file or directory")},
          std::pair{dir.path(), QStringLiteral("a folder, not a file")}}) {
        r = sgxcontrol({"--trace", path});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err.section('\n', 0, 0), "sgxcontrol: cannot write the trace: " + path + ": " + reason);
    }
    EXPECT_EQ(sgxcontrol({"--trace"}).exitCode, 2);

    // Qt's own options are Qt's; anything else is refused.
    r = sgxcontrol({"--frobnicate", "-platform", "offscreen"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("unknown argument --frobnicate")) << r.err.toStdString();
}

} // namespace
