#pragma once

#include "SharedValues.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// EDID images on disk: exactly the 256 bytes, no header. The program's File menu and sgxctl use
// this one reader and this one writer.
namespace EdidFile {

// Reads up to 256 bytes from the start of the file and, only once they are all in, copies them
// over the start of edid: a shorter file replaces only its own bytes, a longer one is read no
// further than its 256th byte. Returns false, leaving edid unchanged, for anything but a regular
// file (a folder, a device, a pipe), a file that cannot be opened, or a read that fails.
[[nodiscard]] bool load(const QString &path, EdidBytes &edid);

// Writes the 256 bytes to a temporary file beside the target and renames it over the target, so
// that a failure at any point leaves an existing file as it was. Returns false when the file
// cannot be created, written or put in place, and for an existing target that is not a regular
// file (which would otherwise be replaced by one).
[[nodiscard]] bool save(const QString &path, const EdidBytes &edid);

// What load and save stand on, for files of any length (sgxctl edid-check): the first maxBytes
// of a regular file, read in full; and a file replaced as a whole, or not at all.
[[nodiscard]] bool readBytes(const QString &path, qint64 maxBytes, std::vector<std::uint8_t> &bytes);
[[nodiscard]] bool writeBytes(const QString &path, const std::uint8_t *data, qint64 size);

// The same for a path in the local file-name encoding (sgxctl's arguments).
[[nodiscard]] bool load(const std::string &path, EdidBytes &edid);
[[nodiscard]] bool save(const std::string &path, const EdidBytes &edid);

constexpr const char *OpenErrorMessage = "Open file error";

} // namespace EdidFile
