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

// The page reads its parameter itself (it follows the artist's albums and its songs without an
// album) and draws its albums with a cell creator of its own; its shuffle row plays all the
// artist's songs, not the albums listed.
ItemPageDescription albumsOfArtist()
{
    ItemPageDescription page;
    page.bottomSpacer = true;
    page.menuType = CollectionObjectMenu;
    page.activityType = Activity::Artist;
    return page;
}

} // namespace

AlbumsOfArtistPage::AlbumsOfArtistPage(PageWindow* window)
    : SongPage(albumsOfArtist(), window)
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
    , allSongsText(qtTrId("qtn_musi_all_songs"))
    , covers(new AlbumArtLoader(AlbumArtType::AlbumArt, QStringLiteral("common"), this))
{
    connect(this, &MSceneWindow::appeared, this, &AlbumsOfArtistPage::preLoadSongsOfArtistPage);
    connect(covers, &AlbumArtLoader::albumArtReady, this, &QuintaveilPage::handleAlbumArtReady,
            Qt::UniqueConnection);
    connect(covers, &AlbumArtLoader::refreshAlbumArts, this, &QuintaveilPage::updateListAlbumArts);
    finishPageCreation();
    setArtistRowIsPageSubject(true);
}

AlbumsOfArtistPage::~AlbumsOfArtistPage() = default;

void AlbumsOfArtistPage::createList()
{
    list = new MList(centralWidget());
    creator = new AlbumsOfArtistCellCreator(covers, Albums, this);
    list->setCellCreator(creator);
    list->setStyleName(QStringLiteral("CommonListInverted"));
    connect(creator, qOverload<ParlovancePages, QVariant>(&AlbumsOfArtistCellCreator::goToPage),
            this, &QuintaveilPage::goToPage);
}

void AlbumsOfArtistPage::insertHeaderWidget(MWidget* widget)
{
    ensureHeaderLayout();
    headerLayout->insertItem(3, widget);
}

void AlbumsOfArtistPage::createContent()
{
    SongPage::createContent();

    artistShuffle = new CollectionViewShuffleWidget(false, infoPanel);
    artistShuffle->setVisibleStyleName(QStringLiteral("CommonPanelInverted"));
    artistShuffle->setShuffleButtonVisibility(true);
    infoLayout->addItem(artistShuffle);
    connect(artistShuffle, &CollectionViewShuffleWidget::shuffleClicked, this,
            &AlbumsOfArtistPage::shufflePlayArtist);
    auto* divider = new MSeparator(infoPanel, Qt::Horizontal);
    divider->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));
    infoLayout->addItem(divider);

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
    insertHeaderWidget(extensions);

    connect(allSongsItem, &MListItem::clicked, this, &AlbumsOfArtistPage::handleAllSongsLabelClick);
    connect(allSongsItem, &MListItem::longTapped, this,
            &AlbumsOfArtistPage::handleAllSongsLabelLongTap);
}

void AlbumsOfArtistPage::passParameterToPage(QVariant parameter)
{
    const QHash<QString, QVariant> hash = parameter.toHash();
    if (hash.isEmpty())
        return;
    const QString name = hash.value(Constants::ArtistName).toString();
    const int id = hash.value(Constants::ArtistId).toInt();
    // Two artists may bear one name: the id tells them apart.
    if (!reloadNeeded && name == artist && id == artistTrackerId)
        return;

    hideUnknownLabel();
    if (allSongsItem) {
        allSongsItem->setSubtitle(QString());
        allSongsItem->setSideBottomTitle(QString());
    }
    if (extensions)
        extensions->hide();

    artistTrackerId = id;
    artist = name;
    if (titleHeader)
        titleHeader->setText(name);
    creator->setArtistName(name);
    publishContent();
    loadModels();
}

void AlbumsOfArtistPage::publishContent()
{
    if (!extensions)
        return;
    extensions->publishContent(2, { { QLatin1String(MusicApplicationActionContent::ArtistField),
                                      artist == unknownArtistText ? QString() : artist } });
}

void AlbumsOfArtistPage::loadModels()
{
    MafwTrackerModelFactory* factory = modelFactory();
    if (!factory)
        return;
    const bool known = artistTrackerId > 0;
    MafwTrackerModel* albums = known
                                   ? factory->getModel(MafwTrackerModel::AlbumsOfArtist, 50,
                                                       artistTrackerId)
                                   : factory->getModel(MafwTrackerModel::AlbumsWithoutArtist, 0, 0);
    if (!albums)
        return;
    reloadNeeded = false;
    showSongs(QSharedPointer<MafwTrackerModel>(albums));
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
        known ? factory->getModel(MafwTrackerModel::SongsOfArtistWithoutAlbum, 50, artistTrackerId)
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
    unknownRowCovers->loadAlbumArt(unknownAlbumText, artist, QStringLiteral("common"), true,
                                   AlbumArtType::ArtistArt, artist);
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
    if (unknownRow && data.toString() == artist)
        unknownRow->imageWidget()->setPixmap(pixmap);
}

