#include "RegularFile.h"

namespace {

// What a file that is not a regular one is, for the operator.
const char *kindText(FileKind kind)
{
    switch (kind) {
    case FileKind::Folder: return "a folder, not a file";
    case FileKind::Pipe: return "a pipe, not a regular file";
    case FileKind::Device: return "a device, not a regular file";
    case FileKind::Socket: return "a socket, not a regular file";
    default: return "not a regular file";
    }
}

} // namespace

bool RegularFile::fail(const std::string &reason)
{
    m_error = m_path + ": " + reason;
    return false;
}

bool RegularFile::mayTakeThePlaceOf(const std::string &path, std::string &why)
{
    const FileKind kind = NativeFile::kindOf(path);
    if (kind == FileKind::Missing || kind == FileKind::Regular)
        return true;
    why = kindText(kind);
    return false;
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
    std::string why;
    if (mode == Mode::Replace && !mayTakeThePlaceOf(path, why))
        return fail(why);
    // Not emptied yet: what turns out not to be a regular file is left alone.
    if (!m_file.open(path, mode == Mode::Read ? NativeFile::Access::Read : NativeFile::Access::Write))
        return fail(m_file.error());
    FileKind kind = FileKind::Other;
    std::uint64_t size = 0;
    // Each check records its reason when it fails.
    bool ok = m_file.inspect(kind, size) || fail(m_file.error());
    ok = ok && (kind == FileKind::Regular || fail(kindText(kind)));
    ok = ok &&
         (mode == Mode::Read || !m_file.isKernelFile() || fail("a file of the kernel's, not a regular file"));
    ok = ok && (mode == Mode::Read || m_file.truncate() || fail(m_file.error()));
    if (!ok) {
        close();
        return false;
    }
    m_size = mode == Mode::Read ? size : 0;
    return true;
}

bool RegularFile::readUpTo(std::size_t maxBytes, std::vector<std::uint8_t> &bytes)
{
    if (!isOpen())
        return fail("not open");
    return m_file.readUpTo(maxBytes, bytes) || fail(m_file.error());
}

bool RegularFile::writeAll(const void *data, std::size_t count)
{
    if (!isOpen())
        return fail("not open");
    return m_file.writeAll(static_cast<const std::uint8_t *>(data), count) || fail(m_file.error());
}
