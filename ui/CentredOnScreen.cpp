#include "CentredOnScreen.h"

#include "OuterGeometry.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace {
// As long as OuterGeometry looks for a frame after a show.
constexpr int kCheckIntervalMs = 50;
constexpr int kChecksAfterShow = 200;
} // namespace

CentredOnScreen::CentredOnScreen(QWidget *window) : QObject(window), m_window(window)
{
    m_checks.setInterval(kCheckIntervalMs);
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
    const QMargins margins = OuterGeometry::frameOf(*m_window);
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
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
                m_checksLeft = kChecksAfterShow;
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
