#pragma once

#include "ByteTrace.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <cstdint>
#include <vector>

// sgx100-sim running on a pseudo-terminal for one test, with a byte trace.
class SimProcess {
public:
    struct TracedByte {
        double atMs;
        bool toGenerator;
        std::uint8_t byte;
    };

    ~SimProcess() { stop(); }

    // Starts the emulator with extra flags; false if it did not come up with a device path.
    bool start(const QStringList &flags = {})
    {
        m_tracePath = m_dir.filePath("trace.txt");
        m_process.setProgram(QStringLiteral(SGX_SIM_PATH));
        m_process.setArguments(QStringList{"--trace", m_tracePath} + flags);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 50 && !m_process.canReadLine(); ++i)
            m_process.waitForReadyRead(100);
        m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        m_process.setReadChannel(QProcess::StandardError);
        return !m_path.isEmpty();
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }

    // Hangs the line up now (the emulator's SIGUSR1).
    void hangUp() const { ::kill(static_cast<pid_t>(m_process.processId()), SIGUSR1); }

    // What the emulator said on standard error since the last call, without waiting: for tests
    // whose message loop must keep running.
    QString newChanges()
    {
        const QByteArray arrived = m_process.readAllStandardError();
        m_stderr += arrived;
        return QString::fromLocal8Bit(arrived);
    }

    // What the emulator said on standard error so far (one line per change).
    QString changes()
    {
        while (m_process.waitForReadyRead(200))
            m_stderr += m_process.readAllStandardError();
        m_stderr += m_process.readAllStandardError();
        return QString::fromLocal8Bit(m_stderr);
    }

    [[nodiscard]] std::vector<TracedByte> trace() const;
    // The bytes the program put on the line, in order.
    [[nodiscard]] QByteArray sentBytes() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_path;
    QString m_tracePath;
    QByteArray m_stderr;
};

inline std::vector<SimProcess::TracedByte> SimProcess::trace() const
{
    std::vector<TracedByte> out;
    for (const ByteTrace::Byte &b : ByteTrace::read(m_tracePath.toStdString()))
        out.push_back({b.atMs, b.direction == ByteTrace::Direction::ToGenerator, b.value});
    return out;
}

inline QByteArray SimProcess::sentBytes() const
{
    QByteArray out;
    for (const TracedByte &t : trace())
        if (t.toGenerator)
            out.append(static_cast<char>(t.byte));
    return out;
}
