#pragma once

#include "SerialPort.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

// A generator behind a terminal server (ser2net in raw mode, a serial server's raw TCP port): a
// device named tcp://HOST:PORT is a TCP connection that carries the bytes unchanged both ways. The
// server owns the line settings. Opening never holds the thread: the name is looked up on a
// thread of its own (a resolver that never answers is simply left behind), the connection is
// made from the message loop, and the whole of it is bounded.
class TcpSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
public:
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

    // The host's addresses, or none and why; may take as long as it likes.
    using Resolver = std::function<QList<QHostAddress>(const std::string &host, std::string &reason)>;
    // The system's resolver.
    [[nodiscard]] static QList<QHostAddress> resolve(const std::string &host, std::string &reason);

    explicit TcpSerialPort(int connectTimeoutMs = kConnectTimeoutMs, Resolver resolver = resolve);
    ~TcpSerialPort() override;
    TcpSerialPort(const TcpSerialPort &) = delete;
    TcpSerialPort &operator=(const TcpSerialPort &) = delete;

    void open(const QString &device, OpenDone done) override;
    [[nodiscard]] bool write(std::uint8_t byte) override;
    [[nodiscard]] int read(std::uint8_t *buffer, int maxBytes) override;
    void close() override;
    [[nodiscard]] std::string errorString() const override { return m_error; }

private:
    struct Lookup;

    void lookedUp(const std::shared_ptr<Lookup> &lookup, const QList<QHostAddress> &addresses,
                  const std::string &reason);
    void connectNext();
    void openFailed(const std::string &reason);

    const int m_connectTimeoutMs;
    const Resolver m_resolver;
    QString m_device;
    OpenDone m_done;
    std::shared_ptr<Lookup> m_lookup; // the lookup this open waits for
    QList<QHostAddress> m_addresses;  // still to try
    quint16 m_port = 0;
    std::string m_lastReason;
    QTimer m_deadline;
    // Kept after the server hangs up, until the line closes it: it then reads -1 and takes no
    // more writes.
    std::unique_ptr<QTcpSocket> m_socket;
    bool m_connected = false;
    std::uint64_t m_attempt = 0; // counts closes: what an earlier open left queued is ignored
    std::string m_error;
};