void AlbumsOfArtistPage::getDataForAllSongsLabel()
{
    MafwTrackerModelFactory* factory = modelFactory();
    if (artistTrackerId > 0) {
        if (factory)
            factory->requestSupplementaryQuery(this, "1updateAllSongsLabel(int,int)",
                                               MafwTrackerModel::ArtistSongCountAndLength,
                                               artistTrackerId);
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
    parameter.insert(Constants::ArtistId, artistTrackerId);
    parameter.insert(Constants::ArtistName, artist);
    emit goToPage(PageSongsOfAlbum, parameter);
}

void AlbumsOfArtistPage::handleUnknownLabelClick()
{
    emit goToPage(PageSongsOfAlbum,
                  QHash<QString, QVariant>({ { Constants::ArtistName, artist },
                                             { QStringLiteral("useSongsOfArtistModel"), false },
                                             { Constants::AlbumName, unknownAlbumText },
                                             { Constants::AlbumId, -1 },
                                             { Constants::ArtistId, artistTrackerId } }));
}

void AlbumsOfArtistPage::handleAllSongsLabelClick()
{
    emit goToPage(PageSongsOfArtist,
                  QHash<QString, QVariant>({ { QStringLiteral("artist"), artist },
                                             { Constants::ArtistId, artistTrackerId } }));
}

QHash<QString, QVariant> AlbumsOfArtistPage::itemParameters(const QModelIndex& index)
{
    QHash<QString, QVariant> parameters;
    MafwTrackerModelFactory* factory = modelFactory();
    if (!index.isValid() || !factory)
        return parameters;
    const int albumId = index.data(Qt::UserRole + Albums.albumId).toInt();
    QSharedPointer<MafwTrackerModel> songs;
    if (albumId < 1) {
        songs.reset(factory->getModel(MafwTrackerModel::SongsWithoutAlbumAndArtist, 0, 0));
        parameters.insert(QStringLiteral("name"), unknownAlbumText);
    } else {
        songs.reset(
            factory->getModel(MafwTrackerModel::SongsOfAlbumByArtist, 0, albumId, artistTrackerId));
        parameters.insert(QStringLiteral("trackerId"), albumId);
        parameters.insert(QStringLiteral("name"),
                          index.data(Qt::UserRole + Albums.album).toString());
    }
    parameters.insert(QStringLiteral("model"), QVariant::fromValue(songs));
    parameters.insert(QStringLiteral("type"), QVariant::fromValue(Activity::Album));
    return parameters;
}

void AlbumsOfArtistPage::handleAllSongsLabelLongTap(const QPointF& position)
{
    handleListItemLongTap(QModelIndex(), position);
    markSpecialRow(artistTrackerId < 0 ? ItemMenu::UnknownArtistRow : ItemMenu::ArtistRow,
                   artistTrackerId, artist);
}

void AlbumsOfArtistPage::handleUnknownLabelLongTap(const QPointF& position)
{
    handleListItemLongTap(QModelIndex(), position);
    markSpecialRow(ItemMenu::UnknownAlbumOfArtistRow, artistTrackerId, unknownAlbumText);
}

void AlbumsOfArtistPage::shufflePlayArtist()
{
    MafwTrackerModelFactory* factory = modelFactory();
    if (!factory)
        return;
    const QSharedPointer<MafwTrackerModel> songs(
        artistTrackerId > 0
            ? factory->getModel(MafwTrackerModel::SongsOfArtist, 50, artistTrackerId)
            : factory->getModel(MafwTrackerModel::SongsOfUnknownArtist, 0, 0));
    if (!songs)
        return;
    play(QModelIndex(), songs, QStringLiteral("songsOfArtist"), pageDescription().activityType,
         PlayOptions(PlayShuffled), artistTrackerId, -1);
}

void AlbumsOfArtistPage::preLoadSongsOfArtistPage()
{
    disconnect(this, &MSceneWindow::appeared, this, &AlbumsOfArtistPage::preLoadSongsOfArtistPage);
    emit preLoadPage(PageSongsOfArtist);
}
