#include "TimingGridModels.h"

#include "TimingTable.h"
#include "TimingTexts.h"

namespace {

// Columns 0 to 3 of the list, which are columns 1 to 4 of the dialog.
QString rateColumn(int row, int column)
{
    if (row < 0 || row >= static_cast<int>(TimingTable.size()))
        return {};
    const TimingEntry &entry = TimingTable[static_cast<std::size_t>(row)];
    switch (column) {
    case 0: return QString::fromLatin1(entry.Name);
    case 1: return pixelRateText(entry);
    case 2: return horizontalRateText(entry);
    case 3: return verticalRateText(entry);
    default: return {};
    }
}

const QString kName = QStringLiteral("   Timing Name");
const QString kPixelRate = QStringLiteral("      Pixel Rate");
const QString kHorizontal = QStringLiteral("      Horizontal ");
const QString kVertical = QStringLiteral("        Vertical ");

} // namespace

HighlightGridModel *makeTimingListModel(QObject *parent)
{
    return new HighlightGridModel({kName, kPixelRate, kHorizontal, kVertical},
                                  static_cast<int>(TimingTable.size()), rateColumn, parent);
}

MarkGridModel *makeTimingSelectionModel(std::array<std::uint8_t, kTimingCount> &timingSelection,
                                        QObject *parent)
{
    return new MarkGridModel(
        {QStringLiteral("Select"), kName, kPixelRate, kHorizontal, kVertical, QString()},
        timingSelection.data(), static_cast<int>(timingSelection.size()), QStringLiteral("    V"), QString(),
        [](int row, int column) { return rateColumn(row, column - 1); }, parent);
}
