#include "StringGrid.h"

#include "GridCellDelegate.h"
#include "GridHeading.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

StringGrid::StringGrid(QWidget *parent) : QTableView(parent)
{
    setHorizontalHeader(new GridHeading(Qt::Horizontal, this));
    setVerticalHeader(new GridHeading(Qt::Vertical, this));
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
    m_delegate = new GridCellDelegate(this);
    setItemDelegate(m_delegate);
    connect(m_delegate, &GridCellDelegate::editorCreated, this, &StringGrid::watchEditor);
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
    return current.isValid() ? current.column() + m_headingColumns : 0;
}

void StringGrid::setCurrentCell(int row, int column)
{
    if (model() == nullptr || row < 1 || column < m_headingColumns)
        return;
    setCurrentIndex(model()->index(row - 1, column - m_headingColumns));
}

int StringGrid::fittingWidth() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    if (m_headingColumns > 0)
        width += verticalHeader()->width();
    for (int column = 0; model() != nullptr && column < model()->columnCount(); ++column)
        width += columnWidth(column);
    return width;
}

void StringGrid::setHeadingColumn(int width)
{
    QHeaderView *heading = verticalHeader();
    heading->setSectionsClickable(false);
    heading->setSectionsMovable(false);
    heading->setHighlightSections(false);
    heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading->setFixedWidth(width);
    heading->viewport()->installEventFilter(this);
    heading->show();
    m_headingColumns = 1;
}

void StringGrid::setCellEditing(int maxLength, const QValidator *validator)
{
    m_delegate->setEditorRules(maxLength, validator);
    setEditTriggers(AnyKeyPressed | EditKeyPressed | DoubleClicked);
}

void StringGrid::watchEditor(QLineEdit *editor)
{
    editor->installEventFilter(this);
    emit editorOpened();
}

bool StringGrid::leavesEditor(const QLineEdit &editor, const QKeyEvent &event)
{
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    // The whole text selected counts as either edge, as a freshly opened editor has it.
    const bool whole = editor.selectedText() == editor.text();
    const bool caretOnly = !editor.hasSelectedText();
    if (event.key() == Qt::Key_Left)
        return whole || (caretOnly && editor.cursorPosition() == 0);
    if (event.key() == Qt::Key_Right)
        return whole || (caretOnly && editor.cursorPosition() == editor.text().size());
    return false;
}

bool StringGrid::filterEditorKey(QLineEdit *editor, QKeyEvent *event)
{
    if (leavesEditor(*editor, *event)) {
        // Committed before the key is reported, so that what the owner makes of the cell then
        // (the EDID grid's normalising) is what stays.
        emit m_delegate->commitData(editor);
        emit keyPressed(event->key());
        emit m_delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        QTableView::keyPressEvent(event);
        return true;
    }
    emit keyPressed(event->key());
    // Delete carries the DEL character on some platforms, but it types nothing.
    const QString text = event->text();
    if (!m_characterFilter || text.isEmpty() || text == QStringLiteral("\x7f"))
        return false;
    if (text.size() == 1) {
        const QChar typed = m_characterFilter(text.front());
        if (typed == text.front())
            return false;
        if (!typed.isNull())
            editor->insert(QString(typed));
        return true;
    }
    for (QChar c : text) {
        const QChar typed = m_characterFilter(c);
        if (!typed.isNull() && typed.isPrint())
            editor->insert(QString(typed));
    }
    return true;
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
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell.isValid() && cell == currentIndex() &&
        editTriggers().testFlag(DoubleClicked))
        edit(cell, DoubleClicked, event);
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    // A key the cell editor left alone (Up, Down) comes on here; the editor has reported it.
    QWidget *focus = QApplication::focusWidget();
    if (focus == nullptr || focus == this || !viewport()->isAncestorOf(focus))
        emit keyPressed(event->key());
    // Backspace is typed like a character: it opens the editor, which then erases. The view
    // itself would ignore it.
    if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier &&
        editTriggers().testFlag(AnyKeyPressed) && state() != EditingState &&
        edit(currentIndex(), AnyKeyPressed, event))
        return;
    QTableView::keyPressEvent(event);
}

bool StringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->parent() == viewport()) {
        if (auto *editor = qobject_cast<QLineEdit *>(watched))
            return filterEditorKey(editor, static_cast<QKeyEvent *>(event));
    }
    if (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport()) {
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
