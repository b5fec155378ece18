#include "myartistspage.h"

#include "common/constants.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "data/storequeries.h"
#include "pageframework/artistslistcellcreator.h"
#include "trackersparql.h"

using namespace Parlovance;

namespace {

const ArtistColumns Columns;

CollectionPageDescription artists()
{
    CollectionPageDescription page;
    page.title = qtTrId("qtn_musi_artists_container");
    page.queryType = MafwTrackerModel::AllArtists;
    page.modelOnFirstShow = true;
    page.searchColumns = { Columns.albums, Columns.artist };
    page.groupColumn = Columns.artist;
    page.covers = true;
    page.artType = AlbumArtType::ArtistArt;
    page.painter = [](AlbumArtLoader* covers, QObject* parent) {
        return new ArtistsListCellCreator(covers, Columns, parent);
    };
    page.menuType = CollectionObjectMenu;
    page.itemSongs = MafwTrackerModel::SongsOfArtist;
    page.activityType = Activity::Artist;
    page.idColumn = Columns.artistId;
    page.nameColumn = Columns.artist;
    page.unknownRowTitle = qtTrId("qtn_musi_unknown_artist");
    page.nextPages = { PageSongsOfAlbum, PageAlbumsOfArtist };
    return page;
}

} // namespace

MyArtistsPage::MyArtistsPage(PageWindow* window, QVariant deviceEmpty)
    : CollectionPage(window, deviceEmpty, artists())
{
    finishPageCreation();
    connect(MafwTrackerModelFactoryInstance::instance(),
            &MafwTrackerModelFactoryInstance::unknownArtistCountChanged, this,
            &MyArtistsPage::enableUnknownLabel);
    connect(this, &CollectionPageBase::unknownLabelClicked, this,
            &MyArtistsPage::handleUnknownLabelClicked);
}

MyArtistsPage::~MyArtistsPage() = default;

void MyArtistsPage::handleListItemClick(const QModelIndex& index)
{
    QHash<QString, QVariant> artist = rowParameters(index);
    if (artist.isEmpty())
        return;
    rememberOpenedRow(index);
    if (artist.value(Constants::NumberOfAlbums).toInt() < 2) {
        // The only album, as this artist's songs of it. Its title stands once, however many
        // songs name it.
        artist.insert(
            Constants::AlbumName,
            artist.value(Constants::AlbumName).toString().section(QLatin1Char('\t'), 0, 0));
        artist.insert(Constants::AccessFromArtistView, true);
        emit goToPage(PageSongsOfAlbum, artist);
        return;
    }
    QHash<QString, QVariant> albums;
    albums.insert(Constants::ArtistId, artist.value(Constants::ArtistId));
    albums.insert(Constants::ArtistName, artist.value(Constants::ArtistName).toString());
    emit goToPage(PageAlbumsOfArtist, albums);
}

void MyArtistsPage::handleUnknownLabelClicked()
{
    // A translation is a text like any other in a string literal.
    askStore(QString::fromUtf8(StoreQueries::AlbumsOfSongsWithoutArtist)
                 .arg(TrackerSparql::escapeString(qtTrId("qtn_musi_unknown_album"))),
             SLOT(unknownArtistAlbumCountReady(QList<QStringList>, bool, QVariant)));
}

void MyArtistsPage::unknownArtistAlbumCountReady(QList<QStringList> rows, bool end,
                                                 QVariant userData)
{
    Q_UNUSED(userData)
    if (!end || rows.isEmpty())
        return;
    QHash<QString, QVariant> parameter;
    parameter.insert(QStringLiteral("unknownArtist"), true);
    parameter.insert(Constants::ArtistName, pageDescription().unknownRowTitle);
    parameter.insert(Constants::ArtistId, -1);
    if (rows.size() >= 2) {
        emit goToPage(PageAlbumsOfArtist, parameter);
        return;
    }
    // All of them on one album (or on none): its songs at once.
    parameter.insert(QStringLiteral("useSongsOfArtistModel"), true);
    parameter.insert(Constants::AlbumName,
                     rows.first().value(StoreQueries::AlbumsOfSongsWithoutArtistTitle));
    emit goToPage(PageSongsOfAlbum, parameter);
}
