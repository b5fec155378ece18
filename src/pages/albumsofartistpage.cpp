#include "albumsofartistpage.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "mafwtrackermodelfactory.h"
#include "mimagewidget.h"
#include "mlist.h"
#include "mseparator.h"
#include "mstylablewidget.h"
#include "musicapplicationactioncontent.h"
#include "musicextensionarea.h"
#include "pageframework/albumsofartistcellcreator.h"
#include "pageframework/albumsofartistcontentitem.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "zeltime.h"

#include <QGraphicsLinearLayout>
#include <QTimer>

using namespace Parlovance;

namespace {

const AlbumColumns Albums;
const SongColumns Songs;
const int ChangeDelayMs = 100;

MafwTrackerModelFactory* modelFactory()
{
    return MafwTrackerModelFactoryInstance::instance()->factory();
}

// The artist the parameter names, by id: two artists may bear one name. The unknown artist (an
// id below 1) lists the albums without an artist.
ItemPageDescription::Songs albumsOf(const QHash<QString, QVariant>& parameter)
{
    ItemPageDescription::Songs albums;
    if (parameter.isEmpty())
        return albums;
    albums.title = parameter.value(Constants::ArtistName).toString();
    albums.trackerId = parameter.value(Constants::ArtistId).toInt();
    if (albums.trackerId > 0) {
        albums.type = MafwTrackerModel::AlbumsOfArtist;
        albums.limit = 50;
        albums.id = albums.trackerId;
    } else {
        albums.type = MafwTrackerModel::AlbumsWithoutArtist;
    }
    // The rows and the extensions name the artist: a new name shows anew.
    albums.detail = albums.title;
    return albums;
}

// The shuffle row plays all the artist's songs, not the albums listed.
ItemPageDescription::Songs songsOfShownArtist(const ItemPageDescription::Songs& shown)
{
    ItemPageDescription::Songs songs;
    if (shown.type == MafwTrackerModel::NoList)
        return songs;
    if (shown.trackerId > 0) {
        songs.type = MafwTrackerModel::SongsOfArtist;
        songs.limit = 50;
        songs.id = shown.trackerId;
    } else {
        songs.type = MafwTrackerModel::SongsOfUnknownArtist;
    }
    songs.trackerId = shown.trackerId;
    songs.playName = QStringLiteral("songsOfArtist");
    return songs;
}

// The object menu plays an album as this artist's songs of it; the row of an album without a
// name stands for the songs without album and artist.
ItemPageDescription::Songs songsOfAlbumRow(const QModelIndex& row,
                                           const ItemPageDescription::Songs& shown)
{
    ItemPageDescription::Songs songs;
    const int albumId = row.data(Qt::UserRole + Albums.albumId).toInt();
    if (albumId < 1) {
        songs.type = MafwTrackerModel::SongsWithoutAlbumAndArtist;
        songs.title = qtTrId("qtn_musi_unknown_album");
    } else {
        songs.type = MafwTrackerModel::SongsOfAlbumByArtist;
        songs.id = albumId;
        songs.secondId = shown.trackerId;
        songs.trackerId = albumId;
        songs.title = row.data(Qt::UserRole + Albums.album).toString();
    }
    songs.activityType = Activity::Album;
    return songs;
}

ItemPageDescription albumsOfArtist()
{
    ItemPageDescription page;
    page.songs = albumsOf;
    page.shuffleRow = ItemPageDescription::IconShuffleRowWithDivider;
    page.shuffleRowStyle = QStringLiteral("CommonPanelInverted");
    page.shuffleSongs = songsOfShownArtist;
    page.songRows = false;
    page.listStyle = QStringLiteral("CommonListInverted");
    page.covers = true;
    page.painter = [](AlbumArtLoader* covers, QObject* parent) {
        auto* rows = new AlbumsOfArtistCellCreator(covers, Albums, parent);
        if (auto* owner = qobject_cast<QuintaveilPage*>(parent))
            QObject::connect(rows,
                             qOverload<ParlovancePages, QVariant>(
                                 &AlbumsOfArtistCellCreator::goToPage),
                             owner, &QuintaveilPage::goToPage);
        return rows;
    };
    page.bottomSpacer = true;
    page.menuType = CollectionObjectMenu;
    page.artistRowIsPageSubject = true;
    page.itemSongs = songsOfAlbumRow;
    page.activityType = Activity::Artist;
    page.nextPages = { PageSongsOfArtist };
    return page;
}

} // namespace

