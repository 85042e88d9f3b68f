// Measures how the program fares against a misbehaving generator, the program as the operator
// runs it (the main window, the serial layer on its own thread) and the generator a stand-in of
// this benchmark on a pseudo-terminal:
// - a flood of garbage while idle: how long after it the next Run Timing succeeds, and resident
//   memory after a long one;
// - an "OK" after 5 of the 37 bytes of a timing upload: what the operator is told;
// - every answer in two halves some way apart: how often Run Timing fails.
// Figures, not pass/fail.
//
//   QT_QPA_PLATFORM=offscreen build/bench/fault_bench [FLOOD_SECONDS LONG_FLOOD_SECONDS]
#include "DeviceLinkState.h"
#include "Outcome.h"
#include "Outcomes.h"
#include "ResidentMemory.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

// A generator on the master side of a pseudo-terminal: answers each command line and, after the
// payload the command announces, the payload; can flood the line, answer early, or split answers.
class StandIn {
public:
    StandIn()
    {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return;
        m_device = QString::fromLocal8Bit(::ptsname(m_fd));
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readLine(); });
        m_flood.setInterval(10);
        QObject::connect(&m_flood, &QTimer::timeout, [this] {
            const QByteArray noise(static_cast<int>(m_floodBytesPerTick), '#');
            [[maybe_unused]] const ssize_t n =
                ::write(m_fd, noise.constData(), static_cast<size_t>(noise.size()));
        });
    }
    ~StandIn()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    [[nodiscard]] const QString &device() const { return m_device; }

    // 100 KB/s of bytes that answer nothing.
    void flood(bool on)
    {
        m_floodBytesPerTick = 1000;
        if (on)
            m_flood.start();
        else
            m_flood.stop();
    }
    int earlyAfterFramedBytes = -1; // answer "OK" after this many framed bytes of a payload
    int splitGapMs = -1;            // each answer as "O", then the rest this much later

private:
    void answer()
    {
        if (splitGapMs < 0) {
            write("OK\r\n");
            return;
        }
        write("O");
        QTimer::singleShot(splitGapMs, Qt::PreciseTimer, [this] { write("K\r\n"); });
    }
    void write(const char *text)
    {
        [[maybe_unused]] const ssize_t n = ::write(m_fd, text, std::strlen(text));
    }

    void readLine()
    {
        char buffer[512];
        ssize_t n = 0;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < n; ++i)
                take(static_cast<std::uint8_t>(buffer[i]));
        }
    }
    void take(std::uint8_t byte)
    {
        // A pause ends a line cut short, a long one a payload that stopped, as a generator
        // resynchronises.
        if (m_sinceByte.isValid() && m_sinceByte.elapsed() > 200)
            m_line.clear();
        if (m_sinceByte.isValid() && m_sinceByte.elapsed() > 2000)
            m_payloadLeft = 0;
        m_sinceByte.start();
        if (m_payloadLeft > 0) {
            if (++m_payloadSeen % 3 == 0) {
                --m_payloadLeft;
                if (m_payloadSeen / 3 == earlyAfterFramedBytes)
                    answer();
                else if (m_payloadLeft == 0)
                    answer();
            }
            return;
        }
        m_line += static_cast<char>(byte);
        if (!m_line.endsWith("\n\r"))
            return;
        const QByteArray command = m_line.left(m_line.indexOf(' '));
        const int argument = m_line.size() >= 5 ? static_cast<std::uint8_t>(m_line[m_line.size() - 4]) : 0;
        m_line.clear();
        answer();
        // The argument is the number of framed bytes to follow, but for these.
        m_payloadLeft = command == "URTCNT" || command == "DFSET" ? 0 : command == "UEDID" ? 256 : argument;
        m_payloadSeen = 0;
    }

    int m_fd = -1;
    QString m_device;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_flood;
    std::size_t m_floodBytesPerTick = 1000;
    QByteArray m_line;
    QElapsedTimer m_sinceByte;
    int m_payloadLeft = 0;
    int m_payloadSeen = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int floodSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int longFloodSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
    StandIn generator;
    if (generator.device().isEmpty()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 2;
    }
    qputenv("SGX100_COM1", generator.device().toLocal8Bit());
    DeviceLinkState state;
    SharedValues values;
    SgxProgram program(state, values);
    program.show();

    std::string lastMessage;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            lastMessage = box->text().toStdString();
            box->accept();
        }
    });
    closer.start();
    DeviceLink &link = program.deviceLink();
    Outcomes outcomes(link);
    const auto perform = [&](Operation op) {
        outcomes.reset();
        lastMessage.clear();
        if (!link.StartLinkOperation(op))
            return Outcome::Refused;
        const Outcome outcome = outcomes.next();
        waitMs(100); // the message box, if any, read and closed
        return outcome;
    };
    link.connectPort(program.ports().choice(1));
    while (state.devicePresent == 0)
        waitMs(20);
    std::printf("resident memory, connected and idle: %.1f MB\n", residentMegabytes());

    // A flood while idle, then Run Timing at once.
    generator.flood(true);
    waitMs(floodSeconds * 1000);
    generator.flood(false);
    QElapsedTimer after;
    after.start();
    int tries = 0;
    Outcome outcome = Outcome::Refused;
    while (after.elapsed() < 120000) {
        ++tries;
        outcome = perform(Operation::TMIX);
        if (outcome == Outcome::Succeeded)
            break;
        // A failure shows the generator absent: connect again, as the operator would.
        if (state.devicePresent == 0) {
            link.connectPort(program.ports().choice(1));
            waitMs(2000);
        }
    }
    std::printf("after %d s of a 100 KB/s flood: Run Timing %s after %.2f s (%d tries)\n", floodSeconds,
                outcomeName(outcome), static_cast<double>(after.elapsed()) / 1000.0, tries);

    generator.flood(true);
    waitMs(longFloodSeconds * 1000);
    generator.flood(false);
    std::printf("resident memory after %d s of the flood: %.1f MB\n", longFloodSeconds, residentMegabytes());
    waitMs(500);
    outcome = perform(Operation::TMIX);
    std::printf("Run Timing right after it: %s\n", outcomeName(outcome));

    // An answer after 5 of the 37 framed bytes of a timing upload.
    values.timingSelection.fill(1);
    generator.earlyAfterFramedBytes = 5;
    outcome = perform(Operation::TMGS);
    std::printf("an \"OK\" after 5 of 37 bytes of a timing upload: %s, the operator told \"%s\"\n",
                outcomeName(outcome), lastMessage.c_str());
    generator.earlyAfterFramedBytes = -1;
    if (state.devicePresent == 0)
        link.connectPort(program.ports().choice(1));
    waitMs(2000);

    // Every answer in two halves.
    for (int gap : {60, 120}) {
        generator.splitGapMs = gap;
        int failed = 0;
        constexpr int kRuns = 20;
        for (int i = 0; i < kRuns; ++i) {
            const Outcome o = perform(Operation::TMIX);
            if (o != Outcome::Succeeded) {
                ++failed;
                std::printf("  %s (%s)\n", outcomeName(o), lastMessage.c_str());
            }
            waitMs(37 * i % 500); // every phase against the ticks
        }
        std::printf("every answer split in two, %d ms apart: Run Timing failed %d times in %d\n", gap, failed,
                    kRuns);
    }
    closer.stop();
    program.mainForm().close();
    return 0;
}
