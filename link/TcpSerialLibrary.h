#pragma once

#include "SerialLibrary.h"

#include <QString>
#include <QTcpSocket>

#include <memory>
#include <optional>
#include <string>

class PortDirectory;
class QDeadlineTimer;
class QHostAddress;

// The serial layer for a generator behind a terminal server (ser2net in raw mode, a serial
// server's raw TCP port): a port whose device is tcp://HOST:PORT is a TCP connection that carries
// the bytes unchanged both ways. The server owns the line settings. For a thread that runs a
// message loop (SerialThread's): the socket takes in what arrives from there.
class TcpSerialLibrary final : public SerialLibrary {
public:
    // Lookup and connect together; the open holds the line thread (and the caller) this long at most.
    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    struct Address {
        QString host;
        quint16 port = 0;
    };
    // Whether a device name is a terminal server's rather than a device's.
    [[nodiscard]] static bool isTcpName(const QString &device);
    // Empty unless the name is tcp://HOST:PORT with a port from 1 to 65535 and nothing more.
    [[nodiscard]] static std::optional<Address> parseAddress(const QString &device);

    explicit TcpSerialLibrary(const PortDirectory &ports, int connectTimeoutMs = kConnectTimeoutMs);
    ~TcpSerialLibrary() override;
    TcpSerialLibrary(const TcpSerialLibrary &) = delete;
    TcpSerialLibrary &operator=(const TcpSerialLibrary &) = delete;

    [[nodiscard]] int openPort(int port) override;
    [[nodiscard]] int setLineParameters(int port, int baudCode, int modeCode) override;
    [[nodiscard]] int secondSetup(int port, int arg) override;
    int writeChar(int port, int ch) override;
    [[nodiscard]] int readPort(int port, std::uint8_t *buffer, int maxBytes) override;
    int closePort(int port) override;
    [[nodiscard]] OpenFailure lastOpenFailure() const override { return m_openFailure; }

private:
    [[nodiscard]] bool usable(int port) const;
    // The host's addresses, or why there are none.
    [[nodiscard]] std::optional<QList<QHostAddress>>
    lookUp(const QString &host, const QDeadlineTimer &deadline, std::string &reason) const;
    // A connected socket to the first address that takes one, or why none did.
    [[nodiscard]] std::unique_ptr<QTcpSocket> connectTo(const QList<QHostAddress> &addresses, quint16 port,
                                                        const QDeadlineTimer &deadline,
                                                        std::string &reason) const;

    const PortDirectory &m_ports;
    const int m_connectTimeoutMs;
    // Kept after the server hangs up, until the link closes the port: it then reads nothing and
    // takes no more writes.
    std::unique_ptr<QTcpSocket> m_socket;
    OpenFailure m_openFailure;
    int m_openNumber = 0;
};
