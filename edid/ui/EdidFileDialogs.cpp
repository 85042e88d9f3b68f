#include "EdidFileDialogs.h"

#include "EdidFile.h"
#include "FileDialog.h"
#include "MessageBoxes.h"

#include <QFile>

namespace EdidFileDialogs {

namespace {

QFileDialog *makeDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                        const QString &binary, const QString &all)
{
    return makeFileDialog(parent, name, mode, {binary + QStringLiteral(" (*.bin)"), all + QStringLiteral(" (*)")},
                          QFileDialog::DontConfirmOverwrite);
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
