#include "MessageBoxes.h"

#include "ProgramTitle.h"

#include <QApplication>

namespace {
QWidget *above(QWidget *owner)
{
    QWidget *top = QApplication::activeModalWidget();
    return top != nullptr ? top : owner;
}
} // namespace

void showProgramMessage(QWidget *owner, const QString &text, QMessageBox::Icon icon,
                        const QString &informative)
{
    QMessageBox box(icon, programTitle(), text, QMessageBox::Ok, above(owner));
    box.setInformativeText(informative);
    box.exec();
}

void openProgramMessage(QWidget *owner, const QString &text, QMessageBox::Icon icon,
                        const QString &informative, std::function<void()> closed)
{
    auto *box = new QMessageBox(icon, programTitle(), text, QMessageBox::Ok, above(owner));
    box->setInformativeText(informative);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box, [closed = std::move(closed)] { closed(); });
    box->open();
}
