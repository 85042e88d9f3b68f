#pragma once

#include <QFileDialog>
#include <QStringList>

// A file dialog of Qt's own, not the desktop's: it runs in the program's event loop, where the
// link's timers keep a payload going, while a native one may run a loop of its own. Its entries
// show their names only; give "all files" as "*", since on Linux "*.*" hides every name without
// a dot.
[[nodiscard]] QFileDialog *makeFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                                          const QStringList &nameFilters, QFileDialog::Options more = {});
