#include "EdidFileDialogs.h"

#include "EdidFile.h"
#include "MessageBoxes.h"

#include <QFile>
#include <QFileDialog>

namespace EdidFileDialogs {

namespace {

QFileDialog *makeDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                        const QString &binary, const QString &all)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog runs in Qt's event loop, where the link's timers keep sending a payload;
    // a native one may run a loop of its own. The entries show their names only, and "all"
    // is "*": on Linux "*.*" would hide every name without a dot.
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                       QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilters({binary + QStringLiteral(" (*.bin)"), all + QStringLiteral(" (*)")});
    return dialog;
}

// The chosen file, or an empty name when the operator cancels. The name's bytes are the file
// system's own again once encoded back.
QString run(QFileDialog &dialog)
{
    dialog.selectNameFilter(dialog.nameFilters().value(0));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void showFileError(QFileDialog &dialog)
{
    showProgramMessage(dialog.parentWidget(), QString::fromLatin1(EdidFile::OpenErrorMessage));
}

} // namespace

QFileDialog *makeOpenDialog1(QWidget *parent)
{
    return makeDialog(parent, "OpenDialog1", QFileDialog::AcceptOpen, QStringLiteral("Binary Files"),
                      QStringLiteral("All Files"));
}

QFileDialog *makeSaveDialog1(QWidget *parent)
{
    return makeDialog(parent, "SaveDialog1", QFileDialog::AcceptSave, QStringLiteral("Binary files"),
                      QStringLiteral("All files"));
}

void openFile(QFileDialog &dialog, EdidBytes &edid)
{
    const QString path = run(dialog);
    std::string error;
    if (!path.isEmpty() && !EdidFile::load(QFile::encodeName(path).toStdString(), edid, error))
        showFileError(dialog);
}

void saveFile(QFileDialog &dialog, const EdidBytes &edid)
{
    const QString path = run(dialog);
    std::string error;
    if (!path.isEmpty() && !EdidFile::save(QFile::encodeName(path).toStdString(), edid, error))
        showFileError(dialog);
}

} // namespace EdidFileDialogs
