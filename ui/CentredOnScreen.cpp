#include "CentredOnScreen.h"

#include "OuterGeometry.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

CentredOnScreen::CentredOnScreen(QWidget *window) : QObject(window), m_window(window)
{
    // As long as OuterGeometry looks for a frame after a show.
    m_checks.setInterval(OuterGeometry::kCheckIntervalMs);
    connect(&m_checks, &QTimer::timeout, this, [this] {
        centre();
        if (--m_checksLeft <= 0)
            m_checks.stop();
    });
    window->installEventFilter(this);
}

void CentredOnScreen::centre()
{
    const QScreen *screen = m_window->screen();
    const QSize frame = OuterGeometry::frameSizeOf(*m_window);
    if (screen == nullptr || frame == m_frame)
        return;
    m_frame = frame;
    QRect outer(QPoint(0, 0), m_window->size() + frame);
    outer.moveCenter(screen->geometry().center());
    // A window's position is that of its frame.
    m_window->move(outer.topLeft());
}

bool CentredOnScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
            // Spontaneous: a restore, which leaves the window where it was.
            if (!event->spontaneous()) {
                m_frame = QSize(-1, -1);
                centre();
                m_checksLeft = OuterGeometry::kChecksAfterShow;
                m_checks.start();
            }
            break;
        case QEvent::Hide: m_checks.stop(); break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_checks.isActive())
                centre();
            break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
