// sgxcontrol as a process, connected to the emulator through its own window (keys sent by
// xdotool under a real window manager), then ended by a signal: it closes as File > Exit does,
// at once, and the port's lock file goes with it.
#include "LockFile.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QThread>

#include <csignal>

namespace {

// xdotool with arguments; its standard output, or nothing after 10 s.
QString xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The top-level window of that title, once it is there; empty after 10 s.
QString windowNamed(const QString &title)
{
    return xdotool({"search", "--sync", "--onlyvisible", "--name", title}).section('\n', 0, 0);
}

// Config > COM Port from the keyboard: Alt to the menu bar, across to Config, its first item.
bool openComPortDialog(const QString &mainWindow)
{
    xdotool({"windowactivate", "--sync", mainWindow});
    xdotool({"key", "--clearmodifiers", "alt"});
    xdotool({"key", "Right", "Right", "Down", "Return"});
    return !windowNamed(QStringLiteral("COM Port Setting")).isEmpty();
}

TEST(SgxcontrolSignals, EndLikeFileExitAndLeaveNoLockFile)
{
    // The last with the COM Port dialog up: a modal window does not hold the end back.
    for (const auto &[signal, withDialog] : {std::pair{SIGHUP, false}, {SIGINT, false}, {SIGTERM, true}}) {
        SCOPED_TRACE(signal);
        SimProcess sim;
        ASSERT_TRUE(sim.start());
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SGX100_COM1"), sim.path());
        app.setProcessEnvironment(env);
        app.start(QStringLiteral(SGXCONTROL_PATH), QStringList());
        ASSERT_TRUE(app.waitForStarted());
        const auto stop = qScopeGuard([&app] {
            app.kill();
            app.waitForFinished(3000);
        });
        const QString mainWindow = windowNamed(QStringLiteral("Vorna - tv Signal Generator"));
        ASSERT_FALSE(mainWindow.isEmpty());

        // Connect: the dialog's OK is its default button.
        ASSERT_TRUE(openComPortDialog(mainWindow));
        xdotool({"key", "Return"});
        QElapsedTimer waited;
        waited.start();
        while ((lockFileOf(sim.path()).isEmpty() || !sim.changes().contains("presence check")) &&
               waited.elapsed() < 10000)
            QThread::msleep(50);
        const QString lock = lockFileOf(sim.path());
        ASSERT_FALSE(lock.isEmpty()) << "not connected to " << sim.path().toStdString();
        if (withDialog) {
            ASSERT_TRUE(openComPortDialog(mainWindow));
        }

        ::kill(static_cast<pid_t>(app.processId()), signal);
        ASSERT_TRUE(app.waitForFinished(5000));
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.exitCode(), 128 + signal);
        EXPECT_FALSE(QFile::exists(lock)) << lock.toStdString();
    }
}

} // namespace
