#pragma once

#include <string>

// sgxctl list: the built-in tables, from the same code the windows show them with.
// One line per entry, fields separated by one tab; or one JSON array of objects.
[[nodiscard]] std::string listTimings(bool json);
// Number and name, the name with its trailing spaces; JSON objects {"number", "name"}.
[[nodiscard]] std::string listPatterns(bool json);

// A JSON string literal, quotes included.
[[nodiscard]] std::string jsonString(const std::string &text);
