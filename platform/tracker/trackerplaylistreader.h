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
    // False when the file is not a playlist that can be parsed.
    static bool read(const QString& path, QStringList* entryUrls);
    // The store's URL of a local file: file:// with Qt's full percent-encoding.
    static QString fileUrl(const QString& path);
    // Rewrites a file URL into fileUrl() form; other URLs are returned unchanged.
    static QString normalizedUrl(const QString& url);
};

#endif // TRACKERPLAYLISTREADER_H
