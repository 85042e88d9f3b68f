#include "PortNaming.h"

#include <QtGlobal>

QString portDeviceName(int comNumber)
{
    const QByteArray variable = "SGX100_COM" + QByteArray::number(comNumber);
    const QString mapped = qEnvironmentVariable(variable.constData());
    if (!mapped.isEmpty())
        return mapped;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

QString permissionAdvice()
{
#ifdef Q_OS_LINUX
    return QStringLiteral(
        "add the user to the dialout group (sudo usermod -aG dialout $USER), then log in again");
#else
    return QStringLiteral("ask the administrator for access to the port");
#endif
}
