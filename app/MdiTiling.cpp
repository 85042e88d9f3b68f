#include "MdiTiling.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>

void tileSubWindows(QMdiArea &area, Qt::Orientation direction)
{
    // The most recently active child takes the first place, as the system's tiling does.
    QList<QMdiSubWindow *> windows;
    const QList<QMdiSubWindow *> history = area.subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        if ((*it)->isVisible() && !(*it)->isMinimized())
            windows.append(*it);
    }
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
