#include "PortNaming.h"

#include "Accounts.h"
#include "NameLimits.h"
#include "PortAccess.h"
#include "ShownName.h"

#include <QFile>
#include <QtGlobal>

PortName portNameFromBytes(const QByteArray &bytes)
{
    const QString decoded = QFile::decodeName(bytes);
    if (QFile::encodeName(decoded) == bytes)
        return {decoded, {}};
    return {QString::fromStdString(shownName(bytes.toStdString())),
            QStringLiteral("the name is not valid UTF-8; refused, so that no other device is opened in its "
                           "place (a symbolic link with a UTF-8 name will do)")};
}

PortName comPortName(int comNumber)
{
    const QByteArray variable = "SGX100_COM" + QByteArray::number(comNumber);
    const QByteArray mapped = qgetenv(variable.constData());
    if (!mapped.isEmpty())
        return portNameFromBytes(mapped);
#ifdef Q_OS_WIN
    return {QStringLiteral("COM%1").arg(comNumber), {}};
#else
    return {QStringLiteral("/dev/ttyS%1").arg(comNumber - 1), {}};
#endif
}

bool nameTooLong(const QString &device)
{
    return nameTooLongForSystem(QFile::encodeName(device).toStdString());
}

std::string permissionAdviceFor(const QString &device)
{
    const std::optional<DeviceAccess> access = deviceAccess(QFile::encodeName(device).toStdString());
    if (!access)
        return "ask the administrator for access to the port";
    return permissionAdvice(*access, processAccess());
}
