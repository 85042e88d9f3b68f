#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QString>
#include <QTimer>

#include <sys/resource.h>

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

// The share of one core this process uses while its event loop idles for ms. The loop is its own:
// polling helpers that wake every few milliseconds cost a few percent themselves.
inline double cpuShareWhileIdle(int ms)
{
    const auto cpuSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double before = cpuSeconds();
    QElapsedTimer watched;
    watched.start();
    QEventLoop idle;
    QTimer::singleShot(ms, &idle, &QEventLoop::quit);
    idle.exec();
    return (cpuSeconds() - before) / (static_cast<double>(watched.elapsed()) / 1000);
}
