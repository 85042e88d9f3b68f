#pragma once

#include "GeneratorEngine.h"
#include "LinkClock.h"
#include "SerialLibrary.h"

#include <cstdint>
#include <deque>
#include <vector>

// A serial port wired in-process to the emulator's engine: the link's whole protocol runs
// against a generator on a virtual clock, so a 28 s EDID upload takes milliseconds.
class EngineSerialLibrary final : public SerialLibrary {
public:
    struct Written {
        std::int64_t atMs;
        std::uint8_t byte;
    };

    explicit EngineSerialLibrary(const LinkClock &clock, SimFaults faults = {})
        : m_clock(clock), m_engine(faults)
    {
    }

    int openPort(int port) override;
    int setLineParameters(int port, int baudCode, int modeCode) override;
    int secondSetup(int port, int arg) override;
    int writeChar(int port, int ch) override;
    int readPort(int port, std::uint8_t *buffer, int maxBytes) override;
    int closePort(int port) override;

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
    [[nodiscard]] bool usable(int port) const { return m_open && port == m_port; }
    // What the generator sent while nobody had the port open is lost, as on a real line.
    void discardArrived();

    const LinkClock &m_clock;
    GeneratorEngine m_engine;
    std::vector<Written> m_written;
    std::deque<std::uint8_t> m_arrived;
    bool m_open = false;
    int m_port = 0;
};
