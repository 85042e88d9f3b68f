#include "CliLists.h"

#include "PatternTable.h"
#include "TimingTable.h"
#include "TimingTexts.h"

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
            out += ", " + jsonString(field.key) + ": " + jsonString((texts.*field.text).toStdString());
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
