#pragma once

#include <string>

// sgxctl list: the built-in tables, from the same code the windows show them with.
// One line per entry, fields separated by one tab; or one JSON array of objects.
[[nodiscard]] std::string listTimings(bool json);

// A JSON string literal, quotes included.
[[nodiscard]] std::string jsonString(const std::string &text);
