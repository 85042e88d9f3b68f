#include "EdidCheck.h"

#include "Checksum.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::size_t kBlock = 128;
constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

std::string format(const char *pattern, double a, double b = 0, double c = 0, double d = 0)
{
    std::array<char, 160> text{};
    std::snprintf(text.data(), text.size(), pattern, a, b, c, d);
    return text.data();
}

std::string hexByte(unsigned value)
{
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%02X", value & 0xFF);
    return text.data();
}

unsigned le16(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return static_cast<unsigned>(b[at] | (b[at + 1] << 8));
}

// The text of a display descriptor (tag 0xFC name, 0xFF serial, 0xFE text): up to 13
// characters, ended by a line feed, padded with spaces.
std::string descriptorText(const std::vector<std::uint8_t> &b, std::size_t at)
{
    std::string text;
    for (std::size_t i = at + 5; i < at + 18 && b[i] != 0x0A; ++i)
        text += b[i] >= 0x20 && b[i] < 0x7F ? static_cast<char>(b[i]) : '?';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void describeIdentity(const std::vector<std::uint8_t> &b, std::vector<std::string> &lines)
{
    const unsigned id = (static_cast<unsigned>(b[8]) << 8) | b[9];
    std::string maker;
    for (int shift : {10, 5, 0}) {
        const unsigned letter = (id >> shift) & 0x1F;
        maker += letter >= 1 && letter <= 26 ? static_cast<char>('A' + letter - 1) : '?';
    }
    lines.push_back("manufacturer: " + maker);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "product code: 0x%04X (%u)", le16(b, 10), le16(b, 10));
    lines.emplace_back(text.data());
    const std::uint32_t serial =
        static_cast<std::uint32_t>(b[12]) | (static_cast<std::uint32_t>(b[13]) << 8) |
        (static_cast<std::uint32_t>(b[14]) << 16) | (static_cast<std::uint32_t>(b[15]) << 24);
    lines.push_back("serial number: " + std::to_string(serial));
    const int year = 1990 + b[17];
    if (b[16] == 0xFF)
        lines.push_back("model year: " + std::to_string(year));
    else if (b[16] == 0)
        lines.push_back("made: " + std::to_string(year));
    else
        lines.push_back("made: week " + std::to_string(b[16]) + ", " + std::to_string(year));
    lines.push_back("EDID version: " + std::to_string(b[18]) + "." + std::to_string(b[19]));

    std::string name;
    for (std::size_t at = 54; at < 126; at += 18)
        if (b[at] == 0 && b[at + 1] == 0 && b[at + 3] == 0xFC)
            name = descriptorText(b, at);
    lines.push_back("monitor name: " + (name.empty() ? std::string("(none)") : name));

    const unsigned clock = le16(b, 54); // in 10 kHz
    if (clock == 0) {
        lines.emplace_back("preferred timing: (no detailed timing in the first descriptor)");
        return;
    }
    const unsigned hActive = b[56] | ((b[58] & 0xF0u) << 4);
    const unsigned hBlank = b[57] | ((b[58] & 0x0Fu) << 8);
    const unsigned vActive = b[59] | ((b[61] & 0xF0u) << 4);
    const unsigned vBlank = b[60] | ((b[61] & 0x0Fu) << 8);
    const bool interlaced = (b[71] & 0x80) != 0;
    const double hertz = clock * 10000.0;
    const double total = static_cast<double>(hActive + hBlank) * static_cast<double>(vActive + vBlank);
    const double refresh = total > 0 ? hertz / total : 0;
    std::string line = "preferred timing: " + std::to_string(hActive) + "x" +
                       std::to_string(interlaced ? 2 * vActive : vActive) + (interlaced ? "i" : "") +
                       format(", %.3f Hz, %.2f MHz", refresh, hertz / 1e6);
    lines.push_back(line);
}

} // namespace

EdidCheck checkEdid(const std::vector<std::uint8_t> &bytes)
{
    EdidCheck check;
    const auto problem = [&check](const std::string &line) {
        check.lines.push_back(line);
        check.wrong = true;
    };
    // The first reason found is the one given.
    const auto notAnEdid = [&check](const char *why) {
        if (check.notAnEdid.empty())
            check.notAnEdid = why;
    };
    if (bytes.size() < kBlock) {
        problem("the file holds " + std::to_string(bytes.size()) + " bytes, less than one 128-byte block");
        notAnEdid("shorter than one block");
        return check;
    }
    bool header = true;
    for (std::size_t i = 0; i < kHeader.size(); ++i)
        header = header && bytes[i] == kHeader[i];
    if (header) {
        check.lines.emplace_back("header: right");
    } else {
        problem("header: wrong, it should be 00 FF FF FF FF FF FF 00");
        notAnEdid("its header is wrong");
    }

    const bool tooLong = bytes.size() > kEdidMaxBlocks * kBlock;
    const std::size_t blocks = std::min(bytes.size() / kBlock, kEdidMaxBlocks);
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::size_t at = block * kBlock + kBlock - 1;
        const std::uint8_t should = zeroSumChecksum(&bytes[block * kBlock], &bytes[at]);
        const std::string name = "block " + std::to_string(block) + " checksum: ";
        if (bytes[at] == should) {
            check.lines.push_back(name + "right (" + hexByte(should) + ")");
        } else {
            problem(name + "wrong, it is " + hexByte(bytes[at]) + " and should be " + hexByte(should));
            check.fixes.push_back({at, bytes[at], should});
        }
    }
    if (tooLong) {
        problem("the file is longer than " + std::to_string(kEdidMaxBlocks) +
                " blocks; only those are checked");
        notAnEdid("longer than 256 blocks");
    } else if (bytes.size() % kBlock != 0) {
        problem("the file holds " + std::to_string(bytes.size() % kBlock) +
                " bytes past its last whole block");
        notAnEdid("not a whole number of 128-byte blocks");
    }

    const unsigned extensions = bytes[126];
    const std::string count =
        "extensions: " + std::to_string(extensions) + ", and the file holds " + std::to_string(blocks - 1);
    if (extensions == blocks - 1 && !tooLong) {
        check.lines.push_back(count);
    } else {
        problem(count + (tooLong ? " or more" : "") + ": they disagree");
        notAnEdid("its blocks disagree with its extension count");
    }

    describeIdentity(bytes, check.lines);
    return check;
}
