#include "MessageBoxes.h"

#include "ProgramTitle.h"

#include <QApplication>

void showProgramMessage(QWidget *owner, const QString &text, QMessageBox::Icon icon,
                        const QString &informative)
{
    QWidget *top = QApplication::activeModalWidget();
    QMessageBox box(icon, programTitle(), text, QMessageBox::Ok, top != nullptr ? top : owner);
    box.setInformativeText(informative);
    box.exec();
}
