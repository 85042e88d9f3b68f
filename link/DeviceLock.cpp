#include "DeviceLock.h"

#include "ExclusiveUse.h"
#include "NameLimits.h"

#include <QFile>

std::string inUseBy(long pid)
{
    std::string reason = "already in use by another program";
    if (pid > 0)
        reason += " (process " + std::to_string(pid) + ")";
    return reason;
}

std::string holdExclusively(int descriptor)
{
    long holder = 0;
    if (!holdDeviceExclusively(descriptor, holder))
        return inUseBy(holder);
    return {};
}

namespace {

// The name of Qt's lock file for a device: LCK.. and its path below /dev (a path elsewhere
// whole), each '/' as '_'.
QString qtLockFileName(const QString &device)
{
    const QString dev = QStringLiteral("/dev/");
    QString below = device.startsWith(dev) ? device.mid(dev.size()) : device;
    return QStringLiteral("LCK..") + below.replace(QLatin1Char('/'), QLatin1Char('_'));
}

} // namespace

bool lockFileNameTooLong(const QString &device)
{
    return static_cast<std::size_t>(QFile::encodeName(qtLockFileName(device)).size()) > longestEntryName();
}

long lockFileHolder(const QString &device)
{
    QFile lock(QStringLiteral("/var/lock/") + qtLockFileName(device));
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    return lock.readLine().trimmed().toLong();
}
