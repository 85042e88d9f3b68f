#pragma once

#include "LinkClock.h"
#include "SerialPort.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// A serial port in memory: records every written byte with the clock's time and hands out
// whatever a test (or a fake generator) has queued for reading.
class FakeSerialPort final : public SerialPort {
public:
    struct Written {
        std::int64_t atMs;
        std::uint8_t byte;
    };

    explicit FakeSerialPort(const LinkClock &clock) : m_clock(clock) {}

    bool openOk = true;
    OpenError openError; // what a failed open says
    // The open answers only at finishOpen(), as a terminal server that takes its time.
    bool deferOpen = false;
    // Largest count one read hands out (a real driver may split an answer).
    int readChunk = 1024;

    void open(const QString &device, OpenDone done) override;
    [[nodiscard]] bool write(std::uint8_t byte) override;
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override;
    void close() override;
    [[nodiscard]] std::string errorString() const override { return m_hungUp ? "hung up" : ""; }

    void finishOpen(bool ok);
    // The far end goes away: writes fail and reads say so.
    void hangUp() { m_hungUp = true; }
    [[nodiscard]] std::size_t pendingAnswerBytes() const { return m_incoming.size(); }

    void queueAnswer(const std::vector<std::uint8_t> &bytes);
    void queueAnswer(const char *text);

    // Called for every byte written, e.g. to let a fake generator answer.
    std::function<void(std::uint8_t)> onWrite;

    [[nodiscard]] std::vector<std::uint8_t> writtenBytes() const;
    void clearWritten() { m_written.clear(); }
    [[nodiscard]] const std::vector<Written> &written() const { return m_written; }
    [[nodiscard]] bool isOpen() const { return m_open; }
    [[nodiscard]] const QString &openedDevice() const { return m_device; }
    [[nodiscard]] int closeCalls() const { return m_closeCalls; }
    [[nodiscard]] int opens() const { return m_opens; }

private:
    const LinkClock &m_clock;
    std::vector<Written> m_written;
    std::deque<std::uint8_t> m_incoming;
    OpenDone m_pendingOpen;
    QString m_device;
    bool m_open = false;
    bool m_hungUp = false;
    int m_closeCalls = 0;
    int m_opens = 0;
};
