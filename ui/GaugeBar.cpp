#include "GaugeBar.h"

#include <QPainter>

GaugeBar::GaugeBar(QWidget *parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(true);
}

void GaugeBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(inside, palette().color(QPalette::Button));

    const int span = maximum() - minimum();
    const int filled = span > 0 ? inside.width() * (value() - minimum()) / span : 0;
    const QRect bar(inside.left(), inside.top(), filled, inside.height());
    painter.fillRect(bar, QColor(0, 0, 255));

    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QString percent = text();
    painter.setClipRegion(QRegion(inside).subtracted(QRegion(bar)));
    painter.drawText(inside, Qt::AlignCenter, percent);
    painter.setClipRect(bar);
    painter.setPen(Qt::white);
    painter.drawText(inside, Qt::AlignCenter, percent);
}
