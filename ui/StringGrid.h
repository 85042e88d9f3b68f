#pragma once

#include <QTableView>

#include <vector>

// A text grid with one fixed heading row, as the program's windows use it. Rows are counted as
// the operator sees them: row 0 is the heading, body row r is model row r - 1.
//
// A left-button press on a body cell makes it current; other buttons and presses on the heading
// leave the current cell where it was. After every press (on the heading too, and the second
// press of a double click) mousePressed reports the button; the double click itself is reported
// just before its second press, as the generator tools' grids do.
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

signals:
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);
    void doubleClickedGrid();
    void keyPressed(int key);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QMouseEvent *event);
};
