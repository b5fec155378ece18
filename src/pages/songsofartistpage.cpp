#include "songsofartistpage.h"

#include "common/constants.h"
#include "data/modelcolumns.h"
#include "pageframework/songsofalbumcellcreator.h"
#include "pageframework/songsofartistgroupheadercellcreator.h"

namespace {

const SongColumns Columns;

ItemPageDescription songsOfArtist()
{
    ItemPageDescription page;
    page.songs = [](const QHash<QString, QVariant>& parameter) {
        ItemPageDescription::Songs songs;
        if (parameter.isEmpty())
            return songs;
        songs.title = parameter.value(QStringLiteral("artist")).toString();
        songs.trackerId = parameter.value(Constants::ArtistId).toInt();
        if (songs.trackerId > 0) {
            songs.type = MafwTrackerModel::SongsOfArtist;
            songs.limit = 50;
            songs.id = songs.trackerId;
        } else {
            songs.type = MafwTrackerModel::SongsOfUnknownArtist;
        }
        return songs;
    };
    page.shuffleRow = ItemPageDescription::ShuffleRowAlone;
    page.shuffleRowStyle = QStringLiteral("CommonVerySmallPanelInverted");
    // The songs gather under the exact names of their albums.
    page.groupColumns = { Columns.album, Columns.year };
    page.groupHeader = [](QObject* parent) {
        return new SongsOfArtistGroupHeaderCellCreator(parent);
    };
    // An artist's songs are drawn as the one-line rows of an album of one artist.
    page.painter = [](AlbumArtLoader*, QObject* parent) {
        return new SongsOfAlbumCellCreator(Columns, parent);
    };
    page.menuType = SongObjectMenu;
    page.activityType = Activity::Artist;
    return page;
}

} // namespace

SongsOfArtistPage::SongsOfArtistPage(PageWindow* window)
    : SongPage(songsOfArtist(), window)
{
    finishPageCreation();
}

SongsOfArtistPage::~SongsOfArtistPage() = default;
