#pragma once

#include "GeneratorEngine.h"
#include "LinkClock.h"
#include "SerialPort.h"

#include <cstdint>
#include <deque>
#include <vector>

// A serial port wired in-process to the emulator's engine: the link's whole protocol runs
// against a generator on a virtual clock, so a 28 s EDID upload takes milliseconds.
class EngineSerialPort final : public SerialPort {
public:
    struct Written {
        std::int64_t atMs;
        std::uint8_t byte;
    };

    explicit EngineSerialPort(const LinkClock &clock, SimFaults faults = {})
        : m_clock(clock), m_engine(faults)
    {
    }

    void open(const QString &device, OpenDone done) override;
    [[nodiscard]] bool write(std::uint8_t byte) override;
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override;
    void close() override;
    [[nodiscard]] std::string errorString() const override { return m_engine.hungUp() ? "hung up" : ""; }

    // A new generator on the same line, as after swapping the box: fresh state, these faults.
    void restart(SimFaults faults)
    {
        m_engine = GeneratorEngine(faults);
        m_written.clear();
        m_arrived.clear();
    }

    [[nodiscard]] GeneratorEngine &engine() { return m_engine; }
    [[nodiscard]] const std::vector<Written> &written() const { return m_written; }
    [[nodiscard]] bool isOpen() const { return m_open; }

private:
    // What the generator sent while nobody had the port open is lost, as on a real line.
    void discardArrived();

    const LinkClock &m_clock;
    GeneratorEngine m_engine;
    std::vector<Written> m_written;
    std::deque<std::uint8_t> m_arrived;
    bool m_open = false;
};
