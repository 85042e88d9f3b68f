#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class HighlightGridModel;
class QMdiArea;
class StringGrid;

// What the List of Timings and the List of patterns share: a read-only grid of a table, made
// once at start-up and shown, not modally, by an output window's "Show List"; the row last
// pressed is highlighted, and a double click (or Enter) picks the current row's entry for the
// output window, hides the list and gives the output window the focus. Closing only hides it.
class PickList : public QWidget {
    Q_OBJECT
public:
    struct Setup {
        QString name; // object name
        QString caption;
        QSize outerSize;
        QString gridName;
        std::vector<int> columnWidths;
    };

    // current is the index the pick sets; showPick gives the frame's output window the focus and
    // runs its activation, which shows the pick (a child that is active already is not activated
    // again by the focus); the output window is found by its type.
    PickList(const Setup &setup, HighlightGridModel *model, std::uint8_t &current, QMdiArea &frame,
             std::function<void(QMdiArea &frame)> showPick, QWidget *parent);

    [[nodiscard]] HighlightGridModel &model() { return *m_model; }

protected:
    [[nodiscard]] StringGrid &grid() { return *m_grid; }
    // Shown and brought forward, not modally.
    void showList();
    // The press: the current cell's row highlighted.
    void highlightCurrentRow();
    // The double click or Enter: the current cell's entry picked.
    void pickCurrentRow();

private:
    Setup m_setup;
    HighlightGridModel *m_model;
    std::uint8_t &m_current;
    QMdiArea &m_frame;
    std::function<void(QMdiArea &)> m_showPick;
    StringGrid *m_grid = nullptr;
};
