// The serial layer the programs use, on tcp:// ports: against sockets of the test's own on
// 127.0.0.1, on the line thread as in the programs. Why an open fails, bytes both ways, and a
// server that hangs up.
#include "TcpSerialLibrary.h"
#include "FakeSystemPortList.h"
#include "PortDirectory.h"
#include "SerialThread.h"
#include "SwitchingSerialLibrary.h"

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
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

// The programs' arrangement: the layer on a line thread, every port number naming one device.
struct Line {
    explicit Line(const QString &device) { ports.useDevice(device); }
    FakeSystemPortList system;
    PortDirectory ports{system};
    SerialThread thread{[this] { return std::make_unique<SwitchingSerialLibrary>(ports); }};
};

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

bool within(int ms, const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(10);
    }
    return true;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(TcpSerialLibrary, OpenFailuresNameTheAddressAndTheReason)
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
        Line line(c.device);
        EXPECT_NE(line.thread.openPort(1), 0);
        const SerialLibrary::OpenFailure failure = line.thread.lastOpenFailure();
        EXPECT_EQ(failure.device, c.device.toStdString());
        EXPECT_EQ(failure.reason, c.reason);
        EXPECT_NE(line.thread.writeChar(1, 'U'), 0);
    }
}

TEST(TcpSerialLibrary, AConnectThatHangsFailsAtTheBound)
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

    FakeSystemPortList system;
    PortDirectory ports(system);
    ports.useDevice(tcpName(ntohs(at.sin_port)));
    TcpSerialLibrary tcp(ports, 300);
    QElapsedTimer timer;
    timer.start();
    EXPECT_NE(tcp.openPort(1), 0);
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_EQ(tcp.lastOpenFailure().reason, "no connection within 0.3 s");
    ::close(waiting);
    ::close(listener);
}

TEST(TcpSerialLibrary, RawBytesBothWaysUntilTheServerHangsUp)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    Line line(tcpName(server.serverPort()));
    ASSERT_EQ(line.thread.openPort(1), 0);
    // The server's line settings stand: the program's set-up asks nothing of it.
    EXPECT_EQ(line.thread.setLineParameters(1, 13, 3), 0);
    EXPECT_EQ(line.thread.secondSetup(1, 0), 0);
    ASSERT_TRUE(server.waitForNewConnection(2000));
    QTcpSocket *far = server.nextPendingConnection();

    // What a serial line carries, line ends and zeros included, unchanged.
    const QByteArray out("\x00\x0A\x0D\x20\xFFU", 6);
    for (const char c : out)
        EXPECT_EQ(line.thread.writeChar(1, static_cast<unsigned char>(c)), 0);
    QByteArray arrived;
    while (arrived.size() < out.size() && far->waitForReadyRead(2000))
        arrived += far->readAll();
    EXPECT_EQ(arrived.toHex(' '), out.toHex(' '));

    // An answer, and the server hangs up at once: the answer is not lost.
    const QByteArray answer("OK\r\n\x00\xFF", 6);
    far->write(answer);
    ASSERT_TRUE(far->waitForBytesWritten(2000));
    far->disconnectFromHost();
    QByteArray in;
    std::array<std::uint8_t, 1024> buffer{};
    EXPECT_TRUE(within(2000, [&] {
        const int n = line.thread.readPort(1, buffer.data(), static_cast<int>(buffer.size()));
        in.append(reinterpret_cast<const char *>(buffer.data()), n > 0 ? n : 0);
        return in.size() >= answer.size();
    }));
    EXPECT_EQ(in.toHex(' '), answer.toHex(' '));

    // Writes fail from then on, reads bring nothing, and the line thread does not poll a dead
    // socket.
    ASSERT_TRUE(within(2000, [&] { return line.thread.writeChar(1, 'U') != 0; }));
    const double before = cpuSeconds();
    QThread::msleep(1000);
    EXPECT_LT(cpuSeconds() - before, 0.02);
    EXPECT_EQ(line.thread.readPort(1, buffer.data(), static_cast<int>(buffer.size())), 0);

    // Closed by the link, the port opens anew on a fresh connection.
    EXPECT_EQ(line.thread.closePort(1), 0);
    ASSERT_EQ(line.thread.openPort(1), 0);
    EXPECT_TRUE(server.waitForNewConnection(2000));
    EXPECT_EQ(line.thread.closePort(1), 0);
}

} // namespace

int main(int argc, char **argv)
{
    // Host lookups answer through a message loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
