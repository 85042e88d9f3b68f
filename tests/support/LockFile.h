#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// The lock file Qt keeps for an open serial device: "LCK.." and the device's path below /dev
// with '/' as '_', in the first of these folders it may write; empty when there is none.
inline QString lockFileOf(const QString &device)
{
    const QString name = "LCK.." + device.mid(QStringLiteral("/dev/").size()).replace('/', '_');
    for (const QString &folder :
         {QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
          QStringLiteral("/var/spool/uucp"), QDir::tempPath()})
        if (QFile::exists(folder + "/" + name))
            return folder + "/" + name;
    return {};
}
