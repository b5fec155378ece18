#include "mafwstorecatalogue.h"

#include "mafwgallop.h"
#include "mafwlogging.h"
#include "mafwstorecollator.h"
#include "mafwstorereader.h"
#include "trackerfileindexer.h"
#include "trackerqueryrunner.h"
#include "trackerstore.h"

#include <QDebug>
#include <QTimer>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Change notifications come in bursts (one per written batch); one read per burst.
const int RefreshDelayMs = 30;
// While the indexer writes the library, one read at most this often, and less often the more
// songs the lists hold: every read costs the lists that follow the catalogue a pass of their
// own (the latest albums, their covers, the sorted lists' moves), which grows with the
// library, so reading after each written batch made a first index cost the window's thread
// time growing with the square of the library. A large library is then shown growing every
// second or so.
const int IndexingRefreshDelayMs = 400;
const int IndexingRefreshMsPerThousandSongs = 20;
const int IndexingRefreshLongestMs = 2000;
// Resources read again in one go; more wait for the next read. While the indexer writes, a
// read takes up to a share of the songs already held: an index writes faster than reads of a
// fixed size follow it, so they went back to back, their number grew with the library and so
// did the pass each costs the sorted lists, the time growing with the square of the library.
const int ResourcesPerRead = 2000;
const int IndexingReadShareOfSongs = 4; // a quarter
// How long the lists made on the read thread are kept for lists made after the library came.
const int PreparedRowsKeptMs = 10000;
// The songs the first step reads: a screen of rows and more.
const int FirstSongs = 50;
// A playlist that is being written (a long playlist file goes in batches) is read again once
// it has been still this long, not after every batch.
const int PlaylistQuietMs = 500;

bool sameSong(const MafwStoreSong& a, const MafwStoreSong& b)
{
    return a.iri == b.iri && a.title == b.title && a.url == b.url && a.performerId == b.performerId
           && a.albumId == b.albumId && a.discNumber == b.discNumber
           && a.trackNumber == b.trackNumber && a.duration == b.duration && a.genre == b.genre
           && a.created == b.created && a.usage == b.usage && a.accessed == b.accessed
           && a.added == b.added && a.downloaded == b.downloaded && a.favourite == b.favourite;
}

bool samePlaylist(const MafwStorePlaylist& a, const MafwStorePlaylist& b)
{
    if (a.iri != b.iri || a.title != b.title || a.url != b.url || a.fileName != b.fileName
        || a.added != b.added || a.entries.size() != b.entries.size())
        return false;
    for (int i = 0; i < a.entries.size(); ++i) {
        if (a.entries.at(i).iri != b.entries.at(i).iri
            || a.entries.at(i).url != b.entries.at(i).url)
            return false;
    }
    return true;
}

// The text already held, when a new read gave the same one.
void keepSameText(QString* read, const QString& held)
{
    if (*read == held)
        *read = held;
}

void removeOne(QVector<int>* list, int value)
{
    const int at = list->indexOf(value);
    if (at >= 0)
        list->remove(at);
}

} // namespace

struct MafwStoreCatalogue::Result : MafwStoreReader::Result
{
    // The catalogue's tables of a whole-library read, made on the read thread from songs
    // (which is then empty): taken in whole, they cost the window's thread nothing per song.
    bool tabled = false;
    QHash<int, MafwStoreSong> songTable;
    QHash<QString, int> songsByUrl;
    QHash<int, QVector<int>> albumSongs;
    QHash<int, QVector<int>> artistSongs;
    int withoutAlbum = 0;
    int withoutArtist = 0;
    QVector<int> titleOrder;
    QHash<int, MafwStoreCatalogue::Prepared> prepared;

    void makeTables()
    {
        songTable.reserve(songs.size());
        songsByUrl.reserve(songs.size());
        titleOrder.reserve(songs.size());
        for (MafwStoreSong& s : songs) {
            // The names every song of the performer and the album share.
            s.performer = artistNames.value(s.performerId);
            s.album = albumTitles.value(s.albumId);
            const auto old = songTable.constFind(s.id);
            if (old != songTable.cend()) {
                unindex(*old);
                if (old->url != s.url)
                    songsByUrl.remove(old->url);
            }
            songTable.insert(s.id, s);
            songsByUrl.insert(s.url, s.id);
            if (s.albumId > 0)
                albumSongs[s.albumId].append(s.id);
            else
                ++withoutAlbum;
            if (s.performerId > 0)
                artistSongs[s.performerId].append(s.id);
            else
                ++withoutArtist;
            titleOrder.append(s.id);
        }
        songs.clear();
        songs.squeeze();
        tabled = true;
    }

private:
    void unindex(const MafwStoreSong& s)
    {
        if (s.albumId > 0)
            removeOne(&albumSongs[s.albumId], s.id);
        else
            --withoutAlbum;
        if (s.performerId > 0)
            removeOne(&artistSongs[s.performerId], s.id);
        else
            --withoutArtist;
    }
};

