#include "ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <functional>

namespace {

// Every picture is drawn on a 16 x 16 grid on white and rendered at 16 and 32 pixels.
using Drawing = std::function<void(QPainter &)>;

QIcon render(const Drawing &draw, const QColor &ground = Qt::white)
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(ground);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor kOutline(40, 40, 40);
const QColor kTitleBlue(30, 80, 190);

// A small window: frame, blue title strip, white body.
void drawWindow(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kTitleBlue);
    p.drawRect(QRectF(r.left() + 0.4, r.top() + 0.4, r.width() - 0.8, 2.2));
}

void drawOpen(QPainter &p)
{
    p.setPen(QPen(QColor(120, 85, 10), 0.8));
    p.setBrush(QColor(220, 170, 50));
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(6.5, 5);
    back.lineTo(12.5, 5);
    back.lineTo(12.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 90));
    QPainterPath flap;
    flap.moveTo(1.5, 13.5);
    flap.lineTo(4, 7.5);
    flap.lineTo(15, 7.5);
    flap.lineTo(12.5, 13.5);
    flap.closeSubpath();
    p.drawPath(flap);
}

void drawSaveAs(QPainter &p)
{
    p.setPen(QPen(QColor(10, 20, 70), 0.8));
    p.setBrush(QColor(40, 70, 160));
    QPainterPath disk;
    disk.moveTo(1.5, 1.5);
    disk.lineTo(12.5, 1.5);
    disk.lineTo(14.5, 3.5);
    disk.lineTo(14.5, 14.5);
    disk.lineTo(1.5, 14.5);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(4.5, 1.9, 7, 4.5));
    p.setBrush(QColor(40, 70, 160));
    p.drawRect(QRectF(9, 2.5, 1.6, 3.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9, 5.5));
    p.setPen(QPen(QColor(150, 150, 150), 0.6));
    p.drawLine(QPointF(4.5, 10.3), QPointF(11.5, 10.3));
    p.drawLine(QPointF(4.5, 12.2), QPointF(11.5, 12.2));
}

void drawTileHorizontally(QPainter &p)
{
    drawWindow(p, QRectF(1.5, 1.5, 13, 6));
    drawWindow(p, QRectF(1.5, 8.5, 13, 6));
}

void drawTileVertically(QPainter &p)
{
    drawWindow(p, QRectF(1.5, 1.5, 6, 13));
    drawWindow(p, QRectF(8.5, 1.5, 6, 13));
}

void drawCascade(QPainter &p)
{
    drawWindow(p, QRectF(1.5, 1.5, 9, 7));
    drawWindow(p, QRectF(3.5, 4.5, 9, 7));
    drawWindow(p, QRectF(5.5, 7.5, 9, 7));
}

// A screen with a line-sync waveform.
void drawTimingRun(QPainter &p)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(20, 30, 30));
    p.drawRoundedRect(QRectF(1, 2, 14, 11), 1.5, 1.5);
    p.setPen(QPen(QColor(80, 240, 110), 1.1));
    p.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(2.5, 5.5);
    wave.lineTo(5, 5.5);
    wave.lineTo(5, 10);
    wave.lineTo(6.5, 10);
    wave.lineTo(6.5, 5.5);
    wave.lineTo(10, 5.5);
    wave.lineTo(10, 10);
    wave.lineTo(11.5, 10);
    wave.lineTo(11.5, 5.5);
    wave.lineTo(13.5, 5.5);
    p.drawPath(wave);
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(5.5, 13, 5, 1.8));
}

void drawColourBars(QPainter &p, const QRectF &area)
{
    static const std::array<QColor, 8> bars = {
        QColor(255, 255, 255), QColor(255, 255, 0), QColor(0, 255, 255), QColor(0, 255, 0),
        QColor(255, 0, 255),   QColor(255, 0, 0),   QColor(0, 0, 255),   QColor(0, 0, 0)};
    const qreal w = area.width() / bars.size();
    p.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        p.setBrush(bars[i]);
        p.drawRect(QRectF(area.left() + w * static_cast<qreal>(i), area.top(), w + 0.05, area.height()));
    }
}

void drawPatternRun(QPainter &p)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(20, 20, 20));
    p.drawRoundedRect(QRectF(1, 2, 14, 11), 1.5, 1.5);
    drawColourBars(p, QRectF(2, 3, 12, 9));
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(5.5, 13, 5, 1.8));
}

// A plug; its prongs point right.
void drawPlug(QPainter &p, qreal x, const QColor &body)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(x - 4, 7.2, 4, 1.6));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(x, 4.5, 3.5, 7), 1, 1);
    p.setBrush(QColor(230, 200, 80));
    p.drawRect(QRectF(x + 3.5, 5.7, 2, 1.2));
    p.drawRect(QRectF(x + 3.5, 9.1, 2, 1.2));
}

// A socket; it opens to the left.
void drawSocket(QPainter &p, qreal x, const QColor &body)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(x, 4, 4, 8), 1, 1);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(x + 4, 7.2, 3, 1.6));
}

void drawConnect(QPainter &p)
{
    drawPlug(p, 4, QColor(40, 160, 60));
    drawSocket(p, 9, QColor(40, 160, 60));
}

void drawDisconnect(QPainter &p)
{
    drawPlug(p, 3.5, QColor(200, 40, 40));
    drawSocket(p, 11, QColor(200, 40, 40));
    p.setPen(QPen(QColor(220, 30, 30), 1.0));
    p.drawLine(QPointF(9.5, 2), QPointF(10.5, 5));
    p.drawLine(QPointF(10.2, 11), QPointF(9.3, 14));
}

} // namespace

ImageList::ImageList()
{
    m_icons[Open] = render(drawOpen);
    m_icons[SaveAs] = render(drawSaveAs);
    m_icons[TileHorizontally] = render(drawTileHorizontally);
    m_icons[TileVertically] = render(drawTileVertically);
    m_icons[Cascade] = render(drawCascade);
    m_icons[TimingRun] = render(drawTimingRun);
    m_icons[PatternRun] = render(drawPatternRun);
    m_icons[Connect] = render(drawConnect);
    m_icons[Disconnect] = render(drawDisconnect);
}

QIcon ImageList::icon(int index) const
{
    const auto it = m_icons.find(index);
    return it == m_icons.end() ? QIcon() : it->second;
}

QIcon ImageList::programIcon()
{
    return render(
        [](QPainter &p) {
            p.setPen(QPen(kOutline, 0.8));
            p.setBrush(QColor(60, 60, 70));
            p.drawRoundedRect(QRectF(0.5, 1.5, 15, 11.5), 2, 2);
            drawColourBars(p, QRectF(2, 3, 12, 8.5));
            p.setPen(QPen(kOutline, 0.8));
            p.setBrush(QColor(60, 60, 70));
            p.drawRect(QRectF(4.5, 13, 7, 2));
        },
        Qt::transparent);
}
