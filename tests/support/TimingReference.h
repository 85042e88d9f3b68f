#pragma once

#include <QString>

#include <cstdint>

// The timing texts worked out a second way, in exact integer arithmetic: a value in thousandths,
// rounded to the nearest (the table has no value halfway between two).
namespace TimingReference {

inline QString thousandths(std::uint64_t numerator, std::uint64_t denominator)
{
    const std::uint64_t rounded = (2 * numerator + denominator) / (2 * denominator);
    return QStringLiteral("%1.%2").arg(rounded / 1000).arg(rounded % 1000, 3, 10, QLatin1Char('0'));
}

// x pixels at PClk kHz: x / PClk ms = x * 1000 / PClk us, in thousandths of a microsecond.
inline QString horizontalTime(std::uint64_t pixels, std::uint64_t pixelClockKHz)
{
    return thousandths(pixels * 1000 * 1000, pixelClockKHz);
}

// y lines of HTol pixels: y * HTol / PClk ms.
inline QString verticalTime(std::uint64_t lines, std::uint64_t total, std::uint64_t pixelClockKHz)
{
    return thousandths(lines * total * 1000, pixelClockKHz);
}

// A stored value in thousandths of the unit shown (kHz as MHz, Hz as KHz, mHz as Hz).
inline QString scaled(std::uint64_t value)
{
    return thousandths(value, 1);
}

} // namespace TimingReference
