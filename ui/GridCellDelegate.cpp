#include "GridCellDelegate.h"

#include "GridCellRole.h"

#include <QLineEdit>
#include <QPainter>

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QVariant how = index.data(kCellPaintRole);
    const auto paint = how.isValid() ? static_cast<CellPaint>(how.toInt()) : CellPaint::GridOwn;
    if (paint == CellPaint::GridOwn) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, paint == CellPaint::Highlight ? kActiveCaptionColour
                                                                 : option.palette.color(QPalette::Base));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

void GridCellDelegate::setEditorRules(int maxLength, const QValidator *validator)
{
    m_maxLength = maxLength;
    m_validator = validator;
}

QWidget *GridCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("CellEditor"));
    editor->setFrame(false);
    editor->setFont(option.font);
    editor->setMaxLength(m_maxLength);
    editor->setValidator(m_validator);
    // Every change the operator makes (keys, paste, drop, input method) goes to the cell at once;
    // commitData is the view's signal to take it.
    connect(editor, &QLineEdit::textEdited, this,
            [this, editor] { emit const_cast<GridCellDelegate *>(this)->commitData(editor); });
    emit editorCreated(editor);
    return editor;
}

void GridCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (line == nullptr) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    // The cell changed under the editor (normalising) or is being opened; the editor's own
    // changes come back here too and must not move its cursor.
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text)
        line->setText(text);
}

void GridCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        model->setData(index, line->text(), Qt::EditRole);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}
