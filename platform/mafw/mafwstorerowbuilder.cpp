#include "mafwstorerowbuilder.h"

#include "mafwstorecatalogue.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// The query types, as Query::AllSongs.
using Query = MafwTrackerModel;
using Items = MafwTrackerModelFactory;

const QChar Tab(QLatin1Char('\t'));

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant timeOrNull(const QDateTime& time)
{
    return time.isValid() ? QVariant(time) : QVariant();
}

int compareInts(int a, int b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Newer first; an unknown time last.
int compareNewestFirst(const QDateTime& a, const QDateTime& b)
{
    return a > b ? -1 : (a < b ? 1 : 0);
}

// Rows past maxRows are counted but not built.
template <typename Build>
QVector<MafwStoreRow> buildPrefix(int count, int maxRows, int* total, Build build)
{
    if (total)
        *total = count;
    const int n = maxRows < 0 ? count : std::min(count, maxRows);
    QVector<MafwStoreRow> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(build(i));
    return out;
}

MafwStoreRow songRow(int id)
{
    MafwStoreRow row;
    row.id = id;
    return row;
}

} // namespace

MafwStoreRowBuilder::MafwStoreRowBuilder(const MafwStoreCatalogue* catalogue,
                                         const QString& unknownAlbumText,
                                         const QString& unknownArtistText)
    : m_catalogue(catalogue)
    , m_unknownAlbum(unknownAlbumText)
    , m_unknownArtist(unknownArtistText)
{
}

MafwStoreRowBuilder::Family MafwStoreRowBuilder::family(int type)
{
    switch (type) {
    case Query::AllSongs:
    case Query::SongsOfAlbum:
    case Query::SongsOfArtist:
    case Query::RecentlyAddedSongs:
    case Query::RecentlyPlayedSongs:
    case Query::MostPlayedSongs:
    case Query::FavouriteSongs:
    case Query::NeverPlayedSongs:
    case Query::RecentlyDownloadedSongs:
    case Query::SongsOfPlaylistFile:
    case Query::SongsOfUnknownArtist:
    case Query::SongsOfUnknownAlbum:
    case Query::SongsOfArtistWithoutAlbum:
    case Query::SongsWithoutAlbumAndArtist:
    case Query::OneSong:
    case Query::SongsOfUserPlaylist:
    case Query::SongsOfAlbumByArtist:
        return Songs;
    case Query::AllAlbums:
    case Query::AlbumsOfArtist:
    case Query::RecentlyAddedAlbums:
    case Query::AlbumsWithoutArtist:
        return Albums;
    case Query::AllArtists:
        return Artists;
    case Query::PlaylistFiles:
    case Query::RecentPlaylists:
    case Query::UserPlaylists:
        return Playlists;
    default:
        return NoFamily;
    }
}

QStringList MafwStoreRowBuilder::headers(int type)
{
    switch (family(type)) {
    case Songs: {
        QStringList h;
        for (std::string_view header : SongHeaders)
            h << QString::fromLatin1(header.data(), int(header.size()));
        if (type == Query::SongsOfPlaylistFile || type == Query::SongsOfUserPlaylist)
            h << QStringLiteral("playlistId");
        if (type == Query::SongsOfUserPlaylist)
            h << QStringLiteral("entryPosition");
        return h;
    }
    case Albums:
        return { QStringLiteral("albumId"),
                 QStringLiteral("albumName"),
                 QStringLiteral("added"),
                 QStringLiteral("artistName"),
                 QStringLiteral("albumArtistCount"),
                 QStringLiteral("year"),
                 QStringLiteral("albumLength"),
                 QStringLiteral("albumSongs"),
                 QStringLiteral("albumTrackCount") };
    case Artists:
        return { QStringLiteral("artistId"),  QStringLiteral("artistName"),
                 QStringLiteral("albumName"), QStringLiteral("numberOfAlbums"),
                 QStringLiteral("albumId"),   QStringLiteral("numberOfSongs") };
    case Playlists:
        return { QStringLiteral("playlistId"),     QStringLiteral("playlistName"),
                 QStringLiteral("added"),          QStringLiteral("playlistTrackCount"),
                 QStringLiteral("playlistLength"), QStringLiteral("playlistUrl") };
    case NoFamily:
        break;
    }
    return QStringList();
}

