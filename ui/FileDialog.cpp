#include "FileDialog.h"

QFileDialog *makeFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                            const QStringList &nameFilters, QFileDialog::Options more)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails | more);
    dialog->setNameFilters(nameFilters);
    return dialog;
}
