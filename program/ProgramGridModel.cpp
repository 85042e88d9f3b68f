#include "ProgramGridModel.h"

#include "GridCellRole.h"
#include "PatternTable.h"
#include "PatternTexts.h"
#include "TimingTable.h"

#include <optional>

namespace {

const std::array<QString, 5> kHeadings = {QStringLiteral("Seq."), QStringLiteral("         Timing"),
                                          QStringLiteral("            Pattern"),
                                          QStringLiteral("         Unit"), QStringLiteral(" Show Time")};
const QString kCleared = QStringLiteral("       ");
const QString kEmptied = QStringLiteral("   ");

// An optional sign and decimal digits; its value when that is 0 to 255, else NotSet.
std::optional<std::uint8_t> wholeNumber(const QString &text)
{
    const bool signed_ = text.startsWith(u'+') || text.startsWith(u'-');
    const QStringView digits = QStringView(text).mid(signed_ ? 1 : 0);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits[first] == u'0')
        ++first;
    const QStringView significant = digits.mid(first);
    const int value = significant.size() <= 3 ? significant.toInt() : 256;
    if (value > 255 || (value != 0 && text.startsWith(u'-')))
        return kNotSet;
    return static_cast<std::uint8_t>(value);
}

} // namespace

ProgramGridModel::ProgramGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    for (auto &row : m_cells)
        row.fill(kCleared);
}

int ProgramGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kProgramSteps;
}

int ProgramGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kHeadings.size());
}

QVariant ProgramGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= kProgramSteps || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole) {
        if (index.column() == 0)
            return QString::number(index.row());
        return m_cells[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column() - 1)];
    }
    if (role == kCellPaintRole)
        return static_cast<int>(index.row() + 1 == m_editRow ? CellPaint::Highlight : CellPaint::Window);
    return {};
}

QVariant ProgramGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(kHeadings.size()))
        return kHeadings[static_cast<std::size_t>(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ProgramGridModel::setEditRow(int gridRow)
{
    if (gridRow < 1 || gridRow > kProgramSteps || gridRow == m_editRow)
        return;
    const int before = m_editRow;
    m_editRow = gridRow;
    for (const int row : {before, gridRow})
        emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1), {kCellPaintRole});
}

void ProgramGridModel::clearProgram()
{
    beginResetModel();
    m_editRow = 1;
    m_sequence.clear();
    for (auto &row : m_cells)
        row.fill(kCleared);
    endResetModel();
}

void ProgramGridModel::write(int column, std::uint8_t value, const QString &text)
{
    const int step = m_editRow - 1;
    const auto s = static_cast<std::size_t>(step);
    switch (column) {
    case 1: m_sequence.TimingIndex[s] = value; break;
    case 2: m_sequence.PatternIndex[s] = value; break;
    case 3: m_sequence.UnitIndex[s] = value; break;
    default: m_sequence.ShowTime[s] = value; break;
    }
    m_cells[s][static_cast<std::size_t>(column - 1)] = text;
    emit dataChanged(index(step, column), index(step, column), {Qt::DisplayRole});
}

void ProgramGridModel::setTiming(int position)
{
    if (position < 0 || position >= kTimingCount) {
        write(1, kNotSet, kEmptied);
        return;
    }
    write(1, static_cast<std::uint8_t>(position),
          QString::fromLatin1(TimingTable[static_cast<std::size_t>(position)].Name));
}

void ProgramGridModel::setPattern(int position)
{
    if (position < 0 || position >= kPatternCount) {
        write(2, kNotSet, kEmptied);
        return;
    }
    write(2, static_cast<std::uint8_t>(position), patternNameText(position));
}

void ProgramGridModel::setUnit(int position)
{
    if (position != 0 && position != 1) {
        write(3, kNotSet, kEmptied);
        return;
    }
    write(3, static_cast<std::uint8_t>(position),
          position == 0 ? QStringLiteral("Second") : QStringLiteral("Minute"));
}

ProgramGridModel::ShowTimeText ProgramGridModel::setShowTime(const QString &text)
{
    if (text.isEmpty())
        return ShowTimeText::Empty;
    const std::optional<std::uint8_t> value = wholeNumber(text);
    if (!value)
        return ShowTimeText::NotAWholeNumber;
    // The low 8 bits of "261" would be a valid 5 the operator never typed; and a cell showing a
    // number the step does not have would pass for a complete row that UpLoad then skips.
    write(4, *value, *value == kNotSet ? kEmptied : text);
    return ShowTimeText::Stored;
}

void ProgramGridModel::deleteEditRow()
{
    for (int column = 1; column <= 4; ++column)
        write(column, kNotSet, kEmptied);
}
