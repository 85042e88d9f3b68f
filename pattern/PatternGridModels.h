#pragma once

#include "HighlightGridModel.h"
#include "MarkGridModel.h"
#include "PatternTable.h"

#include <array>
#include <cstdint>

class QObject;

// The List of patterns: number and name of every entry.
[[nodiscard]] HighlightGridModel *makePatternListModel(QObject *parent);
// The Patterns dialog: the mark "     V" over patternSelection, the name and a narrow empty column.
[[nodiscard]] MarkGridModel *
makePatternSelectionModel(std::array<std::uint8_t, kPatternCount> &patternSelection, QObject *parent);
