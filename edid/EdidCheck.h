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
};

[[nodiscard]] EdidCheck checkEdid(const std::vector<std::uint8_t> &bytes);

// The checksum byte a 128-byte block at offset should end in: the block then adds up to 0.
[[nodiscard]] std::uint8_t expectedChecksum(const std::vector<std::uint8_t> &bytes, std::size_t offset);
