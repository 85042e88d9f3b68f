// Measures the link against sgx100-sim on a pseudo-terminal: character spacing as the
// generator sees it, CPU share while sending, and the wall time of the long uploads.
#include "ByteTrace.h"
#include "DeviceLink.h"
#include "LineSpacing.h"
#include "LineThread.h"
#include "Outcome.h"
#include "Outcomes.h"
#include "ProgramSequence.h"
#include "SerialPort.h"
#include "SharedValues.h"
#include "SwitchingSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Time stamps every character as the program writes it, before the emulator's scheduling can
// blur the picture.
class TimedSerial final : public SerialPort {
public:
    explicit TimedSerial(std::unique_ptr<SerialPort> inner) : m_inner(std::move(inner)) {}
    void open(const QString &device, OpenDone done) override { m_inner->open(device, std::move(done)); }
    [[nodiscard]] bool write(std::uint8_t byte) override
    {
        writtenAtMs.push_back(static_cast<double>(m_timer.nsecsElapsed()) / 1e6);
        written.push_back(byte);
        return m_inner->write(byte);
    }
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override
    {
        return m_inner->read(buffer, maxBytes);
    }
    void close() override { m_inner->close(); }
    [[nodiscard]] std::string errorString() const override { return m_inner->errorString(); }

    std::vector<double> writtenAtMs;
    std::vector<std::uint8_t> written;

private:
    std::unique_ptr<SerialPort> m_inner;
    QElapsedTimer m_timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString simPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(SGX_SIM_PATH);

    QTemporaryDir dir;
    const QString tracePath = dir.filePath("trace.txt");
    QProcess sim;
    sim.start(simPath, {"--trace", tracePath});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(simPath));
        return 2;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    DeviceLinkState state;
    // The program's own arrangement: the port on a thread of its own, which paces it.
    std::atomic<TimedSerial *> timed{nullptr};
    LineThread line([&]() -> std::unique_ptr<SerialPort> {
        auto serial = std::make_unique<TimedSerial>(std::make_unique<SwitchingSerialPort>());
        timed = serial.get();
        return serial;
    });
    SharedValues values;
    DeviceLink link(state, values, line);

    Outcomes outcomes(link);
    bool opened = false;
    QObject::connect(&link, &DeviceLink::connectFinished, [&](bool ok) { opened = ok; });
    const auto waitEnded = [&outcomes] { return outcomes.next(); };

    link.connectPort(PortChoice::named(1, device, device));
    if (waitEnded() != Outcome::Succeeded || !opened) {
        std::fprintf(stderr, "the emulator did not answer\n");
        return 2;
    }

    TimedSerial &serial = *timed; // read only once each operation has ended
    values.timingSelection.fill(1);
    values.patternSelection.fill(1);
    values.ProgramUploadImage.fill(0);
    for (int i = 0; i < kProgramSteps; ++i) {
        values.ProgramUploadImage[static_cast<std::size_t>(3 * kProgramSteps + i)] = 5;
        values.ProgramUploadImage[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    for (int i = 0; i < kEdidSize; ++i)
        values.EdidBuffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

    struct Case {
        Operation op;
        const char *name;
        int entries;     // table entries, or 0 for the EDID upload
        int framedBytes; // the payload
    };
    std::printf("%-6s %10s %12s %10s %8s  %s\n", "op", "wall (s)", "payload (s)", "floor (s)", "ratio",
                "CPU while sending");
    for (const Case &c : {Case{Operation::TMGS, "TMGS", kTimingCount, 1 + kTimingCount + 1},
                          Case{Operation::PTNS, "PTNS", kPatternCount, 1 + kPatternCount + 1},
                          Case{Operation::ATRN, "ATRN", kProgramSteps, 1 + 4 * kProgramSteps + 1},
                          Case{Operation::UEDID, "UEDID", 0, kEdidSize}}) {
        // The floor: 105 ms a framed byte, plus the loop's own pauses (1 ms each time a table
        // upload's bar rises, 5 ms after every EDID byte).
        int pausesMs = 0;
        if (c.entries == 0) {
            pausesMs = 5 * c.framedBytes;
        } else {
            int shown = 0;
            for (int i = 0; i < c.entries; ++i) {
                const int p = (i * 100 + 100) / c.entries;
                if (p > shown) {
                    shown = p;
                    pausesMs += 1;
                }
            }
        }
        const double floorSeconds = (c.framedBytes * 105.0 + pausesMs) / 1000.0;
        const std::size_t writtenBefore = serial.written.size();
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = cpuSeconds();
        outcomes.reset();
        if (!link.StartLinkOperation(c.op, c.op == Operation::ATRN
                                               ? programWireOrder(values.ProgramUploadImage)
                                               : std::vector<std::uint8_t>{})) {
            std::fprintf(stderr, "%s refused\n", c.name);
            return 1;
        }
        const Outcome outcome = waitEnded();
        const double cpu = cpuSeconds() - cpuBefore;
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        // The payload as written: from its first character to the end of its last one's 35 ms.
        const std::size_t lineLength = std::strlen(c.name) + 5;
        const std::size_t payloadStart = writtenBefore + lineLength;
        const std::size_t payloadEnd =
            writtenBefore + lineLength + 3 * static_cast<std::size_t>(c.framedBytes);
        if (serial.written.size() < payloadEnd) {
            std::fprintf(stderr, "%s: the payload did not go out in full\n", c.name);
            return 1;
        }
        const double payload =
            (serial.writtenAtMs[payloadEnd - 1] + 35.0 - serial.writtenAtMs[payloadStart]) / 1000.0;
        std::printf("%-6s %10.2f %12.3f %10.3f %8.3f  %.2f %% of one core (%s)\n", c.name, seconds, payload,
                    floorSeconds, payload / floorSeconds, 100.0 * cpu / seconds, outcomeName(outcome));
    }

    std::vector<double> received;
    for (const ByteTrace::Byte &t : ByteTrace::read(tracePath.toStdString()))
        if (t.direction == ByteTrace::Direction::ToGenerator)
            received.push_back(t.atMs);
    std::printf("\n");
    std::vector<std::uint8_t> receivedBytes;
    for (const ByteTrace::Byte &t : ByteTrace::read(tracePath.toStdString()))
        if (t.direction == ByteTrace::Direction::ToGenerator)
            receivedBytes.push_back(t.value);
    LineSpacing::report("as written", serial.written, serial.writtenAtMs);
    LineSpacing::report("as received", receivedBytes, received);
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