AlbumsOfArtistPage::AlbumsOfArtistPage(PageWindow* window)
    : SongPage(albumsOfArtist(), window)
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
    , allSongsText(qtTrId("qtn_musi_all_songs"))
{
    finishPageCreation();
}

AlbumsOfArtistPage::~AlbumsOfArtistPage() = default;

void AlbumsOfArtistPage::createContent()
{
    SongPage::createContent();

    // Under the albums: the row of all the artist's songs, then the extensions.
    allSongsItem = new AlbumsOfArtistContentItem(centralWidget());
    allSongsItem->setTitle(allSongsText);
    allSongsItem->setSubtitle(QString());
    auto* allSongsIcon = new MImageWidget;
    allSongsIcon->setImage(Constants::IconAllSongs);
    allSongsItem->setImageWidget(allSongsIcon);
    headerLayout->addItem(allSongsItem);

    extensions = new MusicExtensionArea(QLatin1String(MusicExtensionArea::ArtistInterface),
                                        centralWidget());
    extensions->hide();
    headerLayout->addItem(extensions);

    connect(allSongsItem, &MListItem::clicked, this, &AlbumsOfArtistPage::handleAllSongsLabelClick);
    connect(allSongsItem, &MListItem::longTapped, this,
            &AlbumsOfArtistPage::handleAllSongsLabelLongTap);
}

void AlbumsOfArtistPage::songsShown()
{
    // The rows of the artist before go until the new artist's songs are counted, and the
    // extensions until its first albums are in.
    hideUnknownLabel();
    if (allSongsItem) {
        allSongsItem->setSubtitle(QString());
        allSongsItem->setSideBottomTitle(QString());
    }
    if (extensions)
        extensions->hide();
    if (AlbumsOfArtistCellCreator* rows = cellCreator())
        rows->setArtistName(artistName());
    publishContent();
    followModels();
}

AlbumsOfArtistCellCreator* AlbumsOfArtistPage::cellCreator() const
{
    return static_cast<AlbumsOfArtistCellCreator*>(rowPainter());
}

void AlbumsOfArtistPage::publishContent()
{
    if (!extensions)
        return;
    extensions->publishContent(2, { { QLatin1String(MusicApplicationActionContent::ArtistField),
                                      artistName() == unknownArtistText ? QString()
                                                                        : artistName() } });
}

void AlbumsOfArtistPage::followModels()
{
    MafwTrackerModelFactory* factory = modelFactory();
    MafwTrackerModel* albums = pageModel.data();
    if (!factory || !albums)
        return;
    const bool known = artistId() > 0;
    connect(albums, &QAbstractItemModel::rowsInserted, this, &AlbumsOfArtistPage::fetchRest,
            Qt::QueuedConnection);
    connect(albums, &MafwTrackerModel::completed, this, &AlbumsOfArtistPage::handleModelCompleted,
            Qt::QueuedConnection);
    connect(albums, &QAbstractItemModel::rowsRemoved, this,
            &AlbumsOfArtistPage::handleModelCompleted, Qt::QueuedConnection);
    connect(albums, &QAbstractItemModel::dataChanged, this, &AlbumsOfArtistPage::dataChangedInModel,
            Qt::QueuedConnection);
    connect(factory, &MafwTrackerModelFactory::unknownAlbumsCountChanged, this,
            &AlbumsOfArtistPage::handleModelCompleted,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));

    // The songs without an album, kept until the next artist replaces them. For the unknown
    // artist they are the songs with neither artist nor album, which its row opens.
    if (unknownAlbumModel)
        unknownAlbumModel->disconnect(this);
    unknownAlbumModel.reset(
        known ? factory->getModel(MafwTrackerModel::SongsOfArtistWithoutAlbum, 50, artistId())
              : factory->getModel(MafwTrackerModel::SongsWithoutAlbumAndArtist, 0, 0));
    if (MafwTrackerModel* unknown = unknownAlbumModel.data()) {
        unknown->fetchRemainingRows();
        connect(unknown, &MafwTrackerModel::completed, this,
                &AlbumsOfArtistPage::unknownAlbumModelCompleted, Qt::QueuedConnection);
        connect(unknown, &QAbstractItemModel::rowsInserted, this,
                &AlbumsOfArtistPage::dataChangedInModel, Qt::QueuedConnection);
        connect(unknown, &QAbstractItemModel::rowsRemoved, this,
                &AlbumsOfArtistPage::dataChangedInModel, Qt::QueuedConnection);
    }
}

