#ifndef MAFWSTORECATALOGUE_H
#define MAFWSTORECATALOGUE_H

#include <QCollatorSortKey>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSharedPointer>
#include <QStringList>
#include <QVector>

struct TrackerChangeEvent;
class QTimer;

// One song as the models show it.
struct MafwStoreSong
{
    int id = 0;
    QString iri;
    QString title;
    QString url;
    QString fileName;
    int performerId = 0;
    QString performer;
    int albumId = 0;
    QString album;
    int discNumber = 0;
    int trackNumber = 0;
    int duration = 0;
    QString genre;
    QDateTime created;
    int usage = 0;
    QDateTime accessed;
    QDateTime added;
    QString encodedBy;
    bool favourite = false;
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
    QSet<int> songsAccessed;    // play count or last access changed
    QSet<int> songsUnfavourited;
    QSet<int> albumsRemoved;
    QSet<int> playlistsRemoved;
    bool playlistsChanged = false;
    bool isEmpty() const
    {
        return songsAdded.isEmpty() && songsRemoved.isEmpty() && songsChanged.isEmpty()
               && albumsRemoved.isEmpty() && playlistsRemoved.isEmpty() && !playlistsChanged;
    }
};

// The library as the list models see it, read from the store once and then kept in step with
// the store's change notifications. Every model of the factory is computed from it, so all
// models agree with each other and answer at once; only the changed songs are read again.
class MafwStoreCatalogue : public QObject
{
    Q_OBJECT

public:
    explicit MafwStoreCatalogue(QObject* parent = nullptr);
    ~MafwStoreCatalogue() override;

    // Reads everything (asynchronously); loaded() follows.
    void load();
    bool isLoaded() const;

    const QHash<int, MafwStoreSong>& songs() const { return m_songs; }
    const QHash<int, MafwStorePlaylist>& playlists() const { return m_playlists; }
    const MafwStoreSong* song(int id) const;
    const MafwStoreSong* songByUrl(const QString& url) const;
    const MafwStorePlaylist* playlist(int id) const;
    // The title collation keys, made when a song is read.
    const QCollatorSortKey* titleKey(int songId) const;
    const QCollatorSortKey* albumKey(int songId) const;
    // Every song id, in title order (ties by id): the order most lists show.
    const QVector<int>& titleOrder() const;
    int compareText(const QString& a, const QString& b) const;

    bool hasSongsWithoutArtist() const;
    bool hasSongsWithoutAlbum() const;

    // Reads the given songs again at once (after a write that may not be notified, or failed).
    void refreshSongs(const QSet<int>& ids);

signals:
    void loaded();
    void changed(const MafwStoreChanges& changes);

private slots:
    void storeChanged(const QVector<TrackerChangeEvent>& events);
    void refresh();

private:
    struct ReadResult;
    void applySongs(const QHash<int, MafwStoreSong>& fresh, const QSet<int>& asked, bool whole,
                    MafwStoreChanges* changes);
    void applyPlaylists(const QHash<int, MafwStorePlaylist>& fresh, MafwStoreChanges* changes);
    void finishRefresh(const QSharedPointer<ReadResult>& result);

    QHash<int, MafwStoreSong> m_songs;
    QHash<QString, int> m_songsByUrl;
    QHash<int, MafwStorePlaylist> m_playlists;
    QHash<int, QCollatorSortKey> m_titleKeys;
    QHash<int, QCollatorSortKey> m_albumKeys;
    QSet<int> m_albumIds;
    mutable QVector<int> m_titleOrder;
    mutable bool m_titleOrderDirty = true;
    QSet<int> m_pendingIds;
    QSet<qint64> m_pendingDeleted;
    bool m_pendingWhole = false;
    bool m_loaded = false;
    bool m_reading = false;
    QTimer* m_delay = nullptr;
    struct Collation;
    Collation* m_collation;
};

Q_DECLARE_METATYPE(MafwStoreChanges)

#endif // MAFWSTORECATALOGUE_H
