// Resident memory of the program with the line monitor open, against sgx100-sim on a
// pseudo-terminal at the line's real pace: Run Timing and Run Pattern from their windows, one
// after the other, for MINUTES (10 unless given), the figure printed at the start, every minute
// and at the end; then with the line log filled to its bound. Also prints the monitor's text
// after the connect and the first Run Timing. Figures, not pass/fail.
//
//   QT_QPA_PLATFORM=offscreen build/bench/monitor_bench [MINUTES]
#include "DeviceLinkState.h"
#include "Emulator.h"
#include "LineMonitorLog.h"
#include "Outcome.h"
#include "Outcomes.h"
#include "ResidentMemory.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

int main(int argc, char *argv[])
{
    DeviceLinkState state;
    SharedValues values;
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 10;
    if (minutes < 1) {
        std::fprintf(stderr, "usage: %s [MINUTES]\n", argv[0]);
        return 2;
    }

    QProcess sim;
    if (!startEmulatorOnCom1(sim))
        return 2;

    SgxProgram program(state, values);
    TMainForm &main = program.mainForm();
    program.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return 1;
    DeviceLink &link = program.deviceLink();
    Outcomes outcomes(link);
    const auto waitEnded = [&outcomes] { return outcomes.next(); };
    link.connectPort(program.ports().choice(1));
    if (waitEnded() != Outcome::Succeeded) {
        std::fprintf(stderr, "the emulator did not answer\n");
        return 2;
    }

    main.Timing1Click();
    main.Pattern1Click();
    main.WindowLineMonitorItemClick();
    QWidget *const runTiming = main.findChild<QPushButton *>(QStringLiteral("Run_Timing"));
    QWidget *const runPattern = main.findChild<QPushButton *>(QStringLiteral("Run_Pattern"));
    auto *monitor = main.findChild<QPlainTextEdit *>(QStringLiteral("MonitorText"));
    if (runTiming == nullptr || runPattern == nullptr || monitor == nullptr) {
        std::fprintf(stderr, "a window is missing\n");
        return 1;
    }
    QTest::mouseClick(runTiming, Qt::LeftButton);
    std::printf("Run Timing: %s\n", outcomeName(waitEnded()));
    waitMs(200);
    std::printf("the line monitor after the connect and a Run Timing:\n%s\n\n",
                qPrintable(monitor->toPlainText()));

    std::printf("%8s %12s %10s %10s %8s\n", "minute", "resident MB", "pairs", "entries", "failed");
    const auto report = [&](const char *when, int pairs, int failed) {
        std::printf("%8s %12.1f %10d %10zu %8d\n", when, residentMegabytes(), pairs,
                    program.lineLog().entries().size(), failed);
        std::fflush(stdout);
    };
    report("start", 0, 0);
    QElapsedTimer sweep;
    sweep.start();
    int pairs = 0;
    int failed = 0;
    int minute = 1;
    while (minute <= minutes) {
        for (QWidget *run : {runTiming, runPattern}) {
            QTest::mouseClick(run, Qt::LeftButton);
            failed += waitEnded() == Outcome::Succeeded ? 0 : 1;
        }
        ++pairs;
        if (sweep.elapsed() >= minute * 60'000LL)
            report(QByteArray::number(minute++).constData(), pairs, failed);
    }
    report("end", pairs, failed);

    // The log at its bound, every entry an answer of its longest, through the open monitor.
    const std::vector<std::uint8_t> answer(LineMonitorLog::kAnswerBytes, 'A');
    std::int64_t atUs = sweep.elapsed() * 1000;
    for (std::size_t i = 0; i < 3 * LineMonitorLog::kCapacity; ++i) {
        atUs += 2 * LineMonitorLog::kAnswerGapUs;
        program.lineLog().addReceived(atUs, answer.data(), answer.size());
    }
    waitMs(500);
    std::printf("%8s %12.1f %10s %10zu   (monitor: %d lines)\n", "full", residentMegabytes(), "-",
                program.lineLog().entries().size(), monitor->document()->blockCount());

    main.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
