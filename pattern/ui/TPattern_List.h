#pragma once

#include <QWidget>

class HighlightGridModel;
class QMdiArea;
class StringGrid;
struct SharedValues;

// "List of patterns": every pattern by number and name, from which a double click picks the one
// the Pattern window shows and runs. Made once at start-up, shown by "Show List", hidden when
// closed; the row last pressed stays highlighted from one showing to the next.
class TPattern_List : public QWidget {
    Q_OBJECT
public:
    TPattern_List(SharedValues &values, QMdiArea &frame, QWidget *parent = nullptr);

    // "Show List": shown, not modally, its highlight as it was.
    void showList();

    void StringGrid2MouseDown();
    void StringGrid2DblClick();

    [[nodiscard]] HighlightGridModel &model() { return *m_model; }

private:
    SharedValues &m_values;
    QMdiArea &m_frame;
    HighlightGridModel *m_model = nullptr;
    StringGrid *m_stringGrid2 = nullptr;
};
