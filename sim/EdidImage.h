#pragma once

#include "GeneratorState.h"

#include <string>

// The EDID the emulator answers with until it is given another: a made-up 24-inch 1080p
// monitor with an HDMI extension block.
[[nodiscard]] GeneratorState::Edid defaultEdid();

// Reads up to 256 bytes of the regular file at path into edid, from offset 0; the rest is zero.
// report says what was loaded, for the operator. Returns false, edid untouched and report
// saying why, for a file that cannot be read, is not a regular file (a device, a pipe: never
// waited on) or is empty.
[[nodiscard]] bool loadEdidFile(const std::string &path, GeneratorState::Edid &edid, std::string &report);
