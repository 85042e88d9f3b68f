#include "MdiTiling.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace {

// The children to arrange, least recently active first.
QList<QMdiSubWindow *> arranged(const QMdiArea &area)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : area.subWindowList(QMdiArea::ActivationHistoryOrder)) {
        if (window->isVisible() && !window->isMinimized())
            windows.append(window);
    }
    return windows;
}

int titleBarHeight(QMdiSubWindow &window)
{
    QStyleOptionTitleBar option;
    option.initFrom(&window);
    return window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &window);
}

} // namespace

void tileSubWindows(QMdiArea &area, Qt::Orientation direction)
{
    // The most recently active child takes the first place, as the system's tiling does.
    QList<QMdiSubWindow *> windows = arranged(area);
    std::reverse(windows.begin(), windows.end());
    if (windows.isEmpty())
        return;

    const QRect client = area.viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *window = windows[i];
        if (window->isMaximized())
            window->showNormal();
        if (direction == Qt::Horizontal) {
            const int top = client.height() * i / count;
            const int bottom = client.height() * (i + 1) / count;
            window->setGeometry(0, top, client.width(), bottom - top);
        } else {
            const int left = client.width() * i / count;
            const int right = client.width() * (i + 1) / count;
            window->setGeometry(left, 0, right - left, client.height());
        }
    }
}

void cascadeSubWindows(QMdiArea &area)
{
    const QList<QMdiSubWindow *> windows = arranged(area);
    const QRect client = area.viewport()->rect();
    QPoint corner(0, 0);
    for (QMdiSubWindow *window : windows) {
        if (window->isMaximized())
            window->showNormal();
        const int step = titleBarHeight(*window);
        if (!client.adjusted(0, 0, -step, -step).contains(corner))
            corner = QPoint(0, 0);
        window->setGeometry(QRect(corner, window->size().boundedTo(client.size())));
        window->raise();
        corner += QPoint(step, step);
    }
}
