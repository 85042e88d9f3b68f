#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// One built-in test pattern. The generator is told only its position in the table; the name is
// for display, trailing spaces included.
struct PatternEntry {
    std::uint8_t Number;
    const char *Name;
};

// How many patterns the generator has: the entries of this table, and the flags of a pattern
// selection.
constexpr int kPatternCount = 39;

// clang-format off
inline constexpr std::array<PatternEntry, kPatternCount> PatternTable = {{
    { 1, "White"},
    { 2, "Blue"},
    { 3, "Red"},
    { 4, "Magenta"},
    { 5, "Green"},
    { 6, "Cyan"},
    { 7, "Yellow"},
    { 8, "Black"},
    { 9, "Gradually Red"},
    {10, "Gradually Green"},
    {11, "Gradually Blue"},
    {12, "Gradually Gray"},
    {13, "Color Bar"},
    {14, "Gray-8"},
    {15, "Gray-16"},
    {16, "Gray-32"},
    {17, "Gray-64"},
    {18, "Gray-256"},
    {19, "V Line ONOFF"},
    {20, "BW-12"},
    {21, "H Line ONOFF"},
    {22, "Hor.-3"},
    {23, "Hor.-6"},
    {24, "Multi-Burst  "},
    {25, "Pluge        "},
    {26, "Grid-1"},
    {27, "Grid-36"},
    {28, "Gray256-Red"},
    {29, "Gray256-Green"},
    {30, "Gray256-Blue"},
    {31, "Circles"},
    {32, "BW_Upper_Down_Block"},
    {33, "Vorna-1"},
    {34, "Vorna-2"},
    {35, "Vorna-3"},
    {36, "Vorna-4"},
    {37, "Cross Hatch"},
    {38, "Audio Setting"},
    {39, "HDCP-Produce"},
}};
// clang-format on

namespace detail {
constexpr bool patternNumbersFollowIndexes()
{
    for (std::size_t i = 0; i < PatternTable.size(); ++i)
        if (PatternTable[i].Number != i + 1)
            return false;
    return true;
}
constexpr bool patternNamesFit()
{
    for (const PatternEntry &e : PatternTable) {
        const std::size_t length = std::string_view(e.Name).size();
        if (length < 3 || length > 19)
            return false;
    }
    return true;
}
} // namespace detail
static_assert(detail::patternNumbersFollowIndexes(), "Number is index + 1");
static_assert(detail::patternNamesFit(), "names of 3 to 19 characters");
// The padding belongs to these names; an editor that trims it changes what the windows show.
static_assert(std::string_view(PatternTable[23].Name).size() == 13);
static_assert(std::string_view(PatternTable[24].Name).size() == 13);
