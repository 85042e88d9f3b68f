#pragma once

#include "ProgramSequence.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>

// The Program window's step grid over the program being edited: row r + 1 shows step r, its
// sequence number and what the four boxes last wrote into it. The four setters are the boxes'
// change handlers for the step of editRow; the cells never show a value the step does not have.
class ProgramGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // What became of a text typed into the show-time box.
    enum class ShowTimeText {
        Stored,          // a whole number: 0 to 254 stored and shown as typed, else NotSet, shown as
                         // three spaces (as after the Delete key)
        Empty,           // still being typed: step and cell as they were
        NotAWholeNumber, // step and cell as they were; the operator is told
    };

    explicit ProgramGridModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

    // The grid row (1 to 32) the boxes edit, painted as the current one.
    [[nodiscard]] int editRow() const { return m_editRow; }
    // Rows outside 1 to 32 (the heading, no current cell) leave it where it is.
    void setEditRow(int gridRow);

    // Each showing: an empty program, edited from row 1.
    void clearProgram();
    // A box's selected position, -1 for none (typed text that names no entry): NotSet, and the
    // cell shows three spaces, as after the Delete key.
    void setTiming(int position);
    void setPattern(int position);
    void setUnit(int position);
    [[nodiscard]] ShowTimeText setShowTime(const QString &text);
    // The Delete key: the step of editRow is emptied.
    void deleteEditRow();

    [[nodiscard]] const ProgramSequence &sequence() const { return m_sequence; }

private:
    // Sets one field of the edited step and the cell of its column (1 to 4).
    void write(int column, std::uint8_t value, const QString &text);

    ProgramSequence m_sequence;
    std::array<std::array<QString, 4>, kProgramSteps> m_cells{};
    int m_editRow = 1;
};
