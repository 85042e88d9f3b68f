#pragma once

#include "QtSerialLibrary.h"
#include "SerialLibrary.h"
#include "TcpSerialLibrary.h"

class PortDirectory;

// The serial layer the programs use: each open goes to the TCP layer when the port number names
// tcp://HOST:PORT, and to Qt SerialPort otherwise; the other operations go where the open went.
// For a thread that runs a message loop (SerialThread's), as both layers need one.
class SwitchingSerialLibrary final : public SerialLibrary {
public:
    explicit SwitchingSerialLibrary(const PortDirectory &ports);

    [[nodiscard]] int openPort(int port) override;
    [[nodiscard]] int setLineParameters(int port, int baudCode, int modeCode) override;
    [[nodiscard]] int secondSetup(int port, int arg) override;
    int writeChar(int port, int ch) override;
    [[nodiscard]] int readPort(int port, std::uint8_t *buffer, int maxBytes) override;
    int closePort(int port) override;
    [[nodiscard]] OpenFailure lastOpenFailure() const override { return m_chosen->lastOpenFailure(); }

private:
    const PortDirectory &m_ports;
    QtSerialLibrary m_device;
    TcpSerialLibrary m_tcp;
    SerialLibrary *m_chosen = &m_device;
    // Until the port opened is closed, the layer that opened it keeps every call, an open too (it
    // refuses a second port, as either layer does). A layer may have closed a port itself after a
    // hang-up: the link's close still ends it here.
    int m_openNumber = 0;
};
