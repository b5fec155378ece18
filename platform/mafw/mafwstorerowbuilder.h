#ifndef MAFWSTOREROWBUILDER_H
#define MAFWSTOREROWBUILDER_H

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <iterator>
#include <string_view>

class MafwStoreCatalogue;
struct MafwStoreSong;

// One row of a tracker model. A song row holds only its song (its cells are read from the
// catalogue when asked for), so that a list of the whole library costs a few bytes a song;
// the rows of albums, artists and playlists hold their cells.
struct MafwStoreRow
{
    QString key;             // playlist songs: the entry; empty otherwise
    int id = 0;              // the song, album, artist or playlist the row shows
    QVector<QVariant> cells; // songs: the playlist columns; others: every cell

    bool isSameItem(const MafwStoreRow& other) const { return id == other.id && key == other.key; }
};
// Its members are relocatable: a list of rows moves them by memory copies, not one by one.
Q_DECLARE_TYPEINFO(MafwStoreRow, Q_MOVABLE_TYPE);

// Turns the catalogue into the rows of a query type, in the column layout shared by every
// model of a family (songs, albums, artists, playlists), and tells where a song or an item
// belongs, so that a list can follow a change without being computed again.
class MafwStoreRowBuilder
{
public:
    enum Family { NoFamily, Songs, Albums, Artists, Playlists };
    // The columns every song row has, by header, in their order: the one list of the song
    // layout. The models' headers, the count, and so where the playlist columns of a
    // playlist's songs ("playlistId", and "entryPosition" for a user playlist) begin all follow
    // it; songCell() serves each column by its header. A new column goes at the end, so that
    // every column before it keeps its number.
    static constexpr std::string_view SongHeaders[] = {
        "songUri",   "songTitle",   "artistName",   "albumName", "songLength",
        "favorited", "genre",       "year",         "songId",    "albumId",
        "artistId",  "trackNumber", "usageCounter", "added",     "url",
    };
    static constexpr int SongColumnCount = int(std::size(SongHeaders));
    // Where a song column stands, by its header; -1 when no song column has it.
    static constexpr int songColumn(std::string_view header)
    {
        for (int column = 0; column < SongColumnCount; ++column) {
            if (SongHeaders[column] == header)
                return column;
        }
        return -1;
    }

    MafwStoreRowBuilder(const MafwStoreCatalogue* catalogue, const QString& unknownAlbumText,
                        const QString& unknownArtistText);

    static Family family(int type);
    static QStringList headers(int type);
    // Types whose row count argument is a real limit rather than the first batch.
    static bool limitIsFinal(int type);
    // Song types whose order is plain title order: their first rows are the first songs of
    // the catalogue's title order.
    static bool isTitleOrdered(int type);

    // The rows of the query, at most maxRows of them (all when maxRows < 0); total receives
    // the number of rows of the whole result.
    QVector<MafwStoreRow> rows(int type, int id, int secondId, int maxRows, int* total) const;
    // The rows of fixed songs (a copy of another model): the songs that still exist, in order.
    QVector<MafwStoreRow> pinnedRows(const QVector<MafwStoreRow>& pinned) const;

    // A cell of a song row, the column counted among SongHeaders; nothing past them.
    QVariant songCell(const MafwStoreSong& song, int column) const;

    // Whether a song is in the list of a song type, and the order of that list.
    static bool songBelongs(int type, int id, int secondId, const MafwStoreSong& song);
    int compareSongs(int type, const MafwStoreSong& a, const MafwStoreSong& b) const;
    // The row of an album or artist (key: its id) in the list of the type; false when the item
    // is not in that list. And the order of those lists.
    bool itemRow(int type, int id, int key, MafwStoreRow* row) const;
    int compareItems(int type, const MafwStoreRow& a, const MafwStoreRow& b) const;

    // The songs an item of a playlist request stands for: 0 song ids, 1 album ids, 2 artist
    // ids, 3 the songs without album, 4 the songs without artist.
    QVector<int> songsOfItems(int itemType, const QList<int>& ids) const;
    // The songs that a deletion of these items removes, per item.
    QVector<QVector<int>> songsToDelete(int type, const QList<int>& ids) const;
    // Song count and total seconds of an artist's songs (id < 1: songs without artist).
    void artistTotals(int artistId, int* count, int* seconds) const;

private:
    QVector<int> songIds(int type, int id, int secondId, int maxRows, int* total) const;
    QVector<MafwStoreRow> playlistSongRows(int type, int playlistId, int maxRows, int* total) const;
    QVector<MafwStoreRow> itemRows(int type, int id, int maxRows, int* total) const;
    QVector<MafwStoreRow> playlistRows(int type, int maxRows, int* total) const;
    // performerId >= 0: length, song ids and count are of that performer's songs alone (0:
    // the songs without one); the other columns describe the whole album.
    MafwStoreRow albumRow(int albumId, int performerId = -1) const;
    MafwStoreRow artistRow(int artistId) const;

    const MafwStoreCatalogue* m_catalogue;
    QString m_unknownAlbum;
    QString m_unknownArtist;
};

#endif // MAFWSTOREROWBUILDER_H
