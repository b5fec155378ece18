#include "albumartloader.h"

#include "activity/activity.h"
#include "albumart/thumbnailerthread.h"
#include "common/logging.h"
#include "safeimage.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QModelIndex>
#include <QTimer>
#include <QWeakPointer>

#include <iterator>

namespace {

const int PixmapCacheLimitKb = 2048;
const int RefreshDelayMs = 1000;

// Entries of a key table before it is first swept of keys whose pixmaps the cache has dropped.
const int KeysBeforeSweep = 512;

// Where the pixmaps of items sit in QPixmapCache. The cache drops pixmaps by its own rule, and
// every lookup treats a dropped one as absent; but the item of every cover ever shown stayed as
// a key (over a kilobyte with its file names), so a player going through a large library grew
// by that much with nearly every song. Once the table has doubled since it was last swept (and
// holds at least KeysBeforeSweep), the entries whose pixmaps are gone go: it stays within twice
// what the cache holds or KeysBeforeSweep, and a key whose pixmap is still there is never lost.
class PixmapKeys
{
public:
    QHash<AlbumArtCacheItem, QPixmapCache::Key>& table() { return keys; }
    void insert(const AlbumArtCacheItem& item, const QPixmapCache::Key& key)
    {
        keys.insert(item, key);
        if (keys.size() < qMax(KeysBeforeSweep, 2 * keptAtSweep))
            return;
        for (auto it = keys.begin(); it != keys.end();)
            it = it.value().isValid() ? std::next(it) : keys.erase(it);
        keptAtSweep = keys.size();
    }

private:
    QHash<AlbumArtCacheItem, QPixmapCache::Key> keys;
    int keptAtSweep = 0;
};

// Shared by every loader; all of it lives on the GUI thread.
ThumbnailerThread* thumbnailer = nullptr;
QWeakPointer<QFileSystemWatcher> sharedWatcher;
PixmapKeys& pictureKeys()
{
    static PixmapKeys keys;
    return keys;
}
PixmapKeys& textCoverKeys()
{
    static PixmapKeys keys;
    return keys;
}
QHash<AlbumArtCacheItem, QPixmapCache::Key>& pixmapKeys()
{
    return pictureKeys().table();
}
QHash<AlbumArtCacheItem, QPixmapCache::Key>& generatedPixmapKeys()
{
    return textCoverKeys().table();
}

// Runs as the application object goes. Views that outlive it (pages whose deferred deletion
// never ran) keep their loaders, and with them the thread, which would still be drawing while
// the process's static data is destroyed: it is stopped here, before that.
void stopThumbnailerAtExit()
{
    delete thumbnailer;
    thumbnailer = nullptr;
}

bool cached(const QHash<AlbumArtCacheItem, QPixmapCache::Key>& keys, const AlbumArtCacheItem& item,
            QPixmap* pixmap)
{
    auto it = keys.constFind(item);
    return it != keys.constEnd() && QPixmapCache::find(it.value(), pixmap) && !pixmap->isNull();
}

QString mediaArtDirectory()
{
    return QDir::homePath() + QStringLiteral("/.cache/") + QStringLiteral("media-art");
}

QStringList splitUnique(const QString& text)
{
    QStringList parts = text.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
    parts.removeDuplicates();
    return parts;
}

} // namespace

AlbumArtLoader::AlbumArtLoader(AlbumArtType::ArtType defaultType, QString defaultFlavor,
                               QObject* parent)
    : QObject(parent)
    , defaultType(defaultType)
    , defaultFlavor(std::move(defaultFlavor))
    , placeholder(nullptr)
    , refreshTimer(new QTimer(this))
{
    if (QPixmapCache::cacheLimit() > PixmapCacheLimitKb)
        QPixmapCache::setCacheLimit(PixmapCacheLimitKb);
    qRegisterMetaType<QModelIndex>("QModelIndex");
    updateDefaultPixmap();

    if (!thumbnailer) {
        thumbnailer = new ThumbnailerThread;
        qRemovePostRoutine(stopThumbnailerAtExit);
        qAddPostRoutine(stopThumbnailerAtExit);
    }
    ++thumbnailer->userCount;
    thumbnailer->registerListener(this, SLOT(thumbnailReadySlot(AlbumArtCacheItem, QImage)),
                                  SLOT(thumbnailNotFoundSlot(AlbumArtCacheItem, QImage)));

    watcher = sharedWatcher.toStrongRef();
    if (!watcher) {
        // A folder that is not there cannot be watched: make it, or no change would ever come.
        const QString folder = mediaArtDirectory();
        QDir().mkpath(folder);
        watcher.reset(new QFileSystemWatcher);
        watcher->addPath(folder);
        sharedWatcher = watcher;
    }
    connect(watcher.data(), &QFileSystemWatcher::directoryChanged, this,
            &AlbumArtLoader::mediaArtDirModified);
    refreshTimer->setInterval(RefreshDelayMs);
    connect(refreshTimer, &QTimer::timeout, this, &AlbumArtLoader::sendRefreshAlbumArts);
}

