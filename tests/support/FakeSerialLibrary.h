#pragma once

#include "LinkClock.h"
#include "SerialLibrary.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// A serial port in memory: records every written byte with the clock's time and hands out
// whatever a test (or a fake generator) has queued for reading.
class FakeSerialLibrary final : public SerialLibrary {
public:
    struct Written {
        std::int64_t atMs;
        std::uint8_t byte;
    };

    explicit FakeSerialLibrary(const LinkClock &clock) : m_clock(clock) {}

    int openResult = 0;
    OpenFailure openFailure; // what lastOpenFailure says after a failed open
    int lineParametersResult = 0;
    int secondSetupResult = 0;
    // Largest count one read hands out (a real driver may split an answer).
    int readChunk = 1024;

    int openPort(int port) override;
    int setLineParameters(int port, int baudCode, int modeCode) override;
    int secondSetup(int port, int arg) override;
    int writeChar(int port, int ch) override;
    int readPort(int port, std::uint8_t *buffer, int maxBytes) override;
    int closePort(int port) override;
    [[nodiscard]] OpenFailure lastOpenFailure() const override { return openFailure; }

    // The far end goes away: the port stays nominally open, but writes fail and reads bring
    // nothing, as a serial layer does that closed itself after a hang-up.
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
    [[nodiscard]] int openedPort() const { return m_port; }
    [[nodiscard]] int closeCalls() const { return m_closeCalls; }
    [[nodiscard]] int lastBaudCode() const { return m_baud; }
    [[nodiscard]] int lastModeCode() const { return m_mode; }

private:
    const LinkClock &m_clock;
    std::vector<Written> m_written;
    std::deque<std::uint8_t> m_incoming;
    bool m_open = false;
    bool m_hungUp = false;
    int m_port = 0;
    int m_closeCalls = 0;
    int m_baud = 0;
    int m_mode = 0;
};
