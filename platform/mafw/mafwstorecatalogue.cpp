#include "mafwstorecatalogue.h"

#include "mafwlogging.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <QCollator>
#include <QDebug>
#include <QTimer>

#include <algorithm>

namespace {

// Change notifications come in bursts (one per written batch); one read per burst.
const int RefreshDelayMs = 30;
// Past this many changed resources one whole read is cheaper than a filtered one.
const int WholeReadThreshold = 400;

const char* const SongColumns
    = "SELECT ?song tracker:id(?song) ?title ?url ?fileName tracker:id(?perf) ?artist "
      "tracker:id(?album) ?albumTitle ?disc ?track ?duration ?genre ?created ?usage ?accessed "
      "?added ?encodedBy EXISTS { ?song nao:hasTag nao:predefined-tag-favorite } "
      "WHERE { ?song a nmm:MusicPiece ; nie:url ?url ; nfo:fileName ?fileName ; nie:title ?title ; "
      "nfo:duration ?duration ; tracker:added ?added . "
      "OPTIONAL { ?song nmm:performer ?perf . ?perf nmm:artistName ?artist } "
      "OPTIONAL { ?song nmm:musicAlbum ?album . ?album nie:title ?albumTitle } "
      "OPTIONAL { ?song nmm:musicAlbumDisc ?d . ?d nmm:setNumber ?disc } "
      "OPTIONAL { ?song nmm:trackNumber ?track } OPTIONAL { ?song nfo:genre ?genre } "
      "OPTIONAL { ?song nie:contentCreated ?created } OPTIONAL { ?song nie:usageCounter ?usage } "
      "OPTIONAL { ?song nie:contentAccessed ?accessed } OPTIONAL { ?song nfo:encodedBy ?encodedBy } ";

const char* const PlaylistQuery
    = "SELECT ?pl tracker:id(?pl) ?title ?url ?fileName ?added WHERE { ?pl a nmm:Playlist . "
      "OPTIONAL { ?pl nie:title ?title } OPTIONAL { ?pl nie:url ?url } "
      "OPTIONAL { ?pl nfo:fileName ?fileName } OPTIONAL { ?pl tracker:added ?added } }";

const char* const EntryQuery
    = "SELECT tracker:id(?pl) ?e ?entryUrl ?position WHERE { ?pl a nmm:Playlist ; "
      "nfo:hasMediaFileListEntry ?e . ?e nfo:entryUrl ?entryUrl . "
      "OPTIONAL { ?e nfo:listPosition ?position } }";

QCollator makeCollator()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

// Sorts song ids by their title keys; made for the reading thread and the GUI thread alike.
QVector<int> sortedByTitle(const QHash<int, QCollatorSortKey>& keys)
{
    struct Item
    {
        const QCollatorSortKey* key;
        int id;
    };
    QVector<Item> items;
    items.reserve(keys.size());
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        items.append({ &it.value(), it.key() });
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        const int order = a.key->compare(*b.key);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    QVector<int> ids;
    ids.reserve(items.size());
    for (const Item& item : qAsConst(items))
        ids.append(item.id);
    return ids;
}

bool sameSong(const MafwStoreSong& a, const MafwStoreSong& b)
{
    return a.iri == b.iri && a.title == b.title && a.url == b.url && a.fileName == b.fileName
           && a.performerId == b.performerId && a.performer == b.performer
           && a.albumId == b.albumId && a.album == b.album && a.discNumber == b.discNumber
           && a.trackNumber == b.trackNumber && a.duration == b.duration && a.genre == b.genre
           && a.created == b.created && a.usage == b.usage && a.accessed == b.accessed
           && a.added == b.added && a.encodedBy == b.encodedBy && a.favourite == b.favourite;
}

bool samePlaylist(const MafwStorePlaylist& a, const MafwStorePlaylist& b)
{
    if (a.iri != b.iri || a.title != b.title || a.url != b.url || a.fileName != b.fileName
        || a.added != b.added || a.entries.size() != b.entries.size())
        return false;
    for (int i = 0; i < a.entries.size(); ++i) {
        if (a.entries.at(i).iri != b.entries.at(i).iri || a.entries.at(i).url != b.entries.at(i).url)
            return false;
    }
    return true;
}

} // namespace