AlbumArtLoader::~AlbumArtLoader()
{
    delete placeholder;
    if (thumbnailer) {
        thumbnailer->unregisterListener(this);
        if (--thumbnailer->userCount <= 0) {
            delete thumbnailer;
            thumbnailer = nullptr;
        }
    }
}

QPixmap* AlbumArtLoader::defaultPixmap()
{
    return placeholder;
}

void AlbumArtLoader::updateDefaultPixmap()
{
    const QSize size = AlbumArtCacheItem::flavorSize(defaultFlavor);
    if (placeholder && placeholder->size() == size)
        return;
    delete placeholder;
    placeholder = new QPixmap(size.isValid() ? size : QSize(0, 0));
    placeholder->fill(Qt::transparent);
}

void AlbumArtLoader::setDefaultFlavor(const QString& flavor)
{
    if (!AlbumArtCacheItem::isValidFlavor(flavor)) {
        qCCritical(lcAlbumArt) << Q_FUNC_INFO << "- unsupported flavor:" << flavor;
        return;
    }
    defaultFlavor = flavor;
    updateDefaultPixmap();
}

bool AlbumArtLoader::checkType(AlbumArtType::ArtType& type) const
{
    if (type == AlbumArtType::DefaultArt)
        type = defaultType;
    if (type == AlbumArtType::AlbumArt || type == AlbumArtType::ArtistArt)
        return true;
    qCCritical(lcAlbumArt) << Q_FUNC_INFO << "- invalid art type:" << int(type);
    return false;
}

bool AlbumArtLoader::checkFlavor(QString& flavor) const
{
    if (flavor.isEmpty()) {
        flavor = defaultFlavor;
        return true;
    }
    if (AlbumArtCacheItem::isValidFlavor(flavor))
        return true;
    qCCritical(lcAlbumArt) << Q_FUNC_INFO << "- unsupported flavor:" << flavor;
    return false;
}

bool AlbumArtLoader::loadIntoPixmapCache(const QString& path, const QSize& size, QPixmap* out,
                                         QPixmapCache::Key* key)
{
    if (size.width() < 0 || size.height() < 0 || !QFile::exists(path))
        return false;
    const QPixmap pixmap = QPixmap::fromImage(SafeImage::read(path, size));
    if (pixmap.isNull())
        return false;
    *key = QPixmapCache::insert(pixmap);
    return QPixmapCache::find(*key, out);
}

bool AlbumArtLoader::emitFromPixmapCache(const AlbumArtCacheItem& item, const QVariant& userData)
{
    QPixmap pixmap;
    if (!cached(pixmapKeys(), item, &pixmap))
        return false;
    emit albumArtReady(pixmap, userData);
    return true;
}

