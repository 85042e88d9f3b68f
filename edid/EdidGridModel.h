#pragma once

#include "EdidValues.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <optional>

// The EDID Memory grid: 16 x 16 cell texts under the headings " 00" to " 0F", both across and
// down. Model row r, column c (0 to 15) is grid row r + 1, column c + 1 and shows byte
// 16 r + c. The texts are the grid's own until they are stored: loading, typing and normalising
// change only them.
class EdidGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kSide = 16;

    explicit EdidGridModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Takes only what a cell may hold (EdidHex::acceptedCellText), in upper case.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Every cell from the bytes, in the display format.
    void load(const EdidBytes &bytes);
    // Empty cells to "00", one-digit values to two digits.
    void normalise();
    // Reads all 256 cells and, only if every one reads, writes them all into bytes. Otherwise
    // bytes are untouched and error is the message about the first cell, in row order, that does
    // not read.
    [[nodiscard]] bool store(EdidBytes &bytes, QString &error) const;

    [[nodiscard]] QString cellText(int row, int column) const;

private:
    void setCell(int row, int column, const QString &text);

    std::array<QString, kEdidSize> m_cells;
};
