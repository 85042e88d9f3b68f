#include "MarkGridModel.h"

#include "GridCellRole.h"
#include "GridHeadings.h"

MarkGridModel::MarkGridModel(std::vector<QString> headings, std::uint8_t *flags, int rows, QString mark,
                             QString unmarked, CellText text, QObject *parent)
    : QAbstractTableModel(parent), m_headings(std::move(headings)), m_flags(flags), m_rows(rows),
      m_mark(std::move(mark)), m_unmarked(std::move(unmarked)), m_text(std::move(text))
{
}

int MarkGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int MarkGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

bool MarkGridModel::marked(int row) const
{
    return row >= 0 && row < m_rows && m_flags[row] == 1;
}

QVariant MarkGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= columnCount())
        return {};
    const bool markCell = index.column() == 0 && marked(index.row());
    if (role == Qt::DisplayRole) {
        if (index.column() == 0)
            return markCell ? m_mark : m_unmarked;
        return m_text(index.row(), index.column());
    }
    if (role == kCellPaintRole) {
        if (markCell || !m_ownDrawing)
            return static_cast<int>(CellPaint::Window);
        return static_cast<int>(CellPaint::GridOwn);
    }
    return {};
}

QVariant MarkGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant text = gridHeading(m_headings, section, orientation, role);
    return text.isValid() ? text : QAbstractTableModel::headerData(section, orientation, role);
}

void MarkGridModel::toggle(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    m_flags[row] = m_flags[row] == 0 ? 1 : 0;
    refresh();
}

void MarkGridModel::setAll(bool selected)
{
    for (int i = 0; i < m_rows; ++i)
        m_flags[i] = selected ? 1 : 0;
    refresh();
}

int MarkGridModel::markedCount() const
{
    int count = 0;
    for (int i = 0; i < m_rows; ++i)
        count += m_flags[i] == 1 ? 1 : 0;
    return count;
}

void MarkGridModel::setOwnDrawing(bool own)
{
    if (own == m_ownDrawing)
        return;
    m_ownDrawing = own;
    refresh();
}

void MarkGridModel::refresh()
{
    emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}
