#pragma once

#include "SerialPort.h"

#include <QSerialPort>
#include <QString>

// A serial device through Qt SerialPort, for a thread that runs a message loop (the line
// thread): the port's notifier takes in what arrives from there.
class QtSerialPort final : public SerialPort {
public:
    static constexpr qint64 kReadBufferBytes = 64 * 1024;
    static constexpr int kReadErrorsOfAHangUp = 3;

    QtSerialPort();
    ~QtSerialPort() override;

    void open(const QString &device, OpenDone done) override;
    [[nodiscard]] bool write(std::uint8_t byte) override;
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override;
    void close() override;
    [[nodiscard]] std::string errorString() const override { return m_error; }

private:
    void hungUp(const std::string &why);
    [[nodiscard]] OpenError failureOf(const QString &device) const;
    [[nodiscard]] bool configure(OpenError &error);

    QSerialPort m_port;
    std::string m_error;
    bool m_gone = false;
    int m_readErrorsInARow = 0;
};
