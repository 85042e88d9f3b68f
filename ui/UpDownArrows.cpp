#include "UpDownArrows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

UpDownArrows::UpDownArrows(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

QRect UpDownArrows::upperRect() const
{
    return QRect(0, 0, width(), height() / 2);
}

QRect UpDownArrows::lowerRect() const
{
    return QRect(0, height() / 2, width(), height() - height() / 2);
}

void UpDownArrows::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const Half half : {Half::Upper, Half::Lower}) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = half == Half::Upper ? upperRect() : lowerRect();
        button.state |= m_pressed == half ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = button.rect.adjusted(3, 2, -3, -2);
        style()->drawPrimitive(half == Half::Upper ? QStyle::PE_IndicatorArrowUp
                                                   : QStyle::PE_IndicatorArrowDown,
                               &arrow, &painter, this);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void UpDownArrows::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = upperRect().contains(event->position().toPoint()) ? Half::Upper : Half::Lower;
    update();
    if (m_pressed == Half::Upper)
        emit upClicked();
    else
        emit downClicked();
}

void UpDownArrows::mouseReleaseEvent(QMouseEvent *)
{
    m_pressed = Half::None;
    update();
}

void UpDownArrows::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        emit upClicked();
    else if (event->key() == Qt::Key_Down)
        emit downClicked();
    else
        QWidget::keyPressEvent(event);
}
