#ifndef TRACKERREGULARFILE_H
#define TRACKERREGULARFILE_H

#include <QByteArray>
#include <QString>

// File access for the indexer and the media-art cache that touches nothing but regular files:
// a pipe blocks its reader for ever, a device never ends, and a link may point anywhere. Paths
// are native (the bytes the file system holds), so names that are not UTF-8 work too.
class TrackerRegularFile
{
public:
    // Whether path, links followed, names a regular file; only stat() looks at it. Otherwise
    // reason says what it is.
    static bool isRegular(const QByteArray& path, QString* reason = nullptr);
    // Reads a whole regular file of at most maxBytes.
    static bool read(const QByteArray& path, qint64 maxBytes, QByteArray* data,
                     QString* reason = nullptr);
    // Writes data to a new file beside path and renames it over path: whatever is at path (a
    // link, a pipe) is replaced without being opened, and readers see the old content or the
    // new, never a part.
    static bool replace(const QString& path, const QByteArray& data, QString* reason = nullptr);
};

#endif // TRACKERREGULARFILE_H
