#include "SerialThread.h"

#include "PacedWriter.h"
#include "QtLinkClock.h"

#include <QMetaObject>

// What lives on the line thread: the port and the writer that paces it.
class SerialThread::Line final : public QObject {
public:
    void start(const Factory &makeSerial)
    {
        serial = makeSerial();
        clock = std::make_unique<QtLinkClock>();
        writer = std::make_unique<PacedWriter>(*serial, *clock);
    }
    void stop()
    {
        writer.reset();
        clock.reset();
        serial.reset();
    }

    std::unique_ptr<SerialLibrary> serial;
    std::unique_ptr<QtLinkClock> clock;
    std::unique_ptr<PacedWriter> writer;
};

SerialThread::SerialThread(Factory makeSerial)
{
    m_thread.setObjectName(QStringLiteral("SerialLine"));
    m_line = new Line;
    m_line->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_line, &QObject::deleteLater);
    m_thread.start();
    onLine([&makeSerial](Line &line) { line.start(makeSerial); });
}

SerialThread::~SerialThread()
{
    onLine([](Line &line) { line.stop(); });
    m_thread.quit();
    m_thread.wait();
}

void SerialThread::onLine(const std::function<void(Line &)> &f) const
{
    Line *line = m_line;
    QMetaObject::invokeMethod(
        line, [line, &f] { f(*line); }, Qt::BlockingQueuedConnection);
}

int SerialThread::openPort(int port)
{
    int result = -1;
    onLine([&](Line &line) { result = line.serial->openPort(port); });
    return result;
}

int SerialThread::setLineParameters(int port, int baudCode, int modeCode)
{
    int result = -1;
    onLine([&](Line &line) { result = line.serial->setLineParameters(port, baudCode, modeCode); });
    return result;
}

int SerialThread::secondSetup(int port, int arg)
{
    int result = -1;
    onLine([&](Line &line) { result = line.serial->secondSetup(port, arg); });
    return result;
}

int SerialThread::writeChar(int port, int ch)
{
    int result = -1;
    onLine([&](Line &line) { result = line.serial->writeChar(port, ch); });
    return result;
}

int SerialThread::readPort(int port, std::uint8_t *buffer, int maxBytes)
{
    int result = 0;
    onLine([&](Line &line) { result = line.serial->readPort(port, buffer, maxBytes); });
    return result;
}

int SerialThread::closePort(int port)
{
    int result = -1;
    onLine([&](Line &line) { result = line.serial->closePort(port); });
    return result;
}

SerialLibrary::OpenFailure SerialThread::lastOpenFailure() const
{
    OpenFailure failure;
    onLine([&](Line &line) { failure = line.serial->lastOpenFailure(); });
    return failure;
}

void SerialThread::send(int port, std::vector<std::uint8_t> unit, Answered answered, Done done)
{
    ++m_unitsOut;
    const std::uint64_t generation = m_generation;
    QObject *home = &m_home;
    // The unit's end comes back to this thread, unless a cancel came first.
    auto reportHome = [this, home, generation, done = std::move(done)](bool written) {
        QMetaObject::invokeMethod(home, [this, generation, done, written] {
            if (generation != m_generation)
                return;
            --m_unitsOut;
            if (done)
                done(written);
        });
    };
    QMetaObject::invokeMethod(m_line, [line = m_line, port, unit = std::move(unit), answered,
                                       reportHome = std::move(reportHome)]() mutable {
        line->writer->send(port, std::move(unit), answered, std::move(reportHome));
    });
}

void SerialThread::cancel()
{
    ++m_generation;
    m_unitsOut = 0;
    // In order with everything sent before it: it stops the line before its next character.
    QMetaObject::invokeMethod(m_line, [line = m_line] { line->writer->cancel(); });
}
