#include "ProgramTitle.h"

#include <QCoreApplication>
#include <QFileInfo>

QString programTitleFor(const QString &executablePath)
{
    const QString name = QFileInfo(executablePath).completeBaseName();
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

QString programTitle()
{
    return programTitleFor(QCoreApplication::applicationFilePath());
}
