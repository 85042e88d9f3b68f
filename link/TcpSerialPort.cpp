#include "TcpSerialPort.h"

#include "HostLookup.h"

#include <QMetaObject>
#include <QUrl>

#include <algorithm>
#include <mutex>
#include <thread>

// What the resolver thread shares with the port: once the port gives the lookup up (a close, a
// new open, the bound, the port's end), the thread's answer goes nowhere.
struct TcpSerialPort::Lookup {
    std::mutex mutex;
    bool abandoned = false;
};

namespace {

std::string timedOut(int boundMs)
{
    return "no connection within " + QString::number(boundMs / 1000.0).toStdString() + " s";
}

std::string reasonOf(const QTcpSocket &socket)
{
    switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError: return "connection refused";
    case QAbstractSocket::HostNotFoundError: return "unknown host";
    default: return socket.errorString().toStdString();
    }
}

} // namespace

QList<QHostAddress> TcpSerialPort::resolve(const std::string &host, std::string &reason)
{
    std::vector<std::string> found;
    QList<QHostAddress> addresses;
    if (!lookUpHost(host, found, reason))
        return addresses;
    for (const std::string &text : found) {
        const QHostAddress address(QString::fromStdString(text));
        if (!address.isNull() && !addresses.contains(address))
            addresses.append(address);
    }
    if (addresses.isEmpty())
        reason = "unknown host";
    return addresses;
}

bool TcpSerialPort::isTcpName(const QString &device)
{
    return device.startsWith(QStringLiteral("tcp://"), Qt::CaseInsensitive);
}

std::optional<TcpSerialPort::Address> TcpSerialPort::parseAddress(const QString &device)
{
    if (!isTcpName(device))
        return std::nullopt;
    const QUrl url(device, QUrl::StrictMode);
    const int port = url.port();
    if (!url.isValid() || url.host().isEmpty() || port < 1 || port > 65535 || !url.userInfo().isEmpty() ||
        !(url.path().isEmpty() || url.path() == QStringLiteral("/")) || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return Address{url.host(), static_cast<quint16>(port)};
}

TcpSerialPort::TcpSerialPort(int connectTimeoutMs, Resolver resolver)
    : m_connectTimeoutMs(connectTimeoutMs), m_resolver(std::move(resolver))
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { openFailed(timedOut(m_connectTimeoutMs)); });
}

TcpSerialPort::~TcpSerialPort()
{
    close();
}

void TcpSerialPort::open(const QString &device, OpenDone done)
{
    close();
    m_error.clear();
    m_device = device;
    m_done = std::move(done);
    const std::optional<Address> address = parseAddress(device);
    if (!address) {
        openFailed("not a terminal server's address: tcp://HOST:PORT, PORT 1 to 65535");
        return;
    }
    m_port = address->port;
    m_lastReason = timedOut(m_connectTimeoutMs);
    m_deadline.start(m_connectTimeoutMs);
    const QHostAddress literal(address->host);
    if (!literal.isNull()) {
        m_addresses = {literal};
        connectNext();
        return;
    }
    auto lookup = std::make_shared<Lookup>();
    m_lookup = lookup;
    // The system's resolver may take as long as it likes: it runs on a thread nobody waits for.
    std::thread([this, lookup, resolver = m_resolver, host = address->host.toStdString()] {
        std::string reason;
        const QList<QHostAddress> addresses = resolver(host, reason);
        const std::lock_guard<std::mutex> hold(lookup->mutex);
        // Under the lock the port still exists, so the call can be posted to it; Qt drops it if
        // the port is gone by the time it would run.
        if (!lookup->abandoned)
            QMetaObject::invokeMethod(
                this, [this, lookup, addresses, reason] { lookedUp(lookup, addresses, reason); },
                Qt::QueuedConnection);
    }).detach();
}

void TcpSerialPort::lookedUp(const std::shared_ptr<Lookup> &lookup, const QList<QHostAddress> &addresses,
                             const std::string &reason)
{
    if (lookup != m_lookup)
        return;
    m_lookup.reset();
    if (addresses.isEmpty()) {
        openFailed(reason);
        return;
    }
    m_addresses = addresses;
    connectNext();
}

void TcpSerialPort::connectNext()
{
    // A name such as localhost may stand for ::1 and 127.0.0.1, and the server listen on one only.
    if (m_addresses.isEmpty()) {
        openFailed(m_lastReason);
        return;
    }
    const QHostAddress address = m_addresses.takeFirst();
    m_socket = std::make_unique<QTcpSocket>();
    // A generator that floods the line cannot fill memory: beyond this the socket stops reading
    // until the line thread has taken its share.
    m_socket->setReadBufferSize(kReadBufferBytes);
    QTcpSocket *socket = m_socket.get();
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        m_deadline.stop();
        m_connected = true;
        // Each character leaves on its own write, 35 ms after the last: waiting for the
        // server's acknowledgment (Nagle) would bunch them.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        OpenDone done = std::move(m_done);
        m_done = nullptr;
        if (done)
            done(true, {});
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError) {
        if (m_connected) {
            if (m_error.empty())
                m_error = socket->error() == QAbstractSocket::RemoteHostClosedError
                              ? "the terminal server closed the connection"
                              : socket->errorString().toStdString();
            return;
        }
        m_lastReason = reasonOf(*socket);
        // Not from inside the socket's own signal, and only if this open is still the one going on.
        QMetaObject::invokeMethod(
            this,
            [this, attempt = m_attempt] {
                if (attempt == m_attempt)
                    connectNext();
            },
            Qt::QueuedConnection);
    });
    socket->connectToHost(address, m_port);
}

void TcpSerialPort::openFailed(const std::string &reason)
{
    OpenDone done = std::move(m_done);
    close();
    m_error = reason;
    if (done)
        done(false, OpenError{OpenError::Stage::Open, m_device.toStdString(), reason});
}

bool TcpSerialPort::write(std::uint8_t byte)
{
    // After a hang-up the socket is unconnected and stays so: every write fails, and the line
    // stops sending.
    if (!m_connected || !m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    const char c = static_cast<char>(byte);
    if (m_socket->write(&c, 1) != 1)
        return false;
    // To the network now, not when the message loop next comes round.
    m_socket->flush();
    return true;
}

int TcpSerialPort::read(std::uint8_t *buffer, int maxBytes)
{
    if (!m_connected || !m_socket || maxBytes <= 0)
        return 0;
    const qint64 n = m_socket->read(reinterpret_cast<char *>(buffer), maxBytes);
    if (n > 0)
        return static_cast<int>(std::min<qint64>(n, maxBytes));
    // What the server sent before it hung up has been read: now say it has gone.
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        if (m_error.empty())
            m_error = "the terminal server closed the connection";
        return -1;
    }
    return 0;
}

void TcpSerialPort::close()
{
    ++m_attempt;
    m_deadline.stop();
    if (m_lookup) {
        const std::lock_guard<std::mutex> hold(m_lookup->mutex);
        m_lookup->abandoned = true;
    }
    m_lookup.reset();
    m_addresses.clear();
    m_done = nullptr;
    m_connected = false;
    if (m_socket) {
        m_socket->disconnect(this);
        // Every character was flushed as it was written: nothing is left to wait for.
        m_socket->abort();
        m_socket.reset();
    }
}
