#include "NativeFile.h"

#include "FileOwnership.h"
#include "KernelFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int descriptorOf(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

std::string systemReason()
{
    return std::strerror(errno);
}

FileKind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISFIFO(mode))
        return FileKind::Pipe;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

} // namespace

NativeFile::~NativeFile()
{
    close();
}

bool NativeFile::fail()
{
    m_error = systemReason();
    return false;
}

bool NativeFile::open(const std::string &name, Access access)
{
    close();
    m_name = name;
    int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    switch (access) {
    case Access::Read: flags |= O_RDONLY; break;
    case Access::Write: flags |= O_WRONLY | O_CREAT; break;
    case Access::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
    }
    const int fd = ::open(name.c_str(), flags, 0666);
    if (fd < 0)
        return fail();
    // Open now, whatever it is: from here on a read or write of a regular file waits as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_handle = fd;
    return true;
}

void NativeFile::openStandardInput()
{
    close();
    m_name = "standard input";
    m_handle = STDIN_FILENO;
    m_owned = false;
}

void NativeFile::close()
{
    if (isOpen() && m_owned)
        ::close(descriptorOf(m_handle));
    m_handle = kClosed;
    m_owned = true;
}

bool NativeFile::inspect(FileKind &kind, std::uint64_t &size)
{
    struct stat info {};
    if (::fstat(descriptorOf(m_handle), &info) != 0)
        return fail();
    kind = kindOfMode(info.st_mode);
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool NativeFile::isKernelFile() const
{
    return isOpen() && onKernelFileSystem(descriptorOf(m_handle));
}

bool NativeFile::truncate()
{
    return ::ftruncate(descriptorOf(m_handle), 0) == 0 || fail();
}

bool NativeFile::read(std::uint8_t *data, std::size_t capacity, std::size_t &count)
{
    for (;;) {
        const ssize_t n = ::read(descriptorOf(m_handle), data, capacity);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail();
        count = static_cast<std::size_t>(n);
        return true;
    }
}

bool NativeFile::writeAll(const std::uint8_t *data, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(descriptorOf(m_handle), data, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail();
        if (n == 0) {
            m_error = "nothing written";
            return false;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool NativeFile::sync()
{
    return ::fsync(descriptorOf(m_handle)) == 0 || fail();
}

bool NativeFile::keep(const FileOwnership &ownership)
{
    if (!ownership.exists())
        return true;
    const int fd = descriptorOf(m_handle);
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return fail();
    // Owner first: a change of owner clears the set-user and set-group bits the mode restores.
    if ((made.st_uid != ownership.owner() || made.st_gid != ownership.group()) &&
        ::fchown(fd, ownership.owner(), ownership.group()) != 0) {
        m_error = "cannot keep its owner " + std::to_string(ownership.owner()) + " and group " +
                  std::to_string(ownership.group()) + " (" + systemReason() + ")";
        return false;
    }
    if (::fchmod(fd, static_cast<mode_t>(ownership.mode())) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", ownership.mode());
        m_error = std::string("cannot keep its mode ") + mode + " (" + systemReason() + ")";
        return false;
    }
    return true;
}

FileKind NativeFile::kindOf(const std::string &name)
{
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        return FileKind::Missing;
    return kindOfMode(info.st_mode);
}

std::string NativeFile::linkTarget(const std::string &name)
{
    std::string current = name;
    // As many links as the system itself follows, and no loop for ever.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::vector<char> target(static_cast<std::size_t>(info.st_size) + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return current;
        std::string next(target.data(), static_cast<std::size_t>(n));
        // A relative target is relative to the link's folder.
        const std::size_t slash = current.rfind('/');
        if (next.front() != '/' && slash != std::string::npos)
            next = current.substr(0, slash + 1) + next;
        current = next;
    }
    return current;
}

bool NativeFile::rename(const std::string &from, const std::string &to, std::string &error)
{
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    error = systemReason();
    return false;
}

void NativeFile::remove(const std::string &name)
{
    ::unlink(name.c_str());
}
