#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FileOwnership;

// What a name or an open file is, as far as the program cares.
enum class FileKind { Missing, Regular, Folder, Pipe, Device, Socket, Other };

// A file of the operating system's, named by the bytes given (never re-encoded) and opened
// without waiting: a pipe without a writer or reader, or a device, cannot hold the open up.
// What the file is, and whether the program takes it, is the caller's to decide. Every result
// that can fail is a bool with the system's reason in error().
class NativeFile {
public:
    enum class Access {
        Read,
        Write,     // created when missing, not emptied
        CreateNew, // created; fails when the name exists
    };

    NativeFile() = default;
    ~NativeFile();
    NativeFile(const NativeFile &) = delete;
    NativeFile &operator=(const NativeFile &) = delete;

    // A file created has mode 0666 less the process's umask.
    [[nodiscard]] bool open(const std::string &name, Access access);
    // The process's standard input, read as it is; closing leaves it open.
    void openStandardInput();
    void close();
    [[nodiscard]] bool isOpen() const { return m_handle != kClosed; }

    // What the open file is and its size now.
    [[nodiscard]] bool inspect(FileKind &kind, std::uint64_t &size);
    // Whether the open file is one of the kernel's own (/proc, /sys and their kind): they pass for
    // regular files, but a write to one is a command to the kernel, or fails, never a log.
    [[nodiscard]] bool isKernelFile() const;
    [[nodiscard]] bool truncate();
    // Reads from the current position until the end or maxBytes, whichever comes first.
    [[nodiscard]] bool readUpTo(std::size_t maxBytes, std::vector<std::uint8_t> &bytes);
    // Writes every byte, or fails (a full disk, a size limit).
    [[nodiscard]] bool writeAll(const std::uint8_t *data, std::size_t count);
    // Once this returns, what was written survives a crash.
    [[nodiscard]] bool sync();
    // Gives the file the owner, group and mode of the one it is to replace.
    [[nodiscard]] bool keep(const FileOwnership &ownership);

    [[nodiscard]] const std::string &error() const { return m_error; }

    // Of the file a name leads to; Missing also when it cannot be looked at.
    [[nodiscard]] static FileKind kindOf(const std::string &name);
    // The name a chain of symbolic links ends in; the name itself when it is no link.
    [[nodiscard]] static std::string linkTarget(const std::string &name);
    // Puts from in the place of to, in one step.
    [[nodiscard]] static bool rename(const std::string &from, const std::string &to, std::string &error);
    static void remove(const std::string &name);

private:
    [[nodiscard]] bool fail();
    // Reads what comes, up to capacity bytes; count 0 at the end of the file.
    [[nodiscard]] bool read(std::uint8_t *data, std::size_t capacity, std::size_t &count);

    static constexpr std::intptr_t kClosed = -1;
    // The system's handle: a descriptor, or what the fallback keeps.
    std::intptr_t m_handle = kClosed;
    bool m_owned = true;
    std::string m_name;
    std::string m_error;
};
