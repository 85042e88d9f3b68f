#include "DeviceLock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fstream>
#include <sstream>

#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

namespace {

// Who holds an flock on the file, from the kernel's list of locks: "1: FLOCK ADVISORY WRITE pid
// major:minor:inode start end".
long flockHolder(int descriptor)
{
    struct stat file {};
    if (::fstat(descriptor, &file) != 0)
        return 0;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> where) || kind != "FLOCK")
            continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 &&
            major == ::major(file.st_dev) && minor == ::minor(file.st_dev) && inode == file.st_ino)
            return pid;
    }
    return 0;
}

} // namespace

std::string inUseBy(long pid)
{
    std::string reason = "already in use by another program";
    if (pid > 0)
        reason += " (process " + std::to_string(pid) + ")";
    return reason;
}

std::string holdExclusively(int descriptor, const QString &device)
{
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return inUseBy(flockHolder(descriptor));
        // A file system without flocks: the terminal's exclusive mode still keeps others out.
    }
    // Nobody else may open it now, by any name (the superuser excepted).
    ::ioctl(descriptor, TIOCEXCL);
    Q_UNUSED(device);
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
