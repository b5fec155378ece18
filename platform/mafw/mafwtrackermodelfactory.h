#ifndef MAFWTRACKERMODELFACTORY_H
#define MAFWTRACKERMODELFACTORY_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QStringList>
#include <QVector>

#include <functional>

#include "mafwtrackermodel.h"

class MafwStoreCatalogue;
class MafwStoreRowBuilder;
class MafwTrackerConnection;
class TrackerFileIndexer;
struct MafwStoreChanges;

// Builds the library's list models by query type over the embedded store, deletes items,
// creates playlists and hands out the store connection. init() opens the store, reads the
// library (the first songs in title order, then the rest) and, once the first songs are read,
// starts the file indexer of the music folder. libraryReadable() follows as soon as the first songs
// are there, so that lists can show them; initCompleted() once, besides, the indexer's first scan
// knows whether the folder has changed (or after a few seconds), so that the connection's indexing
// status then tells a start with files to index from one without.
class MafwTrackerModelFactory : public QObject
{
    Q_OBJECT

public:
    // The kind of ids of a playlist request.
    enum PlaylistItemType {
        SongItems = 0,
        AlbumItems = 1,
        ArtistItems = 2,
        SongsWithoutAlbum = 3, // with the single id -1
        SongsWithoutArtist = 4 // with the single id -1
    };

    // batchSize: the most rows a model inserts in one step.
    MafwTrackerModelFactory(const QString& unknownAlbumText, const QString& unknownArtistText,
                            int batchSize, QObject* parent = nullptr);
    ~MafwTrackerModelFactory() override;

    // Test hooks: make init() report failure (as an unusable store would); keep the file
    // indexer from starting (the environment variable PARLOVANCE_NO_INDEXER=1 does the same),
    // looked at once the library's first songs are read: it holds until the factory is ready.
    static void setFailInitForTesting(bool fail);
    static void setIndexerEnabled(bool enabled);
    // How long initCompleted() waits for the first scan (a few seconds unless told).
    static void setFirstScanWaitForTesting(int ms);

    void init();
    bool isReady() const;
    // The first songs are read: models can be made and show rows (initCompleted may follow).
    bool isLibraryReadable() const;

    // A new model that the caller owns, or null for a type that is no list. rowCount: the
    // first batch (0: every row at once; for types 3, 4, 5 and 301 a real limit).
    MafwTrackerModel* getModel(MafwTrackerModel::QueryType type, int rowCount, int id);
    // Type 17: the songs of an album by one artist (artistId < 1: by no artist).
    MafwTrackerModel* getModel(MafwTrackerModel::QueryType type, int rowCount, int albumId,
                               int artistId);
    // An independent model holding the given row (-1: every row of the model's query) from
    // now on; it completes later. Null when the model cannot be copied.
    MafwTrackerModel* copyModel(const QSharedPointer<MafwTrackerModel>& model, int row);

    // Removes the items (and their files) from the library; deletionFinished() follows once.
    // An empty list means the whole set only for 10, 11 and 13.
    void deleteItems(const QList<int>& ids, MafwTrackerModel::QueryType type);
    // A new user playlist with the songs the items stand for.
    void createPlaylist(const QString& name, PlaylistItemType type, QList<int> ids);
    // Type 1: the song count and total seconds of an artist, later, as
    // receiver->slot(int count, int seconds).
    void requestSupplementaryQuery(const QObject* receiver, const char* slot,
                                   MafwTrackerModel::SupplementaryQueryType type, int id);

    MafwTrackerConnection* trackerConnection() const;

    // For the models.
    MafwStoreCatalogue* catalogue() const;
    const MafwStoreRowBuilder& rowBuilder() const;
    int batchSize() const;
    bool setFavourite(int songId, bool favourite);
    void appendToPlaylist(int playlistId, int itemType, const QList<int>& ids);
    void removePlaylistEntries(int playlistId, const QStringList& entries);
    void modelCompleted(MafwTrackerModel::QueryType type);

signals:
    // Once, before initCompleted(true); a store that cannot be opened has only
    // initCompleted(false).
    void libraryReadable();
    void initCompleted(bool success);
    void unknownArtistCountChanged(bool unknownArtists);
    void unknownAlbumsCountChanged(bool unknownAlbums);
    void deletionFinished(int deletedCount, int failedCount);

private slots:
    void storeOpened(bool success);
    void catalogueLoaded();
    void firstScanKnown();
    void catalogueCompleted();
    void libraryChanged(const MafwStoreChanges& changes);

private:
    void startIndexer();
    void announceReady();
    // Runs work that needs every song at once, or once the library has been read whole.
    bool deferUntilComplete(std::function<void()> work);

    QString playlistEntriesUpdate(const QString& playlistIri, const QVector<int>& songs,
                                  int firstPosition) const;
    void writeUpdate(const QString& sparql, const char* what);

    QString m_unknownAlbumText;
    QString m_unknownArtistText;
    int m_batchSize;
    bool m_initStarted = false;
    bool m_ready = false;
    bool m_scanKnown = false;
    QPointer<TrackerFileIndexer> m_scanWait;
    bool m_unknownArtists = false;
    bool m_unknownAlbums = false;
    MafwTrackerConnection* m_connection = nullptr;
    MafwStoreCatalogue* m_catalogue = nullptr;
    MafwStoreRowBuilder* m_builder = nullptr;
    QVector<std::function<void()>> m_deferred;
};

#endif // MAFWTRACKERMODELFACTORY_H
