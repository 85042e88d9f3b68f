// sgxctl with --port tcp://... through the real ser2net to sgx100-sim's pseudo-terminal, at real
// pacing: what the generator receives, and a server that goes away in the middle of an upload.
#include "ProcessCpu.h"
#include "Ser2netProcess.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

class SgxctlTerminalServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Ser2netProcess::program().isEmpty())
            GTEST_SKIP() << Ser2netProcess::missingMessage().toStdString();
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(server.start(sim.path())) << server.log().toStdString();
    }

    // Standard error without the progress lines.
    static QStringList messagesOf(QProcess &p)
    {
        QStringList out;
        for (const QString &line :
             QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts))
            if (!line.startsWith(QStringLiteral("progress ")))
                out << line;
        return out;
    }

    void run(QProcess &p, const QStringList &command)
    {
        p.start(QStringLiteral(SGXCTL_PATH), QStringList{"--port", server.address()} + command);
        ASSERT_TRUE(p.waitForFinished(60000));
    }

    SimProcess sim;
    Ser2netProcess server;
};

QByteArray commandLine(const char *text, int argument)
{
    return QByteArray(text) + QByteArray(" ") + char(argument) + QByteArray(" \n\r");
}

QByteArray framed(char value)
{
    return QByteArray(" ") + value + QByteArray(" ");
}

// A command through the server arrives whole and at its pace. (An EDID upload through it, at real
// pacing, runs beside the window's own in app_connection_tests.)
TEST_F(SgxctlTerminalServer, TimingArrivesWhole35MsApart)
{
    QProcess timing;
    run(timing, {"timing", "5"});
    EXPECT_EQ(timing.exitCode(), 0);
    EXPECT_EQ(messagesOf(timing), QStringList());
    const QByteArray timingBytes = commandLine("URTCNT", 0) + commandLine("TMIX", 1) + framed(4);
    EXPECT_EQ(sim.sentBytes().toHex(' '), timingBytes.toHex(' '));
    std::vector<double> at;
    for (const SimProcess::TracedByte &t : sim.trace())
        if (t.toGenerator)
            at.push_back(t.atMs);
    ASSERT_EQ(at.size(), 23u);
    // As received, through a server on a loaded machine: the median of the gaps within a line.
    std::vector<double> gaps;
    for (std::size_t i = 1; i < at.size(); ++i)
        if (at[i] - at[i - 1] < 200)
            gaps.push_back(at[i] - at[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    EXPECT_NEAR(gaps[gaps.size() / 2], 35.0, 3.0);
}

TEST_F(SgxctlTerminalServer, ServerGoneMidUploadEndsInNoResponseWithoutSpinning)
{
    QProcess p;
    p.setReadChannel(QProcess::StandardError);
    p.start(QStringLiteral(SGXCTL_PATH), {"--port", server.address(), "timings", "all"});
    ASSERT_TRUE(p.waitForStarted());
    // Into the payload: the first progress line.
    QByteArray err;
    while (!err.contains("progress") && p.waitForReadyRead(5000))
        err += p.readAllStandardError();
    ASSERT_TRUE(err.contains("progress")) << err.toStdString();
    server.stop();
    const double cpuAtStop = cpuSecondsOf(p.processId());
    QElapsedTimer sinceStop;
    sinceStop.start();
    double cpu = cpuAtStop;
    double seconds = 0;
    qint64 toldAfterMs = -1;
    while (!p.waitForFinished(100)) {
        err += p.readAllStandardError();
        if (toldAfterMs < 0 && err.contains("the terminal server closed the connection"))
            toldAfterMs = sinceStop.elapsed();
        const double now = cpuSecondsOf(p.processId());
        if (now >= 0) {
            cpu = now;
            seconds = static_cast<double>(sinceStop.elapsed()) / 1000.0;
        }
        ASSERT_LT(sinceStop.elapsed(), 15000);
    }
    err += p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.contains("No Response !!")) << err.toStdString();
    // The closed connection is said at once, long before the time-out.
    std::printf("the closed connection was told %lld ms after ser2net stopped\n",
                static_cast<long long>(toldAfterMs));
    EXPECT_GE(toldAfterMs, 0) << err.toStdString();
    EXPECT_LT(toldAfterMs, 3000);
    // No time-out is waited for on a line that cannot answer: the next step tick ends it, and
    // nothing spins meanwhile.
    EXPECT_LT(sinceStop.elapsed(), 3000);
    std::printf("after ser2net stopped: ended in %lld ms, %.3f s of CPU in %.2f s\n",
                static_cast<long long>(sinceStop.elapsed()), cpu - cpuAtStop, seconds);
    EXPECT_LT(cpu - cpuAtStop, 0.1);
    // Less than the whole payload reached the generator.
    EXPECT_LT(sim.sentBytes().size(),
              commandLine("URTCNT", 0).size() + commandLine("TMGS", 37).size() + 37 * 3);
}

// A server that cannot reach the generator says why in words: a device it cannot open, or a port
// another client has. The outcome is the presence check's own; the words follow it.
TEST(SgxctlTerminalServerWords, AMissingDeviceAndAHeldPortAreToldInTheServersWords)
{
    if (Ser2netProcess::program().isEmpty())
        GTEST_SKIP() << Ser2netProcess::missingMessage().toStdString();
    const auto check = [](const QString &address) {
        QProcess p;
        p.start(QStringLiteral(SGXCTL_PATH), {"--port", address, "check"});
        EXPECT_TRUE(p.waitForFinished(20000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), 3) << err.toStdString();
        return err;
    };
    Ser2netProcess missing;
    ASSERT_TRUE(missing.start(QStringLiteral("/nonexistent/sgx100"))) << missing.log().toStdString();
    // The words may come before the presence check's first character or after it (as its
    // answer): either way they are told, after the message if there is one.
    const QString err = check(missing.address());
    const qsizetype words =
        err.indexOf(QStringLiteral("the line answered: Device open failure: Value or file not found\n"));
    EXPECT_GE(words, 0) << err.toStdString();
    EXPECT_LT(err.indexOf(QStringLiteral("No Response !!")), words + 1) << err.toStdString();

    SimProcess sim;
    ASSERT_TRUE(sim.start());
    Ser2netProcess held;
    ASSERT_TRUE(held.start(sim.path())) << held.log().toStdString();
    QTcpSocket first;
    first.connectToHost(QHostAddress::LocalHost,
                        static_cast<quint16>(held.address().section(':', -1).toUInt()));
    ASSERT_TRUE(first.waitForConnected(3000));
    QThread::msleep(300);
    EXPECT_TRUE(check(held.address()).contains(QStringLiteral("the line answered: Port already in use\n")));
    EXPECT_TRUE(sim.sentBytes().isEmpty()) << "the generator heard nothing of it";
}

} // namespace
