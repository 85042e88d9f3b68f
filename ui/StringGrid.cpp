#include "StringGrid.h"

#include "GridCellDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

StringGrid::StringGrid(QWidget *parent) : QTableView(parent)
{
    verticalHeader()->hide();
    QHeaderView *heading = horizontalHeader();
    heading->setSectionsClickable(false);
    heading->setSectionsMovable(false);
    heading->setHighlightSections(false);
    heading->setSectionResizeMode(QHeaderView::Fixed);
    heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading->setStretchLastSection(false);
    heading->setMinimumSectionSize(1);
    heading->viewport()->installEventFilter(this);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setItemDelegate(new GridCellDelegate(this));
}

void StringGrid::setColumnWidths(const std::vector<int> &widths)
{
    for (std::size_t i = 0; i < widths.size(); ++i)
        setColumnWidth(static_cast<int>(i), widths[i]);
}

void StringGrid::setRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

int StringGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int StringGrid::currentColumn() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : 0;
}

void StringGrid::setCurrentCell(int row, int column)
{
    if (model() == nullptr || row < 1)
        return;
    setCurrentIndex(model()->index(row - 1, column));
}

int StringGrid::fittingWidth() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; model() != nullptr && column < model()->columnCount(); ++column)
        width += columnWidth(column);
    return width;
}

void StringGrid::press(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QTableView::mousePressEvent(event);
    else
        setFocus(Qt::MouseFocusReason);
    emit mousePressed(event->button());
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    press(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClickedGrid();
    press(event);
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event->key());
    QTableView::keyPressEvent(event);
}

bool StringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            // The heading belongs to the grid: a press there keeps the current cell.
            setFocus(Qt::MouseFocusReason);
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
                emit doubleClickedGrid();
            emit mousePressed(mouse->button());
            return true;
        }
        case QEvent::MouseButtonRelease:
            emit mouseReleased(static_cast<QMouseEvent *>(event)->button());
            return true;
        default: break;
        }
    }
    return QTableView::eventFilter(watched, event);
}
