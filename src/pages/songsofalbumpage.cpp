#include "songsofalbumpage.h"

#include "common/constants.h"
#include "data/modelcolumns.h"
#include "mlist.h"
#include "mstylablewidget.h"
#include "musicapplicationactioncontent.h"
#include "musicextensionarea.h"
#include "pageframework/albuminfowidget.h"
#include "pageframework/cellpainter.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/songsofalbumcellcreator.h"
#include "pageframework/songsofvariousartistsalbumcellcreator.h"

#include <QGraphicsLinearLayout>

namespace {

const SongColumns Columns;

// The songs the parameter names: an album (by whoever sings, or by the artist it was opened
// from), the songs without an album (of one artist, of none, or all of them) or the songs of
// the unknown artist. The same query with other ids or from elsewhere loads again.
ItemPageDescription::Songs songsOf(const QHash<QString, QVariant>& parameter)
{
    ItemPageDescription::Songs songs;
    int albumId = parameter.value(Constants::AlbumId).toInt();
    int artistId = parameter.value(Constants::ArtistId).toInt();
    const bool fromArtist = parameter.value(Constants::AccessFromArtistView).toBool();
    if (parameter.value(QStringLiteral("useSongsOfArtistModel")).toBool()
        && parameter.value(QStringLiteral("unknownArtist")).toBool()) {
        songs.type = MafwTrackerModel::SongsOfUnknownArtist;
        albumId = 0;
        artistId = 0;
    } else if (albumId < 1) {
        if (artistId == 0) {
            songs.type = MafwTrackerModel::SongsOfUnknownAlbum;
        } else if (artistId < 0) {
            songs.type = MafwTrackerModel::SongsWithoutAlbumAndArtist;
        } else {
            songs.type = MafwTrackerModel::SongsOfArtistWithoutAlbum;
            songs.id = artistId;
        }
    } else if (fromArtist) {
        songs.type = MafwTrackerModel::SongsOfAlbumByArtist;
        songs.id = albumId;
        songs.secondId = artistId;
    } else {
        songs.type = MafwTrackerModel::SongsOfAlbum;
        songs.id = albumId;
    }
    songs.detail = QVariantList { albumId, artistId, fromArtist };
    songs.title = parameter.value(Constants::AlbumName).toString();
    return songs;
}

// The page picks its row painter itself: the rows show their artists when the album has
// several.
ItemPageDescription songsOfAlbum()
{
    ItemPageDescription page;
    page.songs = songsOf;
    page.panelStyle = QStringLiteral("SongPageInfoPanelWithArtistLabel");
    page.info = [](QSharedPointer<MafwTrackerModel> songs, QGraphicsItem* parent) {
        return new AlbumInfoWidget(songs, Columns, parent);
    };
    page.shuffleRow = ItemPageDescription::ShuffleRowWithDivider;
    page.listStyle = QStringLiteral("SongsOfAlbumList");
    page.bottomSpacer = true;
    page.menuType = SongObjectMenu;
    page.activityType = Activity::Album;
    return page;
}

} // namespace

SongsOfAlbumPage::SongsOfAlbumPage(PageWindow* window)
    : SongPage(songsOfAlbum(), window)
{
    finishPageCreation();
}

SongsOfAlbumPage::~SongsOfAlbumPage() = default;

void SongsOfAlbumPage::createContent()
{
    SongPage::createContent();
    // The album's extensions under the list.
    extensions = new MusicExtensionArea(QLatin1String(MusicExtensionArea::AlbumInterface),
                                        centralWidget());
    extensions->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    insertHeaderWidget(extensions);
}

AlbumInfoWidget* SongsOfAlbumPage::albumHeader() const
{
    return static_cast<AlbumInfoWidget*>(infoWidget);
}

void SongsOfAlbumPage::passParameterToPage(QVariant value)
{
    parameter = value.toHash();
    // Seen inside one artist, the album is that artist's songs of it: one artist.
    if (parameter.value(Constants::AccessFromArtistView).toBool())
        parameter.insert(Constants::AlbumArtistCount, 1);
    // The same songs again keep the page as it stands; the new parameter still names the
    // playlist of later plays.
    SongPage::passParameterToPage(parameter);
}

void SongsOfAlbumPage::songsShown()
{
    // The panel's year and genre, and the number of artists when the parameter does not say,
    // are read from the songs once they are in.
    connect(pageModel.data(), &MafwTrackerModel::completed, this,
            &SongsOfAlbumPage::handleModelCompleted, Qt::QueuedConnection);
    albumHeader()->updateAlbumInfo(parameter);
    if (parameter.contains(Constants::AlbumArtistCount))
        setupCellCreator();
    publishContent();
}

void SongsOfAlbumPage::setupCellCreator()
{
    const int kind = parameter.value(Constants::AlbumArtistCount).toInt() < 2 ? 1 : 0;
    if (kind == creatorKind)
        return;
    creatorKind = kind;
    CellPainter* rows = nullptr;
    if (kind == 1)
        rows = new SongsOfAlbumCellCreator(Columns, this);
    else
        rows = new SongsOfVariousArtistsAlbumCellCreator(Columns, this);
    setRowPainter(rows);
    delete painter.data();
    painter = rows;
}

void SongsOfAlbumPage::handleModelCompleted()
{
    auto* model = qobject_cast<MafwTrackerModel*>(sender());
    if (!model)
        return;
    disconnect(model, &MafwTrackerModel::completed, this, &SongsOfAlbumPage::handleModelCompleted);
    // A model that is no longer shown answers for nothing.
    if (model != pageModel.data())
        return;
    if (!parameter.contains(Constants::AlbumArtistCount)) {
        int artists = 1;
        const QString first = model->index(0, Columns.artist).data().toString();
        for (int row = 1; row < model->rowCount() && artists < 2; ++row) {
            if (model->index(row, Columns.artist).data().toString() != first)
                artists = 2;
        }
        parameter.insert(Constants::AlbumArtistCount, artists);
        setupCellCreator();
    }
    if (albumHeader())
        albumHeader()->updateAlbumInfo(parameter);
}

void SongsOfAlbumPage::publishContent()
{
    if (!extensions)
        return;
    // The album's performers come one per song: the extensions get the artist once, or
    // "various artists".
    extensions->publishContent(
        1, { { QLatin1String(MusicApplicationActionContent::ArtistField),
               CellPainter::artistLine(parameter.value(Constants::ArtistName).toString()).shown },
             { QLatin1String(MusicApplicationActionContent::AlbumField),
               parameter.value(Constants::AlbumName).toString() } });
}

void SongsOfAlbumPage::handleListItemClick(const QModelIndex& index)
{
    play(index, false);
}

void SongsOfAlbumPage::play(const QModelIndex& index, bool shuffle)
{
    if (!pageModel)
        return;
    QuintaveilPage::play(index, pageModel, parameter.value(Constants::AlbumName).toString(),
                         pageDescription().activityType,
                         shuffle ? PlayOptions(PlayShuffled) : PlayOptions(), 0, -1);
}

void SongsOfAlbumPage::shufflePlay()
{
    if (!pageModel)
        return;
    QuintaveilPage::play(QModelIndex(), pageModel, QStringLiteral("songsOfAlbum"),
                         pageDescription().activityType, PlayOptions(PlayShuffled), 0, -1);
}
