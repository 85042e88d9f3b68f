#include "DeviceLock.h"

#include "ExclusiveUse.h"

#include <QFile>
#include <QFileInfo>

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

long lockFileHolder(const QString &device)
{
    // Qt's lock file: LCK.. and the device's path below /dev, each '/' as '_', in /var/lock.
    const QString dev = QStringLiteral("/dev/");
    QString below = device.startsWith(dev) ? device.mid(dev.size()) : QFileInfo(device).fileName();
    below.replace(QLatin1Char('/'), QLatin1Char('_'));
    QFile lock(QStringLiteral("/var/lock/LCK..") + below);
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    return lock.readLine().trimmed().toLong();
}
