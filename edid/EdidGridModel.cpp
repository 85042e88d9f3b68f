#include "EdidGridModel.h"

#include "EdidHex.h"
#include "HexDigits.h"

namespace {
constexpr std::size_t cellOffset(int row, int column)
{
    return static_cast<std::size_t>(row * EdidGridModel::kSide + column);
}
static_assert(EdidGridModel::kSide * EdidGridModel::kSide == kEdidSize);
static_assert(cellOffset(1, 2) == 0x12);

bool inGrid(int row, int column)
{
    return row >= 0 && row < EdidGridModel::kSide && column >= 0 && column < EdidGridModel::kSide;
}
} // namespace

EdidGridModel::EdidGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    load(EdidBytes{});
}

int EdidGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSide;
}

int EdidGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSide;
}

QVariant EdidGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !inGrid(index.row(), index.column()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_cells[cellOffset(index.row(), index.column())];
    return {};
}

QVariant EdidGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Down the side too the heading is the section's own digit: row 2 reads " 01", not " 10".
    if (role == Qt::DisplayRole && section >= 0 && section < kSide)
        return QStringLiteral(" 0") + QLatin1Char(hexDigitChar(static_cast<unsigned>(section)));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags EdidGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool EdidGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !inGrid(index.row(), index.column()))
        return false;
    const std::optional<QString> text = EdidHex::acceptedCellText(value.toString());
    if (!text)
        return false;
    setCell(index.row(), index.column(), *text);
    return true;
}

void EdidGridModel::setCell(int row, int column, const QString &text)
{
    QString &cell = m_cells[cellOffset(row, column)];
    if (cell == text)
        return;
    cell = text;
    // One cell at a time, so that an editor open on it shows the new text.
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole, Qt::EditRole});
}

void EdidGridModel::load(const EdidBytes &bytes)
{
    beginResetModel();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        m_cells[i] = EdidHex::byteText(bytes[i]);
    endResetModel();
}

void EdidGridModel::normalise()
{
    for (int column = 0; column < kSide; ++column)
        for (int row = 0; row < kSide; ++row)
            setCell(row, column, EdidHex::normalisedCellText(m_cells[cellOffset(row, column)]));
}

bool EdidGridModel::store(EdidBytes &bytes, QString &error) const
{
    EdidBytes read{};
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const std::optional<std::uint8_t> value = EdidHex::cellByte(m_cells[i]);
        if (!value) {
            error = EdidHex::unreadableCellMessage(m_cells[i]);
            return false;
        }
        read[i] = *value;
    }
    bytes = read;
    return true;
}

QString EdidGridModel::cellText(int row, int column) const
{
    return inGrid(row, column) ? m_cells[cellOffset(row, column)] : QString();
}
