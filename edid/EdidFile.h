#pragma once

#include "EdidValues.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// EDID images on disk: exactly the 256 bytes, no header. The program's File menu and sgxctl use
// this one reader and this one writer.
namespace EdidFile {

// Whether a file operation was done, and if not why, in a few words, for sgxctl to print after
// the file's name (the window shows only "Open file error").
struct [[nodiscard]] Result {
    bool ok = false;
    QString reason;
    explicit operator bool() const { return ok; }
};

// Reads up to 256 bytes from the start of the file and, only once they are all in, copies them
// over the start of edid: a shorter file replaces only its own bytes, a longer one is read no
// further than its 256th byte. Fails, leaving edid unchanged, for anything but a regular
// file (a folder, a device, a pipe), a file that cannot be opened, or a read that fails.
Result load(const QString &path, EdidBytes &edid);

// Writes the 256 bytes to a temporary file beside the target and renames it over the target, so
// that a failure at any point leaves an existing file as it was. The new file keeps the owner,
// group and mode of the one it replaces. Fails when the file cannot be created, written or put
// in place; for an existing target that is not a regular file (which would otherwise be replaced
// by one); and for one with several hard links, or whose owner cannot be kept.
Result save(const QString &path, const EdidBytes &edid);

// Everything save does except putting the file in place: whether a save to path would succeed
// now, asked before anything is worth saving (sgxctl edid-read, ahead of a 5 s read).
Result canSave(const QString &path);

// What load and save stand on, for files of any length (sgxctl edid-check): the first maxBytes
// of a regular file, read in full; and a file replaced as a whole, or not at all.
Result readBytes(const QString &path, qint64 maxBytes, std::vector<std::uint8_t> &bytes);
Result writeBytes(const QString &path, const std::uint8_t *data, qint64 size);

// A file name from the command line, in the local file-name encoding. A name that does not
// decode and encode back to the very same bytes (not UTF-8) is refused: opening what it decodes
// to would read or replace another file.
Result localName(const std::string &argument, QString &path);

// load and save for a name from the command line.
Result load(const std::string &path, EdidBytes &edid);
Result save(const std::string &path, const EdidBytes &edid);

constexpr const char *OpenErrorMessage = "Open file error";

} // namespace EdidFile
