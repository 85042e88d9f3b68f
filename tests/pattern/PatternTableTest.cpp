// The pattern names as the windows show them, padding included.
#include "PatternTable.h"
#include "PatternTexts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(PatternTable, NamesAreExactWithTheirPadding)
{
    const std::vector<std::pair<int, std::string>> expected = {{0, "White"},
                                                               {2, "Red"},
                                                               {8, "Gradually Red"},
                                                               {12, "Color Bar"},
                                                               {17, "Gray-256"},
                                                               {18, "V Line ONOFF"},
                                                               {21, "Hor.-3"},
                                                               {23, "Multi-Burst  "},
                                                               {24, "Pluge        "},
                                                               {27, "Gray256-Red"},
                                                               {31, "BW_Upper_Down_Block"},
                                                               {32, "Vorna-1"},
                                                               {35, "Vorna-4"},
                                                               {37, "Audio Setting"},
                                                               {38, "HDCP-Produce"}};
    for (const auto &[index, name] : expected) {
        EXPECT_EQ(PatternTable[static_cast<std::size_t>(index)].Name, name) << index;
        EXPECT_EQ(patternNameText(index).toStdString(), name);
        EXPECT_EQ(patternNumberText(index), QString::number(index + 1));
    }
    EXPECT_EQ(std::string(PatternTable[23].Name).size(), 13u);
    EXPECT_EQ(std::string(PatternTable[24].Name).size(), 13u);
    std::set<std::string> names;
    for (const PatternEntry &entry : PatternTable)
        names.insert(entry.Name);
    EXPECT_EQ(names.size(), 39u);
    // Outside the table a window shows nothing rather than reading past it.
    EXPECT_TRUE(patternNameText(39).isEmpty());
    EXPECT_TRUE(patternNumberText(-1).isEmpty());
}

} // namespace
