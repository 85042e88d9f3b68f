#pragma once

#include "ByteTrace.h"
#include "SerialPort.h"

#include <chrono>
#include <memory>

// Passes every serial operation through and writes each byte, both ways, to a byte trace,
// time-stamped from when this layer was made.
class TracingSerialPort final : public SerialPort {
public:
    TracingSerialPort(std::unique_ptr<SerialPort> inner, ByteTrace &trace)
        : m_inner(std::move(inner)), m_trace(trace)
    {
    }

    void open(const QString &device, OpenDone done) override { m_inner->open(device, std::move(done)); }
    [[nodiscard]] bool write(std::uint8_t byte) override
    {
        m_trace.record(sinceStartUs(), ByteTrace::Direction::ToGenerator, &byte, 1);
        return m_inner->write(byte);
    }
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override
    {
        const int n = m_inner->read(buffer, maxBytes);
        if (n > 0)
            m_trace.record(sinceStartUs(), ByteTrace::Direction::FromGenerator, buffer,
                           static_cast<std::size_t>(n));
        return n;
    }
    void close() override { m_inner->close(); }
    [[nodiscard]] std::string errorString() const override { return m_inner->errorString(); }

private:
    [[nodiscard]] std::int64_t sinceStartUs() const
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                     m_start)
            .count();
    }

    std::unique_ptr<SerialPort> m_inner;
    ByteTrace &m_trace;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
