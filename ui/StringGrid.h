#pragma once

#include <QTableView>

#include <functional>
#include <vector>

class GridCellDelegate;
class QLineEdit;
class QValidator;

// A text grid with one fixed heading row, as the program's windows use it. Rows are counted as
// the operator sees them: row 0 is the heading, body row r is model row r - 1. With a heading
// column, columns are counted the same way: column 0 is the heading, body column c is model
// column c - 1; without one, body column c is model column c.
//
// A left-button press on a body cell makes it current; other buttons and presses on the headings
// leave the current cell where it was. After every press (on the headings too, and the second
// press of a double click) mousePressed reports the button; the double click itself is reported
// just before its second press, as the generator tools' grids do.
//
// An editable grid opens a one-line editor on the current cell when the operator starts typing
// (Backspace too), presses F2 or double-clicks it, with the cell's whole text selected. keyPressed then
// reports the keys pressed in the editor as well, and every typed character passes the character filter.
// Left and Right move the caret within the editor; at the edge of its text (or with the whole text
// selected) they commit the cell, close the editor and move to the previous or next cell.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    explicit StringGrid(QWidget *parent = nullptr);

    void setColumnWidths(const std::vector<int> &widths);
    // Heading and body rows alike.
    void setRowHeight(int height);

    // The current cell in grid rows (1 and up); 0 when there is none.
    [[nodiscard]] int currentRow() const;
    [[nodiscard]] int currentColumn() const;
    void setCurrentCell(int row, int column);

    // The width that shows every column, the vertical scroll bar and the frame.
    [[nodiscard]] int fittingWidth() const;

    // Shows the model's vertical headings as a fixed heading column of this width.
    void setHeadingColumn(int width);

    // Makes the body cells editable with these editor rules (GridCellDelegate::setEditorRules).
    void setCellEditing(int maxLength, const QValidator *validator);
    // Gets each typed character; returns the one to insert instead, or a null QChar to refuse it.
    using CharacterFilter = std::function<QChar(QChar typed)>;
    void setCharacterFilter(CharacterFilter filter) { m_characterFilter = std::move(filter); }

signals:
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);
    void doubleClickedGrid();
    void keyPressed(int key);
    // The cell editor opened on the current cell, before any typed character reaches it.
    void editorOpened();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QMouseEvent *event);
    void watchEditor(QLineEdit *editor);
    [[nodiscard]] bool filterEditorKey(QLineEdit *editor, QKeyEvent *event);
    // Left or Right at the edge of the editor's text.
    [[nodiscard]] static bool leavesEditor(const QLineEdit &editor, const QKeyEvent &event);

    GridCellDelegate *m_delegate = nullptr;
    int m_headingColumns = 0;
    CharacterFilter m_characterFilter;
};
