#pragma once

#include "SharedValues.h"

#include <string>

// EDID images on disk: exactly the 256 bytes, no header.
namespace EdidFile {

// Reads up to 256 bytes from the start of the file into edid; a shorter file replaces only its
// own leading bytes. Returns false, leaving edid unchanged, when the file cannot be opened.
[[nodiscard]] bool load(const std::string &path, EdidBytes &edid);

// Writes all 256 bytes, replacing the file. Returns false when it cannot be created or written.
[[nodiscard]] bool save(const std::string &path, const EdidBytes &edid);

constexpr const char *OpenErrorMessage = "Open file error";

} // namespace EdidFile