void AlbumsOfArtistPage::fetchRest()
{
    // Once per model: its first rows are in, the rest is asked for and the extensions show.
    if (auto* albums = qobject_cast<MafwTrackerModel*>(sender())) {
        disconnect(albums, &QAbstractItemModel::rowsInserted, this, &AlbumsOfArtistPage::fetchRest);
        if (albums != pageModel.data())
            return;
        albums->fetchRemainingRows();
        // Later rows (a song indexed while the page shows) update the two rows below.
        connect(albums, &QAbstractItemModel::rowsInserted, this,
                &AlbumsOfArtistPage::dataChangedInModel, Qt::QueuedConnection);
    }
    if (extensions)
        extensions->show();
}

void AlbumsOfArtistPage::dataChangedInModel()
{
    if (!changeTimer) {
        changeTimer = new QTimer(this);
        changeTimer->setSingleShot(true);
        connect(changeTimer, &QTimer::timeout, this, &AlbumsOfArtistPage::handleModelCompleted);
    }
    changeTimer->start(ChangeDelayMs);
}

void AlbumsOfArtistPage::handleModelCompleted()
{
    if (changeTimer)
        changeTimer->stop();
    unknownAlbumModelCompleted();
}

void AlbumsOfArtistPage::unknownAlbumModelCompleted()
{
    int songs = 0;
    int total = 0;
    if (MafwTrackerModel* unknown = unknownAlbumModel.data()) {
        songs = unknown->rowCount();
        for (int row = 0; row < songs; ++row)
            total += unknown->index(row, Songs.length).data().toInt();
    }
    updateUnknownLabel(songs, total);
    getDataForAllSongsLabel();
}

void AlbumsOfArtistPage::hideUnknownLabel()
{
    keepWhenEmpty = false;
    if (!unknownRow)
        return;
    headerLayout->removeItem(unknownRow);
    unknownRow->hide();
}

void AlbumsOfArtistPage::updateUnknownLabel(int songs, int duration)
{
    if (songs < 1 || !headerLayout) {
        hideUnknownLabel();
        return;
    }
    if (!unknownRow) {
        unknownRow = new AlbumsOfArtistContentItem(centralWidget());
        unknownRow->setTitle(unknownAlbumText);
        connect(unknownRow, &MListItem::clicked, this,
                &AlbumsOfArtistPage::handleUnknownLabelClick);
        connect(unknownRow, &MListItem::longTapped, this,
                &AlbumsOfArtistPage::handleUnknownLabelLongTap);
    }
    if (!unknownRowCovers) {
        unknownRowCovers = new AlbumArtLoader(AlbumArtType::AlbumArt, QStringLiteral("common"),
                                              this);
        connect(unknownRowCovers, &AlbumArtLoader::albumArtReady, this,
                &AlbumsOfArtistPage::setAlbumArtToUnknownLabel, Qt::UniqueConnection);
    }
    unknownRow->imageWidget()->setPixmap(QPixmap());
    // The artist travels with the request: a cover of the artist before is not taken.
    unknownRowCovers->loadAlbumArt(unknownAlbumText, artistName(), QStringLiteral("common"), true,
                                   AlbumArtType::ArtistArt, artistName());
    unknownRow->setSubtitle(qtTrId("qtn_musi_song_number", songs));
    unknownRow->setSideBottomTitle(ZelTime::timeString(duration, false));
    if (headerLayout->count() < 2 || headerLayout->itemAt(1) != unknownRow)
        headerLayout->insertItem(1, unknownRow);
    unknownRow->show();
    // An artist with songs but no album keeps its page although its album list is empty.
    keepWhenEmpty = true;
}

