#include "OuterGeometry.h"

#include <QEvent>
#include <QWidget>

namespace {
// How long after a show the frame is looked for: a window manager frames a window within a
// few hundred milliseconds, and some report the frame's size only after it is drawn.
constexpr int kCheckIntervalMs = 50;
constexpr int kChecksAfterShow = 60;
} // namespace

OuterGeometry::OuterGeometry(QWidget *window, QSize outerSize, Sizing sizing,
                             std::optional<QPoint> outerPosition)
    : QObject(window), m_window(window), m_outer(outerSize), m_sizing(sizing), m_position(outerPosition)
{
    m_checks.setInterval(kCheckIntervalMs);
    connect(&m_checks, &QTimer::timeout, this, [this] {
        apply();
        if (--m_checksLeft <= 0)
            m_checks.stop();
    });
    window->installEventFilter(this);
    apply();
}

void OuterGeometry::apply()
{
    const QRect outer = m_window->frameGeometry();
    const QRect inner = m_window->geometry();
    const QSize frame(outer.width() - inner.width(), outer.height() - inner.height());
    if (frame == m_frame)
        return;
    m_frame = frame;
    const QSize client = m_outer - frame;
    if (m_sizing == Sizing::Fixed)
        m_window->setFixedSize(client);
    else
        m_window->resize(client);
    if (m_position)
        m_window->move(*m_position);
}

bool OuterGeometry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
            m_checksLeft = kChecksAfterShow;
            m_checks.start();
            break;
        case QEvent::Hide: m_checks.stop(); break;
        case QEvent::Move:
        case QEvent::Resize: apply(); break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
