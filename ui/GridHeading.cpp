#include "GridHeading.h"

#include <QPainter>
#include <QStyleOptionHeader>

void GridHeading::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    const QString text = option.text;
    option.text.clear();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);

    // In whole pixels, as the columns were laid out: "      Pattern Name" then just fits its 125.
    QFont hinted = font();
    hinted.setHintingPreference(QFont::PreferFullHinting);
    painter->save();
    painter->setFont(hinted);
    painter->setClipRect(rect);
    style()->drawItemText(painter, rect.adjusted(2, 2, 0, 0),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, option.palette, isEnabled(),
                          text, QPalette::ButtonText);
    painter->restore();
}