MafwStoreCatalogue::MafwStoreCatalogue(QObject* parent)
    : QObject(parent)
    , m_collator(new MafwStoreCollator)
{
    qRegisterMetaType<MafwStoreChanges>();
    m_clock.start();
    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(RefreshDelayMs);
    connect(m_delay, &QTimer::timeout, this, &MafwStoreCatalogue::refresh);
    m_playlistDelay = new QTimer(this);
    m_playlistDelay->setSingleShot(true);
    connect(m_playlistDelay, &QTimer::timeout, this, &MafwStoreCatalogue::refresh);
    connect(TrackerStore::instance(), &TrackerStore::changesNotified, this,
            &MafwStoreCatalogue::storeChanged);
    TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
    connect(indexer, &TrackerFileIndexer::indexingStarted, this, [this] { m_indexing = true; });
    // What the last batches wrote is read at once: the index has ended, the lists catch up.
    connect(indexer, &TrackerFileIndexer::indexingFinished, this, [this] {
        m_indexing = false;
        if (m_delay->isActive())
            m_delay->start(0);
    });
}

MafwStoreCatalogue::MafwStoreCatalogue(const Result& library)
    : m_collator(new MafwStoreCollator)
{
    m_songs = library.songTable;
    m_songsByUrl = library.songsByUrl;
    m_playlists = library.playlists;
    m_artistNames = library.artistNames;
    m_albumTitles = library.albumTitles;
    m_albumSongs = library.albumSongs;
    m_artistSongs = library.artistSongs;
    m_withoutAlbum = library.withoutAlbum;
    m_withoutArtist = library.withoutArtist;
    m_titleOrder = library.titleOrder;
    m_loaded = true;
    m_complete = true;
}

MafwStoreCatalogue::~MafwStoreCatalogue()
{
    delete m_collator;
}

int MafwStoreCatalogue::firstSongCount()
{
    return FirstSongs;
}

void MafwStoreCatalogue::load()
{
    if (m_loaded || m_busy)
        return;
    m_busy = true;
    // The rest is read once the first songs are there: the two would share the store and the
    // processors, and the first songs are what the user waits for.
    readFirstSongs();
}

void MafwStoreCatalogue::readFirstSongs()
{
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    auto result = QSharedPointer<Result>::create();
    TrackerQueryRunner::postRead(
        this,
        [connection, result] {
            static_cast<MafwStoreReader::Result&>(*result) = MafwStoreReader::firstSongs(
                connection, FirstSongs);
            // Released here, not on delivery: a catalogue gone by then must not keep the
            // database open.
            TrackerQueryRunner::releaseConnection(connection);
        },
        [this, result] { firstSongsRead(result); });
}

void MafwStoreCatalogue::setWholeLibraryPreparation(const Preparation& prepare)
{
    m_prepare = prepare;
}

void MafwStoreCatalogue::dropPrepared()
{
    if (!m_prepared.isEmpty())
        m_prepared.clear();
}

const MafwStoreCatalogue::Prepared* MafwStoreCatalogue::preparedRows(int type) const
{
    const auto it = m_prepared.constFind(type);
    return it == m_prepared.cend() ? nullptr : &it.value();
}

void MafwStoreCatalogue::readEverything()
{
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    auto result = QSharedPointer<Result>::create();
    const Preparation prepare = m_prepare;
    TrackerQueryRunner::postRead(
        this,
        [connection, result, prepare] {
            static_cast<MafwStoreReader::Result&>(*result) = MafwStoreReader::everything(
                connection);
            TrackerQueryRunner::releaseConnection(connection);
            result->makeTables();
            if (prepare && result->ok) {
                // The copy shares the read's tables and is gone before they are handed over,
                // so the window's thread takes them unshared.
                const MafwStoreCatalogue library(*result);
                result->prepared = prepare(library);
            }
        },
        [this, result] { everythingRead(result); });
}

