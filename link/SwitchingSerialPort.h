#pragma once

#include "QtSerialPort.h"
#include "SerialPort.h"
#include "TcpSerialPort.h"

// The serial line the programs use: each open goes to a TCP connection when the device is named
// tcp://HOST:PORT and to Qt SerialPort otherwise; everything else goes where the open went.
class SwitchingSerialPort final : public SerialPort {
public:
    void open(const QString &device, OpenDone done) override;
    [[nodiscard]] bool write(std::uint8_t byte) override { return m_chosen->write(byte); }
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override
    {
        return m_chosen->read(buffer, maxBytes);
    }
    void close() override { m_chosen->close(); }
    [[nodiscard]] std::string errorString() const override { return m_chosen->errorString(); }

private:
    QtSerialPort m_device;
    TcpSerialPort m_tcp;
    SerialPort *m_chosen = &m_device;
};
