#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QLineEdit;
class QValidator;

// Windows name a system "active-caption" colour for highlighted and edited rows; Qt's palette has
// no such role. This is that colour as the common desktop default has it: a light steel blue on
// which black text stays readable.
inline const QColor kActiveCaptionColour(153, 180, 209);

// Paints every owner-drawn body cell of the program's grids, as the model asks (kCellPaintRole):
// the window colour or the active-caption colour, and the cell's text 2 pixels right and down
// from its corner; or the grid's own drawing.
//
// It also makes the cell editors of an editable grid: a frameless one-line editor whose rules
// (longest text, validator) hold for everything that reaches it, typed, pasted or dropped. Every
// change in the editor is written into the cell at once, so the cell always holds what the
// editor shows.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // validator may be null; it must outlive the editors.
    void setEditorRules(int maxLength, const QValidator *validator);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

signals:
    // A cell editor was made, before it shows or receives anything.
    void editorCreated(QLineEdit *editor) const;

private:
    int m_maxLength = 32767;
    const QValidator *m_validator = nullptr;
};