bool MafwStoreCatalogue::isLoaded() const
{
    return m_loaded;
}

bool MafwStoreCatalogue::isComplete() const
{
    return m_complete;
}

const MafwStoreSong* MafwStoreCatalogue::song(int id) const
{
    const auto it = m_songs.constFind(id);
    return it == m_songs.cend() ? nullptr : &it.value();
}

const MafwStoreSong* MafwStoreCatalogue::songByUrl(const QString& url) const
{
    const auto it = m_songsByUrl.constFind(url);
    return it == m_songsByUrl.cend() ? nullptr : song(it.value());
}

const MafwStorePlaylist* MafwStoreCatalogue::playlist(int id) const
{
    const auto it = m_playlists.constFind(id);
    return it == m_playlists.cend() ? nullptr : &it.value();
}

const QVector<int>& MafwStoreCatalogue::titleOrder() const
{
    return m_titleOrder;
}

int MafwStoreCatalogue::compareTitles(const MafwStoreSong& a, const MafwStoreSong& b) const
{
    const int order = m_collator->compare(a.title, b.title);
    if (order != 0)
        return order;
    return a.id < b.id ? -1 : (a.id > b.id ? 1 : 0);
}

int MafwStoreCatalogue::compareText(const QString& a, const QString& b) const
{
    return m_collator->compare(a, b);
}

QVector<int> MafwStoreCatalogue::songsOfAlbum(int albumId) const
{
    if (albumId > 0)
        return m_albumSongs.value(albumId);
    QVector<int> none;
    for (const MafwStoreSong& s : m_songs) {
        if (s.albumId == 0)
            none.append(s.id);
    }
    return none;
}

QVector<int> MafwStoreCatalogue::songsOfArtist(int artistId) const
{
    if (artistId > 0)
        return m_artistSongs.value(artistId);
    QVector<int> none;
    for (const MafwStoreSong& s : m_songs) {
        if (s.performerId == 0)
            none.append(s.id);
    }
    return none;
}

QList<int> MafwStoreCatalogue::albumIds() const
{
    QList<int> ids;
    for (auto it = m_albumSongs.cbegin(); it != m_albumSongs.cend(); ++it) {
        if (!it->isEmpty())
            ids.append(it.key());
    }
    return ids;
}

QList<int> MafwStoreCatalogue::artistIds() const
{
    QList<int> ids;
    for (auto it = m_artistSongs.cbegin(); it != m_artistSongs.cend(); ++it) {
        if (!it->isEmpty())
            ids.append(it.key());
    }
    return ids;
}

bool MafwStoreCatalogue::hasSongsWithoutArtist() const
{
    return m_withoutArtist > 0;
}

bool MafwStoreCatalogue::hasSongsWithoutAlbum() const
{
    return m_withoutAlbum > 0;
}

void MafwStoreCatalogue::takeNames(const Result& result)
{
    // A name read again stays the text that the songs of its artist or album already share:
    // a new copy would be held by each song changed since, beside the old one of the others.
    auto take = [](QHash<int, QString>* names, const QHash<int, QString>& read) {
        for (auto it = read.cbegin(); it != read.cend(); ++it) {
            const auto held = names->constFind(it.key());
            if (held == names->cend() || held.value() != it.value())
                names->insert(it.key(), it.value());
        }
    };
    take(&m_artistNames, result.artistNames);
    take(&m_albumTitles, result.albumTitles);
}

void MafwStoreCatalogue::index(const MafwStoreSong& song, bool add)
{
    if (song.albumId > 0) {
        if (add)
            m_albumSongs[song.albumId].append(song.id);
        else
            removeOne(&m_albumSongs[song.albumId], song.id);
    } else {
        m_withoutAlbum += add ? 1 : -1;
    }
    if (song.performerId > 0) {
        if (add)
            m_artistSongs[song.performerId].append(song.id);
        else
            removeOne(&m_artistSongs[song.performerId], song.id);
    } else {
        m_withoutArtist += add ? 1 : -1;
    }
}

