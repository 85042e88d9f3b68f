#pragma once

#include "GeneratorState.h"

#include <string>

// The EDID the emulator answers with until it is given another: a made-up 24-inch 1080p
// monitor with an HDMI extension block.
[[nodiscard]] GeneratorState::Edid defaultEdid();

// Reads up to 256 bytes from path into edid, from offset 0; the rest is zero.
// Returns false (edid untouched) when the file cannot be read.
[[nodiscard]] bool loadEdidFile(const std::string &path, GeneratorState::Edid &edid);
