#pragma once

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

// The EDID Memory grid's cell texts: how a byte is shown, what a cell may hold, and how typed
// characters, normalising and storing treat a cell.
namespace EdidHex {

// Two upper-case hexadecimal digits, zero-padded: "00", "07", "A5".
[[nodiscard]] QString byteText(std::uint8_t value);

// The text as a cell holds it: at most two hexadecimal digits, a to f raised to upper case;
// nullopt for anything else. Every way into a cell goes through this.
[[nodiscard]] std::optional<QString> acceptedCellText(const QString &text);

// An empty cell becomes "00" and a value up to 15 two digits ("7" becomes "07"); a value of 16
// or more, or a text that does not read as a number, is left as it is.
[[nodiscard]] QString normalisedCellText(const QString &text);

// The byte a cell stores: the low 8 bits of its text read as a hexadecimal number (the text
// behind "0x"); nullopt when it does not read, as an empty cell does not.
[[nodiscard]] std::optional<std::uint8_t> cellByte(const QString &text);
// What the operator is told about such a cell: the text it was read as, quoted.
[[nodiscard]] QString unreadableCellMessage(const QString &text);

// The character filter for one typed character: the character to insert (a to f raised to upper
// case), or a null QChar when it is refused. The first character after the editor opens
// (editStart) may replace the selected text and skips the length test; after it, a cell of two
// characters takes only backspace.
[[nodiscard]] QChar filterTypedCharacter(QChar typed, bool editStart, const QString &cellText);

constexpr char16_t kBackspace = 8;

} // namespace EdidHex
