#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <unistd.h>

// CPU time so far in seconds, from /proc: of a whole process (all its
// threads, ended ones too), or of one of its threads with `thread`; -1 when
// it cannot be read.
inline double processCpuSeconds(qint64 pid, qint64 thread = 0)
{
    QFile stat(thread ? QStringLiteral("/proc/%1/task/%2/stat").arg(pid).arg(thread)
                      : QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which may hold spaces: state is the 3rd
    // field, utime and stime the 14th and 15th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}
