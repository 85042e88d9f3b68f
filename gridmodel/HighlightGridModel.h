#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <vector>

// A read-only list under a heading row, with one highlighted row: the row last pressed, painted
// in the active-caption colour and the others in the window colour; with none, the grid paints
// itself. Body row r is grid row r + 1, the heading being row 0.
class HighlightGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using CellText = std::function<QString(int row, int column)>;

    HighlightGridModel(std::vector<QString> headings, int rows, CellText text, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

    // The grid row painted as highlighted; 0 or less: none.
    [[nodiscard]] int highlightRow() const { return m_highlightRow; }
    void setHighlightRow(int gridRow);

private:
    std::vector<QString> m_headings;
    int m_rows;
    CellText m_text;
    int m_highlightRow = -1;
};
