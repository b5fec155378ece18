#ifndef PROCESSIO_H
#define PROCESSIO_H

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// What has been read from files, pipes and sockets so far, by the rchar line of a /proc io file:
// "/proc/self/io" for the whole process, "/proc/thread-self/io" for the calling thread alone.
// -1 when it cannot be read.
inline qint64 bytesReadSoFar(const QString& ioFile)
{
    QFile io(ioFile);
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

#endif // PROCESSIO_H