void MafwStoreCatalogue::insertSong(MafwStoreSong song)
{
    dropPrepared();
    // The names every song of the performer and the album share.
    song.performer = m_artistNames.value(song.performerId);
    song.album = m_albumTitles.value(song.albumId);
    const auto old = m_songs.find(song.id);
    if (old != m_songs.end()) {
        index(*old, false);
        if (old->url != song.url)
            m_songsByUrl.remove(old->url);
        // A song read again (a play count, a mark) keeps the texts it had where they are the
        // same: the table by URL keeps its old key, so a second copy of the URL stayed for
        // every song ever played.
        keepSameText(&song.iri, old->iri);
        keepSameText(&song.title, old->title);
        keepSameText(&song.url, old->url);
        keepSameText(&song.genre, old->genre);
        *old = song;
    } else {
        m_songs.insert(song.id, song);
    }
    m_songsByUrl.insert(song.url, song.id);
    index(song, true);
}

void MafwStoreCatalogue::removeSong(int id)
{
    dropPrepared();
    const auto it = m_songs.find(id);
    if (it == m_songs.end())
        return;
    index(*it, false);
    m_songsByUrl.remove(it->url);
    m_songs.erase(it);
}

void MafwStoreCatalogue::firstSongsRead(const QSharedPointer<Result>& result)
{
    readEverything();
    takeNames(*result);
    for (const MafwStoreSong& s : qAsConst(result->songs)) {
        insertSong(s);
        m_titleOrder.append(s.id);
    }
    m_loaded = true;
    emit loaded();
}

void MafwStoreCatalogue::everythingRead(const QSharedPointer<Result>& result)
{
    if (!result->ok)
        qCWarning(lcModels) << Q_FUNC_INFO << "- the library could not be read whole";
    // Whatever the first step showed, this is the library now.
    m_songs.swap(result->songTable);
    m_songsByUrl.swap(result->songsByUrl);
    m_albumSongs.swap(result->albumSongs);
    m_artistSongs.swap(result->artistSongs);
    m_withoutAlbum = result->withoutAlbum;
    m_withoutArtist = result->withoutArtist;
    m_titleOrder.swap(result->titleOrder);
    m_artistNames = result->artistNames;
    m_albumTitles = result->albumTitles;
    m_playlists = result->playlists;
    m_busy = false;
    m_complete = true;
    m_prepared.swap(result->prepared);
    if (!m_loaded) {
        m_loaded = true;
        emit loaded();
    }
    emit completed();
    // Lists made a little later (the pages built after the first one, what follows deletions)
    // take them too; they are dropped at the first change of the library, and after a while.
    if (!m_prepared.isEmpty())
        QTimer::singleShot(PreparedRowsKeptMs, this, &MafwStoreCatalogue::dropPrepared);
    finishRead();
    // The read's own copies of the library (rows as the store sent them, the reader threads'
    // tables) are freed once this delivery returns; the allocator keeps such memory for the
    // process unless told, which at a start on a large library is as much as the library
    // itself. Once, after the start: later reads are small.
    QTimer::singleShot(0, this, [] {
#ifdef __GLIBC__
        malloc_trim(0);
#endif
    });
}

int MafwStoreCatalogue::refreshDelay() const
{
    if (!m_indexing)
        return RefreshDelayMs;
    return qMin(IndexingRefreshLongestMs,
                IndexingRefreshDelayMs
                    + int(m_songs.size() / 1000) * IndexingRefreshMsPerThousandSongs);
}

int MafwStoreCatalogue::readLimit() const
{
    if (!m_indexing)
        return ResourcesPerRead;
    return qMax(ResourcesPerRead, int(m_songs.size()) / IndexingReadShareOfSongs);
}

void MafwStoreCatalogue::refreshSongs(const QSet<int>& ids)
{
    for (int id : ids) {
        if (const MafwStoreSong* s = song(id))
            m_pending.insert(id, s->iri);
    }
    if (!m_busy && m_complete)
        m_delay->start(0);
}

void MafwStoreCatalogue::setFavourite(int id, bool favourite)
{
    const auto it = m_songs.find(id);
    if (it == m_songs.end() || it->favourite == favourite)
        return;
    dropPrepared();
    MafwStoreChanges changes;
    changes.before.insert(id, *it);
    changes.songsChanged.insert(id);
    if (!favourite)
        changes.songsUnfavourited.insert(id);
    it->favourite = favourite;
    emit changed(changes);
}

void MafwStoreCatalogue::storeChanged(const QVector<TrackerChangeEvent>& events)
{
    for (const TrackerChangeEvent& event : events) {
        const int id = int(event.id);
        if (event.type == TrackerChangeEvent::Deleted) {
            m_pending.remove(id);
            m_playlistTouched.remove(id);
            m_pendingDeleted.insert(id);
        } else {
            m_pendingDeleted.remove(id);
            m_pending.insert(id, event.urn);
            if (m_playlists.contains(id))
                m_playlistTouched.insert(id, m_clock.elapsed());
        }
    }
    if (!m_busy && m_complete && !m_delay->isActive())
        m_delay->start(refreshDelay());
}

