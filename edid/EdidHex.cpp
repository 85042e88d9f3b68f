#include "EdidHex.h"

namespace EdidHex {

namespace {

constexpr int kMaxDigits = 2;

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

QChar upper(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 'a' && u <= 'f' ? QChar(static_cast<char16_t>(u - 'a' + 'A')) : c;
}

} // namespace

QString byteText(std::uint8_t value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
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
