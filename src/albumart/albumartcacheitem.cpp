#include "albumartcacheitem.h"

#include "trackermediaart.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString Common = QStringLiteral("common");
const QString MusicGrid = QStringLiteral("music-grid");
const QString NowPlayingLabel = QStringLiteral("nowPlayingLabel");
const QString HalfScreen = QStringLiteral("half-screen");

struct Flavor
{
    const QString* name;
    int side;
    int fontPixelSize;
};

const Flavor Flavors[] = {
    { &Common, 80, 14 },
    { &MusicGrid, 156, 27 },
    { &NowPlayingLabel, 318, 51 },
    { &HalfScreen, 480, 85 },
};

const Flavor* findFlavor(const QString& name)
{
    for (const Flavor& flavor : Flavors) {
        if (*flavor.name == name)
            return &flavor;
    }
    return nullptr;
}

// Qt 4's qHash(QString): the thumbnail and generated files already on disk are named by it, and
// Qt 5's own string hash differs.
uint fileNameHash(const QString& text)
{
    uint h = 0;
    for (const QChar c : text) {
        h = (h << 4) + c.unicode();
        const uint g = h & 0xf0000000u;
        h ^= g >> 23;
        h &= ~0xf0000000u;
    }
    return h;
}

QString cacheBase()
{
    return QDir::homePath() + QStringLiteral("/.cache/parlovance/");
}

} // namespace

AlbumArtCacheItem::AlbumArtCacheItem()
    : itemHash(0)
    , generate(true)
    , type(AlbumArtType::AlbumArt)
    , thumbnailExists(false)
    , generatedExists(false)
    , mediaArtExists(false)
{
}

AlbumArtCacheItem::AlbumArtCacheItem(QString album, QString artist, QString flavor,
                                     AlbumArtType::ArtType type)
    : album(std::move(album))
    , artist(std::move(artist))
    , flavor(std::move(flavor))
    , itemHash(0)
    , generate(true)
    , type(type)
    , thumbnailExists(false)
    , generatedExists(false)
    , mediaArtExists(false)
{
    updateHashes();
}

AlbumArtCacheItem::AlbumArtCacheItem(const AlbumArtCacheItem& other) = default;
AlbumArtCacheItem& AlbumArtCacheItem::operator=(const AlbumArtCacheItem& other) = default;
AlbumArtCacheItem::~AlbumArtCacheItem() = default;

bool AlbumArtCacheItem::operator==(const AlbumArtCacheItem& other) const
{
    const bool artistKind = type != AlbumArtType::AlbumArt;
    const bool otherArtistKind = other.type != AlbumArtType::AlbumArt;
    return itemHash == other.itemHash && artistKind == otherArtistKind && album == other.album
           && artist == other.artist && flavor == other.flavor;
}

void AlbumArtCacheItem::updateHashes()
{
    const QString kind = type == AlbumArtType::AlbumArt ? QStringLiteral("album")
                                                        : QStringLiteral("artist");
    itemHash = fileNameHash(album + artist + flavor + kind);
    artistHash = mediaArtHash(artist);
    albumHash = artist == album ? artistHash : mediaArtHash(album);
}

void AlbumArtCacheItem::resetPaths()
{
    cachedThumbnailPath = QString();
    cachedGeneratedPath = QString();
    cachedMediaArtPath = QString();
    thumbnailExists = false;
    generatedExists = false;
    mediaArtExists = false;
}

QString AlbumArtCacheItem::mediaArtPath()
{
    if (cachedMediaArtPath.isEmpty()) {
        cachedMediaArtPath = QDir::homePath() + QStringLiteral("/.cache/media-art/album-")
                             + artistHash + QLatin1Char('-') + albumHash + QStringLiteral(".jpeg");
    }
    mediaArtExists = QFile::exists(cachedMediaArtPath);
    return cachedMediaArtPath;
}

QString AlbumArtCacheItem::thumbnailPath()
{
    if (cachedThumbnailPath.isEmpty()) {
        cachedThumbnailPath = cacheBase() + QStringLiteral("thumbnails/") + flavor
                              + QLatin1Char('/') + QString::number(itemHash, 10)
                              + QStringLiteral(".jpeg");
    }
    thumbnailExists = QFile::exists(cachedThumbnailPath);
    return cachedThumbnailPath;
}

QString AlbumArtCacheItem::generatedPath()
{
    if (cachedGeneratedPath.isEmpty()) {
        cachedGeneratedPath = cacheBase() + QStringLiteral("generated/") + flavor + QLatin1Char('/')
                              + QString::number(itemHash, 10) + QStringLiteral(".png");
    }
    generatedExists = QFile::exists(cachedGeneratedPath);
    return cachedGeneratedPath;
}

bool AlbumArtCacheItem::needsUpdate()
{
    const QFileInfo thumbnail(thumbnailPath());
    const QFileInfo mediaArt(mediaArtPath());
    const QFileInfo generated(generatedPath());
    if (thumbnail.exists() && mediaArt.exists())
        return thumbnail.lastModified() < mediaArt.lastModified();
    if (mediaArt.exists())
        return true;
    // Without a picture only a generated cover is up to date; a thumbnail whose picture is gone
    // is stale.
    return !generated.exists();
}

QString AlbumArtCacheItem::mediaArtHash(const QString& text)
{
    // The media-art store names its files by this hash; the store's own function is used so the
    // two can never disagree.
    return TrackerMediaArt::mediaArtHash(text);
}

bool AlbumArtCacheItem::isValidFlavor(const QString& flavor)
{
    return findFlavor(flavor) != nullptr;
}

QSize AlbumArtCacheItem::flavorSize(const QString& flavor)
{
    const Flavor* found = findFlavor(flavor);
    return found ? QSize(found->side, found->side) : QSize(-1, -1);
}

int AlbumArtCacheItem::flavorFontSize(const QString& flavor)
{
    const Flavor* found = findFlavor(flavor);
    return found ? found->fontPixelSize : 0;
}
