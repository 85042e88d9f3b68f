#include "TcpSerialLibrary.h"

#include "PortDirectory.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QTimer>
#include <QUrl>

#include <algorithm>

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

bool TcpSerialLibrary::isTcpName(const QString &device)
{
    return device.startsWith(QStringLiteral("tcp://"), Qt::CaseInsensitive);
}

std::optional<TcpSerialLibrary::Address> TcpSerialLibrary::parseAddress(const QString &device)
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

TcpSerialLibrary::TcpSerialLibrary(const PortDirectory &ports, int connectTimeoutMs)
    : m_ports(ports), m_connectTimeoutMs(connectTimeoutMs)
{
}

TcpSerialLibrary::~TcpSerialLibrary()
{
    if (m_socket)
        m_socket->abort();
}

bool TcpSerialLibrary::usable(int port) const
{
    return m_socket && port == m_openNumber;
}

int TcpSerialLibrary::openPort(int port)
{
    m_openFailure = {};
    const QString device = m_ports.devicePath(port);
    if (m_socket) {
        m_openFailure = {device.toStdString(), "this program has a port open already"};
        return -1;
    }
    if (const QString problem = m_ports.nameProblem(port); !problem.isEmpty()) {
        m_openFailure = {device.toStdString(), problem.toStdString()};
        return -2;
    }
    const std::optional<Address> address = parseAddress(device);
    if (!address) {
        m_openFailure = {device.toStdString(),
                         "not a terminal server's address: tcp://HOST:PORT, PORT 1 to 65535"};
        return -2;
    }
    const QDeadlineTimer deadline(m_connectTimeoutMs);
    std::string reason;
    const std::optional<QList<QHostAddress>> addresses = lookUp(address->host, deadline, reason);
    if (addresses)
        m_socket = connectTo(*addresses, address->port, deadline, reason);
    if (!m_socket) {
        m_openFailure = {device.toStdString(), reason};
        return -2;
    }
    m_openNumber = port;
    return 0;
}

std::optional<QList<QHostAddress>>
TcpSerialLibrary::lookUp(const QString &host, const QDeadlineTimer &deadline, std::string &reason) const
{
    const QHostAddress literal(host);
    if (!literal.isNull())
        return QList<QHostAddress>{literal};
    // QTcpSocket would look the name up without a bound: a resolver that does not answer would
    // hold the operator's window for as long as it pleases. The line thread has nothing else to
    // do while it opens, so it waits here for the answer or the bound.
    QEventLoop loop;
    std::optional<QHostInfo> answer;
    const int lookup = QHostInfo::lookupHost(host, &loop, [&](const QHostInfo &info) {
        answer = info;
        loop.quit();
    });
    QTimer::singleShot(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)), &loop,
                       &QEventLoop::quit);
    if (!answer)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!answer) {
        QHostInfo::abortHostLookup(lookup);
        reason = timedOut(m_connectTimeoutMs);
        return std::nullopt;
    }
    if (answer->error() == QHostInfo::HostNotFound ||
        (answer->error() == QHostInfo::NoError && answer->addresses().isEmpty())) {
        reason = "unknown host";
        return std::nullopt;
    }
    if (answer->error() != QHostInfo::NoError) {
        reason = answer->errorString().toStdString();
        return std::nullopt;
    }
    return answer->addresses();
}

std::unique_ptr<QTcpSocket> TcpSerialLibrary::connectTo(const QList<QHostAddress> &addresses, quint16 port,
                                                        const QDeadlineTimer &deadline,
                                                        std::string &reason) const
{
    // A name such as localhost may stand for ::1 and 127.0.0.1, and the server listen on one only.
    for (const QHostAddress &address : addresses) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0) {
            reason = timedOut(m_connectTimeoutMs);
            break;
        }
        auto socket = std::make_unique<QTcpSocket>();
        // A generator that floods the line cannot fill memory: beyond this the socket stops
        // reading until the receive ticks have taken their share.
        socket->setReadBufferSize(kReadBufferBytes);
        socket->connectToHost(address, port);
        if (socket->waitForConnected(static_cast<int>(remaining))) {
            // Each character leaves on its own write, 35 ms after the last: waiting for the
            // server's acknowledgment (Nagle) would bunch them.
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            return socket;
        }
        const bool late = socket->error() == QAbstractSocket::SocketTimeoutError || deadline.hasExpired();
        reason = late ? timedOut(m_connectTimeoutMs) : reasonOf(*socket);
        socket->abort();
    }
    return nullptr;
}

int TcpSerialLibrary::setLineParameters(int port, int baudCode, int modeCode)
{
    // The server sets the line: its own configuration says 19200 8N1.
    return usable(port) && baudCode == 13 && modeCode == 3 ? 0 : -1;
}

int TcpSerialLibrary::secondSetup(int port, int arg)
{
    return usable(port) && arg == 0 ? 0 : -1;
}

int TcpSerialLibrary::writeChar(int port, int ch)
{
    // After a hang-up the socket is unconnected and stays so: every write fails, and the link
    // stops sending.
    if (!usable(port) || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    const char c = static_cast<char>(ch);
    if (m_socket->write(&c, 1) != 1)
        return -2;
    // To the network now, not when the message loop next comes round.
    m_socket->flush();
    return 0;
}

int TcpSerialLibrary::readPort(int port, std::uint8_t *buffer, int maxBytes)
{
    // What the socket took in from the line thread's message loop; a closed connection has
    // nothing more, and its notifier is off, so nothing polls it.
    if (!usable(port) || maxBytes <= 0)
        return 0;
    const qint64 n = m_socket->read(reinterpret_cast<char *>(buffer), maxBytes);
    return n > 0 ? static_cast<int>(std::min<qint64>(n, maxBytes)) : 0;
}

int TcpSerialLibrary::closePort(int port)
{
    if (!usable(port))
        return -1;
    // Every character was flushed as it was written: nothing is left to wait for.
    m_socket->abort();
    m_socket.reset();
    m_openNumber = 0;
    return 0;
}
