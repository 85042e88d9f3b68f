#pragma once

#include "SerialLibrary.h"

#include <QSerialPort>
#include <QString>

class PortDirectory;

// The serial layer on Qt SerialPort, for a thread that runs a message loop (SerialThread's); the
// directory says which device a port number opens.
class QtSerialLibrary final : public SerialLibrary {
public:
    static constexpr qint64 kReadBufferBytes = 64 * 1024;
    static constexpr int kReadErrorsOfAHangUp = 3;

    explicit QtSerialLibrary(const PortDirectory &ports);
    ~QtSerialLibrary() override;

    [[nodiscard]] int openPort(int port) override;
    [[nodiscard]] int setLineParameters(int port, int baudCode, int modeCode) override;
    [[nodiscard]] int secondSetup(int port, int arg) override;
    int writeChar(int port, int ch) override;
    [[nodiscard]] int readPort(int port, std::uint8_t *buffer, int maxBytes) override;
    int closePort(int port) override;
    [[nodiscard]] OpenFailure lastOpenFailure() const override { return m_openFailure; }

private:
    [[nodiscard]] bool usable(int port) const;
    void dropAfterHangUp();
    [[nodiscard]] OpenFailure failureOf(const QString &device) const;

    const PortDirectory &m_ports;
    QSerialPort m_port;
    OpenFailure m_openFailure;
    int m_openNumber = 0;
    int m_readErrorsInARow = 0;
};
