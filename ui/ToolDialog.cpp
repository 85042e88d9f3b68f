#include "ToolDialog.h"

#include <QKeyEvent>
#include <QShowEvent>

void ToolDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A restore comes from the window system, spontaneously; show() and exec() do not.
    if (!event->spontaneous())
        FormShow();
}

void ToolDialog::keyPressEvent(QKeyEvent *event)
{
    // QDialog would reject() on it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
