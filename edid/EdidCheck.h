#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What sgxctl edid-check says of an EDID image: whether its header, checksums and extension
// count are right, and which display it describes. The program itself never checks an EDID;
// this is for the operator before a write.
struct EdidCheck {
    struct Fix {
        std::size_t offset; // the checksum byte
        std::uint8_t was;
        std::uint8_t should;
    };

    std::vector<std::string> lines; // the report, one finding a line
    bool wrong = false;             // anything at all is wrong
    std::vector<Fix> fixes;         // the checksum bytes that are wrong, with their right values
    // Why the bytes are not an EDID whose checksums may be rewritten: the header, a length that is
    // not a whole number of 128-byte blocks, blocks that disagree with the extension count, more
    // than 256 blocks. Empty when they are one.
    std::string notAnEdid;
};

// The most blocks an EDID can have: the base block and 255 extensions.
constexpr std::size_t kEdidMaxBlocks = 256;

// bytes: the file, or its first kEdidMaxBlocks * 128 + 1 bytes, enough to see it is too long.
[[nodiscard]] EdidCheck checkEdid(const std::vector<std::uint8_t> &bytes);
