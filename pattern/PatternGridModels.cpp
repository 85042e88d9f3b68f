#include "PatternGridModels.h"

#include "PatternTable.h"
#include "PatternTexts.h"

namespace {
const QString kPatternName = QStringLiteral("      Pattern Name");
constexpr int kRows = static_cast<int>(PatternTable.size());
} // namespace

HighlightGridModel *makePatternListModel(QObject *parent)
{
    return new HighlightGridModel(
        {QStringLiteral("      Pattern NO."), kPatternName}, kRows,
        [](int row, int column) { return column == 0 ? patternNumberText(row) : patternNameText(row); },
        parent);
}

MarkGridModel *makePatternSelectionModel(std::array<std::uint8_t, kPatternCount> &patternSelection,
                                         QObject *parent)
{
    return new MarkGridModel(
        {QStringLiteral(" Select"), kPatternName, QString()}, patternSelection.data(), kRows,
        QStringLiteral("     V"), QStringLiteral("  "),
        [](int row, int column) { return column == 1 ? patternNameText(row) : QString(); }, parent);
}
