#pragma once

#include "EdidValues.h"

class QFileDialog;
class QWidget;

// File > Open and File > Save As: the main window's two file dialogs, OpenDialog1 and
// SaveDialog1, and what is done with the file chosen in them.
namespace EdidFileDialogs {

// "Binary Files" (*.bin) and "All Files"; no title, starting folder or default extension of
// their own. A name that does not exist is accepted; the failure comes when it is opened.
[[nodiscard]] QFileDialog *makeOpenDialog1(QWidget *parent);
// "Binary files" (*.bin) and "All files"; adds no extension and replaces a file without asking.
[[nodiscard]] QFileDialog *makeSaveDialog1(QWidget *parent);

// Runs the dialog with its first filter selected; a chosen file is loaded into edid, or
// "Open file error" is shown and edid is left as it was.
void openFile(QFileDialog &dialog, EdidBytes &edid);
// Runs the dialog with its first filter selected; edid is written to the chosen file, or
// "Open file error" is shown and an existing file is left as it was.
void saveFile(QFileDialog &dialog, const EdidBytes &edid);

} // namespace EdidFileDialogs
