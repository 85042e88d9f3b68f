#pragma once

#include "ByteTrace.h"
#include "SerialLibrary.h"

#include <chrono>
#include <memory>

// Passes every serial operation through and writes each byte, both ways, to a byte trace,
// time-stamped from when this layer was made.
class TracingSerial final : public SerialLibrary {
public:
    TracingSerial(SerialLibrary &inner, ByteTrace &trace) : m_inner(inner), m_trace(trace) {}
    // Owning the layer it traces.
    TracingSerial(std::unique_ptr<SerialLibrary> inner, ByteTrace &trace)
        : m_owned(std::move(inner)), m_inner(*m_owned), m_trace(trace)
    {
    }

    int openPort(int port) override { return m_inner.openPort(port); }
    int setLineParameters(int port, int baudCode, int modeCode) override
    {
        return m_inner.setLineParameters(port, baudCode, modeCode);
    }
    int secondSetup(int port, int arg) override { return m_inner.secondSetup(port, arg); }
    int writeChar(int port, int ch) override
    {
        const auto byte = static_cast<std::uint8_t>(ch);
        m_trace.record(sinceStartUs(), ByteTrace::Direction::ToGenerator, &byte, 1);
        return m_inner.writeChar(port, ch);
    }
    int readPort(int port, std::uint8_t *buffer, int maxBytes) override
    {
        const int n = m_inner.readPort(port, buffer, maxBytes);
        if (n > 0)
            m_trace.record(sinceStartUs(), ByteTrace::Direction::FromGenerator, buffer,
                           static_cast<std::size_t>(n));
        return n;
    }
    int closePort(int port) override { return m_inner.closePort(port); }
    [[nodiscard]] OpenFailure lastOpenFailure() const override { return m_inner.lastOpenFailure(); }

private:
    [[nodiscard]] std::int64_t sinceStartUs() const
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                     m_start)
            .count();
    }

    std::unique_ptr<SerialLibrary> m_owned;
    SerialLibrary &m_inner;
    ByteTrace &m_trace;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