bool MafwStoreRowBuilder::limitIsFinal(int type)
{
    // The lists of the latest or the most: the songs past the limit are not in them, whatever
    // asks for the rest, so that a count read from the list is what the list shows.
    switch (type) {
    case Query::RecentlyAddedSongs:
    case Query::RecentlyPlayedSongs:
    case Query::MostPlayedSongs:
    case Query::RecentPlaylists:
        return true;
    default:
        return false;
    }
}

bool MafwStoreRowBuilder::isTitleOrdered(int type)
{
    switch (type) {
    case Query::SongsOfAlbum:
    case Query::SongsOfArtist:
    case Query::RecentlyAddedSongs:
    case Query::RecentlyPlayedSongs:
    case Query::MostPlayedSongs:
    case Query::SongsOfArtistWithoutAlbum:
    case Query::SongsOfAlbumByArtist:
    case Query::SongsOfPlaylistFile:
    case Query::SongsOfUserPlaylist:
        return false;
    default:
        return family(type) == Songs;
    }
}

QVariant MafwStoreRowBuilder::songCell(const MafwStoreSong& s, int column) const
{
    switch (column) {
    case songColumn("songUri"):
        return s.iri;
    case songColumn("songTitle"):
        return s.title;
    case songColumn("artistName"):
        return s.performer.isEmpty() ? m_unknownArtist : s.performer;
    case songColumn("albumName"):
        return s.album.isEmpty() ? m_unknownAlbum : s.album;
    case songColumn("songLength"):
        return s.duration;
    case songColumn("favorited"):
        return s.favourite;
    case songColumn("genre"):
        return textOrNull(s.genre);
    case songColumn("year"):
        return timeOrNull(s.created);
    case songColumn("songId"):
        return s.id;
    case songColumn("albumId"):
        return s.albumId;
    case songColumn("artistId"):
        return s.performerId;
    case songColumn("trackNumber"):
        return s.trackNumber;
    case songColumn("usageCounter"):
        return s.usage;
    case songColumn("added"):
        return timeOrNull(s.added);
    case songColumn("url"):
        return s.url;
    default:
        return QVariant();
    }
}

bool MafwStoreRowBuilder::songBelongs(int type, int id, int secondId, const MafwStoreSong& s)
{
    switch (type) {
    case Query::AllSongs:
        return true;
    case Query::SongsOfAlbum:
        return s.albumId == id && id > 0;
    case Query::SongsOfArtist:
        return s.performerId == id && id > 0;
    case Query::RecentlyAddedSongs:
        return s.added.isValid();
    case Query::RecentlyPlayedSongs:
        return s.accessed.isValid();
    case Query::MostPlayedSongs:
        return s.usage > 0;
    case Query::FavouriteSongs:
        return s.favourite;
    case Query::NeverPlayedSongs:
        return s.usage == 0;
    case Query::RecentlyDownloadedSongs:
        return s.downloaded;
    case Query::SongsOfUnknownArtist:
        return s.performerId == 0;
    case Query::SongsOfUnknownAlbum:
        return s.albumId == 0;
    case Query::SongsOfArtistWithoutAlbum:
        return s.performerId == id && id > 0 && s.albumId == 0;
    case Query::SongsWithoutAlbumAndArtist:
        return s.performerId == 0 && s.albumId == 0;
    case Query::OneSong:
        return s.id == id;
    case Query::SongsOfAlbumByArtist:
        // An artist id below 1 stands for the album's songs without a performer.
        return s.albumId == id && id > 0
               && (secondId > 0 ? s.performerId == secondId : s.performerId == 0);
    default:
        return false;
    }
}

