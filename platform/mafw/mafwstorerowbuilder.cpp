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

enum SongColumn {
    ColSongUri, ColSongTitle, ColArtistName, ColAlbumName, ColSongLength, ColFavorited, ColGenre,
    ColYear, ColSongId, ColAlbumId, ColArtistId, ColTrackNumber, ColUsageCounter, ColAdded, ColUrl,
    SongColumnCount
};

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant timeOrNull(const QDateTime& time)
{
    return time.isValid() ? QVariant(time) : QVariant();
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

struct AlbumInfo
{
    int id = 0;
    QString title;
    QVector<const MafwStoreSong*> songs;
};

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
        QStringList h = { QStringLiteral("songUri"),     QStringLiteral("songTitle"),
                          QStringLiteral("artistName"),  QStringLiteral("albumName"),
                          QStringLiteral("songLength"),  QStringLiteral("favorited"),
                          QStringLiteral("genre"),       QStringLiteral("year"),
                          QStringLiteral("songId"),      QStringLiteral("albumId"),
                          QStringLiteral("artistId"),    QStringLiteral("trackNumber"),
                          QStringLiteral("usageCounter"), QStringLiteral("added"),
                          QStringLiteral("url") };
        if (type == Query::SongsOfPlaylistFile || type == Query::SongsOfUserPlaylist)
            h << QStringLiteral("playlistId");
        if (type == Query::SongsOfUserPlaylist)
            h << QStringLiteral("entryPosition");
        return h;
    }
    case Albums:
        return { QStringLiteral("albumId"),          QStringLiteral("albumName"),
                 QStringLiteral("added"),            QStringLiteral("artistName"),
                 QStringLiteral("albumArtistCount"), QStringLiteral("year"),
                 QStringLiteral("albumLength"),      QStringLiteral("albumSongs"),
                 QStringLiteral("albumTrackCount") };
    case Artists:
        return { QStringLiteral("artistId"),       QStringLiteral("artistName"),
                 QStringLiteral("albumName"),      QStringLiteral("numberOfAlbums"),
                 QStringLiteral("albumId"),        QStringLiteral("numberOfSongs") };
    case Playlists:
        return { QStringLiteral("playlistId"),         QStringLiteral("playlistName"),
                 QStringLiteral("added"),              QStringLiteral("playlistTrackCount"),
                 QStringLiteral("playlistLength"),     QStringLiteral("playlistUrl") };
    case NoFamily:
        break;
    }
    return QStringList();
}

bool MafwStoreRowBuilder::limitIsFinal(int type)
{
    return type == Query::MostPlayedSongs || type == Query::RecentPlaylists;
}

MafwStoreRow MafwStoreRowBuilder::songRow(const MafwStoreSong& s) const
{
    MafwStoreRow row;
    row.key = QString::number(s.id);
    row.songId = s.id;
    row.cells.resize(SongColumnCount);
    row.cells[ColSongUri] = s.iri;
    row.cells[ColSongTitle] = s.title;
    row.cells[ColArtistName] = s.performer.isEmpty() ? m_unknownArtist : s.performer;
    row.cells[ColAlbumName] = s.album.isEmpty() ? m_unknownAlbum : s.album;
    row.cells[ColSongLength] = s.duration;
    row.cells[ColFavorited] = s.favourite;
    row.cells[ColGenre] = textOrNull(s.genre);
    row.cells[ColYear] = timeOrNull(s.created);
    row.cells[ColSongId] = s.id;
    row.cells[ColAlbumId] = s.albumId;
    row.cells[ColArtistId] = s.performerId;
    row.cells[ColTrackNumber] = s.trackNumber;
    row.cells[ColUsageCounter] = s.usage;
    row.cells[ColAdded] = timeOrNull(s.added);
    row.cells[ColUrl] = s.url;
    return row;
}

