#include "collageimagewidget.h"

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartloader.h"
#include "albumart/pixmapsaver.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

const int UpdateDelayMs = 300;
const int FallbackDelayMs = 500;
const int SingleCover = -1;
const int TitleCover = -2;
const QString TileFlavor = QStringLiteral("common");
const QString LargeFlavor = QStringLiteral("music-grid");

QString firstUsable(const QString& text, const QString& unknown)
{
    QStringList parts = text.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
    parts.removeDuplicates();
    if (parts.size() == 1)
        return parts.first();
    for (const QString& part : parts) {
        if (part != unknown)
            return part;
    }
    return parts.value(0);
}

AlbumArtistPairs emptyPairs(int count)
{
    AlbumArtistPairs none;
    for (int i = 0; i < count; ++i)
        none.append(qMakePair(QString(), QString()));
    return none;
}

} // namespace

CollageImageWidget::CollageImageWidget(QGraphicsItem* parent, int collageId)
    : MImageWidget(parent)
    , loader(new AlbumArtLoader(AlbumArtType::AlbumArt, TileFlavor, nullptr))
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
    , tileCount(4)
    , albumColumn(-1)
    , artistColumn(-1)
    , currentRow(0)
    , complete(false)
    , saveToFile(false)
    , updateTimer(new QTimer(this))
    , canvas(nullptr)
    , singleMode(false)
    , singleSaved(false)
    , titleSaved(false)
    , titleRequested(false)
    , paintedTiles(0)
    , collageDirectory(QDir::homePath() + QStringLiteral("/.cache/parlovance/collage/"))
    , started(false)
    , collageId(collageId)
    , pass(0)
    , saveSerial(0)
    , announcedSerial(0)
{
    qRegisterMetaType<AlbumArtistPairs>("AlbumArtistPairs");
    qRegisterMetaType<CollageImageWidget*>("CollageImageWidget*");
    QDir().mkpath(collageDirectory);

    const int side = AlbumArtCacheItem::flavorSize(LargeFlavor).width();
    const int half = side / 2;
    canvas = new QPixmap(side, side);
    canvas->fill(Qt::black);
    tileRects << QRect(0, 0, half, half) << QRect(half, 0, half, half) << QRect(0, half, half, half)
              << QRect(half, half, half, half);
    for (int i = 0; i < tileCount; ++i)
        tiles.append(Tile());
    pairs = emptyPairs(tileCount);

    const auto queued = Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection);
    connect(loader, &AlbumArtLoader::albumArtReady, this, &CollageImageWidget::setAlbumArt, queued);
    connect(loader, &AlbumArtLoader::noArtFoundFor, this, &CollageImageWidget::checkError, queued);
    connect(loader, &AlbumArtLoader::refreshAlbumArts, this,
            &CollageImageWidget::handleModelChange);
    updateTimer->setSingleShot(true);
    updateTimer->setInterval(UpdateDelayMs);
    connect(updateTimer, &QTimer::timeout, this, &CollageImageWidget::updateCollage);
}

CollageImageWidget::~CollageImageWidget()
{
    updateTimer->stop();
    delete loader;
    delete canvas;
}

void CollageImageWidget::setModel(QSharedPointer<QAbstractItemModel> newModel)
{
    updateTimer->stop();
    if (model)
        disconnect(model.data(), nullptr, this, nullptr);
    model = newModel;
    if (!model)
        return;
    singleMode = false;
    setPixmap(QPixmap());
    handleModelChange();
}

void CollageImageWidget::setTitle(const QString& text)
{
    title = text;
}

void CollageImageWidget::setCollageId(int id)
{
    collageId = id;
}

void CollageImageWidget::setSaveFile(bool save, const QString& name)
{
    saveToFile = save;
    fileName = name;
}

void CollageImageWidget::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    Q_UNUSED(event)
}

void CollageImageWidget::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void CollageImageWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    emit clicked();
}

int CollageImageWidget::rowCount() const
{
    return model ? model->rowCount() : 0;
}

void CollageImageWidget::handleModelChange()
{
    complete = false;
    singleSaved = false;
    titleSaved = false;
    titleRequested = false;
    albumColumn = -1;
    artistColumn = -1;
    currentRow = 0;
    titleCover = QPixmap();
    paintedTiles = 0;
    singleMode = false;
    usedAlbums.clear();
    pendingAlbums.clear();
    started = false;
    for (Tile& tile : tiles)
        tile.painted = false;
    ++pass;
    passClock.start();
    if (!model)
        return;
    const auto queued = Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection);
    connect(model.data(), &QAbstractItemModel::rowsInserted, this,
            &CollageImageWidget::handleRowsInserted, queued);
    connect(model.data(), &QAbstractItemModel::rowsRemoved, this,
            &CollageImageWidget::handleRowsRemoved, queued);
    if (model->rowCount() > 0)
        delayedUpdate();
}

