#pragma once

#include "ToolDialog.h"

#include <QSize>

#include <cstdint>
#include <functional>
#include <vector>

class MarkGridModel;
class QPushButton;
class StringGrid;

// What the Timings and Patterns dialogs share: a grid that marks entries of a table in its
// column 0, "Select All" to mark or clear every entry, and an Upload that starts the table's
// selection upload. Made once at start-up and shown modally; closing clears the selection.
class SelectionDialog : public ToolDialog {
    Q_OBJECT
public:
    struct Setup {
        QString name; // object name and caption
        QSize outerSize;
        QString gridName;
        std::vector<int> columnWidths;
        QString unSelectAllCaption;
        QString uploadName;
        QString nothingSelectedMessage;
    };
    // makeModel builds the grid's model over the selection flags, owned by the dialog.
    SelectionDialog(const Setup &setup, const std::function<MarkGridModel *(QObject *parent)> &makeModel,
                    QWidget *parent);

    [[nodiscard]] MarkGridModel &model() { return *m_model; }

signals:
    // Upload with something marked: the window starts the table's upload.
    void uploadRequested();
    // Closing, which clears the marks: an upload still waiting for its acknowledgment is to take
    // these flags instead (the generator must not be told to offer none).
    void closedWith(const std::vector<std::uint8_t> &flags);

protected:
    [[nodiscard]] StringGrid &grid() { return *m_grid; }
    [[nodiscard]] QPushButton &selectAllButton() { return *m_selectAll; }
    [[nodiscard]] QPushButton &uploadButton() { return *m_uploadButton; }

    // A press on the grid: the mark of the current cell's row flips when that cell is in column 0.
    void toggleAtCurrentCell();
    // "Select All" marks every entry, "UnSelect All" clears them; the current cell moves to the
    // narrow spare column.
    void selectOrClearAll();
    // No mark: the message, nothing sent; else the upload starts by the start rule.
    void upload();

    void FormShow() override;
    void done(int result) override;

private:
    Setup m_setup;
    MarkGridModel *m_model = nullptr;
    StringGrid *m_grid = nullptr;
    QPushButton *m_selectAll = nullptr;
    QPushButton *m_uploadButton = nullptr;
};
