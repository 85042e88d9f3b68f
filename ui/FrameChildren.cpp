#include "FrameChildren.h"

#include <QMdiArea>
#include <QMdiSubWindow>

QWidget *focusChildWindow(QMdiArea &frame, const QString &caption)
{
    QMdiSubWindow *found = nullptr;
    for (QMdiSubWindow *child : frame.subWindowList())
        if (child->windowTitle() == caption)
            found = child;
    if (found == nullptr)
        return nullptr;
    frame.window()->activateWindow();
    frame.setActiveSubWindow(found);
    found->widget()->setFocus();
    return found->widget();
}
