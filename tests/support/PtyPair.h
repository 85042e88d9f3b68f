#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

// A pseudo-terminal whose device a test hands to the program as a serial port, reading from the
// other side what the program wrote.
class PtyPair {
public:
    PtyPair()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        if (const char *name = ::ptsname(m_master))
            m_device = QString::fromLocal8Bit(name);
    }
    ~PtyPair()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    // Empty when no pseudo-terminal could be had.
    [[nodiscard]] const QString &device() const { return m_device; }

    // Everything written to the device since the last call.
    [[nodiscard]] QByteArray takeWritten()
    {
        QByteArray out;
        char buffer[256];
        ssize_t n = 0;
        while (m_master >= 0 && (n = ::read(m_master, buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<qsizetype>(n));
        return out;
    }

private:
    int m_master = -1;
    QString m_device;
};
