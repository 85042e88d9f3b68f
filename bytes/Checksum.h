#pragma once

#include <cstdint>

// The byte that, sent or stored after a run of bytes, makes the whole add up to 0 modulo 256: a
// table upload's last byte and an EDID block's last byte.
[[nodiscard]] constexpr std::uint8_t zeroSumChecksum(const std::uint8_t *first, const std::uint8_t *last)
{
    unsigned sum = 0;
    for (; first != last; ++first)
        sum += *first;
    return static_cast<std::uint8_t>((0x100u - (sum & 0xFFu)) & 0xFFu);
}
