#include "HighlightGridModel.h"

#include "GridCellRole.h"
#include "GridHeadings.h"

HighlightGridModel::HighlightGridModel(std::vector<QString> headings, int rows, CellText text,
                                       QObject *parent)
    : QAbstractTableModel(parent), m_headings(std::move(headings)), m_rows(rows), m_text(std::move(text))
{
}

int HighlightGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int HighlightGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

QVariant HighlightGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_text(index.row(), index.column());
    if (role == kCellPaintRole) {
        if (m_highlightRow <= 0)
            return static_cast<int>(CellPaint::GridOwn);
        return static_cast<int>(index.row() + 1 == m_highlightRow ? CellPaint::Highlight : CellPaint::Window);
    }
    return {};
}

QVariant HighlightGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant text = gridHeading(m_headings, section, orientation, role);
    return text.isValid() ? text : QAbstractTableModel::headerData(section, orientation, role);
}

void HighlightGridModel::setHighlightRow(int gridRow)
{
    m_highlightRow = gridRow;
    emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1), {kCellPaintRole});
}
