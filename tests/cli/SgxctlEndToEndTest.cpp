// sgxctl against sgx100-sim on a real pseudo-terminal, at real pacing.
#include "LockFile.h"
#include "ProcessCpu.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QThread>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace {

struct CtlRun {
    int exitCode = -1;
    QString out;
    QStringList messages; // standard error, one line each
    qint64 elapsedMs = 0;
};

// fileSizeLimit > 0: no file sgxctl writes may grow past that many bytes, as on a full disk.
// asNobody: run as the unprivileged user nobody (the test must run as root for that).
CtlRun sgxctl(const QStringList &args, rlim_t fileSizeLimit = 0, bool asNobody = false)
{
    QProcess p;
    p.setChildProcessModifier([fileSizeLimit, asNobody] {
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = fileSizeLimit;
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(125);
    });
    QElapsedTimer timer;
    timer.start();
    p.start(QStringLiteral(SGXCTL_PATH), args);
    p.waitForFinished(120000);
    CtlRun r;
    r.elapsedMs = timer.elapsed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.messages = QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return r;
}

// Whether anyone may run the program at path: it and every folder above it searchable by others.
bool othersMayRun(const QString &path)
{
    for (QString at = QFileInfo(path).absoluteFilePath();; at = QFileInfo(at).path()) {
        struct stat info {};
        if (::stat(at.toLocal8Bit().constData(), &info) != 0 || (info.st_mode & S_IXOTH) == 0)
            return false;
        if (at == QStringLiteral("/"))
            return true;
    }
}

QStringList withoutProgress(const QStringList &lines)
{
    QStringList out;
    for (const QString &l : lines)
        if (!l.startsWith("progress "))
            out << l;
    return out;
}

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex(' ').toUpper();
}

QByteArray commandLine(const char *text, int argument)
{
    QByteArray line(text);
    line.append(char(0x20)).append(char(argument)).append(char(0x20)).append(char(0x0A)).append(char(0x0D));
    return line;
}

QByteArray framed(int value)
{
    return QByteArray().append(char(0x20)).append(char(value)).append(char(0x20));
}

class SgxctlEndToEnd : public ::testing::Test {
protected:
    void startSim(const QStringList &flags = {}) { ASSERT_TRUE(sim.start(flags)); }
    QStringList port() const { return {"--port", sim.path()}; }
    SimProcess sim;
};

