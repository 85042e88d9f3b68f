#pragma once

#include <QWidget>

class HighlightGridModel;
class QMdiArea;
class StringGrid;
struct SharedValues;

// "List of Timings": every timing with its rates, from which a double click picks the one the
// Timing window shows and runs. Made once at start-up, shown by "Show List", hidden when closed.
class TTiming_List : public QWidget {
    Q_OBJECT
public:
    TTiming_List(SharedValues &values, QMdiArea &frame, QWidget *parent = nullptr);

    // "Show List": no row highlighted, then shown, not modally.
    void showWithoutHighlight();

    void StringGrid1MouseDown();
    void StringGrid1DblClick();

    [[nodiscard]] HighlightGridModel &model() { return *m_model; }

private:
    SharedValues &m_values;
    QMdiArea &m_frame;
    HighlightGridModel *m_model = nullptr;
    StringGrid *m_stringGrid1 = nullptr;
};
