#pragma once

#include <cstddef>
#include <string>

// Whether the system refuses name as too long: the whole of it, or one of its parts.
[[nodiscard]] bool nameTooLongForSystem(const std::string &name);

// The longest name, in bytes, of one entry in a folder.
[[nodiscard]] std::size_t longestEntryName();
