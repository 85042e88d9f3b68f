#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>

// Gives the focus to the frame's child window whose contents are a W (the last one in the frame's
// order) and returns them; null when there is none.
template <typename W> W *focusChildWindow(QMdiArea &frame)
{
    QMdiSubWindow *found = nullptr;
    for (QMdiSubWindow *child : frame.subWindowList())
        if (qobject_cast<W *>(child->widget()) != nullptr)
            found = child;
    if (found == nullptr)
        return nullptr;
    frame.window()->activateWindow();
    frame.setActiveSubWindow(found);
    found->widget()->setFocus();
    return qobject_cast<W *>(found->widget());
}