TEST_F(SgxctlEndToEnd, RunTimingPutsExactBytesOnTheLinePaced)
{
    startSim();
    QTemporaryDir dir;
    const QString tracePath = dir.filePath("t.txt");
    const CtlRun r = sgxctl(QStringList{"--trace", tracePath} + port() + QStringList{"timing", "5"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(withoutProgress(r.messages).isEmpty()) << r.messages.join('|').toStdString();
    const QByteArray expected = commandLine("URTCNT", 0) + commandLine("TMIX", 1) + framed(4);
    EXPECT_EQ(hex(sim.sentBytes()), hex(expected));

    // sgxctl's own trace: the same 23 bytes out, 35 ms apart, and the answers in.
    QByteArray out;
    QByteArray in;
    std::vector<double> sentAt;
    for (const ByteTrace::Byte &b : ByteTrace::read(tracePath.toStdString())) {
        if (b.direction == ByteTrace::Direction::ToGenerator) {
            out.append(static_cast<char>(b.value));
            sentAt.push_back(b.atMs);
        } else {
            in.append(static_cast<char>(b.value));
        }
    }
    EXPECT_EQ(hex(out), hex(expected));
    EXPECT_EQ(in.count("OK"), 3) << in.toStdString();
    ASSERT_EQ(sentAt.size(), 23u);
    // Where the pacing is made, a gap is never short, whatever else the machine is doing (a
    // descheduled writer can only make one longer); the median says it is not long either.
    std::vector<double> written;
    for (std::size_t i = 1; i < sentAt.size(); ++i)
        if (sentAt[i] - sentAt[i - 1] < 200)
            written.push_back(sentAt[i] - sentAt[i - 1]);
    std::sort(written.begin(), written.end());
    EXPECT_GE(written.front(), 34.5);
    EXPECT_LE(written[written.size() / 2], 37.0);
    EXPECT_EQ(sgxctl({"--trace", "--port", sim.path(), "check"}).exitCode, 2);

    // A trace that fills the disk: the command is done, but the run fails and says why.
    const CtlRun full = sgxctl(QStringList{"--trace", tracePath} + port() + QStringList{"check"}, 100);
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_EQ(full.out.trimmed(), "Exist");
    EXPECT_EQ(full.messages, QStringList{"the trace is incomplete: " + tracePath + ": File too large"});

    // Spacing inside one command line, as the generator saw it: two characters read at once by a
    // loaded machine show as a short gap and a long one, so only the median counts.
    std::vector<double> gaps;
    const auto trace = sim.trace();
    double previous = -1;
    for (const auto &t : trace) {
        if (!t.toGenerator)
            continue;
        if (previous >= 0 && t.atMs - previous < 200)
            gaps.push_back(t.atMs - previous);
        previous = t.atMs;
    }
    ASSERT_GE(gaps.size(), 15u);
    std::sort(gaps.begin(), gaps.end());
    EXPECT_NEAR(gaps[gaps.size() / 2], 35.0, 3.0);
}

TEST_F(SgxctlEndToEnd, CheckReportsPresence)
{
    startSim();
    const CtlRun r = sgxctl(port() + QStringList{"check"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.trimmed(), "Exist");
}

TEST_F(SgxctlEndToEnd, WaitsForItsPortToAppear)
{
    // The emulator's device turns up under the name asked for a second after the start, as an
    // adapter's by-id name does once it is plugged in.
    startSim();
    QTemporaryDir dir;
    const QString link = dir.filePath("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    QProcess late;
    late.start(QStringLiteral(SGXCTL_PATH), {"--port", link, "--wait", "60", "check"});
    ASSERT_TRUE(late.waitForStarted(5000));
    QThread::msleep(1000);
    ASSERT_TRUE(QFile::link(sim.path(), link));
    ASSERT_TRUE(late.waitForFinished(60000));
    EXPECT_EQ(late.exitCode(), 0);
    EXPECT_EQ(QString::fromLocal8Bit(late.readAllStandardOutput()).trimmed(), "Exist");
    EXPECT_EQ(QString::fromLocal8Bit(late.readAllStandardError()).trimmed(),
              "waiting up to 60 s for " + link);

    // One that never comes fails as it would have without waiting.
    const QString gone = dir.filePath("ttyUSB9");
    const CtlRun never = sgxctl({"--port", gone, "--wait", "0.5", "check"});
    EXPECT_EQ(never.exitCode, 3);
    EXPECT_EQ(never.messages, (QStringList{"waiting up to 0.5 s for " + gone,
                                           "Open COM Port " + gone + " fail !!", gone + ": not found"}));
}

TEST_F(SgxctlEndToEnd, AnUnopenablePortSaysWhichDeviceAndWhy)
{
    // Missing: the message names the path that was tried, and the line under it why.
    CtlRun r = sgxctl({"--port", "/nonexistent/tty", "check"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.messages,
              (QStringList{"Open COM Port /nonexistent/tty fail !!", "/nonexistent/tty: not found"}));
    EXPECT_EQ(r.out.trimmed(), "Not Exist");
    // A COM number is named by its number, the device under it.
    qputenv("SGX100_COM2", "/nonexistent/com2");
    r = sgxctl({"--port", "2", "check"});
    qunsetenv("SGX100_COM2");
    EXPECT_EQ(r.messages, (QStringList{"Open COM Port 2 fail !!", "/nonexistent/com2: not found"}));

    // Held by another sgxctl, which is uploading an EDID on it.
    startSim();
    QProcess holder;
    holder.start(QStringLiteral(SGXCTL_PATH),
                 port() + QStringList{"edid-upload", SGX_TEST_DATA "/dell-2408wfp-dp.bin"});
    QElapsedTimer waited;
    waited.start();
    const auto uploading = [&] {
        const QByteArray sent = sim.sentBytes();
        return sent.contains("UEDID") && sent.size() - sent.indexOf("UEDID") > 40;
    };
    while (!uploading() && waited.elapsed() < 10000)
        QThread::msleep(50);
    ASSERT_TRUE(uploading());
    r = sgxctl(port() + QStringList{"check"});
    const QString heldBy =
        QStringLiteral(": already in use by another program (process %1)").arg(holder.processId());
    EXPECT_EQ(r.messages, (QStringList{"Open COM Port " + sim.path() + " fail !!", sim.path() + heldBy}));
    // By a second name of the same device, which its lock file does not cover: refused all the
    // same, before anything is sent.
    QTemporaryDir dir;
    const QString byId = dir.filePath(QStringLiteral("usb-SGX_100-if00"));
    ASSERT_TRUE(QFile::link(sim.path(), byId));
    r = sgxctl({"--port", byId, "check"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.messages.value(1), byId + heldBy);
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(sim.sentBytes().count("URTCNT"), 1) << "only the holder's presence check reached the generator";
    const QByteArray heard = sim.sentBytes();
    // Held by another kind of program, with flock(1) as terminal programs do.
    QProcess flock;
    flock.start(QStringLiteral("flock"), {sim.path(), QStringLiteral("sleep"), QStringLiteral("30")});
    ASSERT_TRUE(flock.waitForStarted());
    QThread::msleep(300);
    r = sgxctl(port() + QStringList{"check"});
    flock.kill();
    flock.waitForFinished();
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.messages.value(1).startsWith(sim.path() + ": already in use by another program (process "))
        << r.messages.join('|').toStdString();
    EXPECT_EQ(sim.sentBytes(), heard) << "the generator heard nothing from the refused";

    // A user outside the group the device belongs to: the reason names the group and how to join.
    if (::geteuid() != 0 || !othersMayRun(SGXCTL_PATH))
        GTEST_SKIP() << "needs root, and that nobody may run " << SGXCTL_PATH;
    const group *dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(sim.path().toLocal8Bit().constData(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(sim.path().toLocal8Bit().constData(), 0660), 0);
    r = sgxctl(port() + QStringList{"check"}, 0, true);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.messages.value(1), sim.path() +
                                       ": permission denied: the device belongs to the group dialout, "
                                       "which you are not in: sudo usermod -aG dialout $USER, then "
                                       "log out and in again");
}

TEST_F(SgxctlEndToEnd, BadArgumentsAndFilesExitTwoWithoutTouchingThePort)
{
    EXPECT_EQ(sgxctl({"timing", "36"}).exitCode, 2);
    EXPECT_EQ(sgxctl({"nonsense"}).exitCode, 2);
    const CtlRun r = sgxctl({"edid-upload", "/nonexistent.bin"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.messages, QStringList{"Open file error: /nonexistent.bin: No such file or directory"});
}

TEST_F(SgxctlEndToEnd, ReadEdidThatCannotBeSavedLeavesTheOldFileAndTheGeneratorAlone)
{
    startSim();
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.bin");
    const QByteArray old(256, '\x5A');
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    // A disk with room for 100 bytes, then a folder that cannot exist: both found before the
    // generator is asked for anything.
    CtlRun r = sgxctl(port() + QStringList{"edid-read", kept}, 100);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.messages, QStringList{"Open file error: " + kept + ": cannot write it (File too large)"});
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(hex(file.readAll()), hex(old));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.bin"});

    r = sgxctl(port() + QStringList{"edid-read", kept + "/read.bin"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.messages,
              QStringList{"Open file error: " + kept + "/read.bin: the folder " + kept + " does not exist"});
    EXPECT_TRUE(sim.sentBytes().isEmpty()) << sim.sentBytes().toStdString();
}

// Both kinds of hang-up: reads that fail, and reads that return end-of-file because the far end
// closed while the device stayed open (as a bridge or a closed pseudo-terminal master gives).
class SgxctlHangUp : public SgxctlEndToEnd, public ::testing::WithParamInterface<const char *> {};

TEST_P(SgxctlHangUp, EndsWithNoResponseWithoutSpinning)
{
    startSim(QString::fromLatin1(GetParam()).split(' '));
    QProcess p;
    p.start(QStringLiteral(SGXCTL_PATH), port() + QStringList{"timing", "1"});
    ASSERT_TRUE(p.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    double cpu = 0;
    double seconds = 0;
    while (!p.waitForFinished(200)) {
        const double now = cpuSecondsOf(p.processId());
        if (now >= 0) {
            cpu = now;
            seconds = static_cast<double>(timer.elapsed()) / 1000.0;
        }
        ASSERT_LT(timer.elapsed(), 60000);
    }
    EXPECT_EQ(p.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_TRUE(err.contains("No Response !!")) << err.toStdString();
    EXPECT_TRUE(err.contains("the far end closed the line")) << err.toStdString();
    // Said at once and ended at the next step tick, not after a time-out, and nothing spun.
    EXPECT_LT(seconds, 3.0);
    EXPECT_LT(cpu, 0.1) << cpu << " s of CPU in " << seconds << " s";
}

// Once the presence check has passed, the line dies after Run Timing's acknowledgment and the
// device stays open, so reads see end-of-file (as from a bridge, or a closed pseudo-terminal
// master): the framed byte cannot go out, and the run ends in "No Response !!" without spinning.
// (A line closed outright is the window's test; a hang-up mid-payload is the engine's, in-process.)
INSTANTIATE_TEST_SUITE_P(Kinds, SgxctlHangUp,
                         ::testing::Values("--hang-up-after-ack --keep-slave --faults-from 2"));

TEST_F(SgxctlEndToEnd, CtrlCEndsASweepCleanly)
{
    startSim();
    QProcess p;
    p.start(QStringLiteral(SGXCTL_PATH),
            port() + QStringList{"sweep", "--timings", "1,2,3", "--patterns", "1", "--dwell", "3"});
    ASSERT_TRUE(p.waitForStarted());
    // Into the first pair's dwell.
    ASSERT_TRUE(p.waitForReadyRead(10000));
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 130);
    EXPECT_EQ(QString::fromLocal8Bit(p.readAllStandardOutput()).count('\n'), 1);
    EXPECT_TRUE(
        QString::fromLocal8Bit(p.readAllStandardError()).contains("stopped after 1 of 3 pairs, 0 failed"));
}

TEST(SgxctlSignals, EndingMidUploadClosesThePortAndLeavesNoLockFile)
{
    for (const auto &[signal, name] :
         {std::pair{SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}}) {
        SCOPED_TRACE(name);
        SimProcess sim;
        ASSERT_TRUE(sim.start());
        QProcess p;
        p.setReadChannel(QProcess::StandardError);
        p.start(QStringLiteral(SGXCTL_PATH), {"--port", sim.path(), "timings", "all"});
        ASSERT_TRUE(p.waitForStarted());
        // On a failure, not killed: that would leave the lock file behind.
        const auto stop = qScopeGuard([&p] {
            p.terminate();
            p.waitForFinished(3000);
        });
        // Into the payload: the first progress line.
        QByteArray err;
        while (!err.contains("progress") && p.waitForReadyRead(5000))
            err += p.readAllStandardError();
        ASSERT_TRUE(err.contains("progress")) << err.toStdString();
        const QString lock = lockFileOf(sim.path());
        ASSERT_FALSE(lock.isEmpty()) << "no lock file for " << sim.path().toStdString();
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 128 + signal);
        EXPECT_TRUE(p.readAllStandardError().contains(QByteArray("stopped by ") + name));
        EXPECT_FALSE(QFile::exists(lock)) << lock.toStdString();
    }
}

TEST(SgxctlEdidCheck, VerdictAndFixTouchOnlyTheChecksum)
{
    QFile original(QStringLiteral(SGX_TEST_DATA "/acer-xv273k-dp.bin"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray good = original.readAll();
    ASSERT_EQ(good.size(), 384);
    EXPECT_EQ(sgxctl({"edid-check", original.fileName()}).exitCode, 0);

    QTemporaryDir dir;
    const QString path = dir.filePath("changed.bin");
    QByteArray changed = good;
    changed[200] = static_cast<char>(changed[200] ^ 0x40);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(changed) == changed.size());
    out.close();
    CtlRun r = sgxctl({"edid-check", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("block 1 checksum: wrong")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("manufacturer: ACR"));

    r = sgxctl({"edid-check", path, "--fix"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("fixed: byte 255 (block 1 checksum)")) << r.out.toStdString();
    QFile fixed(path);
    ASSERT_TRUE(fixed.open(QIODevice::ReadOnly));
    const QByteArray after = fixed.readAll();
    ASSERT_EQ(after.size(), good.size());
    for (int i = 0; i < after.size(); ++i) {
        if (i != 255) {
            EXPECT_EQ(after[i], changed[i]) << i;
        }
    }
    EXPECT_EQ(sgxctl({"edid-check", path}).exitCode, 0);

    EXPECT_EQ(sgxctl({"edid-check", dir.filePath("missing.bin")}).exitCode, 2);
    EXPECT_EQ(sgxctl({"edid-check", dir.path()}).exitCode, 2);
}

} // namespace

namespace {

TEST(SgxctlBench, PortsAsJsonAndVersions)
{
    // Whatever this machine has: valid JSON, one object per port the system reports.
    const CtlRun r = sgxctl({"ports", "--json"});
    EXPECT_EQ(r.exitCode, 0);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError)
        << error.errorString().toStdString() << r.out.toStdString();
    ASSERT_TRUE(document.isArray());
    const QList<QSerialPortInfo> reported = QSerialPortInfo::availablePorts();
    ASSERT_EQ(document.array().size(), reported.size());
    for (qsizetype i = 0; i < reported.size(); ++i)
        EXPECT_EQ(document.array()[i].toObject()["device"].toString(), reported[i].systemLocation());
    EXPECT_EQ(sgxctl({"ports"}).out.count('\n'), reported.size());
    EXPECT_EQ(sgxctl({"ports", "extra"}).exitCode, 2);

    for (const auto &[program, name] :
         {std::pair{SGXCTL_PATH, "sgxctl"}, std::pair{SGX_SIM_PATH, "sgx100-sim"}}) {
        QProcess p;
        p.start(QString::fromLatin1(program), {QStringLiteral("--version")});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(QString::fromLocal8Bit(p.readAllStandardOutput()),
                  QStringLiteral("%1 %2\n").arg(QString::fromLatin1(name), QStringLiteral(SGX_VERSION)));
    }
}

} // namespace
