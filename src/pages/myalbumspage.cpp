#include "myalbumspage.h"

#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "data/storequeries.h"
#include "pageframework/albumslistcellcreator.h"
#include "trackersparql.h"

using namespace Parlovance;

namespace {

const AlbumColumns Columns;

CollectionPageDescription albums()
{
    CollectionPageDescription page;
    page.title = qtTrId("qtn_musi_albums_container");
    page.queryType = MafwTrackerModel::AllAlbums;
    page.modelOnFirstShow = true;
    page.searchColumns = { Columns.album, Columns.artist };
    page.groupColumn = Columns.album;
    page.covers = true;
    page.artType = AlbumArtType::AlbumArt;
    page.painter = [](AlbumArtLoader* covers, QObject* parent) {
        return new AlbumsListCellCreator(covers, Columns, parent);
    };
    page.menuType = CollectionObjectMenu;
    page.itemSongs = MafwTrackerModel::SongsOfAlbum;
    page.activityType = Activity::Album;
    page.idColumn = Columns.albumId;
    page.nameColumn = Columns.album;
    page.unknownRowTitle = qtTrId("qtn_musi_unknown_album");
    page.nextPages = { PageSongsOfAlbum };
    return page;
}

} // namespace

MyAlbumsPage::MyAlbumsPage(PageWindow* window, QVariant deviceEmpty)
    : CollectionPage(window, deviceEmpty, albums())
{
    finishPageCreation();
    connect(MafwTrackerModelFactoryInstance::instance(),
            &MafwTrackerModelFactoryInstance::unknownAlbumsCountChanged, this,
            &MyAlbumsPage::enableUnknownLabel);
    connect(this, &CollectionPageBase::unknownLabelClicked, this,
            &MyAlbumsPage::handleUnknownLabelClicked);
}

MyAlbumsPage::~MyAlbumsPage() = default;

void MyAlbumsPage::handleListItemClick(const QModelIndex& index)
{
    // The songs page takes the whole album row; without "AccessFromArtistView" it lists the
    // album by its id, whoever sings.
    const QHash<QString, QVariant> album = rowParameters(index);
    if (album.isEmpty())
        return;
    rememberOpenedRow(index);
    emit goToPage(PageSongsOfAlbum, album);
}

void MyAlbumsPage::handleUnknownLabelClicked()
{
    // A translation is a text like any other in a string literal.
    askStore(QString::fromUtf8(StoreQueries::PerformersOfSongsWithoutAlbum)
                 .arg(TrackerSparql::escapeString(qtTrId("qtn_musi_unknown_artist"))),
             SLOT(artistsOfUnknownAlbumReady(QList<QStringList>, bool, QVariant)));
}

void MyAlbumsPage::artistsOfUnknownAlbumReady(QList<QStringList> rows, bool end, QVariant userData)
{
    Q_UNUSED(userData)
    if (!end || rows.isEmpty() || rows.first().isEmpty())
        return;
    QHash<QString, QVariant> parameter;
    parameter.insert(QStringLiteral("useSongsOfArtistModel"), false);
    parameter.insert(QStringLiteral("artistName"),
                     rows.first().value(StoreQueries::PerformersOfSongsWithoutAlbumNames));
    parameter.insert(QStringLiteral("albumName"), pageDescription().unknownRowTitle);
    parameter.insert(QStringLiteral("albumId"), -1);
    emit goToPage(PageSongsOfAlbum, parameter);
}