void MafwStoreCatalogue::refresh()
{
    if (m_busy || !m_complete || (m_pending.isEmpty() && m_pendingDeleted.isEmpty()))
        return;
    QHash<int, QString> asked;
    const int limit = readLimit();
    const qint64 now = m_clock.elapsed();
    qint64 wait = -1;
    // The oldest first: what an index writes comes with rising ids, and the reader reads ids
    // that follow one another as one range.
    QVector<int> ids;
    ids.reserve(m_pending.size());
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        ids.append(it.key());
    std::sort(ids.begin(), ids.end());
    for (int id : qAsConst(ids)) {
        if (asked.size() >= limit)
            break;
        const auto touched = m_playlistTouched.constFind(id);
        if (touched != m_playlistTouched.cend() && now - touched.value() < PlaylistQuietMs) {
            const qint64 left = PlaylistQuietMs - (now - touched.value());
            wait = wait < 0 ? left : qMin(wait, left);
            continue;
        }
        m_playlistTouched.remove(id);
        asked.insert(id, m_pending.take(id));
    }
    if (wait >= 0)
        m_playlistDelay->start(int(wait) + 1);
    if (asked.isEmpty()) {
        // Only deletions: nothing to read.
        MafwStoreChanges changes;
        applyDeletions(&changes);
        if (!changes.isEmpty())
            emit changed(changes);
        return;
    }
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    if (!connection)
        return;
    m_busy = true;
    m_reading = QSet<int>();
    for (auto it = asked.cbegin(); it != asked.cend(); ++it)
        m_reading.insert(it.key());
    auto result = QSharedPointer<Result>::create();
    TrackerQueryRunner::postRead(
        this,
        [connection, result, asked] {
            static_cast<MafwStoreReader::Result&>(*result) = MafwStoreReader::resources(connection,
                                                                                        asked);
            TrackerQueryRunner::releaseConnection(connection);
        },
        [this, result] { resourcesRead(result); });
}

void MafwStoreCatalogue::resourcesRead(const QSharedPointer<Result>& result)
{
    m_busy = false;
    dropDeleted(result.data());
    MafwStoreChanges changes;
    applyDeletions(&changes);
    if (result->ok) {
        takeNames(*result);
        applySongs(*result, &changes);
        applyPlaylists(*result, &changes);
    } else {
        // Read again later rather than take a failed read for vanished songs.
        for (int id : qAsConst(m_reading)) {
            if (const MafwStoreSong* s = song(id))
                m_pending.insert(id, s->iri);
        }
    }
    m_reading.clear();
    if (!changes.isEmpty())
        emit changed(changes);
    finishRead();
}

void MafwStoreCatalogue::finishRead()
{
    // Playlists still being written come back by a timer of their own.
    // More than one read's worth waiting (the index wrote faster than the lists read) goes
    // on at once, so the lists never fall further behind.
    if (m_pending.size() >= readLimit() + m_playlistTouched.size())
        m_delay->start(RefreshDelayMs);
    else if (m_pending.size() > m_playlistTouched.size() || !m_pendingDeleted.isEmpty())
        m_delay->start(refreshDelay());
    else if (!m_pending.isEmpty() && !m_playlistDelay->isActive())
        m_playlistDelay->start(PlaylistQuietMs);
}

void MafwStoreCatalogue::dropDeleted(Result* result) const
{
    // The read may have found a resource before the store deleted it, the deletion being
    // notified while the read was under way: the deletion is the newer news and must not be
    // undone by the read's row.
    if (m_pendingDeleted.isEmpty())
        return;
    auto deleted = [this](const MafwStoreSong& s) { return m_pendingDeleted.contains(s.id); };
    result->songs.erase(std::remove_if(result->songs.begin(), result->songs.end(), deleted),
                        result->songs.end());
    for (int id : m_pendingDeleted) {
        result->playlists.remove(id);
        result->artistNames.remove(id);
        result->albumTitles.remove(id);
    }
}

