#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// CPU seconds a live process has used so far, from /proc: utime and stime, fields 14 and 15 of
// its stat line (12 and 13 after the name), in ticks of 10 ms. -1 when it cannot be read.
inline double cpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 13 ? (fields[11].toDouble() + fields[12].toDouble()) / 100.0 : -1;
}
