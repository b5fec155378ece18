#include "shownplaylistname.h"

QString shownPlaylistName(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name;
    // The playlist files the indexer takes; a file of any other kind never names a playlist.
    const QStringRef extension = name.midRef(dot + 1);
    if (extension.compare(QLatin1String("m3u"), Qt::CaseInsensitive) == 0
        || extension.compare(QLatin1String("pls"), Qt::CaseInsensitive) == 0)
        return name.left(dot);
    return name;
}
