#include "CliLists.h"

#include "PatternTable.h"
#include "PortDirectory.h"
#include "TimingTable.h"
#include "TimingTexts.h"

#include <cctype>
#include <cstdio>

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

// A number as a JSON number, the text it was shown as unchanged ("25.175"); anything else (a
// polarity, "-") as a string.
std::string jsonValue(const std::string &text)
{
    std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    const auto digits = [&] {
        const std::size_t from = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0)
            ++at;
        return at - from;
    };
    const std::size_t whole = digits();
    bool number = whole > 0 && (whole == 1 || text[at - whole] != '0');
    if (number && at < text.size() && text[at] == '.') {
        ++at;
        number = digits() > 0;
    }
    return number && at == text.size() ? text : jsonString(text);
}

} // namespace

std::string listTimings(bool json)
{
    std::string out = json ? "[\n" : "";
    for (std::size_t i = 0; i < TimingTable.size(); ++i) {
        const TimingEntry &entry = TimingTable[i];
        if (!json) {
            out += std::to_string(entry.Number) + '\t' + entry.Name + '\t' +
                   pixelRateText(entry).toStdString() + '\t' + horizontalRateText(entry).toStdString() +
                   '\t' + verticalRateText(entry).toStdString() + '\n';
            continue;
        }
        const TimingTexts texts = timingTexts(entry);
        out += "  {\"number\": " + std::to_string(entry.Number);
        for (const TimingTextField &field : kTimingTextFields)
            out += ", " + jsonString(field.key) + ": " + jsonValue((texts.*field.text).toStdString());
        out += i + 1 < TimingTable.size() ? "},\n" : "}\n";
    }
    return json ? out + "]\n" : out;
}

std::string listPatterns(bool json)
{
    std::string out = json ? "[\n" : "";
    for (std::size_t i = 0; i < PatternTable.size(); ++i) {
        const PatternEntry &entry = PatternTable[i];
        const std::string number = std::to_string(entry.Number);
        if (json)
            out += "  {\"number\": " + number + ", \"name\": " + jsonString(entry.Name) +
                   (i + 1 < PatternTable.size() ? "},\n" : "}\n");
        else
            out += number + '\t' + entry.Name + '\n';
    }
    return json ? out + "]\n" : out;
}

namespace {

std::string usbId(const std::optional<quint16> &id)
{
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0')).toStdString() : std::string();
}

} // namespace

std::string listPorts(const PortDirectory &ports, bool json)
{
    const std::vector<SystemPort> &reported = ports.systemPorts();
    std::string out = json ? "[\n" : "";
    for (std::size_t i = 0; i < reported.size(); ++i) {
        const SystemPort &port = reported[i];
        const int com = ports.comNumberOf(port);
        const std::vector<std::pair<const char *, std::string>> texts = {
            {"systemName", port.systemName.toStdString()},
            {"device", port.location.toStdString()},
            {"description", port.description.toStdString()},
            {"manufacturer", port.manufacturer.toStdString()},
            {"serialNumber", port.serialNumber.toStdString()},
            {"vendorId", usbId(port.vendorId)},
            {"productId", usbId(port.productId)}};
        if (!json) {
            for (const auto &[key, text] : texts)
                out += (text.empty() ? "-" : text) + '\t';
            out += com != 0 ? "COM " + std::to_string(com) + '\n' : "-\n";
            continue;
        }
        out += "  {";
        for (const auto &[key, text] : texts) {
            const bool isId = key == std::string("vendorId") || key == std::string("productId");
            out += jsonString(key) + ": " + (isId && text.empty() ? "null" : jsonString(text)) + ", ";
        }
        out += "\"com\": " + (com != 0 ? std::to_string(com) : std::string("null"));
        out += i + 1 < reported.size() ? "},\n" : "}\n";
    }
    return json ? out + "]\n" : out;
}