void AlbumsOfArtistPage::setAlbumArtToUnknownLabel(QPixmap pixmap, QVariant data)
{
    if (unknownRow && data.toString() == artistName())
        unknownRow->imageWidget()->setPixmap(pixmap);
}

void AlbumsOfArtistPage::getDataForAllSongsLabel()
{
    MafwTrackerModelFactory* factory = modelFactory();
    if (artistId() > 0) {
        if (factory)
            factory->requestSupplementaryQuery(this, "1updateAllSongsLabel(int,int)",
                                               MafwTrackerModel::ArtistSongCountAndLength,
                                               artistId());
        return;
    }
    // The unknown artist: its albums and its songs without an album.
    if (!allSongsItem || !pageModel)
        return;
    int songs = 0;
    int total = 0;
    for (int row = 0; row < pageModel->rowCount(); ++row) {
        songs += pageModel->index(row, Albums.trackCount).data().toInt();
        total += pageModel->index(row, Albums.length).data().toInt();
    }
    if (MafwTrackerModel* unknown = unknownAlbumModel.data()) {
        songs += unknown->rowCount();
        for (int row = 0; row < unknown->rowCount(); ++row)
            total += unknown->index(row, Songs.length).data().toInt();
    }
    updateAllSongsLabel(songs, total);
}

void AlbumsOfArtistPage::updateAllSongsLabel(int songCount, int duration)
{
    if (!allSongsItem)
        return;
    allSongsItem->setSubtitle(qtTrId("qtn_musi_song_number", songCount));
    allSongsItem->setSideBottomTitle(ZelTime::timeString(duration, false));
}

void AlbumsOfArtistPage::handleListItemClick(const QModelIndex& index)
{
    const int row = sourceRow(index);
    if (!index.isValid() || !pageModel || row < 0)
        return;
    QHash<QString, QVariant> parameter;
    parameter.insert(Constants::AccessFromArtistView, true);
    for (int column = 0; column < pageModel->columnCount(); ++column) {
        const QVariant value = pageModel->index(row, column).data();
        if (value.isValid())
            parameter.insert(pageModel->headerData(column, Qt::Horizontal).toString(), value);
    }
    parameter.insert(Constants::ArtistId, artistId());
    parameter.insert(Constants::ArtistName, artistName());
    emit goToPage(PageSongsOfAlbum, parameter);
}

void AlbumsOfArtistPage::handleUnknownLabelClick()
{
    emit goToPage(PageSongsOfAlbum,
                  QHash<QString, QVariant>({ { Constants::ArtistName, artistName() },
                                             { QStringLiteral("useSongsOfArtistModel"), false },
                                             { Constants::AlbumName, unknownAlbumText },
                                             { Constants::AlbumId, -1 },
                                             { Constants::ArtistId, artistId() } }));
}

void AlbumsOfArtistPage::handleAllSongsLabelClick()
{
    emit goToPage(PageSongsOfArtist,
                  QHash<QString, QVariant>({ { QStringLiteral("artist"), artistName() },
                                             { Constants::ArtistId, artistId() } }));
}

void AlbumsOfArtistPage::handleAllSongsLabelLongTap(const QPointF& position)
{
    handleListItemLongTap(QModelIndex(), position);
    markSpecialRow(artistId() < 0 ? ItemMenu::UnknownArtistRow : ItemMenu::ArtistRow, artistId(),
                   artistName());
}

void AlbumsOfArtistPage::handleUnknownLabelLongTap(const QPointF& position)
{
    handleListItemLongTap(QModelIndex(), position);
    markSpecialRow(ItemMenu::UnknownAlbumOfArtistRow, artistId(), unknownAlbumText);
}
