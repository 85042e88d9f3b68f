#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// A read-only list under a heading row whose first column marks the selected rows of a flag
// array (1 = selected). A marked cell always shows its mark on the window colour; the other
// cells show the grid's own drawing while ownDrawing is set, else their text on the window
// colour. Body row r is grid row r + 1, the heading being row 0.
class MarkGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using CellText = std::function<QString(int row, int column)>;

    MarkGridModel(std::vector<QString> headings, std::uint8_t *flags, int rows, QString mark,
                  QString unmarked, CellText text, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

    [[nodiscard]] bool marked(int row) const;
    // 0 becomes 1, anything else 0.
    void toggle(int row);
    void setAll(bool selected);
    [[nodiscard]] int markedCount() const;

    void setOwnDrawing(bool own);
    [[nodiscard]] bool ownDrawing() const { return m_ownDrawing; }
    // The flags were changed from outside: repaint everything.
    void refresh();

private:
    std::vector<QString> m_headings;
    std::uint8_t *m_flags;
    int m_rows;
    QString m_mark;
    QString m_unmarked;
    CellText m_text;
    bool m_ownDrawing = false;
};