void MafwStoreCatalogue::applyDeletions(MafwStoreChanges* changes)
{
    QSet<int> gone;
    for (int id : qAsConst(m_pendingDeleted)) {
        if (const MafwStoreSong* s = song(id)) {
            changes->before.insert(id, *s);
            changes->songsRemoved.insert(id);
            removeSong(id);
            gone.insert(id);
        }
        if (m_playlists.remove(id)) {
            changes->playlistsRemoved.insert(id);
            changes->playlistsChanged = true;
        }
        if (m_albumTitles.remove(id)) {
            m_albumSongs.remove(id);
            changes->albumsRemoved.insert(id);
        }
        m_artistNames.remove(id);
    }
    m_pendingDeleted.clear();
    if (!gone.isEmpty())
        reorder(gone, QVector<int>());
}

void MafwStoreCatalogue::applySongs(const Result& result, MafwStoreChanges* changes)
{
    QSet<int> fresh;
    QSet<int> gone;
    QVector<int> placed;
    for (const MafwStoreSong& s : result.songs) {
        fresh.insert(s.id);
        const MafwStoreSong* old = song(s.id);
        if (!old) {
            changes->songsAdded.insert(s.id);
            insertSong(s);
            placed.append(s.id);
            continue;
        }
        MafwStoreSong named = s;
        named.performer = m_artistNames.value(s.performerId);
        named.album = m_albumTitles.value(s.albumId);
        if (sameSong(*old, named))
            continue;
        changes->songsChanged.insert(s.id);
        changes->before.insert(s.id, *old);
        if (old->usage != s.usage || old->accessed != s.accessed)
            changes->songsAccessed.insert(s.id);
        if (old->favourite && !s.favourite)
            changes->songsUnfavourited.insert(s.id);
        if (old->title != s.title) {
            gone.insert(s.id);
            placed.append(s.id);
        }
        insertSong(s);
    }
    // Songs asked for that the store no longer has as songs.
    for (int id : qAsConst(m_reading)) {
        if (fresh.contains(id) || !m_songs.contains(id))
            continue;
        changes->before.insert(id, m_songs.value(id));
        changes->songsRemoved.insert(id);
        removeSong(id);
        gone.insert(id);
    }
    if (!gone.isEmpty() || !placed.isEmpty())
        reorder(gone, placed);
}

void MafwStoreCatalogue::reorder(const QSet<int>& gone, QVector<int> fresh)
{
    if (!gone.isEmpty()) {
        m_titleOrder.erase(std::remove_if(m_titleOrder.begin(), m_titleOrder.end(),
                                          [&gone](int id) { return gone.contains(id); }),
                           m_titleOrder.end());
    }
    if (fresh.isEmpty())
        return;
    // Read-only lookups: operator[] would detach-check and could add a song at every step.
    const MafwStoreSong none;
    auto songOf = [this, &none](int id) -> const MafwStoreSong& {
        const auto it = m_songs.constFind(id);
        return it != m_songs.cend() ? it.value() : none;
    };
    auto less = [this, &songOf](int a, int b) { return compareTitles(songOf(a), songOf(b)) < 0; };
    std::sort(fresh.begin(), fresh.end(), less);
    // Each new song finds its place searching on from the place of the one before; the order
    // is then copied once.
    QVector<int> merged;
    merged.reserve(m_titleOrder.size() + fresh.size());
    auto from = m_titleOrder.cbegin();
    for (int id : qAsConst(fresh)) {
        const auto at = gallopLowerBound(from, m_titleOrder.cend(), id, less);
        std::copy(from, at, std::back_inserter(merged));
        merged.append(id);
        from = at;
    }
    std::copy(from, m_titleOrder.cend(), std::back_inserter(merged));
    m_titleOrder = merged;
}

void MafwStoreCatalogue::applyPlaylists(const Result& result, MafwStoreChanges* changes)
{
    for (int id : qAsConst(m_reading)) {
        if (m_playlists.contains(id) && !result.playlists.contains(id)) {
            m_playlists.remove(id);
            // A playlist file whose folder is away leaves the lists but is not deleted.
            if (!result.unavailablePlaylists.contains(id))
                changes->playlistsRemoved.insert(id);
            changes->playlistsChanged = true;
        }
    }
    for (auto it = result.playlists.cbegin(); it != result.playlists.cend(); ++it) {
        const auto old = m_playlists.constFind(it.key());
        if (old == m_playlists.cend() || !samePlaylist(old.value(), it.value())) {
            m_playlists.insert(it.key(), it.value());
            changes->playlistsChanged = true;
        }
    }
}
