#pragma once

#include <QString>

#include <string>

// A name (a device, a file) as a one-line message shows it: line breaks, control and format
// characters escaped (\n, \x1B, \u202E), bytes that are not UTF-8 as \xE9, and a name longer than
// kShownNameLength characters cut in the middle. Whatever a name holds, the message stays one
// readable line; a shown name shows as itself.
constexpr int kShownNameLength = 120;

[[nodiscard]] QString shownName(const QString &name);
// The bytes of a name, UTF-8 where they are.
[[nodiscard]] std::string shownName(const std::string &bytes);
