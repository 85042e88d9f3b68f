#pragma once

#include <QString>

// The program sets no title of its own: it is the executable's name without folder and
// extension, its first letter as it stands and the rest lower case. It heads every message box.
[[nodiscard]] QString programTitleFor(const QString &executablePath);
[[nodiscard]] QString programTitle();