void CollageImageWidget::delayedUpdate()
{
    if (!updateTimer->isActive())
        updateTimer->start();
}

void CollageImageWidget::handleRowsInserted(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(parent)
    Q_UNUSED(end)
    // Rows after the last tile's leave the first four albums as they are; rows before it (a
    // recently added playlist grows at its top) may bring albums that come first now. The
    // finished collage stays shown until the new one is complete.
    int lastTileRow = -1;
    for (const Tile& tile : qAsConst(tiles))
        lastTileRow = qMax(lastTileRow, tile.row);
    if (!complete || start <= lastTileRow)
        handleModelChange();
}

void CollageImageWidget::handleRowsRemoved(const QModelIndex& parent, int start, int end)
{
    Q_UNUSED(parent)
    const int removed = end - start + 1;
    for (int i = 0; i < tiles.size(); ++i) {
        Tile& tile = tiles[i];
        if (tile.row >= start && tile.row <= end) {
            tile.pixmap = QPixmap();
            tile.row = -1;
            pairs[i] = qMakePair(QString(), QString());
            complete = false;
            --paintedTiles;
        } else if (tile.row > end) {
            tile.row -= removed;
        }
    }
    handleModelChange();
}

QPair<QString, QString> CollageImageWidget::albumAndArtist(int row) const
{
    if (!model || row < 0 || row >= model->rowCount())
        return qMakePair(QString(), QString());
    const QString album = model->index(row, albumColumn).data().toString();
    const QString artist = model->index(row, artistColumn).data().toString();
    return qMakePair(firstUsable(album, unknownAlbumText), firstUsable(artist, unknownArtistText));
}

void CollageImageWidget::updateCollage()
{
    if (complete || !model)
        return;
    albumColumn = -1;
    artistColumn = -1;
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString key = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        if (albumColumn < 0 && key == QLatin1String("albumName"))
            albumColumn = column;
        if (artistColumn < 0 && key == QLatin1String("artistName"))
            artistColumn = column;
    }
    if (albumColumn < 0 || artistColumn < 0)
        return;
    if (!singleMode) {
        for (auto& pair : pairs)
            pair = qMakePair(QString(), QString());
        nextAlbumRequest(SingleCover);
    }
    if (!started) {
        for (int i = 0; i < tileCount; ++i) {
            tiles[i].pixmap = QPixmap();
            pairs[i] = qMakePair(QString(), QString());
            if (currentRow >= rowCount())
                break;
            nextAlbumRequest(i);
        }
        started = true;
    }
}

void CollageImageWidget::nextAlbumRequest(int index)
{
    if (!model || index < SingleCover || index >= tileCount)
        return;
    bool requested = false;
    while (currentRow < rowCount()) {
        const QPair<QString, QString> row = albumAndArtist(currentRow);
        const QString& album = row.first;
        const QString& artist = row.second;
        // An empty album cannot be asked for either: its request would never be answered.
        if (album.isEmpty() || artist.isEmpty() || album == unknownAlbumText
            || artist == unknownArtistText || (index >= 0 && usedAlbums.contains(album))) {
            ++currentRow;
            continue;
        }
        if (index >= 0) {
            usedAlbums.append(album);
            tiles[index].pixmap = QPixmap();
            tiles[index].row = currentRow;
            tiles[index].painted = false;
            pairs[index] = qMakePair(QString(), QString());
        }
        pendingAlbums.append(album);
        request(index, album, artist);
        if (index >= 0)
            ++currentRow;
        requested = true;
        break;
    }
    const bool exhausted = currentRow >= rowCount();
    const bool late = passClock.elapsed() > FallbackDelayMs;
    if (!singleMode && titleCover.isNull() && (late || (exhausted && !requested)))
        requestTitleCover();
    if (singleMode && (late || (exhausted && !requested)))
        finishWithSingleCover();
}

void CollageImageWidget::request(int index, const QString& album, const QString& artist)
{
    const QVariantList userData = { index, album, artist, pass };
    const bool tile = index >= 0;
    loader->loadAlbumArt(album, artist, tile ? TileFlavor : LargeFlavor, index == TitleCover,
                         AlbumArtType::AlbumArt, userData);
}

void CollageImageWidget::requestTitleCover()
{
    if (titleRequested)
        return;
    titleRequested = true;
    request(TitleCover, title, title);
}

