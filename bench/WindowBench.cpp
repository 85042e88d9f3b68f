// Measures the program as an operator meets it, against sgx100-sim on a pseudo-terminal: how soon
// the main window is up, resident memory after start-up and with every window open, how long the
// message loop is held (the lateness of a 10 ms timer: longest and 99th percentile) while idle,
// while a command line goes out and during each payload, with the EDID Memory window open and
// repainting 60 times a second, and the spacing of the characters as the emulator received them
// meanwhile. Figures, not pass/fail.
//
//   QT_QPA_PLATFORM=offscreen build/bench/window_bench
#include "ByteTrace.h"
#include "DeviceLinkState.h"
#include "Emulator.h"
#include "LineSpacing.h"
#include "Outcome.h"
#include "Outcomes.h"
#include "ProgramSequence.h"
#include "ResidentMemory.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// Milliseconds since this process was started, from the kernel's own record.
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // starttime is field 22 of the line, 20 after the name, in clock ticks since boot.
    const double startSeconds = fields.value(19).toDouble() / static_cast<double>(sysconf(_SC_CLK_TCK));
    const double nowSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (nowSeconds - startSeconds) * 1000.0;
}

// The lateness of a 10 ms timer: how long the loop was held beyond the timer's period, each time.
class HoldMeter : public QObject {
public:
    HoldMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            const double now = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
            if (m_last >= 0)
                m_holds.push_back(std::max(0.0, now - m_last - 10.0));
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    // From now on: a hold that begins at once counts too.
    void reset()
    {
        m_holds.clear();
        m_last = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    }
    [[nodiscard]] std::string figures() const
    {
        char text[80];
        std::snprintf(text, sizeof text, "%8.1f %8.1f %8zu", LineSpacing::percentile(m_holds, 1),
                      LineSpacing::percentile(m_holds, 0.99), m_holds.size());
        return text;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = -1;
    std::vector<double> m_holds;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    DeviceLinkState state;
    SharedValues values;
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    QProcess sim;
    if (!startEmulatorOnCom1(sim, {QStringLiteral("--trace"), tracePath}))
        return 2;

    SgxProgram program(state, values);
    TMainForm &main = program.mainForm();
    program.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return 1;
    const double upSinceStart = msSinceProcessStart();
    const double upSinceMain = static_cast<double>(sinceMain.nsecsElapsed()) / 1e6;
    waitMs(500);
    const double rssStart = residentMegabytes();

    // Message boxes are read and closed as an operator would, a moment after they appear.
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    closer.start();

    DeviceLink &link = program.deviceLink();
    Outcomes outcomes(link);
    const auto waitEnded = [&outcomes] { return outcomes.next(); };
    link.connectPort(program.ports().choice(1));
    if (waitEnded() != Outcome::Succeeded) {
        std::fprintf(stderr, "the emulator did not answer\n");
        return 2;
    }

    // EDID Memory open beside the frame and repainted at 60 Hz, as when an operator scrolls it.
    TEDID_Block &memory = program.edidBlock();
    memory.show();
    auto *grid = memory.findChild<QTableView *>();
    QTimer repaint;
    repaint.setInterval(16);
    int frames = 0;
    QObject::connect(&repaint, &QTimer::timeout, [&] {
        grid->viewport()->repaint();
        ++frames;
    });
    repaint.start();

    HoldMeter meter;
    waitMs(3000);
    std::printf("%-30s %8s %8s %8s\n", "message loop held (ms)", "longest", "99th %", "samples");
    std::printf("%-30s %s\n", "idle, 3 s", meter.figures().c_str());

    // A command line alone: Default Setting, ten characters.
    meter.reset();
    main.DefaultSettingClick();
    waitMs(400);
    std::printf("%-30s %s\n", "command line DFSET", meter.figures().c_str());
    waitEnded();

    values.timingSelection.fill(1);
    values.patternSelection.fill(1);
    values.ProgramUploadImage.fill(0xFF);
    for (const auto &[op, name] :
         {std::pair{Operation::TMGS, "TMGS"}, std::pair{Operation::PTNS, "PTNS"},
          std::pair{Operation::ATRN, "ATRN"}, std::pair{Operation::UEDID, "UEDID"}}) {
        if (!link.StartLinkOperation(op, op == Operation::ATRN ? programWireOrder(values.ProgramUploadImage)
                                                               : std::vector<std::uint8_t>{})) {
            std::fprintf(stderr, "%s refused\n", name);
            return 1;
        }
        while (link.payloadPending(op))
            waitMs(5);
        meter.reset();
        while (state.step(op) == AwaitReply)
            waitMs(5);
        const std::string figures = meter.figures();
        const Outcome outcome = waitEnded();
        std::printf("%-30s %s  (%s)\n", (std::string("payload ") + name).c_str(), figures.c_str(),
                    outcomeName(outcome));
    }

    // Connecting to a terminal server that never accepts: the open goes on for its 3 s bound
    // behind the COM Port Setting dialog, which stays up, busy, and then shows why.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ::bind(listener, reinterpret_cast<sockaddr *>(&at), sizeof at);
    ::listen(listener, 0);
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&at), &length);
    // Its one place in the queue taken, it drops every further connection request unanswered.
    const int waiting = ::socket(AF_INET, SOCK_STREAM, 0);
    ::fcntl(waiting, F_SETFL, O_NONBLOCK);
    ::connect(waiting, reinterpret_cast<sockaddr *>(&at), sizeof at);
    qputenv("SGX100_COM2", QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(at.sin_port)).toLatin1());
    TCOM_PORT_SETTING_FORM &dialog = program.comPortSettingForm();
    dialog.show();
    dialog.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
    meter.reset();
    dialog.Button1Click();
    QElapsedTimer opening;
    opening.start();
    while (dialog.waiting())
        waitMs(5);
    std::printf("%-30s %s  (open failed after %.1f s)\n", "tcp:// open, never accepted",
                meter.figures().c_str(), static_cast<double>(opening.elapsed()) / 1000.0);
    waitMs(200);
    dialog.hide();
    ::close(waiting);
    ::close(listener);

    repaint.stop();
    std::printf("EDID Memory repainted %d times meanwhile\n\n", frames);

    std::vector<std::uint8_t> bytes;
    std::vector<double> times;
    for (const ByteTrace::Byte &b : ByteTrace::read(tracePath.toStdString()))
        if (b.direction == ByteTrace::Direction::ToGenerator) {
            bytes.push_back(b.value);
            times.push_back(b.atMs);
        }
    LineSpacing::report("as the emulator received them", bytes, times);

    // Every window open.
    main.Timing1Click();
    main.Pattern1Click();
    program.timingList().show();
    program.patternList().show();
    program.timings().show();
    program.patterns().show();
    program.programmerForm().show();
    program.aboutBox().show();
    program.comPortSettingForm().show();
    waitMs(1000);
    const double rssAll = residentMegabytes();

    std::printf("\nmain window shown %.0f ms after the process started (%.0f ms after main)\n", upSinceStart,
                upSinceMain);
    std::printf("resident memory: %.1f MB after start-up, %.1f MB with every window open\n", rssStart,
                rssAll);
    closer.stop();
    main.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
