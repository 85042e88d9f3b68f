#include "NativeFile.h"

#include "FileOwnership.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

// Standard C++ only: names are handed to the C library as given, a pipe or device is whatever
// opening it does there, and there is nothing of the kernel's to refuse nor any owner to keep.
namespace {

namespace fs = std::filesystem;

std::FILE *streamOf(std::intptr_t handle)
{
    return reinterpret_cast<std::FILE *>(handle);
}

FileKind kindOfStatus(const fs::file_status &status)
{
    switch (status.type()) {
    case fs::file_type::not_found: return FileKind::Missing;
    case fs::file_type::regular: return FileKind::Regular;
    case fs::file_type::directory: return FileKind::Folder;
    case fs::file_type::fifo: return FileKind::Pipe;
    case fs::file_type::block:
    case fs::file_type::character: return FileKind::Device;
    case fs::file_type::socket: return FileKind::Socket;
    default: return FileKind::Other;
    }
}

} // namespace

NativeFile::~NativeFile()
{
    close();
}

bool NativeFile::fail()
{
    m_error = std::strerror(errno);
    return false;
}

bool NativeFile::open(const std::string &name, Access access)
{
    close();
    m_name = name;
    std::FILE *stream = nullptr;
    switch (access) {
    case Access::Read: stream = std::fopen(name.c_str(), "rb"); break;
    case Access::Write:
        stream = std::fopen(name.c_str(), "r+b");
        if (stream == nullptr && kindOf(name) == FileKind::Missing)
            stream = std::fopen(name.c_str(), "wb");
        break;
    case Access::CreateNew: stream = std::fopen(name.c_str(), "wxb"); break;
    }
    if (stream == nullptr)
        return fail();
    m_handle = reinterpret_cast<std::intptr_t>(stream);
    return true;
}

void NativeFile::openStandardInput()
{
    close();
    m_name = "standard input";
    m_handle = reinterpret_cast<std::intptr_t>(stdin);
    m_owned = false;
}

void NativeFile::close()
{
    if (isOpen() && m_owned)
        std::fclose(streamOf(m_handle));
    m_handle = kClosed;
    m_owned = true;
}

bool NativeFile::inspect(FileKind &kind, std::uint64_t &size)
{
    std::error_code error;
    kind = kindOfStatus(fs::status(m_name, error));
    size = kind == FileKind::Regular ? static_cast<std::uint64_t>(fs::file_size(m_name, error)) : 0;
    if (!error)
        return true;
    m_error = error.message();
    return false;
}

bool NativeFile::isKernelFile() const
{
    return false;
}

bool NativeFile::truncate()
{
    std::FILE *stream = std::freopen(m_name.c_str(), "wb", streamOf(m_handle));
    if (stream == nullptr) {
        m_handle = kClosed;
        return fail();
    }
    m_handle = reinterpret_cast<std::intptr_t>(stream);
    return true;
}

bool NativeFile::read(std::uint8_t *data, std::size_t capacity, std::size_t &count)
{
    count = std::fread(data, 1, capacity, streamOf(m_handle));
    return !std::ferror(streamOf(m_handle)) || fail();
}

bool NativeFile::writeAll(const std::uint8_t *data, std::size_t count)
{
    std::FILE *stream = streamOf(m_handle);
    return (std::fwrite(data, 1, count, stream) == count && std::fflush(stream) == 0) || fail();
}

bool NativeFile::sync()
{
    return std::fflush(streamOf(m_handle)) == 0 || fail();
}

bool NativeFile::keep(const FileOwnership &)
{
    return true;
}

FileKind NativeFile::kindOf(const std::string &name)
{
    std::error_code error;
    return kindOfStatus(fs::status(name, error));
}

std::string NativeFile::linkTarget(const std::string &name)
{
    fs::path current = name;
    std::error_code error;
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(current, error)); ++hop) {
        const fs::path target = fs::read_symlink(current, error);
        if (error)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool NativeFile::rename(const std::string &from, const std::string &to, std::string &error)
{
    std::error_code failed;
    fs::rename(from, to, failed);
    if (!failed)
        return true;
    error = failed.message();
    return false;
}

void NativeFile::remove(const std::string &name)
{
    std::error_code ignored;
    fs::remove(name, ignored);
}
