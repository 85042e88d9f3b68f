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