int MafwStoreRowBuilder::compareSongs(int type, const MafwStoreSong& a,
                                      const MafwStoreSong& b) const
{
    int order = 0;
    switch (type) {
    case Query::SongsOfArtist:
    case Query::SongsOfArtistWithoutAlbum:
        if ((a.albumId == 0) != (b.albumId == 0)) {
            order = a.albumId == 0 ? 1 : -1; // songs without album last
        } else if (a.albumId != b.albumId) {
            order = m_catalogue->compareText(a.album, b.album);
            if (order == 0)
                order = compareInts(a.albumId, b.albumId);
        }
        Q_FALLTHROUGH();
    case Query::SongsOfAlbum:
    case Query::SongsOfAlbumByArtist:
        if (order == 0)
            order = compareInts(a.discNumber, b.discNumber);
        if (order == 0)
            order = compareInts(a.trackNumber, b.trackNumber);
        break;
    case Query::RecentlyAddedSongs:
        order = compareNewestFirst(a.added, b.added);
        break;
    case Query::RecentlyPlayedSongs:
        order = compareNewestFirst(a.accessed, b.accessed);
        break;
    case Query::MostPlayedSongs:
        order = compareInts(b.usage, a.usage);
        break;
    default:
        break;
    }
    return order != 0 ? order : m_catalogue->compareTitles(a, b);
}

QVector<int> MafwStoreRowBuilder::songIds(int type, int id, int secondId, int maxRows,
                                          int* total) const
{
    QVector<int> ids;
    int count = 0;
    auto take = [&](int songId) {
        ++count;
        if (maxRows < 0 || ids.size() < maxRows)
            ids.append(songId);
    };
    if (type == Query::OneSong) {
        if (m_catalogue->song(id))
            take(id);
    } else if (isTitleOrdered(type)) {
        // Walking the songs in title order gives these lists their order for free.
        const QVector<int>& order = m_catalogue->titleOrder();
        if (type == Query::AllSongs) {
            ids = maxRows < 0 ? order : order.mid(0, maxRows);
            count = order.size();
        } else {
            for (int songId : order) {
                if (songBelongs(type, id, secondId, *m_catalogue->song(songId)))
                    take(songId);
            }
        }
    } else {
        QVector<int> candidates;
        if (type == Query::SongsOfAlbum || type == Query::SongsOfAlbumByArtist)
            candidates = m_catalogue->songsOfAlbum(id);
        else if (type == Query::SongsOfArtist || type == Query::SongsOfArtistWithoutAlbum)
            candidates = m_catalogue->songsOfArtist(id);
        else
            candidates = m_catalogue->titleOrder();
        QVector<const MafwStoreSong*> songs;
        for (int songId : qAsConst(candidates)) {
            const MafwStoreSong* s = m_catalogue->song(songId);
            if (s && songBelongs(type, id, secondId, *s))
                songs.append(s);
        }
        auto before = [&](const MafwStoreSong* a, const MafwStoreSong* b) {
            return compareSongs(type, *a, *b) < 0;
        };
        // A list of the first rows (the latest songs of the main page's playlists, a page's
        // first batch) needs only those in order: sorting all of a large library for them,
        // by dates that many songs share and then by collated titles, took the window's
        // thread a tenth of a second at 50,000 songs.
        if (maxRows >= 0 && maxRows < songs.size())
            std::partial_sort(songs.begin(), songs.begin() + maxRows, songs.end(), before);
        else
            std::sort(songs.begin(), songs.end(), before);
        for (const MafwStoreSong* s : qAsConst(songs))
            take(s->id);
    }
    if (total)
        *total = count;
    return ids;
}

QVector<MafwStoreRow> MafwStoreRowBuilder::rows(int type, int id, int secondId, int maxRows,
                                                int* total) const
{
    switch (family(type)) {
    case Songs: {
        if (type == Query::SongsOfPlaylistFile || type == Query::SongsOfUserPlaylist)
            return playlistSongRows(type, id, maxRows, total);
        const QVector<int> ids = songIds(type, id, secondId, maxRows, total);
        QVector<MafwStoreRow> out;
        out.reserve(ids.size());
        for (int songId : ids)
            out.append(songRow(songId));
        return out;
    }
    case Albums:
    case Artists:
        return itemRows(type, id, maxRows, total);
    case Playlists:
        return playlistRows(type, maxRows, total);
    case NoFamily:
        break;
    }
    if (total)
        *total = 0;
    return QVector<MafwStoreRow>();
}

