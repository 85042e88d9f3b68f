#include "EdidImage.h"

#include "RegularFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <numeric>
#include <vector>

namespace {

using Edid = GeneratorState::Edid;

struct DetailedTiming {
    int pixelClockKHz;
    int hActive, hBlank, hFront, hSync;
    int vActive, vBlank, vFront, vSync;
    int widthMm, heightMm;
};

constexpr DetailedTiming k1080p60{148500, 1920, 280, 88, 44, 1080, 45, 4, 5, 531, 299};
constexpr DetailedTiming k720p60{74250, 1280, 370, 110, 40, 720, 30, 5, 5, 531, 299};

class EdidWriter {
public:
    explicit EdidWriter(Edid &edid) : m_edid(edid) {}

    void put(std::size_t at, const std::vector<int> &bytes)
    {
        for (int b : bytes)
            m_edid[at++] = static_cast<std::uint8_t>(b);
    }

    // 18-byte detailed timing descriptor; sync positive on both axes.
    void putTiming(std::size_t at, const DetailedTiming &t)
    {
        const int clock = t.pixelClockKHz / 10;
        put(at,
            {clock & 0xFF, clock >> 8, t.hActive & 0xFF, t.hBlank & 0xFF,
             ((t.hActive >> 8) << 4) | (t.hBlank >> 8), t.vActive & 0xFF, t.vBlank & 0xFF,
             ((t.vActive >> 8) << 4) | (t.vBlank >> 8), t.hFront & 0xFF, t.hSync & 0xFF,
             ((t.vFront & 0x0F) << 4) | (t.vSync & 0x0F),
             ((t.hFront >> 8) << 6) | ((t.hSync >> 8) << 4) | ((t.vFront >> 4) << 2) | (t.vSync >> 4),
             t.widthMm & 0xFF, t.heightMm & 0xFF, ((t.widthMm >> 8) << 4) | (t.heightMm >> 8), 0, 0, 0x1E});
    }

    // Display descriptor holding up to 13 characters of text, ended by a line feed.
    void putText(std::size_t at, int tag, const std::string &text)
    {
        put(at, {0, 0, 0, tag, 0});
        for (std::size_t i = 0; i < 13; ++i) {
            int c = 0x20;
            if (i < text.size())
                c = text[i];
            else if (i == text.size())
                c = 0x0A;
            m_edid[at + 5 + i] = static_cast<std::uint8_t>(c);
        }
    }

    void sealBlock(std::size_t start)
    {
        const int sum = std::accumulate(m_edid.begin() + static_cast<std::ptrdiff_t>(start),
                                        m_edid.begin() + static_cast<std::ptrdiff_t>(start + 127), 0);
        m_edid[start + 127] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    }

private:
    Edid &m_edid;
};

// Three letters packed five bits each, 'A' = 1, big-endian.
int manufacturerId(const char *letters)
{
    return ((letters[0] - '@') << 10) | ((letters[1] - '@') << 5) | (letters[2] - '@');
}

} // namespace

Edid defaultEdid()
{
    Edid edid{};
    EdidWriter w(edid);

    // Base block.
    w.put(0, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00});
    const int maker = manufacturerId("ZQX");
    w.put(8, {maker >> 8, maker & 0xFF, 0x31, 0x0A, 0x45, 0x23, 0x01, 0x00, 12, 2023 - 1990, 1, 4});
    // Digital, 8 bits per colour, HDMI; 53 x 30 cm; gamma 2.2; RGB and YCbCr, preferred timing native.
    w.put(20, {0xA2, 53, 30, 120, 0x3A});
    // sRGB-like primaries and D65 white (ten-bit fractions).
    w.put(25, {0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54});
    // 640x480, 800x600, 1024x768 at 60 Hz; standard timings 1920x1080, 1680x1050, 1280x1024,
    // 1440x900 and 1280x720, all 60 Hz.
    w.put(35, {0x21, 0x08, 0x00});
    w.put(38,
          {0xD1, 0xC0, 0xB3, 0x00, 0x81, 0x80, 0x95, 0x00, 0x81, 0xC0, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01});
    w.putTiming(54, k1080p60);
    // Range limits: 50-75 Hz, 30-83 kHz, 170 MHz.
    w.put(72, {0, 0, 0, 0xFD, 0, 50, 75, 30, 83, 17, 0x00, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20});
    w.putText(90, 0xFC, "ZQX VIEW 24");
    w.putText(108, 0xFF, "ZQ2300012345");
    edid[126] = 1; // one extension block
    w.sealBlock(0);

    // CTA-861 extension: video, audio, speaker and HDMI data blocks, then one more timing.
    w.put(128, {0x02, 0x03, 0, 0x71});
    std::size_t at = 132;
    const std::array<std::vector<int>, 4> dataBlocks = {{
        {0x46, 0x90, 0x04, 0x03, 0x1F, 0x13, 0x01}, // VICs 16 (native), 4, 3, 31, 19, 1
        {0x23, 0x09, 0x07, 0x07},                   // two-channel PCM, 32-48 kHz, 16-24 bit
        {0x83, 0x01, 0x00, 0x00},                   // front left and right
        {0x65, 0x03, 0x0C, 0x00, 0x10, 0x00},       // HDMI, physical address 1.0.0.0
    }};
    for (const auto &block : dataBlocks) {
        w.put(at, block);
        at += block.size();
    }
    edid[130] = static_cast<std::uint8_t>(at - 128);
    w.putTiming(at, k720p60);
    w.sealBlock(128);
    return edid;
}

bool loadEdidFile(const std::string &path, Edid &edid, std::string &report)
{
    RegularFile file;
    std::vector<std::uint8_t> bytes;
    if (!file.open(path, RegularFile::Mode::Read) || !file.readUpTo(edid.size(), bytes)) {
        report = file.error();
        return false;
    }
    if (bytes.empty()) {
        report = path + ": empty, no EDID in it";
        return false;
    }
    edid.fill(0);
    std::copy(bytes.begin(), bytes.end(), edid.begin());
    if (file.size() > edid.size())
        report = "EDID: the first 256 of the " + std::to_string(file.size()) + " bytes of " + path;
    else if (bytes.size() < edid.size())
        report = "EDID: the " + std::to_string(bytes.size()) + " bytes of " + path + ", the rest zero";
    else
        report = "EDID: the 256 bytes of " + path;
    return true;
}