ArtInfo AlbumArtLoader::artFromCache(const QString& album, const QString& artist,
                                     AlbumArtType::ArtType type, QString flavor, bool generate)
{
    ArtInfo info;
    if (!checkFlavor(flavor) || !checkType(type))
        return info;
    info.item = AlbumArtCacheItem(album, artist, flavor, type);
    AlbumArtCacheItem& item = info.item;
    if (item.needsUpdate()) {
        // The worker makes the thumbnail anew; the old one must not be shown meanwhile.
        if (item.thumbnailExists && !QFile::remove(item.thumbnailPath()))
            qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- Failed to remove old thumbnail!";
        auto it = pixmapKeys().find(item);
        if (it != pixmapKeys().end()) {
            QPixmapCache::remove(it.value());
            pixmapKeys().erase(it);
        }
        return info;
    }
    if (cached(pixmapKeys(), item, &info.pixmap))
        return info;
    QPixmapCache::Key key;
    if (item.thumbnailExists
        && loadIntoPixmapCache(item.thumbnailPath(), AlbumArtCacheItem::flavorSize(flavor),
                               &info.pixmap, &key)) {
        pictureKeys().insert(item, key);
        return info;
    }
    info.pixmap = QPixmap();
    if (!generate)
        return info;
    info.fromGenerated = true;
    if (cached(generatedPixmapKeys(), item, &info.pixmap))
        return info;
    info.pixmap = QPixmap();
    if (item.generatedExists
        && loadIntoPixmapCache(item.generatedPath(), AlbumArtCacheItem::flavorSize(flavor),
                               &info.pixmap, &key)) {
        textCoverKeys().insert(item, key);
        return info;
    }
    info.pixmap = QPixmap();
    return info;
}

ArtInfo AlbumArtLoader::artistArtFromCache(const QStringList& albums, const QString& artist,
                                           AlbumArtType::ArtType type, QString flavor,
                                           bool generate, QString* firstAlbumToThumbnail)
{
    ArtInfo result;
    if (!checkFlavor(flavor) || !checkType(type) || !generate)
        return result;
    bool waitingPicture = false;
    for (const QString& album : albums) {
        result = artFromCache(album, artist, type, flavor, false);
        if (!result.pixmap.isNull())
            return result;
        if (!waitingPicture && result.item.mediaArtExists && !result.item.thumbnailExists) {
            waitingPicture = true;
            if (firstAlbumToThumbnail)
                *firstAlbumToThumbnail = album;
        }
    }
    if (waitingPicture)
        return result;
    for (const QString& album : albums) {
        result = artFromCache(album, artist, type, flavor, true);
        if (!result.pixmap.isNull())
            return result;
    }
    return result;
}

void AlbumArtLoader::loadAlbumArt(QString album, QString artist, QString flavor, bool generate,
                                  AlbumArtType::ArtType type, QVariant userData)
{
    if (!checkFlavor(flavor) || !checkType(type))
        return;
    if ((type == AlbumArtType::AlbumArt && album.isEmpty())
        || (type == AlbumArtType::ArtistArt && artist.isEmpty()))
        return;
    AlbumArtCacheItem item(album, artist, flavor, type);
    item.generate = generate;
    if (!item.needsUpdate() && emitFromPixmapCache(item, userData))
        return;
    const ArtInfo info = artFromCache(album, artist, type, flavor, generate);
    if (!info.pixmap.isNull()) {
        emit albumArtReady(info.pixmap, userData);
        return;
    }
    item.mediaArtPath();
    if (!generate && generatedPixmapKeys().contains(item) && !item.mediaArtExists) {
        emit noArtFoundFor(album, artist, userData);
        return;
    }
    item.userData = userData;
    queue(item);
}

void AlbumArtLoader::loadAlbumArt(QModelIndex index, int albumRoleOrColumn, int artistRoleOrColumn,
                                  QVariant userData, bool generate, AlbumArtType::ArtType type,
                                  QString flavor)
{
    if (!index.isValid() || !index.model() || !checkFlavor(flavor) || !checkType(type))
        return;
    const QAbstractItemModel* model = index.model();
    const bool listModel = qstrcmp(model->metaObject()->className(), "ListModel") == 0;
    auto text = [&](int roleOrColumn) {
        if (listModel)
            return index.data(Qt::UserRole + roleOrColumn).toString();
        return model->index(index.row(), roleOrColumn, index.parent()).data().toString();
    };
    QStringList albums = splitUnique(text(albumRoleOrColumn));
    if (albums.isEmpty()) {
        qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- No albums!";
        return;
    }
    QString artist;
    if (listModel) {
        const QStringList artists = splitUnique(text(artistRoleOrColumn));
        if (artists.size() == 1) {
            artist = artists.first();
        } else {
            const QString unknown = qtTrId("qtn_musi_unknown_artist");
            for (const QString& name : artists) {
                if (name != unknown) {
                    artist = name;
                    break;
                }
            }
        }
    } else {
        albumArtistName(text(artistRoleOrColumn), &artist);
    }
    appendToQueue(albums, artist, type, flavor, generate, userData);
}