QVector<MafwStoreRow> MafwStoreRowBuilder::pinnedRows(const QVector<MafwStoreRow>& pinned) const
{
    QVector<MafwStoreRow> out;
    out.reserve(pinned.size());
    for (const MafwStoreRow& p : pinned) {
        if (m_catalogue->song(p.id))
            out.append(p);
    }
    return out;
}

QVector<MafwStoreRow> MafwStoreRowBuilder::playlistSongRows(int type, int playlistId, int maxRows,
                                                            int* total) const
{
    const MafwStorePlaylist* playlist = m_catalogue->playlist(playlistId);
    QVector<MafwStoreRow> out;
    int count = 0;
    if (playlist && playlist->isFile() == (type == Query::SongsOfPlaylistFile)) {
        for (const MafwStorePlaylist::Entry& entry : playlist->entries) {
            const MafwStoreSong* s = m_catalogue->songByUrl(entry.url);
            if (!s)
                continue;
            ++count;
            if (maxRows >= 0 && out.size() >= maxRows)
                continue;
            MafwStoreRow row = songRow(s->id);
            row.key = entry.iri;
            row.cells.append(playlistId);
            if (type == Query::SongsOfUserPlaylist)
                row.cells.append(entry.position);
            out.append(row);
        }
    }
    if (total)
        *total = count;
    return out;
}

MafwStoreRow MafwStoreRowBuilder::albumRow(int albumId, int performerId) const
{
    QVector<const MafwStoreSong*> songs;
    for (int songId : m_catalogue->songsOfAlbum(albumId)) {
        if (const MafwStoreSong* s = m_catalogue->song(songId))
            songs.append(s);
    }
    std::sort(songs.begin(), songs.end(), [](const MafwStoreSong* x, const MafwStoreSong* y) {
        if (x->discNumber != y->discNumber)
            return x->discNumber < y->discNumber;
        if (x->trackNumber != y->trackNumber)
            return x->trackNumber < y->trackNumber;
        return x->id < y->id;
    });
    QStringList performers;
    QSet<QString> distinct;
    QStringList songIds;
    int length = 0;
    QDateTime year;
    QDateTime added;
    for (const MafwStoreSong* s : qAsConst(songs)) {
        const QString name = s->performer.isEmpty() ? m_unknownArtist : s->performer;
        performers.append(name);
        distinct.insert(name);
        if (s->created.isValid() && (!year.isValid() || s->created < year))
            year = s->created;
        if (!added.isValid() || s->added > added)
            added = s->added;
        // Under an artist, the row counts what it opens on: that artist's songs of the album.
        if (performerId >= 0 && s->performerId != performerId)
            continue;
        songIds.append(QString::number(s->id));
        length += s->duration;
    }
    MafwStoreRow row;
    row.id = albumId;
    row.cells = { albumId,
                  songs.isEmpty() ? QString() : songs.first()->album,
                  timeOrNull(added),
                  performers.join(Tab),
                  distinct.size(),
                  timeOrNull(year),
                  length,
                  songIds.join(Tab),
                  songIds.size() };
    return row;
}

MafwStoreRow MafwStoreRowBuilder::artistRow(int artistId) const
{
    const QVector<int> songIds = m_catalogue->songsOfArtist(artistId);
    QVector<const MafwStoreSong*> albumSongs; // one song per album
    QSet<int> albums;
    QString name;
    for (int songId : songIds) {
        const MafwStoreSong* s = m_catalogue->song(songId);
        if (!s)
            continue;
        name = s->performer;
        if (s->albumId && !albums.contains(s->albumId)) {
            albums.insert(s->albumId);
            albumSongs.append(s);
        }
    }
    const MafwStoreCatalogue* c = m_catalogue;
    std::sort(albumSongs.begin(), albumSongs.end(),
              [c](const MafwStoreSong* x, const MafwStoreSong* y) {
                  const int order = c->compareText(x->album, y->album);
                  return order != 0 ? order < 0 : x->albumId < y->albumId;
              });
    QStringList titles;
    for (const MafwStoreSong* s : qAsConst(albumSongs))
        titles.append(s->album);
    MafwStoreRow row;
    row.id = artistId;
    row.cells = { artistId,
                  name,
                  titles.join(Tab),
                  albumSongs.size(),
                  albumSongs.isEmpty() ? 0 : albumSongs.first()->albumId,
                  songIds.size() };
    return row;
}

