#ifndef MAFWSTORECATALOGUE_H
#define MAFWSTORECATALOGUE_H

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QStringList>
#include <QVector>

#include <functional>

#include "mafwstorerowbuilder.h"

struct TrackerChangeEvent;
class MafwStoreCollator;
class QTimer;

// One song as the models show it. The names of its performer and album are the texts every
// song of that performer or album shares.
struct MafwStoreSong
{
    int id = 0;
    int performerId = 0;
    int albumId = 0;
    int discNumber = 0;
    int trackNumber = 0;
    int duration = 0;
    int usage = 0;
    bool favourite = false;
    bool downloaded = false; // encoded by the player's own downloader
    QString iri;
    QString title;
    QString url;
    QString performer;
    QString album;
    QString genre;
    QDateTime created;
    QDateTime accessed;
    QDateTime added;
};

// One playlist: a user's own (no url) or a playlist file.
struct MafwStorePlaylist
{
    struct Entry
    {
        QString iri;
        QString url;
        int position = 0;
    };
    int id = 0;
    QString iri;
    QString title;
    QString url;
    QString fileName;
    QDateTime added;
    QVector<Entry> entries;
    bool isFile() const { return !url.isEmpty(); }
};

// What one refresh of the catalogue changed, by tracker:id.
struct MafwStoreChanges
{
    QSet<int> songsAdded;
    QSet<int> songsRemoved;
    QSet<int> songsChanged;
    QSet<int> songsAccessed; // play count or last access changed
    QSet<int> songsUnfavourited;
    QSet<int> albumsRemoved;
    QSet<int> playlistsRemoved;
    bool playlistsChanged = false;
    // Every changed or removed song as it was before.
    QHash<int, MafwStoreSong> before;
    bool isEmpty() const
    {
        return songsAdded.isEmpty() && songsRemoved.isEmpty() && songsChanged.isEmpty()
               && albumsRemoved.isEmpty() && playlistsRemoved.isEmpty() && !playlistsChanged;
    }
};

// The library as the list models see it. It is read from the store in two steps: the first
// songs in title order (loaded(), so that a list can show them at once), then everything
// (completed()). From then on it follows the store's change notifications, reading again only
// the resources that changed (changed()).
class MafwStoreCatalogue : public QObject
{
    Q_OBJECT

public:
    explicit MafwStoreCatalogue(QObject* parent = nullptr);
    ~MafwStoreCatalogue() override;

    // Reads the library (asynchronously); loaded() and completed() follow.
    void load();
    // The first songs are there.
    bool isLoaded() const;
    // Every song is there.
    bool isComplete() const;
    // How many songs the first step reads.
    static int firstSongCount();

    const QHash<int, MafwStoreSong>& songs() const { return m_songs; }
    const QHash<int, MafwStorePlaylist>& playlists() const { return m_playlists; }
    const MafwStoreSong* song(int id) const;
    const MafwStoreSong* songByUrl(const QString& url) const;
    const MafwStorePlaylist* playlist(int id) const;
    // Every song id in title order (ties by id), the store's own order; the first songs only
    // until the catalogue is complete.
    const QVector<int>& titleOrder() const;
    // The order of titleOrder(): negative, 0 or positive.
    int compareTitles(const MafwStoreSong& a, const MafwStoreSong& b) const;
    // Texts (album titles, names) in the store's collation.
    int compareText(const QString& a, const QString& b) const;
    // The songs of an album or a performer, in no particular order (id 0: none).
    QVector<int> songsOfAlbum(int albumId) const;
    QVector<int> songsOfArtist(int artistId) const;
    // Every album and performer that has songs.
    QList<int> albumIds() const;
    QList<int> artistIds() const;

    bool hasSongsWithoutArtist() const;
    bool hasSongsWithoutAlbum() const;

    // Lists of the whole library made on the read thread as it is read, from a read-only
    // catalogue of what was read, by query type: the lists that wait for the whole library
    // take them when it arrives instead of building and sorting rows on the window's thread.
    // Set before load(); the function must only read the catalogue it is given.
    struct Prepared
    {
        QVector<MafwStoreRow> rows; // the first rows of the list, or all of them
        int total = 0;              // the rows of the whole list
    };
    using Preparation = std::function<QHash<int, Prepared>(const MafwStoreCatalogue&)>;
    void setWholeLibraryPreparation(const Preparation& prepare);
    // The rows prepared for a type (ids 0) while the library is as it was read whole, for a
    // while after; null otherwise.
    const Prepared* preparedRows(int type) const;

    // Reads the given songs again at once (after a write that may not be notified, or failed).
    void refreshSongs(const QSet<int>& ids);
    // Marks or unmarks a song as a favourite at once, ahead of the store's own notice of the
    // write; changed() follows within the call.
    void setFavourite(int id, bool favourite);

signals:
    void loaded();
    void completed();
    void changed(const MafwStoreChanges& changes);

private slots:
    void storeChanged(const QVector<TrackerChangeEvent>& events);
    void refresh();
    void dropPrepared();

private:
    struct Result;
    // A read-only catalogue of a whole-library read, for the read thread: it shares the
    // read's tables and follows nothing.
    explicit MafwStoreCatalogue(const Result& library);
    void readFirstSongs();
    void readEverything();
    void firstSongsRead(const QSharedPointer<Result>& result);
    void everythingRead(const QSharedPointer<Result>& result);
    void resourcesRead(const QSharedPointer<Result>& result);
    void takeNames(const Result& result);
    void insertSong(MafwStoreSong song);
    void removeSong(int id);
    void index(const MafwStoreSong& song, bool add);
    void reorder(const QSet<int>& gone, QVector<int> fresh);
    void applySongs(const Result& result, MafwStoreChanges* changes);
    void applyPlaylists(const Result& result, MafwStoreChanges* changes);
    void dropDeleted(Result* result) const;
    void applyDeletions(MafwStoreChanges* changes);
    void finishRead();
    int refreshDelay() const;
    int readLimit() const;

    QHash<int, MafwStoreSong> m_songs;
    QHash<QString, int> m_songsByUrl;
    QHash<int, MafwStorePlaylist> m_playlists;
    QHash<int, QString> m_artistNames;
    QHash<int, QString> m_albumTitles;
    QHash<int, QVector<int>> m_albumSongs;
    QHash<int, QVector<int>> m_artistSongs;
    int m_withoutAlbum = 0;
    int m_withoutArtist = 0;
    QVector<int> m_titleOrder;
    // Resources to read again (tracker:id to IRI) and resources the store deleted.
    QHash<int, QString> m_pending;
    QSet<int> m_pendingDeleted;
    QSet<int> m_reading; // asked in the read under way
    // Playlists changed lately (by tracker:id), with the time of their last change.
    QHash<int, qint64> m_playlistTouched;
    QElapsedTimer m_clock;
    bool m_loaded = false;
    bool m_complete = false;
    bool m_busy = false;
    bool m_indexing = false; // the indexer is writing what it found
    QTimer* m_delay = nullptr;
    QTimer* m_playlistDelay = nullptr;
    MafwStoreCollator* m_collator;
    Preparation m_prepare;
    QHash<int, Prepared> m_prepared;
};

Q_DECLARE_METATYPE(MafwStoreChanges)

#endif // MAFWSTORECATALOGUE_H