void AlbumArtLoader::appendToQueue(QStringList& albums, const QString& artist,
                                   AlbumArtType::ArtType type, QString flavor, bool generate,
                                   QVariant userData)
{
    if (albums.isEmpty() || !checkFlavor(flavor) || !checkType(type))
        return;
    QString candidate;
    if (type == AlbumArtType::ArtistArt) {
        const ArtInfo info = artistArtFromCache(albums, artist, type, flavor, generate, &candidate);
        if (!info.pixmap.isNull()) {
            emit albumArtReady(info.pixmap, userData);
            return;
        }
    }
    QString chosen;
    if (candidate.isEmpty() || !albums.contains(candidate)) {
        chosen = albums.takeFirst();
    } else {
        chosen = candidate;
        albums.removeOne(candidate);
    }
    AlbumArtCacheItem item(chosen, artist, flavor, type);
    item.albums = albums;
    item.generate = generate;
    item.userData = userData;
    queue(item);
}

void AlbumArtLoader::queue(const AlbumArtCacheItem& item)
{
    if (!thumbnailer)
        return;
    // A second asker of a cover that is still on its way is answered with the first.
    if (!thumbnailer->addRequest(item, this))
        waitingRequesters[item].append(item.userData);
}

QPixmap AlbumArtLoader::generatedPixmap(const AlbumArtCacheItem& item, const QImage& generatedImage)
{
    QPixmap pixmap;
    if (cached(generatedPixmapKeys(), item, &pixmap))
        return pixmap;
    if (generatedImage.isNull())
        return QPixmap();
    pixmap = QPixmap::fromImage(generatedImage);
    if (pixmap.isNull()) {
        qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- Failed to convert generated image!";
        return QPixmap();
    }
    textCoverKeys().insert(item, QPixmapCache::insert(pixmap));
    return pixmap;
}

void AlbumArtLoader::thumbnailReadySlot(AlbumArtCacheItem item, QImage image)
{
    const QPixmap converted = QPixmap::fromImage(image);
    if (converted.isNull()) {
        qCCritical(lcAlbumArt) << Q_FUNC_INFO << "- Failed to convert image!";
        return;
    }
    const QPixmapCache::Key key = QPixmapCache::insert(converted);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap))
        return;
    pictureKeys().insert(item, key);
    emit albumArtReady(pixmap, item.userData);
    const QList<QVariant> waiting = waitingRequesters.take(item);
    for (const QVariant& userData : waiting)
        emit albumArtReady(pixmap, userData);
}

void AlbumArtLoader::thumbnailNotFoundSlot(AlbumArtCacheItem item, QImage generatedImage)
{
    emit noArtFoundFor(item.album, item.artist, item.userData);
    const QList<QVariant> waiting = waitingRequesters.take(item);

    if (item.type == AlbumArtType::ArtistArt && !item.albums.isEmpty()
        && !pixmapKeys().contains(item)) {
        // On to the artist's next album; whoever waits for the artist goes along.
        item.album = item.albums.takeFirst();
        item.updateHashes();
        item.resetPaths();
        if (!waiting.isEmpty())
            waitingRequesters[item].append(waiting);
        queue(item);
        return;
    }
    const QPixmap pixmap = item.generate ? generatedPixmap(item, generatedImage) : QPixmap();
    if (!pixmap.isNull())
        emit albumArtReady(pixmap, item.userData);
    // Those who asked while the request was on its way get the same answer.
    for (const QVariant& userData : waiting) {
        emit noArtFoundFor(item.album, item.artist, userData);
        if (!pixmap.isNull())
            emit albumArtReady(pixmap, userData);
    }
}

void AlbumArtLoader::mediaArtDirModified(const QString& path)
{
    Q_UNUSED(path)
    if (!refreshTimer->isActive())
        refreshTimer->start();
}

void AlbumArtLoader::sendRefreshAlbumArts()
{
    refreshTimer->stop();
    emit refreshAlbumArts();
}
