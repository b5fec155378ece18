#include "mafwstorerowbuilder.h"

#include "mafwstorecatalogue.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

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
    if ((type >= 0 && type <= 15) || type == 17)
        return Songs;
    if (type >= 100 && type <= 103)
        return Albums;
    if (type == 200)
        return Artists;
    if (type >= 300 && type <= 302)
        return Playlists;
    return NoFamily;
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
        if (type == 9 || type == 15)
            h << QStringLiteral("playlistId");
        if (type == 15)
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
    return type == 5 || type == 301;
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
    if (type == 14)
        return m_catalogue->song(id) ? QVector<int>{ id } : QVector<int>();
    // Walking the songs in title order gives every list its title order for free; the lists
    // ordered otherwise sort stably on top of it.
    const QVector<int>& order = m_catalogue->titleOrder();
    QVector<int> ids;
    ids.reserve(type == 0 ? order.size() : 64);
    for (int songId : order) {
        const MafwStoreSong& s = *m_catalogue->song(songId);
        bool take = false;
        switch (type) {
        case 0: take = true; break;
        case 1: take = s.albumId == id && id > 0; break;
        case 2: take = s.performerId == id && id > 0; break;
        case 3: take = s.added.isValid(); break;
        case 4: take = s.accessed.isValid(); break;
        case 5: take = s.usage > 0; break;
        case 6: take = s.favourite; break;
        case 7: take = s.usage == 0; break;
        case 8: take = s.encodedBy == QLatin1String("Vaspe Music"); break;
        case 10: take = s.performerId == 0; break;
        case 11: take = s.albumId == 0; break;
        case 12: take = s.performerId == id && id > 0 && s.albumId == 0; break;
        case 13: take = s.performerId == 0 && s.albumId == 0; break;
        case 17:
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
    case 1: case 2: case 3: case 4: case 5: case 12: case 17:
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
    case 1:
    case 17:
        std::stable_sort(items.begin(), items.end(), albumOrder);
        break;
    case 2:
    case 12:
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
    case 3:
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.song->added > b.song->added;
        });
        break;
    case 4:
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.song->accessed > b.song->accessed;
        });
        break;
    case 5:
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
        if (type == 9 || type == 15)
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
    if (playlist && playlist->isFile() == (type == 9)) {
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
            if (type == 15)
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
        if ((type == 101 && s.performerId == id && id > 0) || (type == 103 && s.performerId == 0))
            wanted.insert(s.albumId);
    }
    QVector<const AlbumInfo*> list;
    for (const AlbumInfo& a : albums) {
        if (type == 100 || type == 102 || wanted.contains(a.id))
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
    if (type == 102) {
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
        if (type == 301 || (type == 300) == p.isFile())
            list.append(&p);
    }
    auto name = [](const MafwStorePlaylist* p) { return p->isFile() ? p->fileName : p->title; };
    const MafwStoreCatalogue* c = m_catalogue;
    if (type == 301) {
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
    case 0:
        for (int id : ids) {
            if (m_catalogue->song(id))
                out.append(id);
        }
        break;
    case 1:
        for (int id : ids)
            out += songIds(1, id, 0);
        break;
    case 2:
        for (int id : ids)
            out += songIds(2, id, 0);
        break;
    case 3:
        out = songIds(11, 0, 0);
        break;
    case 4:
        out = songIds(10, 0, 0);
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
        if (type == 10 || type == 11 || type == 13)
            out.append(songIds(type, 0, 0));
        return out;
    }
    for (int id : ids) {
        QVector<int> songs;
        switch (type) {
        case 100:
        case 101:
        case 102:
        case 103:
            songs = songIds(1, id, 0);
            break;
        case 200:
            songs = songIds(2, id, 0);
            break;
        case 401:
            songs = id > 0 ? songIds(12, id, 0) : songIds(13, 0, 0);
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
