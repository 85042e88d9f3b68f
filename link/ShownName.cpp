#include "ShownName.h"

#include <QChar>
#include <QStringList>

#include <utility>

namespace {

QString hexEscape(const char *prefix, uint value, int digits)
{
    return QLatin1String(prefix) + QString::number(value, 16).toUpper().rightJustified(digits, QChar('0'));
}

QString escaped(char32_t c)
{
    switch (c) {
    case '\n': return QStringLiteral("\\n");
    case '\r': return QStringLiteral("\\r");
    case '\t': return QStringLiteral("\\t");
    default: break;
    }
    if (c < 0x80)
        return c < 0x20 || c == 0x7F ? hexEscape("\\x", c, 2) : QString(QChar(static_cast<char16_t>(c)));
    switch (QChar::category(c)) {
    // Controls, line and paragraph separators, and the format characters (bidirectional
    // overrides among them) that would move or hide the rest of the line.
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return hexEscape("\\u", c, 4);
    default: return QString::fromUcs4(&c, 1);
    }
}

// The code point of the UTF-8 sequence at bytes[at] and its length; length 0 when no valid one
// starts there.
std::pair<char32_t, int> utf8At(const std::string &bytes, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};
    int length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07u, least = 0x10000;
    } else {
        return {0, 0};
    }
    if (at + static_cast<std::size_t>(length) > bytes.size())
        return {0, 0};
    for (int k = 1; k < length; ++k) {
        if ((byte(at + static_cast<std::size_t>(k)) & 0xC0) != 0x80)
            return {0, 0};
        c = (c << 6) | (byte(at + static_cast<std::size_t>(k)) & 0x3Fu);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {0, 0};
    return {c, length};
}

// The units (a character or its escape) joined, cut in the middle to at most kShownNameLength
// characters, never inside an escape.
QString joined(const QStringList &units)
{
    qsizetype total = 0;
    for (const QString &unit : units)
        total += unit.size();
    if (total <= kShownNameLength)
        return units.join(QString());
    const QString cut = QStringLiteral("...");
    const qsizetype tailRoom = (kShownNameLength - cut.size()) / 3;
    qsizetype headRoom = kShownNameLength - cut.size() - tailRoom;
    QString head;
    for (qsizetype i = 0; i < units.size() && units[i].size() <= headRoom; ++i) {
        head += units[i];
        headRoom -= units[i].size();
    }
    QString tail;
    qsizetype room = tailRoom;
    for (qsizetype i = units.size() - 1; i >= 0 && units[i].size() <= room; --i) {
        tail.prepend(units[i]);
        room -= units[i].size();
    }
    return head + cut + tail;
}

} // namespace

QString shownName(const QString &name)
{
    QStringList units;
    for (const char32_t c : name.toUcs4())
        units << escaped(c);
    return joined(units);
}

std::string shownName(const std::string &bytes)
{
    QStringList units;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto [c, length] = utf8At(bytes, at);
        if (length == 0) {
            units << hexEscape("\\x", static_cast<unsigned char>(bytes[at]), 2);
            ++at;
        } else {
            units << escaped(c);
            at += static_cast<std::size_t>(length);
        }
    }
    return joined(units).toStdString();
}
