#ifndef MAFWTRACKERMODEL_H
#define MAFWTRACKERMODEL_H

#include <QAbstractItemModel>
#include <QStringList>
#include <QVector>

#include <functional>

#include "mafwstorerowbuilder.h"

class MafwTrackerModelFactory;
struct MafwStoreChanges;

// A list of the library by query type, in the column layout of its family (songs, albums,
// artists, playlists). The first rows arrive after getModel() has returned, then completed();
// the model then follows the library, announcing every change row by row (never by a reset or
// a layout change, which the play queue's chain could not follow).
class MafwTrackerModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum QueryType {
        AllSongs = 0,
        SongsOfAlbum = 1,
        SongsOfArtist = 2,
        RecentlyAddedSongs = 3,
        RecentlyPlayedSongs = 4,
        MostPlayedSongs = 5,
        FavouriteSongs = 6,
        NeverPlayedSongs = 7,
        RecentlyDownloadedSongs = 8,
        SongsOfPlaylistFile = 9,
        SongsOfUnknownArtist = 10,
        SongsOfUnknownAlbum = 11,
        SongsOfArtistWithoutAlbum = 12,
        SongsWithoutAlbumAndArtist = 13,
        OneSong = 14,
        SongsOfUserPlaylist = 15,
        SongsOfAlbumByArtist = 17,
        AllAlbums = 100,
        AlbumsOfArtist = 101,
        RecentlyAddedAlbums = 102,
        AlbumsWithoutArtist = 103,
        AllArtists = 200,
        PlaylistFiles = 300,
        RecentPlaylists = 301,
        UserPlaylists = 302,
        NoList = 400,
        UnknownAlbumOfArtist = 401
    };
    Q_ENUM(QueryType)

    enum SupplementaryQueryType { NoSupplementaryQuery = 0, ArtistSongCountAndLength = 1 };
    Q_ENUM(SupplementaryQueryType)

    ~MafwTrackerModel() override;

    QueryType queryType() const;
    int queryId() const;

    // True once the model holds every row of its query (with a real limit: the limited rows).
    bool isComplete() const;
    bool isCompleted() const { return isComplete(); }
    // Loads the rows past the first batch; completed() follows. Harmless when complete.
    void fetchRemainingRows();
    // Announces the row as changed, so that views load its cover again.
    void requestAlbumArt(const QModelIndex& index);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // On the "favorited" column of a song row: marks or unmarks the song as a favourite in
    // the store. Other cells are read-only.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The column of a data key, -1 when the model has none.
    int columnOfKey(const QString& key) const;

signals:
    void completed();

protected:
    friend class MafwTrackerModelFactory;
    MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type, int limit, int id,
                     int secondId);
    // A copy: the given rows of another model, or (wholeQuery) every row of the query of the
    // given type, limit and ids once the library is read; fixed from now on (songs that
    // vanish still go).
    MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type,
                     const QVector<MafwStoreRow>& pinned);
    MafwTrackerModel(MafwTrackerModelFactory* factory, QueryType type, int limit, int id,
                     int secondId, bool wholeQuery);

    const QVector<MafwStoreRow>& rowsHeld() const { return m_rows; }
    MafwTrackerModelFactory* factory() const { return m_factory; }

private slots:
    void firstFill();
    void catalogueCompleted();
    void insertNextBatch();
    void libraryChanged(const MafwStoreChanges& changes);

private:
    void start();
    // Every row, or the first batch, of the query as the library stands; total receives the
    // number of rows of the whole result.
    QVector<MafwStoreRow> currentResult(int maxRows, int* total) const;
    // The query's rows as far as this model shows them: all, or the first ones.
    void refill();
    void applyRows(const QVector<MafwStoreRow>& rows);
    void finishFilling();
    // Holds only the first m_limit rows of its query.
    bool holdsFirstRowsOnly() const;
    void follow(const MafwStoreChanges& changes);
    // Follows a change row by row, without computing the list again.
    void followSongs(const MafwStoreChanges& changes);
    void followItems(const MafwStoreChanges& changes);
    void announceSongs(const QSet<int>& ids);
    void announceRows(QVector<int> rows);
    void removeRows(QVector<int> rows);
    void insertSorted(QVector<MafwStoreRow> fresh,
                      const std::function<int(const MafwStoreRow&, const MafwStoreRow&)>& compare);
    // The new rows of the list of every song, sorted, and their places among the rows held,
    // from the catalogue's title order; false when the rows held are not that order.
    bool placeInTitleOrder(QVector<MafwStoreRow>* fresh, QVector<int>* places) const;
    // Puts sorted new rows in at their places (ascending, among the rows held) in one pass.
    void mergeRows(QVector<MafwStoreRow> fresh, const QVector<int>& places);
    void trimToLimit();
    // The row shown at a place: while new rows go in, the rows held have a gap in them.
    const MafwStoreRow& shownRow(int row) const;

    MafwTrackerModelFactory* m_factory;
    const MafwStoreRowBuilder* m_builder;
    QueryType m_type;
    int m_limit;
    int m_id;
    int m_secondId;
    QStringList m_headers;
    int m_urlColumn = -1;
    int m_favouriteColumn = -1;
    bool m_pinnedMode = false;
    bool m_pinWholeQuery = false; // a copy of a whole query, taken once the library is read
    QVector<MafwStoreRow> m_pinned;
    QVector<MafwStoreRow> m_rows;
    QVector<MafwStoreRow> m_filling; // rows still to insert, batch by batch
    // While insertSorted() runs: m_gap unused places in m_rows, starting at m_gapAt.
    int m_gap = 0;
    int m_gapAt = 0;
    bool m_wantAll = false; // every row asked for (limit 0, or fetchRemainingRows)
    bool m_complete = false;
    bool m_completedSent = false;
    bool m_started = false;
    bool m_early = false;             // showing the library's first songs while it is read
    bool m_stale = false;             // the library changed while filling
    bool m_following = false;         // a change of the library is going in
    bool m_fetchWhenFollowed = false; // the rest asked for while it did
};

#endif // MAFWTRACKERMODEL_H
