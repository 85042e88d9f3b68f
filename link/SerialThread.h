#pragma once

#include "LineWriter.h"
#include "SerialLibrary.h"

#include <QObject>
#include <QThread>

#include <cstdint>
#include <functional>
#include <memory>

// The serial layer on a thread of its own, so the characters keep their 35 ms whatever the
// windows are doing: the port is made, used and closed on that thread only (as Qt requires of
// its devices), its units are paced there on precise timers, and the link's thread calls the six
// operations through here (each waits for the line thread, which is never busy for long) and
// hears of each unit's end from its own message loop.
class SerialThread final : public SerialLibrary, public LineWriter {
public:
    using Factory = std::function<std::unique_ptr<SerialLibrary>()>;

    // makeSerial runs on the line thread.
    explicit SerialThread(Factory makeSerial);
    ~SerialThread() override;
    SerialThread(const SerialThread &) = delete;
    SerialThread &operator=(const SerialThread &) = delete;

    [[nodiscard]] int openPort(int port) override;
    [[nodiscard]] int setLineParameters(int port, int baudCode, int modeCode) override;
    [[nodiscard]] int secondSetup(int port, int arg) override;
    int writeChar(int port, int ch) override;
    [[nodiscard]] int readPort(int port, std::uint8_t *buffer, int maxBytes) override;
    int closePort(int port) override;
    [[nodiscard]] OpenFailure lastOpenFailure() const override;

    void send(int port, std::vector<std::uint8_t> unit, Answered answered, Done done) override;
    [[nodiscard]] bool busy() const override { return m_unitsOut > 0; }
    void cancel() override;

private:
    class Line;
    // Runs f on the line thread and waits for it.
    void onLine(const std::function<void(Line &)> &f) const;

    QThread m_thread;
    QObject m_home; // lives on the caller's thread: the units' ends are delivered to it
    Line *m_line = nullptr;
    int m_unitsOut = 0;
    std::uint64_t m_generation = 0; // counts cancels: a unit of an earlier one is not reported
};