QVector<int> MafwStoreRowBuilder::songIds(int type, int id, int secondId) const
{
    if (type == Query::OneSong)
        return m_catalogue->song(id) ? QVector<int>{ id } : QVector<int>();
    // Walking the songs in title order gives every list its title order for free; the lists
    // ordered otherwise sort stably on top of it.
    const QVector<int>& order = m_catalogue->titleOrder();
    QVector<int> ids;
    ids.reserve(type == Query::AllSongs ? order.size() : 64);
    for (int songId : order) {
        const MafwStoreSong& s = *m_catalogue->song(songId);
        bool take = false;
        switch (type) {
        case Query::AllSongs: take = true; break;
        case Query::SongsOfAlbum: take = s.albumId == id && id > 0; break;
        case Query::SongsOfArtist: take = s.performerId == id && id > 0; break;
        case Query::RecentlyAddedSongs: take = s.added.isValid(); break;
        case Query::RecentlyPlayedSongs: take = s.accessed.isValid(); break;
        case Query::MostPlayedSongs: take = s.usage > 0; break;
        case Query::FavouriteSongs: take = s.favourite; break;
        case Query::NeverPlayedSongs: take = s.usage == 0; break;
        case Query::RecentlyDownloadedSongs:
            take = s.encodedBy == QLatin1String("Vaspe Music");
            break;
        case Query::SongsOfUnknownArtist: take = s.performerId == 0; break;
        case Query::SongsOfUnknownAlbum: take = s.albumId == 0; break;
        case Query::SongsOfArtistWithoutAlbum:
            take = s.performerId == id && id > 0 && s.albumId == 0;
            break;
        case Query::SongsWithoutAlbumAndArtist: take = s.performerId == 0 && s.albumId == 0; break;
        case Query::SongsOfAlbumByArtist:
            // An artist id below 1 stands for the album's songs without a performer.
            take = s.albumId == id && id > 0
                   && (secondId > 0 ? s.performerId == secondId : s.performerId == 0);
            break;
        default: break;
        }
        if (take)
            ids.append(songId);
    }
    sortSongs(&ids, type);
    return ids;
}

void MafwStoreRowBuilder::sortSongs(QVector<int>* ids, int type) const
{
    struct Item
    {
        const MafwStoreSong* song;
        const QCollatorSortKey* albumKey;
    };
    QVector<Item> items;
    switch (type) {
    case Query::SongsOfAlbum:
    case Query::SongsOfArtist:
    case Query::RecentlyAddedSongs:
    case Query::RecentlyPlayedSongs:
    case Query::MostPlayedSongs:
    case Query::SongsOfArtistWithoutAlbum:
    case Query::SongsOfAlbumByArtist:
        break;
    default:
        return; // title order already
    }
    items.reserve(ids->size());
    for (int id : qAsConst(*ids))
        items.append({ m_catalogue->song(id), m_catalogue->albumKey(id) });
    auto albumOrder = [](const Item& a, const Item& b) {
        if (a.song->discNumber != b.song->discNumber)
            return a.song->discNumber < b.song->discNumber;
        return a.song->trackNumber < b.song->trackNumber;
    };
    switch (type) {
    case Query::SongsOfAlbum:
    case Query::SongsOfAlbumByArtist:
        std::stable_sort(items.begin(), items.end(), albumOrder);
        break;
    case Query::SongsOfArtist:
    case Query::SongsOfArtistWithoutAlbum:
        std::stable_sort(items.begin(), items.end(), [albumOrder](const Item& a, const Item& b) {
            const bool noAlbumA = a.song->albumId == 0, noAlbumB = b.song->albumId == 0;
            if (noAlbumA != noAlbumB)
                return noAlbumB;
            if (a.song->albumId != b.song->albumId) {
                const int order = a.albumKey && b.albumKey ? a.albumKey->compare(*b.albumKey)
                                                           : a.song->album.compare(b.song->album);
                return order != 0 ? order < 0 : a.song->albumId < b.song->albumId;
            }
            return albumOrder(a, b);
        });
        break;
    case Query::RecentlyAddedSongs:
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.song->added > b.song->added;
        });
        break;
    case Query::RecentlyPlayedSongs:
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.song->accessed > b.song->accessed;
        });
        break;
    case Query::MostPlayedSongs:
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.song->usage > b.song->usage;
        });
        break;
    default:
        break;
    }
    for (int i = 0; i < items.size(); ++i)
        (*ids)[i] = items.at(i).song->id;
}

