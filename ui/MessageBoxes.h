#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The program's message boxes: modal, one OK button, headed by the program's title. Shown over
// whatever modal window is up, else over owner.
// The informative text, when given, stands under the message.
void showProgramMessage(QWidget *owner, const QString &text, QMessageBox::Icon icon = QMessageBox::NoIcon,
                        const QString &informative = {});

// The same box, opened without waiting for it (no loop of its own runs); closed() is called once
// the operator has closed it.
void openProgramMessage(QWidget *owner, const QString &text, QMessageBox::Icon icon = QMessageBox::NoIcon,
                        const QString &informative = {}, std::function<void()> closed = {});
