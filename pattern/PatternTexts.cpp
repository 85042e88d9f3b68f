#include "PatternTexts.h"

#include "PatternTable.h"

namespace {
bool inTable(int index)
{
    return index >= 0 && index < static_cast<int>(PatternTable.size());
}
} // namespace

QString patternNumberText(int index)
{
    return inTable(index) ? QString::number(PatternTable[static_cast<std::size_t>(index)].Number) : QString();
}

QString patternNameText(int index)
{
    return inTable(index) ? QString::fromLatin1(PatternTable[static_cast<std::size_t>(index)].Name)
                          : QString();
}
