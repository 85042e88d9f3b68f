#pragma once

#include "HighlightGridModel.h"
#include "MarkGridModel.h"
#include "TimingTable.h"

#include <array>
#include <cstdint>

class QObject;

// The List of Timings: name, pixel rate, horizontal and vertical rate of every entry.
[[nodiscard]] HighlightGridModel *makeTimingListModel(QObject *parent);
// The Timings dialog: the mark "    V" over timingSelection, then the list's four columns and a
// narrow empty one.
[[nodiscard]] MarkGridModel *makeTimingSelectionModel(std::array<std::uint8_t, kTimingCount> &timingSelection,
                                                      QObject *parent);
