#include "ExclusiveUse.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

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

bool holdDeviceExclusively(int descriptor, long &holder)
{
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        holder = flockHolder(descriptor);
        return false;
    }
    // Without flocks (a file system that has none) the terminal's exclusive mode still keeps
    // others out. Nobody else may open it now, by any name (the superuser excepted).
    ::ioctl(descriptor, TIOCEXCL);
    return true;
}
