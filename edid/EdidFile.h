#pragma once

#include "EdidValues.h"

#include <string>

// EDID images on disk: exactly the 256 bytes, no header, named by the bytes given. The program's
// File menu and sgxctl use this one reader and this one writer. A failure leaves false and the
// reason in error, as "NAME: reason", for sgxctl to print (the window shows only "Open file error").
namespace EdidFile {

// Reads up to 256 bytes from the start of the file and, only once they are all in, copies them
// over the start of edid: a shorter file replaces only its own bytes, a longer one is read no
// further than its 256th byte. Fails, leaving edid unchanged, for anything but a regular
// file (a folder, a device, a pipe), a file that cannot be opened, or a read that fails.
[[nodiscard]] bool load(const std::string &name, EdidBytes &edid, std::string &error);

// Replaces the file with the 256 bytes as a whole, or not at all, keeping its owner, group and
// mode (see replaceFile).
[[nodiscard]] bool save(const std::string &name, const EdidBytes &edid, std::string &error);

// Everything save does except putting the file in place: whether a save to name would succeed
// now, asked before anything is worth saving (sgxctl edid-read, ahead of a 5 s read).
[[nodiscard]] bool canSave(const std::string &name, std::string &error);

constexpr const char *OpenErrorMessage = "Open file error";

} // namespace EdidFile
