#ifndef PROCESSMEMORY_H
#define PROCESSMEMORY_H

#include <QByteArray>
#include <QFile>
#include <QList>

// A field of /proc/<pid>/status ("VmRSS:", "VmHWM:"), of this process when pid is 0, in KiB
// (0 when it cannot be read).
inline double statusKiB(const char* field, qint64 pid = 0)
{
    QFile status(pid > 0 ? QStringLiteral("/proc/%1/status").arg(pid)
                         : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const int length = int(qstrlen(field));
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(length).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// The resident memory of this process now, or of the process of the given id, in KiB (0 when
// it cannot be read): what benchmarks compare before and after repeating some work.
inline double residentKiB(qint64 pid = 0)
{
    return statusKiB("VmRSS:", pid);
}

// The peak of this process's resident memory begun anew from what it holds now
// (/proc/self/clear_refs), for peakResidentMiB() to tell what some work added at its height.
inline void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

inline double peakResidentMiB()
{
    return statusKiB("VmHWM:") / 1024.0;
}

#endif // PROCESSMEMORY_H
