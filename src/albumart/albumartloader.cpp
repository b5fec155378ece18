#include "albumartloader.h"

#include "albumartgenerator.h"

#include "common/logging.h"

#include <QAbstractItemModel>
#include <QDebug>
#include <QModelIndex>
#include <QTimer>

AlbumArtLoader::AlbumArtLoader(AlbumArtType::ArtType type, const QString& flavor,
                               QObject* parent)
    : QObject(parent)
    , generator(new AlbumArtGenerator(this))
    , defaultType(type)
    , defaultFlavor(flavor)
{
    const int edge = flavorSize(flavor);
    placeholder = QPixmap(edge, edge);
    placeholder.fill(Qt::transparent);
}

AlbumArtLoader::~AlbumArtLoader() = default;

int AlbumArtLoader::flavorSize(const QString& flavor)
{
    if (flavor == QLatin1String("music-grid"))
        return 156;
    if (flavor == QLatin1String("nowPlayingLabel"))
        return 318;
    if (flavor == QLatin1String("half-screen"))
        return 480;
    return 80;
}

void AlbumArtLoader::loadAlbumArt(QString album, QString artist, QString flavor, bool generate,
                                  AlbumArtType::ArtType type, QVariant userData)
{
    const AlbumArtCacheItem item(album, artist, flavor.isEmpty() ? defaultFlavor : flavor,
                                 int(type) < 0 ? defaultType : type);
    // Answered on the loop, as a real look-up would be: callers connect after asking.
    QTimer::singleShot(0, this, [this, album, artist, userData, generate, item] {
        const QPixmap cover = generate ? generator->generateAlbumArt(item, false) : QPixmap();
        if (!cover.isNull())
            emit albumArtReady(cover, userData);
        else
            emit noArtFoundFor(album, artist, userData);
    });
}


void AlbumArtLoader::loadAlbumArt(QModelIndex index, int albumColumn, int artistColumn,
                                  QVariant userData, bool generate, AlbumArtType::ArtType type,
                                  QString flavor)
{
    if (!index.isValid())
        return;
    const QAbstractItemModel* model = index.model();
    if (!model) {
        qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- Null model even the index is valid?";
        return;
    }
    const QString album = model->index(index.row(), albumColumn, index.parent()).data().toString();
    const QString artist =
        model->index(index.row(), artistColumn, index.parent()).data().toString();
    if (type == AlbumArtType::ArtistArt && album.isEmpty()) {
        qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- No albums!";
        return;
    }
    loadAlbumArt(album, artist, flavor.isEmpty() ? defaultFlavor : flavor, generate,
                 int(type) < 0 ? defaultType : type, userData);
}

ArtInfo AlbumArtLoader::artFromCache(const QString& album, const QString& artist,
                                     AlbumArtType::ArtType type, const QString& flavor,
                                     bool allowGenerated)
{
    ArtInfo info;
    info.item = AlbumArtCacheItem(album, artist, flavor.isEmpty() ? defaultFlavor : flavor,
                                  int(type) < 0 ? defaultType : type);
    if (!allowGenerated)
        return info;
    // Only a cover drawn before is found: the probe draws nothing.
    info.pixmap = generator->generateAlbumArt(info.item, true);
    info.fromGenerated = true;
    return info;
}


QPixmap AlbumArtLoader::defaultPixmap() const
{
    return placeholder;
}