bool MafwStoreRowBuilder::itemRow(int type, int id, int key, MafwStoreRow* row) const
{
    if (family(type) == Artists) {
        if (key <= 0 || m_catalogue->songsOfArtist(key).isEmpty())
            return false;
        *row = artistRow(key);
        return true;
    }
    if (family(type) != Albums || key <= 0)
        return false;
    const QVector<int> songs = m_catalogue->songsOfAlbum(key);
    if (songs.isEmpty())
        return false;
    if (type == Query::AlbumsOfArtist || type == Query::AlbumsWithoutArtist) {
        const int performer = type == Query::AlbumsOfArtist ? id : 0;
        if (type == Query::AlbumsOfArtist && id <= 0)
            return false;
        bool found = false;
        for (int songId : songs) {
            const MafwStoreSong* s = m_catalogue->song(songId);
            if (s && s->performerId == performer) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    *row = albumRow(key, type == Query::AlbumsOfArtist        ? id
                         : type == Query::AlbumsWithoutArtist ? 0
                                                              : -1);
    return true;
}

int MafwStoreRowBuilder::compareItems(int type, const MafwStoreRow& a, const MafwStoreRow& b) const
{
    int order = 0;
    if (type == Query::RecentlyAddedAlbums)
        order = compareNewestFirst(a.cells.value(2).toDateTime(), b.cells.value(2).toDateTime());
    if (order == 0)
        order = m_catalogue->compareText(a.cells.value(1).toString(), b.cells.value(1).toString());
    return order != 0 ? order : compareInts(a.id, b.id);
}

QVector<MafwStoreRow> MafwStoreRowBuilder::itemRows(int type, int id, int maxRows, int* total) const
{
    QList<int> keys;
    if (family(type) == Artists) {
        keys = m_catalogue->artistIds();
    } else if (type == Query::AlbumsOfArtist || type == Query::AlbumsWithoutArtist) {
        QSet<int> albums;
        const QVector<int> songs = m_catalogue->songsOfArtist(type == Query::AlbumsOfArtist ? id
                                                                                            : 0);
        if (type == Query::AlbumsWithoutArtist || id > 0) {
            for (int songId : songs) {
                const MafwStoreSong* s = m_catalogue->song(songId);
                if (s && s->albumId)
                    albums.insert(s->albumId);
            }
        }
        keys = albums.values();
    } else {
        keys = m_catalogue->albumIds();
    }
    QVector<MafwStoreRow> list;
    list.reserve(keys.size());
    for (int key : qAsConst(keys)) {
        MafwStoreRow row;
        if (itemRow(type, id, key, &row))
            list.append(row);
    }
    // The order of compareItems(), with each row's date and name taken out of its cells once
    // rather than copied and converted at every comparison.
    struct Key
    {
        QDateTime added;
        QString name;
        int id;
        int row;
    };
    QVector<Key> order;
    order.reserve(list.size());
    const bool byDate = type == Query::RecentlyAddedAlbums;
    for (int i = 0; i < list.size(); ++i) {
        const MafwStoreRow& row = list.at(i);
        order.append({ byDate ? row.cells.value(2).toDateTime() : QDateTime(),
                       row.cells.value(1).toString(), row.id, i });
    }
    std::sort(order.begin(), order.end(), [&](const Key& a, const Key& b) {
        int sign = byDate ? compareNewestFirst(a.added, b.added) : 0;
        if (sign == 0)
            sign = m_catalogue->compareText(a.name, b.name);
        return (sign != 0 ? sign : compareInts(a.id, b.id)) < 0;
    });
    QVector<MafwStoreRow> sorted;
    sorted.reserve(list.size());
    for (const Key& key : qAsConst(order))
        sorted.append(std::move(list[key.row]));
    list.swap(sorted);
    if (total)
        *total = list.size();
    if (maxRows >= 0 && list.size() > maxRows)
        list.resize(maxRows);
    return list;
}

QVector<MafwStoreRow> MafwStoreRowBuilder::playlistRows(int type, int maxRows, int* total) const
{
    QVector<const MafwStorePlaylist*> list;
    for (const MafwStorePlaylist& p : m_catalogue->playlists()) {
        if (type == Query::RecentPlaylists || (type == Query::PlaylistFiles) == p.isFile())
            list.append(&p);
    }
    auto name = [](const MafwStorePlaylist* p) { return p->isFile() ? p->fileName : p->title; };
    const MafwStoreCatalogue* c = m_catalogue;
    if (type == Query::RecentPlaylists) {
        std::sort(list.begin(), list.end(),
                  [](const MafwStorePlaylist* a, const MafwStorePlaylist* b) {
                      return a->added != b->added ? a->added > b->added : a->id > b->id;
                  });
    } else {
        std::sort(list.begin(), list.end(),
                  [c, name](const MafwStorePlaylist* a, const MafwStorePlaylist* b) {
                      const int order = c->compareText(name(a), name(b));
                      return order != 0 ? order < 0 : a->id < b->id;
                  });
    }
    return buildPrefix(list.size(), maxRows, total, [&](int i) {
        const MafwStorePlaylist* p = list.at(i);
        int count = 0;
        int length = 0;
        for (const MafwStorePlaylist::Entry& entry : p->entries) {
            if (const MafwStoreSong* s = m_catalogue->songByUrl(entry.url)) {
                ++count;
                length += s->duration;
            }
        }
        MafwStoreRow row;
        row.id = p->id;
        row.cells = { p->id, name(p), timeOrNull(p->added), count, length, textOrNull(p->url) };
        return row;
    });
}

QVector<int> MafwStoreRowBuilder::songsOfItems(int itemType, const QList<int>& ids) const
{
    QVector<int> out;
    switch (itemType) {
    case Items::SongItems:
        for (int id : ids) {
            if (m_catalogue->song(id))
                out.append(id);
        }
        break;
    case Items::AlbumItems:
        for (int id : ids)
            out += songIds(Query::SongsOfAlbum, id, 0, -1, nullptr);
        break;
    case Items::ArtistItems:
        for (int id : ids)
            out += songIds(Query::SongsOfArtist, id, 0, -1, nullptr);
        break;
    case Items::SongsWithoutAlbum:
        out = songIds(Query::SongsOfUnknownAlbum, 0, 0, -1, nullptr);
        break;
    case Items::SongsWithoutArtist:
        out = songIds(Query::SongsOfUnknownArtist, 0, 0, -1, nullptr);
        break;
    default:
        break;
    }
    return out;
}

QVector<QVector<int>> MafwStoreRowBuilder::songsToDelete(int type, const QList<int>& ids) const
{
    QVector<QVector<int>> out;
    if (ids.isEmpty()) {
        // Only the sets without a name can be meant by no id at all.
        if (type == Query::SongsOfUnknownArtist || type == Query::SongsOfUnknownAlbum
            || type == Query::SongsWithoutAlbumAndArtist)
            out.append(songIds(type, 0, 0, -1, nullptr));
        return out;
    }
    for (int id : ids) {
        QVector<int> songs;
        switch (type) {
        case Query::AllAlbums:
        case Query::AlbumsOfArtist:
        case Query::RecentlyAddedAlbums:
        case Query::AlbumsWithoutArtist:
            songs = songIds(Query::SongsOfAlbum, id, 0, -1, nullptr);
            break;
        case Query::AllArtists:
            songs = songIds(Query::SongsOfArtist, id, 0, -1, nullptr);
            break;
        case Query::UnknownAlbumOfArtist:
            songs = id > 0 ? songIds(Query::SongsOfArtistWithoutAlbum, id, 0, -1, nullptr)
                           : songIds(Query::SongsWithoutAlbumAndArtist, 0, 0, -1, nullptr);
            break;
        default:
            if (m_catalogue->song(id))
                songs.append(id);
            break;
        }
        out.append(songs);
    }
    return out;
}

void MafwStoreRowBuilder::artistTotals(int artistId, int* count, int* seconds) const
{
    *count = 0;
    *seconds = 0;
    for (int songId : m_catalogue->songsOfArtist(artistId)) {
        if (const MafwStoreSong* s = m_catalogue->song(songId)) {
            ++*count;
            *seconds += s->duration;
        }
    }
}
