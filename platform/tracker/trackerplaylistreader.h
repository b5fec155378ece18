#ifndef TRACKERPLAYLISTREADER_H
#define TRACKERPLAYLISTREADER_H

#include <QString>
#include <QStringList>

// Reads the entries of a playlist file (.m3u, .pls) with totem-pl-parser. Local entries come
// back as file URLs in the form the indexer writes for songs, so they match nie:url exactly.
class TrackerPlaylistReader
{
public:
    static bool isPlaylistFile(const QString& path);
    // The same, for a file name's suffix in lower case.
    static bool isPlaylistSuffix(const QString& suffix);
    // Bounds on what is read: a bigger file, or one with more entries (or an entry numbered
    // beyond), is refused.
    static const qint64 MaxBytes = 32 * 1024 * 1024;
    static const int MaxEntries = 100000;

    // False (with the reason) when the file is not a regular file holding a playlist that can
    // be parsed within the bounds.
    static bool read(const QString& path, QStringList* entryUrls, QString* reason = nullptr);
    // The same for a native path (the file system's bytes, which need not be UTF-8).
    static bool read(const QByteArray& path, QStringList* entryUrls, QString* reason = nullptr);
    // The store's URL of a local file: file:// with Qt's full percent-encoding.
    static QString fileUrl(const QString& path);
    // Rewrites a file URL into fileUrl() form; other URLs are returned unchanged.
    static QString normalizedUrl(const QString& url);
};

#endif // TRACKERPLAYLISTREADER_H
