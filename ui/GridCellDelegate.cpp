#include "GridCellDelegate.h"

#include "GridCellRole.h"

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
