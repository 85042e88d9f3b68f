#pragma once

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

// The real ser2net from Debian in raw mode on 127.0.0.1, in front of a device (the emulator's
// pseudo-terminal): the terminal server a tcp:// port talks to.
class Ser2netProcess {
public:
    ~Ser2netProcess() { stop(); }

    // Where ser2net is installed (it lives in /usr/sbin, which a user's PATH may lack); empty
    // when it is not.
    static QString program()
    {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
        if (!found.isEmpty())
            return found;
        return QStandardPaths::findExecutable(QStringLiteral("ser2net"),
                                              {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    }
    static QString missingMessage()
    {
        return QStringLiteral("ser2net is not installed (scripts/install-deps installs it)");
    }

    // False when it did not come up listening.
    bool start(const QString &device)
    {
        // A free port at the moment of asking may be taken before ser2net binds it: try another.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (listenOn(freePort(), device))
                return true;
            stop();
        }
        return false;
    }

    // The program's name for the server's port.
    [[nodiscard]] QString address() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(m_port); }

    // What ser2net has said so far.
    [[nodiscard]] QString log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("ser2net.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    // ser2net's own shut-down: it closes every connection it serves.
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

private:
    static quint16 freePort()
    {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
    }

    bool listenOn(quint16 port, const QString &device)
    {
        if (port == 0)
            return false;
        m_port = port;
        const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        // No banner: raw bytes only, as the generator's line carries them.
        file.write(QStringLiteral("%YAML 1.1\n---\n"
                                  "connection: &sgx\n"
                                  "    accepter: tcp,127.0.0.1,%1\n"
                                  "    connector: serialdev,%2,19200n81,local\n")
                       .arg(port)
                       .arg(device)
                       .toUtf8());
        file.close();
        // What it says (that it has no mDNS, say) goes to a file, for a test that fails to read.
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("ser2net.log")));
        m_process.start(program(), {QStringLiteral("-n"), QStringLiteral("-c"), config});
        if (!m_process.waitForStarted(5000))
            return false;
        // Asked of the kernel rather than by connecting, which would open the device.
        for (int i = 0; i < 100 && m_process.state() == QProcess::Running; ++i) {
            if (listening(port))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    // Whether a socket listens on 127.0.0.1:port (/proc/net/tcp: local address in hex, state 0A).
    static bool listening(quint16 port)
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        const QByteArray local =
            QByteArray("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
        for (const QByteArray &line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
                return true;
        }
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
