#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Windows name a system "active-caption" colour for highlighted and edited rows; Qt's palette has
// no such role. This is that colour as the common desktop default has it: a light steel blue on
// which black text stays readable.
inline const QColor kActiveCaptionColour(153, 180, 209);

// Paints every owner-drawn body cell of the program's grids, as the model asks (kCellPaintRole):
// the window colour or the active-caption colour, and the cell's text 2 pixels right and down
// from its corner; or the grid's own drawing.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
