#include "FileOwnership.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

FileOwnership::FileOwnership(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    m_exists = true;
    m_owner = info.st_uid;
    m_group = info.st_gid;
    m_mode = info.st_mode & 07777;
    if (info.st_nlink > 1)
        m_refusal = QStringLiteral("it has %1 hard links, which replacing it would split").arg(info.st_nlink);
}

QString FileOwnership::applyTo(int fd) const
{
    if (!m_exists)
        return {};
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    // Owner first: a change of owner clears the set-user and set-group bits the mode restores.
    if ((made.st_uid != m_owner || made.st_gid != m_group) && ::fchown(fd, m_owner, m_group) != 0)
        return QStringLiteral("cannot keep its owner %1 and group %2 (%3)")
            .arg(m_owner)
            .arg(m_group)
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (::fchmod(fd, static_cast<mode_t>(m_mode)) != 0)
        return QStringLiteral("cannot keep its mode %1 (%2)")
            .arg(m_mode, 4, 8, QLatin1Char('0'))
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}
