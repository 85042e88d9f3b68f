#pragma once

#include "NativeFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A file named on a command line or in a dialog (a program file, a trace, an EDID image), opened
// by exactly the bytes given, whatever their encoding. Only a regular file is taken: the open
// never waits (a pipe without a writer or reader would hold it for ever), and a folder, device,
// pipe or socket is refused by what it is once open, as is, for writing, a file of the kernel's
// (/proc, /sys). Every result that can fail is a bool with the reason in error().
class RegularFile {
public:
    enum class Mode {
        Read,
        Replace, // create, or empty an existing file, for writing
    };

    [[nodiscard]] bool open(const std::string &path, Mode mode);
    void close() { m_file.close(); }
    [[nodiscard]] bool isOpen() const { return m_file.isOpen(); }

    // The file's size when it was opened.
    [[nodiscard]] std::uint64_t size() const { return m_size; }

    // Reads from the current position until the end or maxBytes, whichever comes first.
    [[nodiscard]] bool readUpTo(std::size_t maxBytes, std::vector<std::uint8_t> &bytes);
    // Writes every byte, or fails (a full disk, a size limit).
    [[nodiscard]] bool writeAll(const void *data, std::size_t count);

    // Why the last open, read or write failed, as "PATH: reason".
    [[nodiscard]] const std::string &error() const { return m_error; }

    // Whether path names a regular file or nothing yet, so that a file may be put in its place;
    // why not (what it names instead) when it may not.
    [[nodiscard]] static bool mayTakeThePlaceOf(const std::string &path, std::string &why);

private:
    bool fail(const std::string &reason);

    NativeFile m_file;
    std::uint64_t m_size = 0;
    std::string m_path;
    std::string m_error;
};
