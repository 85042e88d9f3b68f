#include "OuterGeometry.h"

#include <QEvent>
#include <QLayout>
#include <QWidget>
#include <QWindow>

namespace {
QSize sizeOf(const QMargins &frame)
{
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}
// Framed, sized and placed for this many checks in a row: the window manager has settled.
constexpr int kSteadyChecks = 10;
// A window manager that keeps refusing the size or place is not asked again and again.
constexpr int kAsksAfterShow = 5;
} // namespace

OuterGeometry::OuterGeometry(QWidget *window, QSize outerSize, Sizing sizing,
                             std::optional<QPoint> outerPosition)
    : QObject(window), m_window(window), m_outer(outerSize), m_sizing(sizing), m_position(outerPosition)
{
    m_checks.setInterval(kCheckIntervalMs);
    connect(&m_checks, &QTimer::timeout, this, &OuterGeometry::check);
    window->installEventFilter(this);
    apply(false);
}

QMargins OuterGeometry::frameOf(const QWidget &window)
{
    // The widget's own copy of its frame is brought up to date only on a move or a resize.
    const QWindow *handle = window.windowHandle();
    return handle != nullptr && window.isWindow() ? handle->frameMargins() : QMargins();
}

QSize OuterGeometry::frameSizeOf(const QWidget &window)
{
    return sizeOf(frameOf(window));
}

QSize OuterGeometry::clientNeeded(const QWidget &window)
{
    if (const QLayout *layout = window.layout())
        return layout->totalMinimumSize();
    QRect controls;
    for (const QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !child->isHidden())
            controls |= child->geometry();
    return {controls.right() + 1, controls.bottom() + 1};
}

QSize OuterGeometry::clientFor(QSize frame) const
{
    return (m_outer - frame).expandedTo(clientNeeded(*m_window));
}

bool OuterGeometry::fitted(const QMargins &frame) const
{
    const QPoint outerPlace = m_window->geometry().topLeft() - QPoint(frame.left(), frame.top());
    return m_window->size() == clientFor(sizeOf(frame)) &&
           (!m_position || outerPlace == *m_position);
}

void OuterGeometry::apply(bool insist)
{
    const QMargins margins = frameOf(*m_window);
    const QSize frame = sizeOf(margins);
    if (frame == m_frame) {
        // A window manager may drop what was asked before it framed the window: ask again.
        if (!insist || margins.isNull() || fitted(margins) || m_asksLeft <= 0)
            return;
        --m_asksLeft;
    }
    m_frame = frame;
    const QSize client = clientFor(frame);
    if (m_sizing == Sizing::Fixed)
        m_window->setFixedSize(client);
    else
        m_window->resize(client);
    if (m_position)
        m_window->move(*m_position);
}

void OuterGeometry::check()
{
    // Once settled, a later showing keeps what the operator made of a resizable window.
    apply(!m_settled);
    const QMargins margins = frameOf(*m_window);
    const bool steady = !margins.isNull() && (m_settled || fitted(margins));
    m_steadyChecks = steady ? m_steadyChecks + 1 : 0;
    if (m_steadyChecks >= kSteadyChecks)
        m_settled = true;
    if (m_steadyChecks >= kSteadyChecks || --m_checksLeft <= 0)
        m_checks.stop();
}

bool OuterGeometry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
            m_checksLeft = kChecksAfterShow;
            m_steadyChecks = 0;
            m_asksLeft = kAsksAfterShow;
            m_checks.start();
            break;
        case QEvent::Hide: m_checks.stop(); break;
        case QEvent::Move:
        case QEvent::Resize: apply(false); break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
