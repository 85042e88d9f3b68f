#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace {

// What a file that is not a regular one is, for the operator.
const char *kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder, not a file";
    if (S_ISFIFO(mode))
        return "a pipe, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device, not a regular file";
    if (S_ISSOCK(mode))
        return "a socket, not a regular file";
    return "not a regular file";
}

// Whether an open file is one of the kernel's own (/proc, /sys and their kind): they pass for
// regular files, but a write to one is a command to the kernel, or fails, never a log.
bool kernelInterface(int fd)
{
#ifdef __linux__
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC: return true;
    default: return false;
    }
#else
    (void)fd;
    return false;
#endif
}

} // namespace

RegularFile::~RegularFile()
{
    close();
}

void RegularFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool RegularFile::fail(const std::string &reason)
{
    m_error = m_path + ": " + reason;
    return false;
}

bool RegularFile::failWithErrno()
{
    return fail(std::strerror(errno));
}

bool RegularFile::open(const std::string &path, Mode mode)
{
    close();
    m_path = path;
    m_error.clear();
    m_size = 0;
    if (path.empty())
        return fail("an empty file name");
    // A folder cannot be opened for writing at all; say what it is rather than "Is a directory".
    struct stat before {};
    if (mode == Mode::Replace && ::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode))
        return fail(kindOf(before.st_mode));
    // Not truncated yet: what turns out not to be a regular file is left alone.
    const int flags =
        (mode == Mode::Read ? O_RDONLY : O_WRONLY | O_CREAT) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return failWithErrno();
    m_fd = fd;
    struct stat info {};
    // Each check records its reason when it fails.
    bool ok = ::fstat(fd, &info) == 0 || failWithErrno();
    ok = ok && (S_ISREG(info.st_mode) || fail(kindOf(info.st_mode)));
    ok = ok &&
         (mode == Mode::Read || !kernelInterface(fd) || fail("a file of the kernel's, not a regular file"));
    ok = ok && (mode == Mode::Read || ::ftruncate(fd, 0) == 0 || failWithErrno());
    if (!ok) {
        close();
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_size = mode == Mode::Read ? static_cast<std::uint64_t>(info.st_size) : 0;
    return true;
}

bool RegularFile::readUpTo(std::size_t maxBytes, std::vector<std::uint8_t> &bytes)
{
    if (m_fd < 0)
        return fail("not open");
    std::vector<std::uint8_t> read;
    std::size_t count = 0;
    while (count < maxBytes) {
        // Grown as the file turns out longer than it was, never past maxBytes.
        if (count == read.size())
            read.resize(std::min(maxBytes, count + 64 * 1024));
        const ssize_t n = ::read(m_fd, read.data() + count, read.size() - count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failWithErrno();
        if (n == 0)
            break;
        count += static_cast<std::size_t>(n);
    }
    read.resize(count);
    bytes = std::move(read);
    return true;
}

bool RegularFile::writeAll(const void *data, std::size_t count)
{
    if (m_fd < 0)
        return fail("not open");
    const auto *p = static_cast<const std::uint8_t *>(data);
    while (count > 0) {
        const ssize_t n = ::write(m_fd, p, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? failWithErrno() : fail("nothing written");
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}
