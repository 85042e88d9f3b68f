#pragma once

#include <cstdint>

// The one reading of hexadecimal digits the program has: block answers, EDID cells, checks.
// The value of one digit, upper or lower case; -1 for anything else.
[[nodiscard]] constexpr int hexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    return -1;
}

// The upper-case digit for a value of 0 to 15.
[[nodiscard]] constexpr char hexDigitChar(unsigned value)
{
    return "0123456789ABCDEF"[value & 0xFu];
}