struct MafwStoreCatalogue::Collation
{
    QCollator collator = makeCollator();
};

struct MafwStoreCatalogue::ReadResult
{
    bool ok = true;
    bool whole = false;
    QSet<int> asked;
    QSet<qint64> deleted;
    QHash<int, MafwStoreSong> songs;
    QHash<int, QCollatorSortKey> titleKeys;
    QHash<int, QCollatorSortKey> albumKeys;
    QVector<int> titleOrder; // whole reads only
    bool playlistsRead = false;
    QHash<int, MafwStorePlaylist> playlists;
};

MafwStoreCatalogue::MafwStoreCatalogue(QObject* parent)
    : QObject(parent)
    , m_collation(new Collation)
{
    qRegisterMetaType<MafwStoreChanges>();
    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(RefreshDelayMs);
    connect(m_delay, &QTimer::timeout, this, &MafwStoreCatalogue::refresh);
    connect(TrackerStore::instance(), &TrackerStore::changesNotified, this,
            &MafwStoreCatalogue::storeChanged);
}

MafwStoreCatalogue::~MafwStoreCatalogue()
{
    delete m_collation;
}

void MafwStoreCatalogue::load()
{
    m_pendingWhole = true;
    if (!m_reading)
        refresh();
}

bool MafwStoreCatalogue::isLoaded() const
{
    return m_loaded;
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

const QCollatorSortKey* MafwStoreCatalogue::titleKey(int songId) const
{
    const auto it = m_titleKeys.constFind(songId);
    return it == m_titleKeys.cend() ? nullptr : &it.value();
}

const QCollatorSortKey* MafwStoreCatalogue::albumKey(int songId) const
{
    const auto it = m_albumKeys.constFind(songId);
    return it == m_albumKeys.cend() ? nullptr : &it.value();
}

const QVector<int>& MafwStoreCatalogue::titleOrder() const
{
    if (m_titleOrderDirty) {
        m_titleOrder = sortedByTitle(m_titleKeys);
        m_titleOrderDirty = false;
    }
    return m_titleOrder;
}

int MafwStoreCatalogue::compareText(const QString& a, const QString& b) const
{
    return m_collation->collator.compare(a, b);
}

bool MafwStoreCatalogue::hasSongsWithoutArtist() const
{
    for (const MafwStoreSong& s : m_songs) {
        if (s.performerId == 0)
            return true;
    }
    return false;
}

bool MafwStoreCatalogue::hasSongsWithoutAlbum() const
{
    for (const MafwStoreSong& s : m_songs) {
        if (s.albumId == 0)
            return true;
    }
    return false;
}

void MafwStoreCatalogue::refreshSongs(const QSet<int>& ids)
{
    m_pendingIds.unite(ids);
    if (!m_reading)
        m_delay->start(0);
}

void MafwStoreCatalogue::storeChanged(const QVector<TrackerChangeEvent>& events)
{
    for (const TrackerChangeEvent& event : events) {
        m_pendingIds.insert(int(event.id));
        if (event.type == TrackerChangeEvent::Deleted)
            m_pendingDeleted.insert(event.id);
    }
    if (!m_reading && !m_delay->isActive())
        m_delay->start();
}

void MafwStoreCatalogue::refresh()
{
    if (m_reading)
        return;
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    if (!connection)
        return;
    auto result = QSharedPointer<ReadResult>::create();
    result->whole = m_pendingWhole || !m_loaded || m_pendingIds.size() > WholeReadThreshold;
    result->asked = m_pendingIds;
    result->deleted = m_pendingDeleted;
    m_pendingIds.clear();
    m_pendingDeleted.clear();
    m_pendingWhole = false;
    m_reading = true;

    QString songQuery = QString::fromLatin1(SongColumns);
    if (!result->whole) {
        QStringList ids;
        ids.reserve(result->asked.size());
        for (int id : qAsConst(result->asked))
            ids.append(QString::number(id));
        songQuery += QStringLiteral("FILTER(tracker:id(?song) IN (%1)) ").arg(ids.join(QLatin1Char(',')));
    }
    songQuery += QLatin1Char('}');

    TrackerQueryRunner::postRead(
        this,
        [connection, result, songQuery] {
            const TrackerQueryResult songs = TrackerQueryRunner::select(connection, songQuery, 19);
            if (!songs.ok) {
                qCWarning(lcModels)
                    << Q_FUNC_INFO << "- cannot read the songs:" << songs.errorMessage;
                result->ok = false;
            }
            QCollator collator = makeCollator();
            QHash<QString, QCollatorSortKey> albumKeys; // many songs, few albums
            for (const QStringList& row : songs.rows) {
                MafwStoreSong s;
                s.iri = row.at(0);
                s.id = row.at(1).toInt();
                s.title = row.at(2);
                s.url = row.at(3);
                s.fileName = row.at(4);
                s.performerId = row.at(5).toInt();
                s.performer = row.at(6);
                s.albumId = row.at(7).toInt();
                s.album = row.at(8);
                s.discNumber = row.at(9).toInt();
                s.trackNumber = row.at(10).toInt();
                s.duration = row.at(11).toInt();
                s.genre = row.at(12);
                s.created = TrackerSparql::parseTime(row.at(13));
                s.usage = row.at(14).toInt();
                s.accessed = TrackerSparql::parseTime(row.at(15));
                s.added = TrackerSparql::parseTime(row.at(16));
                s.encodedBy = row.at(17);
                s.favourite = row.at(18) == QLatin1String("true");
                result->titleKeys.insert(s.id, collator.sortKey(s.title));
                auto albumKey = albumKeys.constFind(s.album);
                if (albumKey == albumKeys.cend())
                    albumKey = albumKeys.insert(s.album, collator.sortKey(s.album));
                result->albumKeys.insert(s.id, albumKey.value());
                result->songs.insert(s.id, s);
            }
            if (result->whole)
                result->titleOrder = sortedByTitle(result->titleKeys);
            const TrackerQueryResult playlists
                = TrackerQueryRunner::select(connection, QString::fromLatin1(PlaylistQuery), 6);
            const TrackerQueryResult entries
                = TrackerQueryRunner::select(connection, QString::fromLatin1(EntryQuery), 4);
            if (playlists.ok && entries.ok) {
                result->playlistsRead = true;
                for (const QStringList& row : playlists.rows) {
                    MafwStorePlaylist p;
                    p.iri = row.at(0);
                    p.id = row.at(1).toInt();
                    p.title = row.at(2);
                    p.url = row.at(3);
                    p.fileName = row.at(4);
                    p.added = TrackerSparql::parseTime(row.at(5));
                    result->playlists.insert(p.id, p);
                }
                for (const QStringList& row : entries.rows) {
                    auto it = result->playlists.find(row.at(0).toInt());
                    if (it == result->playlists.end())
                        continue;
                    MafwStorePlaylist::Entry entry;
                    entry.iri = row.at(1);
                    entry.url = row.at(2);
                    entry.position = row.at(3).isNull() ? it->entries.size() : row.at(3).toInt();
                    it->entries.append(entry);
                }
                for (auto it = result->playlists.begin(); it != result->playlists.end(); ++it) {
                    std::stable_sort(it->entries.begin(), it->entries.end(),
                                     [](const MafwStorePlaylist::Entry& a,
                                        const MafwStorePlaylist::Entry& b) {
                                         return a.position < b.position;
                                     });
                }
            } else {
                qCWarning(lcModels)
                    << Q_FUNC_INFO << "- cannot read the playlists:"
                    << (playlists.ok ? entries.errorMessage : playlists.errorMessage);
            }
            // Released here, not on delivery: a catalogue gone by then must not keep the
            // database open.
            TrackerQueryRunner::releaseConnection(connection);
        },
        [this, result] { finishRefresh(result); });
}

void MafwStoreCatalogue::finishRefresh(const QSharedPointer<ReadResult>& result)
{
    m_reading = false;
    MafwStoreChanges changes;
    if (result->ok) {
        applySongs(result->songs, result->asked, result->whole, &changes);
        if (result->whole) {
            m_titleKeys = result->titleKeys;
            m_albumKeys = result->albumKeys;
            m_titleOrder = result->titleOrder;
            m_titleOrderDirty = false;
        } else {
            for (auto it = result->titleKeys.cbegin(); it != result->titleKeys.cend(); ++it)
                m_titleKeys.insert(it.key(), it.value());
            for (auto it = result->albumKeys.cbegin(); it != result->albumKeys.cend(); ++it)
                m_albumKeys.insert(it.key(), it.value());
            if (!changes.songsAdded.isEmpty() || !changes.songsRemoved.isEmpty()
                || !changes.songsChanged.isEmpty())
                m_titleOrderDirty = true;
        }
    }
    if (result->playlistsRead)
        applyPlaylists(result->playlists, &changes);
    for (qint64 id : qAsConst(result->deleted)) {
        if (m_albumIds.remove(int(id)))
            changes.albumsRemoved.insert(int(id));
    }
    const bool first = !m_loaded;
    m_loaded = true;
    if (first) {
        emit loaded();
    } else if (!changes.isEmpty()) {
        emit changed(changes);
    }
    if (!m_pendingIds.isEmpty() || m_pendingWhole)
        m_delay->start();
}

void MafwStoreCatalogue::applySongs(const QHash<int, MafwStoreSong>& fresh, const QSet<int>& asked,
                                    bool whole, MafwStoreChanges* changes)
{
    auto removeSong = [this, changes](int id) {
        const auto it = m_songs.find(id);
        if (it == m_songs.end())
            return;
        m_songsByUrl.remove(it->url);
        m_songs.erase(it);
        m_titleKeys.remove(id);
        m_albumKeys.remove(id);
        changes->songsRemoved.insert(id);
    };
    if (whole) {
        const QList<int> known = m_songs.keys();
        for (int id : known) {
            if (!fresh.contains(id))
                removeSong(id);
        }
    } else {
        for (int id : asked) {
            if (!fresh.contains(id))
                removeSong(id);
        }
    }
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it) {
        const MafwStoreSong& s = it.value();
        if (s.albumId)
            m_albumIds.insert(s.albumId);
        const auto old = m_songs.find(s.id);
        if (old == m_songs.end()) {
            changes->songsAdded.insert(s.id);
        } else {
            if (sameSong(*old, s))
                continue;
            changes->songsChanged.insert(s.id);
            if (old->usage != s.usage || old->accessed != s.accessed)
                changes->songsAccessed.insert(s.id);
            if (old->favourite && !s.favourite)
                changes->songsUnfavourited.insert(s.id);
            if (old->url != s.url)
                m_songsByUrl.remove(old->url);
        }
        m_songs.insert(s.id, s);
        m_songsByUrl.insert(s.url, s.id);
    }
}

void MafwStoreCatalogue::applyPlaylists(const QHash<int, MafwStorePlaylist>& fresh,
                                        MafwStoreChanges* changes)
{
    for (auto it = m_playlists.cbegin(); it != m_playlists.cend(); ++it) {
        if (!fresh.contains(it.key())) {
            changes->playlistsRemoved.insert(it.key());
            changes->playlistsChanged = true;
        }
    }
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it) {
        const auto old = m_playlists.constFind(it.key());
        if (old == m_playlists.cend() || !samePlaylist(old.value(), it.value()))
            changes->playlistsChanged = true;
    }
    m_playlists = fresh;
}