void CollageImageWidget::setAlbumArt(QPixmap pixmap, QVariant data)
{
    const QVariantList list = data.toList();
    if (list.size() < 4 || list.at(3).toInt() != pass || complete)
        return;
    const int index = list.at(0).toInt();
    const QString album = list.at(1).toString();
    const QString artist = list.at(2).toString();
    if (index == TitleCover) {
        if (!singleMode) {
            setPixmap(pixmap);
            titleCover = pixmap;
            save();
        }
        return;
    }
    pendingAlbums.removeAll(album);
    if (index == SingleCover) {
        if (!singleMode) {
            singleCover = pixmap;
            singleMode = true;
            singlePair = qMakePair(album, artist);
        }
        // Also when another single cover came first: it may have waited for this answer, the
        // last one pending, and nothing else would finish it.
        finishWithSingleCover();
        return;
    }
    if (index < 0 || index >= tileCount)
        return;
    // Each tile counts once in a pass.
    if (paintedTiles < tileCount && !tiles[index].painted) {
        tiles[index].pixmap = pixmap;
        // Named before it is painted: the last tile's painting saves the collage with its names.
        pairs[index] = qMakePair(album, artist);
        insertCollageImage(index);
    }
    if (complete)
        return;
    if (!singleMode) {
        pendingAlbums.append(album);
        request(SingleCover, album, artist);
    } else {
        finishWithSingleCover();
    }
}

void CollageImageWidget::checkError(QString album, QString artist, QVariant userData)
{
    Q_UNUSED(artist)
    const QVariantList list = userData.toList();
    if (list.size() < 4 || list.at(3).toInt() != pass)
        return;
    pendingAlbums.removeAll(album);
    if (!model)
        return;
    const int index = list.at(0).toInt();
    // The title cover comes with its own answer right after this one.
    if (index == TitleCover)
        return;
    if (!complete && currentRow < rowCount() && index >= 0) {
        nextAlbumRequest(index);
    } else if (!complete && !singleMode && titleCover.isNull() && currentRow >= rowCount()
               && pendingAlbums.isEmpty()) {
        requestTitleCover();
    } else {
        finishWithSingleCover();
    }
    started = currentRow < rowCount();
}

void CollageImageWidget::insertCollageImage(int index)
{
    if (index < 0 || index >= tileCount || tiles[index].pixmap.isNull())
        return;
    if (!canvas) {
        canvas = new QPixmap(qRound(size().width()), qRound(size().height()));
        canvas->fill(Qt::black);
    }
    QPixmap source = tiles[index].pixmap;
    QRect target = tileRects.at(index);
    {
        QPainter painter(canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (source.width() > source.height()) {
            if (source.width() != target.width())
                source = source.scaledToWidth(target.width(), Qt::SmoothTransformation);
            painter.fillRect(target, Qt::black);
            const int band = (target.height() - source.height()) / 2;
            target.adjust(0, band, 0, -band);
        } else if (source.height() > source.width()) {
            if (source.height() != target.height())
                source = source.scaledToHeight(target.height(), Qt::SmoothTransformation);
            painter.fillRect(target, Qt::black);
            const int band = (target.width() - source.width()) / 2;
            target.adjust(band, 0, -band, 0);
        }
        painter.drawPixmap(target, source);
    }
    tiles[index].painted = true;
    if (++paintedTiles == tileCount) {
        setPixmap(*canvas);
        complete = true;
        save();
    }
}

void CollageImageWidget::finishWithSingleCover()
{
    if (!pendingAlbums.isEmpty() || singleCover.isNull() || !singleMode)
        return;
    if ((!complete && currentRow >= rowCount()) || rowCount() < tileCount) {
        setPixmap(singleCover);
        save();
    }
}

void CollageImageWidget::save()
{
    if (!saveToFile)
        return;
    // What is announced is what was saved: by the time the file is written a new pass may have
    // begun, and the widget's state then tells nothing of this image.
    QPixmap image;
    AlbumArtistPairs shown;
    if (complete && canvas) {
        image = *canvas;
        shown = pairs;
    } else if (singleMode && !singleSaved) {
        singleSaved = true;
        image = singleCover;
        shown = pairs;
        if (!shown.isEmpty())
            shown[0] = singlePair;
    } else if (!titleSaved) {
        titleSaved = true;
        image = titleCover;
        // The title cover shows no album. Reported with the albums placed so far, it would look
        // the same as the cover that replaces it once it comes, and the listener, which tells
        // collages apart by their albums, would keep showing the title cover.
        shown = emptyPairs(pairs.size());
    } else {
        return;
    }
    auto* saver = new PixmapSaver(image.toImage(),
                                  collageDirectory + fileName + QStringLiteral(".png"));
    // Savers run side by side on the pool and may end in any order (a busy machine can hold a
    // title cover's saver back until the cover that replaced it is written). An image made
    // before one already announced is older than what the file holds: announced after it, it
    // would take the newer one's place in the list.
    const int serial = ++saveSerial;
    connect(saver, &PixmapSaver::pixmapSaved, this,
            [this, image, shown, id = collageId, serial] {
                if (serial < announcedSerial)
                    return;
                announcedSerial = serial;
                emit imageReady(image, shown, id);
            });
    PixmapSaver::startInBackground(saver);
}
