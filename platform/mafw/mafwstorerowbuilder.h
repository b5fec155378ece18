#ifndef MAFWSTOREROWBUILDER_H
#define MAFWSTOREROWBUILDER_H

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class MafwStoreCatalogue;
struct MafwStoreSong;

// One row of a tracker model: a key that stays with the row while it exists (the song id, or
// the playlist entry for playlist songs, or the album, artist or playlist id), and its cells.
struct MafwStoreRow
{
    QString key;
    int songId = 0; // songs only: the song the row shows
    QVector<QVariant> cells;
};

// Turns the catalogue into the rows of a query type, in the column layout shared by every
// model of a family (songs, albums, artists, playlists).
class MafwStoreRowBuilder
{
public:
    enum Family { NoFamily, Songs, Albums, Artists, Playlists };

    MafwStoreRowBuilder(const MafwStoreCatalogue* catalogue, const QString& unknownAlbumText,
                        const QString& unknownArtistText);

    static Family family(int type);
    static QStringList headers(int type);
    // Types whose row count argument is a real limit rather than the first batch.
    static bool limitIsFinal(int type);

    // The rows of the query, at most maxRows of them (all when maxRows < 0); total receives
    // the number of rows of the whole result.
    QVector<MafwStoreRow> rows(int type, int id, int secondId, int maxRows, int* total) const;
    // Rows for fixed songs (a copy of another model): the songs that still exist, in order.
    QVector<MafwStoreRow> pinnedRows(int type, const QVector<MafwStoreRow>& pinned) const;

    // The songs an item of a playlist request stands for: 0 song ids, 1 album ids, 2 artist
    // ids, 3 the songs without album, 4 the songs without artist.
    QVector<int> songsOfItems(int itemType, const QList<int>& ids) const;
    // The songs that a deletion of these items removes, per item.
    QVector<QVector<int>> songsToDelete(int type, const QList<int>& ids) const;
    // Song count and total seconds of an artist's songs (id < 1: songs without artist).
    void artistTotals(int artistId, int* count, int* seconds) const;

private:
    QVector<int> songIds(int type, int id, int secondId) const;
    QVector<MafwStoreRow> playlistSongRows(int type, int playlistId, int maxRows, int* total) const;
    QVector<MafwStoreRow> albumRows(int type, int id, int maxRows, int* total) const;
    QVector<MafwStoreRow> artistRows(int maxRows, int* total) const;
    QVector<MafwStoreRow> playlistRows(int type, int maxRows, int* total) const;
    MafwStoreRow songRow(const MafwStoreSong& song) const;
    void sortSongs(QVector<int>* ids, int type) const;

    const MafwStoreCatalogue* m_catalogue;
    QString m_unknownAlbum;
    QString m_unknownArtist;
};

#endif // MAFWSTOREROWBUILDER_H