QVector<MafwStoreRow> MafwStoreRowBuilder::rows(int type, int id, int secondId, int maxRows,
                                                int* total) const
{
    switch (family(type)) {
    case Songs: {
        if (type == Query::SongsOfPlaylistFile || type == Query::SongsOfUserPlaylist)
            return playlistSongRows(type, id, maxRows, total);
        const QVector<int> ids = songIds(type, id, secondId);
        return buildPrefix(ids.size(), maxRows, total,
                           [&](int i) { return songRow(*m_catalogue->song(ids.at(i))); });
    }
    case Albums:
        return albumRows(type, id, maxRows, total);
    case Artists:
        return artistRows(maxRows, total);
    case Playlists:
        return playlistRows(type, maxRows, total);
    case NoFamily:
        break;
    }
    if (total)
        *total = 0;
    return QVector<MafwStoreRow>();
}

QVector<MafwStoreRow> MafwStoreRowBuilder::pinnedRows(int type,
                                                      const QVector<MafwStoreRow>& pinned) const
{
    QVector<MafwStoreRow> out;
    out.reserve(pinned.size());
    for (const MafwStoreRow& p : pinned) {
        const MafwStoreSong* s = m_catalogue->song(p.songId);
        if (!s)
            continue;
        MafwStoreRow row = songRow(*s);
        row.key = p.key;
        // Playlist columns keep what the original row said.
        for (int c = row.cells.size(); c < p.cells.size(); ++c)
            row.cells.append(p.cells.at(c));
        out.append(row);
    }
    Q_UNUSED(type)
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
            MafwStoreRow row = songRow(*s);
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

QVector<MafwStoreRow> MafwStoreRowBuilder::albumRows(int type, int id, int maxRows,
                                                     int* total) const
{
    QHash<int, AlbumInfo> albums;
    QSet<int> wanted;
    for (const MafwStoreSong& s : m_catalogue->songs()) {
        if (!s.albumId)
            continue;
        AlbumInfo& a = albums[s.albumId];
        a.id = s.albumId;
        a.title = s.album;
        a.songs.append(&s);
        if ((type == Query::AlbumsOfArtist && s.performerId == id && id > 0)
            || (type == Query::AlbumsWithoutArtist && s.performerId == 0))
            wanted.insert(s.albumId);
    }
    QVector<const AlbumInfo*> list;
    for (const AlbumInfo& a : albums) {
        if (type == Query::AllAlbums || type == Query::RecentlyAddedAlbums || wanted.contains(a.id))
            list.append(&a);
    }
    auto added = [](const AlbumInfo* a) {
        QDateTime newest;
        for (const MafwStoreSong* s : a->songs) {
            if (!newest.isValid() || s->added > newest)
                newest = s->added;
        }
        return newest;
    };
    const MafwStoreCatalogue* c = m_catalogue;
    auto titleLess = [c](const AlbumInfo* a, const AlbumInfo* b) {
        const int order = c->compareText(a->title, b->title);
        return order != 0 ? order < 0 : a->id < b->id;
    };
    if (type == Query::RecentlyAddedAlbums) {
        QHash<int, QDateTime> newest;
        for (const AlbumInfo* a : qAsConst(list))
            newest.insert(a->id, added(a));
        std::sort(list.begin(), list.end(), [&](const AlbumInfo* a, const AlbumInfo* b) {
            const QDateTime ta = newest.value(a->id), tb = newest.value(b->id);
            return ta != tb ? ta > tb : titleLess(a, b);
        });
    } else {
        std::sort(list.begin(), list.end(), titleLess);
    }
    return buildPrefix(list.size(), maxRows, total, [&](int i) {
        const AlbumInfo* a = list.at(i);
        QVector<const MafwStoreSong*> songs = a->songs;
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
        for (const MafwStoreSong* s : qAsConst(songs)) {
            const QString name = s->performer.isEmpty() ? m_unknownArtist : s->performer;
            performers.append(name);
            distinct.insert(name);
            songIds.append(QString::number(s->id));
            length += s->duration;
            if (s->created.isValid() && (!year.isValid() || s->created < year))
                year = s->created;
        }
        MafwStoreRow row;
        row.key = QString::number(a->id);
        row.cells = { a->id,
                      a->title,
                      timeOrNull(added(a)),
                      performers.join(Tab),
                      distinct.size(),
                      timeOrNull(year),
                      length,
                      songIds.join(Tab),
                      songs.size() };
        return row;
    });
}

QVector<MafwStoreRow> MafwStoreRowBuilder::artistRows(int maxRows, int* total) const
{
    struct ArtistInfo
    {
        int id = 0;
        QString name;
        int songs = 0;
        QVector<const MafwStoreSong*> albumSongs; // one song per album
        QSet<int> albums;
    };
    QHash<int, ArtistInfo> artists;
    for (const MafwStoreSong& s : m_catalogue->songs()) {
        if (!s.performerId)
            continue;
        ArtistInfo& a = artists[s.performerId];
        a.id = s.performerId;
        a.name = s.performer;
        ++a.songs;
        if (s.albumId && !a.albums.contains(s.albumId)) {
            a.albums.insert(s.albumId);
            a.albumSongs.append(&s);
        }
    }
    QVector<const ArtistInfo*> list;
    list.reserve(artists.size());
    for (const ArtistInfo& a : artists)
        list.append(&a);
    const MafwStoreCatalogue* c = m_catalogue;
    std::sort(list.begin(), list.end(), [c](const ArtistInfo* a, const ArtistInfo* b) {
        const int order = c->compareText(a->name, b->name);
        return order != 0 ? order < 0 : a->id < b->id;
    });
    return buildPrefix(list.size(), maxRows, total, [&](int i) {
        const ArtistInfo* a = list.at(i);
        QVector<const MafwStoreSong*> albumSongs = a->albumSongs;
        std::sort(albumSongs.begin(), albumSongs.end(),
                  [c](const MafwStoreSong* x, const MafwStoreSong* y) {
                      const int order = c->compareText(x->album, y->album);
                      return order != 0 ? order < 0 : x->albumId < y->albumId;
                  });
        QStringList titles;
        for (const MafwStoreSong* s : qAsConst(albumSongs))
            titles.append(s->album);
        MafwStoreRow row;
        row.key = QString::number(a->id);
        row.cells = { a->id, a->name, titles.join(Tab), albumSongs.size(),
                      albumSongs.isEmpty() ? 0 : albumSongs.first()->albumId, a->songs };
        return row;
    });
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
        std::sort(list.begin(), list.end(), [](const MafwStorePlaylist* a, const MafwStorePlaylist* b) {
            return a->added != b->added ? a->added > b->added : a->id > b->id;
        });
    } else {
        std::sort(list.begin(), list.end(), [c, name](const MafwStorePlaylist* a, const MafwStorePlaylist* b) {
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
        row.key = QString::number(p->id);
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
            out += songIds(Query::SongsOfAlbum, id, 0);
        break;
    case Items::ArtistItems:
        for (int id : ids)
            out += songIds(Query::SongsOfArtist, id, 0);
        break;
    case Items::SongsWithoutAlbum:
        out = songIds(Query::SongsOfUnknownAlbum, 0, 0);
        break;
    case Items::SongsWithoutArtist:
        out = songIds(Query::SongsOfUnknownArtist, 0, 0);
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
            out.append(songIds(type, 0, 0));
        return out;
    }
    for (int id : ids) {
        QVector<int> songs;
        switch (type) {
        case Query::AllAlbums:
        case Query::AlbumsOfArtist:
        case Query::RecentlyAddedAlbums:
        case Query::AlbumsWithoutArtist:
            songs = songIds(Query::SongsOfAlbum, id, 0);
            break;
        case Query::AllArtists:
            songs = songIds(Query::SongsOfArtist, id, 0);
            break;
        case Query::UnknownAlbumOfArtist:
            songs = id > 0 ? songIds(Query::SongsOfArtistWithoutAlbum, id, 0)
                           : songIds(Query::SongsWithoutAlbumAndArtist, 0, 0);
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
    for (const MafwStoreSong& s : m_catalogue->songs()) {
        if (artistId > 0 ? s.performerId == artistId : s.performerId == 0) {
            ++*count;
            *seconds += s.duration;
        }
    }
}
