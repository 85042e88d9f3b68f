// tcp:// ports against sockets of the test's own on 127.0.0.1: why an open fails, bytes both
// ways, a server that hangs up, and a resolver that never answers.
#include "TcpSerialPort.h"
#include "ProcessCpu.h"
#include "SwitchingSerialPort.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

QString tcpName(quint16 port)
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(port);
}

// A port nothing listens on: taken, then given back.
quint16 closedPort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

// Runs the message loop until done or ms have passed.
bool within(int ms, const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

struct Opened {
    bool ok = false;
    OpenError error;
    qint64 afterMs = 0;
};

std::optional<Opened> openAndWait(SerialPort &port, const QString &device, int ms = 5000)
{
    std::optional<Opened> result;
    QElapsedTimer timer;
    timer.start();
    port.open(device, [&](bool ok, const OpenError &error) { result = Opened{ok, error, timer.elapsed()}; });
    within(ms, [&] { return result.has_value(); });
    return result;
}

TEST(TcpSerialPort, OpenFailuresNameTheAddressAndTheReason)
{
    const std::string notAnAddress = "not a terminal server's address: tcp://HOST:PORT, PORT 1 to 65535";
    const quint16 refused = closedPort();
    ASSERT_NE(refused, 0);
    struct OpenCase {
        QString device;
        std::string reason;
    };
    const std::vector<OpenCase> cases = {
        {tcpName(refused), "connection refused"},
        {QStringLiteral("TCP://127.0.0.1:%1").arg(refused), "connection refused"},
        {QStringLiteral("tcp://no-such-host.invalid:4000"), "unknown host"},
        {QStringLiteral("tcp://127.0.0.1"), notAnAddress},
        {QStringLiteral("tcp://127.0.0.1:0"), notAnAddress},
        {QStringLiteral("tcp://127.0.0.1:65536"), notAnAddress},
        {QStringLiteral("tcp://:4000"), notAnAddress},
        {QStringLiteral("tcp://127.0.0.1:4000/ttyS0"), notAnAddress},
        {QStringLiteral("tcp://user@127.0.0.1:4000"), notAnAddress},
        // Anything else is a device, and Qt SerialPort says why it cannot open it.
        {QStringLiteral("/nonexistent/tty"), "not found"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.device.toStdString());
        SwitchingSerialPort port;
        const std::optional<Opened> opened = openAndWait(port, c.device);
        ASSERT_TRUE(opened.has_value());
        EXPECT_FALSE(opened->ok);
        EXPECT_EQ(opened->error.device, c.device.toStdString());
        EXPECT_EQ(opened->error.reason, c.reason);
        EXPECT_FALSE(port.write('U'));
    }
}

TEST(TcpSerialPort, AConnectOrALookupThatHangsFailsAtTheBoundAndNeverHoldsAClose)
{
    // A listener whose queue is full (backlog 0, one connection waiting) drops further
    // connection requests: a connect to it waits, as to a host that does not answer.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&at), &length), 0);
    const int waiting = ::socket(AF_INET, SOCK_STREAM, 0);
    ::fcntl(waiting, F_SETFL, O_NONBLOCK);
    ::connect(waiting, reinterpret_cast<sockaddr *>(&at), sizeof at);
    pollfd connected{waiting, POLLOUT, 0};
    ::poll(&connected, 1, 500);

    // And a resolver that never answers.
    const auto hangs = [](const std::string &, std::string &) {
        QThread::sleep(3600);
        return QList<QHostAddress>{};
    };
    for (const QString &device : {tcpName(ntohs(at.sin_port)), QStringLiteral("tcp://generator.lab:4001")}) {
        SCOPED_TRACE(device.toStdString());
        TcpSerialPort tcp(300, hangs);
        const std::optional<Opened> opened = openAndWait(tcp, device);
        ASSERT_TRUE(opened.has_value());
        EXPECT_FALSE(opened->ok);
        EXPECT_GE(opened->afterMs, 250);
        EXPECT_LT(opened->afterMs, 1500);
        EXPECT_EQ(opened->error.reason, "no connection within 0.3 s");

        // Given up before the bound, by the operator: done at once, and never told.
        bool told = false;
        QElapsedTimer timer;
        timer.start();
        tcp.open(device, [&](bool, const OpenError &) { told = true; });
        tcp.close();
        EXPECT_LT(timer.elapsed(), 1000) << "not the bound's 3 s, nor the resolver's hour";
        within(500, [] { return false; });
        EXPECT_FALSE(told);
    }
    ::close(waiting);
    ::close(listener);
}

TEST(TcpSerialPort, RawBytesBothWaysUntilTheServerHangsUp)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    SwitchingSerialPort port;
    const std::optional<Opened> opened = openAndWait(port, tcpName(server.serverPort()));
    ASSERT_TRUE(opened && opened->ok);
    ASSERT_TRUE(within(2000, [&] { return server.hasPendingConnections(); }));
    QTcpSocket *far = server.nextPendingConnection();

    // What a serial line carries, line ends and zeros included, unchanged.
    const QByteArray out("\x00\x0A\x0D\x20\xFFU", 6);
    for (const char c : out)
        EXPECT_TRUE(port.write(static_cast<std::uint8_t>(c)));
    QByteArray arrived;
    while (arrived.size() < out.size() && far->waitForReadyRead(2000))
        arrived += far->readAll();
    EXPECT_EQ(arrived.toHex(' '), out.toHex(' '));

    // An answer, and the server hangs up at once: the answer is not lost, and then the port
    // says the server has gone.
    const QByteArray answer("OK\r\n\x00\xFF", 6);
    far->write(answer);
    ASSERT_TRUE(far->waitForBytesWritten(2000));
    far->disconnectFromHost();
    QByteArray in;
    std::array<std::uint8_t, 1024> buffer{};
    int last = 0;
    EXPECT_TRUE(within(2000, [&] {
        last = port.read(buffer.data(), static_cast<int>(buffer.size()));
        in.append(reinterpret_cast<const char *>(buffer.data()), last > 0 ? last : 0);
        return last < 0;
    }));
    EXPECT_EQ(in.toHex(' '), answer.toHex(' '));
    EXPECT_EQ(port.errorString(), "the terminal server closed the connection");

    // Writes fail from then on, and nothing polls a dead socket.
    EXPECT_FALSE(port.write('U'));
    // A socket polled in a loop takes most of a core.
    EXPECT_LT(cpuShareWhileIdle(1000), 0.05);

    // Closed, the port opens anew on a fresh connection.
    port.close();
    const std::optional<Opened> again = openAndWait(port, tcpName(server.serverPort()));
    ASSERT_TRUE(again && again->ok);
    EXPECT_TRUE(within(2000, [&] { return server.hasPendingConnections(); }));
    port.close();
}

} // namespace

int main(int argc, char **argv)
{
    // Connections answer through a message loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
