#include "EdidHex.h"

#include "HexDigits.h"

namespace EdidHex {

namespace {

constexpr int kMaxDigits = 2;

int digitValue(QChar c)
{
    return hexDigitValue(c.unicode());
}

// A digit as a cell holds it, a to f raised to upper case; anything else as it is.
QChar upper(QChar c)
{
    const int value = digitValue(c);
    return value < 0 ? c : QChar(QLatin1Char(hexDigitChar(static_cast<unsigned>(value))));
}

} // namespace

QString byteText(std::uint8_t value)
{
    return QString(QLatin1Char(hexDigitChar(value >> 4u))) + QLatin1Char(hexDigitChar(value));
}

std::optional<QString> acceptedCellText(const QString &text)
{
    if (text.size() > kMaxDigits)
        return std::nullopt;
    QString cell;
    for (QChar c : text) {
        if (digitValue(c) < 0)
            return std::nullopt;
        cell += upper(c);
    }
    return cell;
}

std::optional<std::uint8_t> cellByte(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    unsigned value = 0;
    for (QChar c : text) {
        const int digit = digitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = (value * 16 + static_cast<unsigned>(digit)) & 0xFFu;
    }
    return static_cast<std::uint8_t>(value);
}

QString unreadableCellMessage(const QString &text)
{
    return QStringLiteral("'0x%1' is not a valid integer value.").arg(text);
}

QString normalisedCellText(const QString &text)
{
    if (text.isEmpty())
        return byteText(0);
    const std::optional<std::uint8_t> value = cellByte(text);
    if (!value || text.size() > kMaxDigits || *value > 15)
        return text;
    return byteText(*value);
}

QChar filterTypedCharacter(QChar typed, bool editStart, const QString &cellText)
{
    if (!editStart && cellText.size() >= kMaxDigits && typed != QChar(kBackspace))
        return {};
    if (typed == QChar(kBackspace) || digitValue(typed) >= 0)
        return upper(typed);
    return {};
}

} // namespace EdidHex
