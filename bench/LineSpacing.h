#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// The figures both benchmarks print about the characters on the line.
namespace LineSpacing {

inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Splits the written stream into command lines (letters, space, argument, space, LF, CR) and
// framed bytes (space, value, space): gaps inside one of them are the pacing proper; gaps
// between them also hold the payload's pauses and the waits for answers.
inline void report(const char *what, const std::vector<std::uint8_t> &bytes,
                   const std::vector<double> &timesMs)
{
    std::vector<bool> startsUnit(bytes.size(), false);
    for (std::size_t i = 0; i < bytes.size();) {
        startsUnit[i] = true;
        std::size_t length = 3;
        if (bytes[i] != 0x20) {
            std::size_t letters = 0;
            while (i + letters < bytes.size() && bytes[i + letters] != 0x20)
                ++letters;
            length = letters + 5;
        }
        i += length;
    }
    std::vector<double> inside;
    std::vector<double> between;
    for (std::size_t i = 1; i < timesMs.size() && i < startsUnit.size(); ++i) {
        const double gap = timesMs[i] - timesMs[i - 1];
        if (!startsUnit[i])
            inside.push_back(gap);
        else if (gap < 100)
            between.push_back(gap);
    }
    std::printf("character spacing %s: inside a line or frame (%zu gaps) min %.2f, median %.2f, "
                "95th percentile %.2f, max %.2f ms; between frames (%zu) median %.2f, max %.2f ms\n",
                what, inside.size(), percentile(inside, 0), percentile(inside, 0.5), percentile(inside, 0.95),
                percentile(inside, 1), between.size(), percentile(between, 0.5), percentile(between, 1));
}

} // namespace LineSpacing
