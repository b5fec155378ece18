#ifndef ALBUMARTLOADER_H
#define ALBUMARTLOADER_H

#include "albumartcacheitem.h"
#include "albumarttype.h"
#include "artinfo.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QModelIndex>
#include <QObject>
#include <QPixmap>
#include <QPixmapCache>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

class QFileSystemWatcher;
class QTimer;
class ThumbnailerThread;

// The object through which a view asks for covers. A view owns one loader, asks with
// loadAlbumArt() and gets albumArtReady() or noArtFoundFor() with its user data back, later or
// at once. Covers come from memory, from the own thumbnail and generated files, or from the
// thumbnailer thread that all loaders share. List cells probe with artFromCache() and paint
// defaultPixmap() meanwhile. refreshAlbumArts() tells the views that the media-art folder
// changed.
class AlbumArtLoader : public QObject
{
    Q_OBJECT

public:
    // The defaults stand in for a request's type -1 and empty flavor.
    AlbumArtLoader(AlbumArtType::ArtType defaultType, QString defaultFlavor, QObject* parent);
    ~AlbumArtLoader() override;

    // A transparent square of the default flavor, owned by the loader.
    QPixmap* defaultPixmap();
    void updateDefaultPixmap();
    void setDefaultFlavor(const QString& flavor);
    bool checkType(AlbumArtType::ArtType& type) const;
    bool checkFlavor(QString& flavor) const;

    // What is at hand without asking the worker; never emits.
    ArtInfo artFromCache(const QString& album, const QString& artist, AlbumArtType::ArtType type,
                         QString flavor, bool generate);
    // Artist art over the artist's albums: the first real picture, else (when no album has a
    // picture waiting for its thumbnail) the first text cover.
    ArtInfo artistArtFromCache(const QStringList& albums, const QString& artist,
                               AlbumArtType::ArtType type, QString flavor, bool generate,
                               QString* firstAlbumToThumbnail);
    // Sends the request for the first (or the best) of the albums to the worker; the rest of
    // the list goes with it for artist art.
    void appendToQueue(QStringList& albums, const QString& artist, AlbumArtType::ArtType type,
                       QString flavor, bool generate, QVariant userData);

public slots:
    void loadAlbumArt(QString album, QString artist, QString flavor = QString(),
                      bool generate = true, AlbumArtType::ArtType type = AlbumArtType::DefaultArt,
                      QVariant userData = QVariant());
    // The album and artist of the index's row: from roles UserRole + n of a ListModel, else
    // from the display text of the columns.
    void loadAlbumArt(QModelIndex index, int albumRoleOrColumn, int artistRoleOrColumn,
                      QVariant userData = QVariant(), bool generate = true,
                      AlbumArtType::ArtType type = AlbumArtType::DefaultArt,
                      QString flavor = QString());

signals:
    void albumArtReady(QPixmap pixmap, QVariant userData);
    void noArtFoundFor(QString album, QString artist, QVariant userData);
    void refreshAlbumArts();

private slots:
    void thumbnailReadySlot(AlbumArtCacheItem item, QImage image);
    void thumbnailNotFoundSlot(AlbumArtCacheItem item, QImage generatedImage);
    void mediaArtDirModified(const QString& path);
    void sendRefreshAlbumArts();

private:
    static bool loadIntoPixmapCache(const QString& path, const QSize& size, QPixmap* out,
                                    QPixmapCache::Key* key);
    bool emitFromPixmapCache(const AlbumArtCacheItem& item, const QVariant& userData);
    // Queues the item on the worker; a request of the same cover already waiting keeps the
    // user data for the answer.
    void queue(const AlbumArtCacheItem& item);
    // The generated cover of an item, from memory or from the image the worker drew.
    QPixmap generatedPixmap(const AlbumArtCacheItem& item, const QImage& generatedImage);

    AlbumArtType::ArtType defaultType;
    QString defaultFlavor;
    QPixmap* placeholder;
    QHash<AlbumArtCacheItem, QList<QVariant>> waitingRequesters;
    QSharedPointer<QFileSystemWatcher> watcher;
    QTimer* refreshTimer;
};

#endif // ALBUMARTLOADER_H
