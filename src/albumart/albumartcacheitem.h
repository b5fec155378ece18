#ifndef ALBUMARTCACHEITEM_H
#define ALBUMARTCACHEITEM_H

#include "albumarttype.h"

#include <QMetaType>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

// One cover request and the names of its files: which album (or artist), in which size class
// ("flavor"), whether a text cover may be drawn, and the requester's own data. The same value is
// the key of every cover cache, and it is copied between the GUI thread and the thumbnailer.
class AlbumArtCacheItem
{
public:
    AlbumArtCacheItem();
    AlbumArtCacheItem(QString album, QString artist, QString flavor, AlbumArtType::ArtType type);
    AlbumArtCacheItem(const AlbumArtCacheItem& other);
    AlbumArtCacheItem& operator=(const AlbumArtCacheItem& other);
    virtual ~AlbumArtCacheItem();

    // Equal items name the same cover. itemHash alone only names the files: it is a 28-bit hash
    // of the fields run together ("AB" + "C" and "A" + "BC" share it), so the fields themselves
    // are compared as well.
    bool operator==(const AlbumArtCacheItem& other) const;
    bool operator!=(const AlbumArtCacheItem& other) const { return !(*this == other); }

    // Recomputes itemHash, artistHash and albumHash from album, artist, flavor and type; whoever
    // changes those afterwards calls it, and then resetPaths().
    void updateHashes();
    void resetPaths();

    // Each builds its path once and keeps it, and sets its flag to whether the file exists now.
    QString mediaArtPath();
    QString thumbnailPath();
    QString generatedPath();

    // Whether the thumbnail (or, without a picture, the generated cover) has to be made anew.
    bool needsUpdate();

    // The name hash of the media-art store: 32 lower-case hex digits of an MD5.
    static QString mediaArtHash(const QString& text);
    static bool isValidFlavor(const QString& flavor);
    // The flavor's square; (-1, -1) for a name not in the table.
    static QSize flavorSize(const QString& flavor);
    // The pixel size of a text cover's font; 0 for a name not in the table.
    static int flavorFontSize(const QString& flavor);

    QString album;
    QString albumHash;
    QStringList albums;
    QString artist;
    QString artistHash;
    QString flavor;
    uint itemHash;
    bool generate;
    int type;
    QVariant userData;
    QString cachedThumbnailPath;
    QString cachedGeneratedPath;
    QString cachedMediaArtPath;
    bool thumbnailExists;
    bool generatedExists;
    bool mediaArtExists;
};

inline uint qHash(const AlbumArtCacheItem& item, uint seed = 0)
{
    return item.itemHash ^ seed;
}

Q_DECLARE_METATYPE(AlbumArtCacheItem)

#endif // ALBUMARTCACHEITEM_H
