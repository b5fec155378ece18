#include "mafwtrackermodelfactory.h"

#include "mafwlogging.h"
#include "mafwstorecatalogue.h"
#include "mafwstorerowbuilder.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackerplaylistmodel.h"
#include "trackerfileindexer.h"
#include "trackerindexworker.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <QDateTime>
#include <QDebug>
#include <QMetaMethod>
#include <QPointer>
#include <QTimer>

#include <cerrno>
#include <glib.h>
#include <unistd.h>

namespace {

bool failInit = false;
bool indexerEnabled = true;
// The first rows of a song list made with the whole library: the main page's lists show 50.
const int PreparedSongRows = 50;
// How long the start waits for the first scan to know whether the music folder has changed.
// Past it the start is announced anyway, with the scan counted as indexing.
int firstScanWaitMs = 3000;

QString idList(const QVector<int>& ids)
{
    QStringList list;
    list.reserve(ids.size());
    for (int id : ids)
        list.append(QString::number(id));
    return list.join(QLatin1Char(','));
}

// Deletes the file a stored URL names: exactly the bytes of its path, so a name that is not
// UTF-8 (kept percent-encoded in the URL) cannot turn into another file's name on the way. A
// file that is not there, or that cannot be removed, is a failure: its song comes back at the
// next scan, and the count of deleted items must not say otherwise.
bool removeFile(const QString& url)
{
    gchar* path = g_filename_from_uri(url.toUtf8().constData(), nullptr, nullptr);
    if (!path) {
        qCWarning(lcModels) << Q_FUNC_INFO << "- not a local file:" << url;
        return false;
    }
    const bool removed = ::unlink(path) == 0;
    if (!removed)
        qCWarning(lcModels) << Q_FUNC_INFO << "- cannot delete" << url << ":"
                            << qt_error_string(errno);
    g_free(path);
    return removed;
}

struct DeletionItem
{
    QVector<int> songs;
    QStringList urls;
    QString playlistIri;  // playlists only
    QString playlistFile; // playlist files only: the file's URL
};

} // namespace

MafwTrackerModelFactory::MafwTrackerModelFactory(const QString& unknownAlbumText,
                                                 const QString& unknownArtistText, int batchSize,
                                                 QObject* parent)
    : QObject(parent)
    , m_unknownAlbumText(unknownAlbumText)
    , m_unknownArtistText(unknownArtistText)
    , m_batchSize(batchSize > 0 ? batchSize : 2000)
{
    m_catalogue = new MafwStoreCatalogue(this);
    m_builder = new MafwStoreRowBuilder(m_catalogue, m_unknownAlbumText, m_unknownArtistText);
    // The lists that wait for the whole library then build and sort their rows: the latest
    // albums behind the main page and the artists a row for every album or artist, the song
    // lists of the main page their first rows out of every song. Made on the read thread.
    const QString unknownAlbum = m_unknownAlbumText;
    const QString unknownArtist = m_unknownArtistText;
    m_catalogue->setWholeLibraryPreparation([unknownAlbum,
                                             unknownArtist](const MafwStoreCatalogue& library) {
        const MafwStoreRowBuilder builder(&library, unknownAlbum, unknownArtist);
        QHash<int, MafwStoreCatalogue::Prepared> prepared;
        for (int type : { MafwTrackerModel::RecentlyAddedAlbums, MafwTrackerModel::AllArtists }) {
            MafwStoreCatalogue::Prepared& list = prepared[type];
            list.rows = builder.rows(type, 0, 0, -1, &list.total);
        }
        for (int type :
             { MafwTrackerModel::RecentlyAddedSongs, MafwTrackerModel::RecentlyPlayedSongs,
               MafwTrackerModel::MostPlayedSongs, MafwTrackerModel::FavouriteSongs,
               MafwTrackerModel::NeverPlayedSongs, MafwTrackerModel::RecentlyDownloadedSongs }) {
            MafwStoreCatalogue::Prepared& list = prepared[type];
            list.rows = builder.rows(type, 0, 0, PreparedSongRows, &list.total);
        }
        return prepared;
    });
    m_connection = new MafwTrackerConnection(this);
    connect(m_catalogue, &MafwStoreCatalogue::loaded, this,
            &MafwTrackerModelFactory::catalogueLoaded);
    connect(m_catalogue, &MafwStoreCatalogue::completed, this,
            &MafwTrackerModelFactory::catalogueCompleted);
    connect(m_catalogue, &MafwStoreCatalogue::changed, this,
            &MafwTrackerModelFactory::libraryChanged);
    connect(m_catalogue, &MafwStoreCatalogue::changed, m_connection,
            &MafwTrackerConnection::relayChanges);
}

MafwTrackerModelFactory::~MafwTrackerModelFactory()
{
    delete m_builder;
}

void MafwTrackerModelFactory::setFailInitForTesting(bool fail)
{
    failInit = fail;
}

void MafwTrackerModelFactory::setIndexerEnabled(bool enabled)
{
    indexerEnabled = enabled;
}

void MafwTrackerModelFactory::setFirstScanWaitForTesting(int ms)
{
    firstScanWaitMs = ms;
}

void MafwTrackerModelFactory::init()
{
    if (m_initStarted)
        return;
    m_initStarted = true;
    if (failInit) {
        qCWarning(lcModels) << Q_FUNC_INFO << "- told to fail";
        QMetaObject::invokeMethod(this, "initCompleted", Qt::QueuedConnection, Q_ARG(bool, false));
        return;
    }
    TrackerStore* store = TrackerStore::instance();
    connect(store, &TrackerStore::opened, this, &MafwTrackerModelFactory::storeOpened);
    store->openAsync();
}

void MafwTrackerModelFactory::storeOpened(bool success)
{
    disconnect(TrackerStore::instance(), &TrackerStore::opened, this,
               &MafwTrackerModelFactory::storeOpened);
    if (!success) {
        emit initCompleted(false);
        return;
    }
    m_catalogue->load();
}

void MafwTrackerModelFactory::startIndexer()
{
    if (indexerEnabled && qEnvironmentVariableIntValue("PARLOVANCE_NO_INDEXER") != 1) {
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        if (!indexer->isStarted()) {
            // The start is announced once the first scan knows whether it has work, so that
            // the connection's indexing status tells a start with files to index from one
            // without (the first scan either starts indexing or ends with nothing to do).
            m_scanWait = indexer;
            connect(indexer, &TrackerFileIndexer::indexingStarted, this,
                    &MafwTrackerModelFactory::firstScanKnown);
            connect(indexer, &TrackerFileIndexer::scanFinished, this,
                    &MafwTrackerModelFactory::firstScanKnown);
            QTimer::singleShot(firstScanWaitMs, this, &MafwTrackerModelFactory::firstScanKnown);
            indexer->start();
            return;
        }
        indexer->start();
    }
    m_scanKnown = true;
}

void MafwTrackerModelFactory::catalogueLoaded()
{
    m_unknownArtists = m_catalogue->hasSongsWithoutArtist();
    m_unknownAlbums = m_catalogue->hasSongsWithoutAlbum();
    // The rows need not wait for the scan: what it finds reaches the lists as changes.
    emit libraryReadable();
    // The scan reads every song's address from the store and walks the whole folder: begun
    // with the store, it took the processors and the store from the read of the first songs,
    // the very rows the user waits for.
    startIndexer();
    announceReady();
}

void MafwTrackerModelFactory::firstScanKnown()
{
    if (m_scanKnown)
        return;
    m_scanKnown = true;
    if (TrackerFileIndexer* indexer = m_scanWait.data()) {
        disconnect(indexer, &TrackerFileIndexer::indexingStarted, this,
                   &MafwTrackerModelFactory::firstScanKnown);
        disconnect(indexer, &TrackerFileIndexer::scanFinished, this,
                   &MafwTrackerModelFactory::firstScanKnown);
    }
    announceReady();
}

void MafwTrackerModelFactory::announceReady()
{
    if (m_ready || !m_scanKnown || !m_catalogue->isLoaded())
        return;
    m_ready = true;
    emit initCompleted(true);
}

void MafwTrackerModelFactory::catalogueCompleted()
{
    m_unknownArtists = m_catalogue->hasSongsWithoutArtist();
    m_unknownAlbums = m_catalogue->hasSongsWithoutAlbum();
    const QVector<std::function<void()>> deferred = m_deferred;
    m_deferred.clear();
    for (const std::function<void()>& work : deferred)
        work();
}

bool MafwTrackerModelFactory::deferUntilComplete(std::function<void()> work)
{
    if (m_catalogue->isComplete())
        return false;
    m_deferred.append(std::move(work));
    return true;
}

bool MafwTrackerModelFactory::isReady() const
{
    return m_ready;
}

bool MafwTrackerModelFactory::isLibraryReadable() const
{
    return m_catalogue->isLoaded();
}

void MafwTrackerModelFactory::libraryChanged(const MafwStoreChanges& changes)
{
    Q_UNUSED(changes)
    const bool artists = m_catalogue->hasSongsWithoutArtist();
    const bool albums = m_catalogue->hasSongsWithoutAlbum();
    if (artists != m_unknownArtists) {
        m_unknownArtists = artists;
        emit unknownArtistCountChanged(artists);
    }
    if (albums != m_unknownAlbums) {
        m_unknownAlbums = albums;
        emit unknownAlbumsCountChanged(albums);
    }
}

void MafwTrackerModelFactory::modelCompleted(MafwTrackerModel::QueryType type)
{
    // The artists and albums pages connect late; each of their models brings the state again.
    if (type == MafwTrackerModel::AllArtists)
        emit unknownArtistCountChanged(m_unknownArtists);
    else if (type == MafwTrackerModel::AllAlbums)
        emit unknownAlbumsCountChanged(m_unknownAlbums);
}

MafwTrackerModel* MafwTrackerModelFactory::getModel(MafwTrackerModel::QueryType type, int rowCount,
                                                    int id)
{
    return getModel(type, rowCount, id, 0);
}

MafwTrackerModel* MafwTrackerModelFactory::getModel(MafwTrackerModel::QueryType type, int rowCount,
                                                    int albumId, int artistId)
{
    if (MafwStoreRowBuilder::family(type) == MafwStoreRowBuilder::NoFamily) {
        qCWarning(lcModels) << Q_FUNC_INFO << "- no list for query type" << int(type);
        return nullptr;
    }
    if (type == MafwTrackerModel::SongsOfUserPlaylist)
        return new MafwTrackerPlaylistModel(this, rowCount, albumId);
    return new MafwTrackerModel(this, type, rowCount, albumId, artistId);
}

MafwTrackerModel* MafwTrackerModelFactory::copyModel(const QSharedPointer<MafwTrackerModel>& model,
                                                     int row)
{
    if (!model || MafwStoreRowBuilder::family(model->queryType()) != MafwStoreRowBuilder::Songs) {
        qCDebug(lcModels) << Q_FUNC_INFO << "- only song lists can be copied";
        return nullptr;
    }
    QVector<MafwStoreRow> pinned;
    if (row < 0) {
        // Every row of the query, also those the model has not loaded yet.
        if (!model->m_pinnedMode && !m_catalogue->isComplete()) {
            return new MafwTrackerModel(this, model->queryType(), model->m_limit, model->m_id,
                                        model->m_secondId, true);
        }
        if (model->m_pinnedMode)
            pinned = model->currentResult(-1, nullptr);
        else
            pinned = m_builder->rows(model->queryType(), model->m_id, model->m_secondId, -1,
                                     nullptr);
        if (MafwStoreRowBuilder::limitIsFinal(model->queryType()) && model->m_limit > 0)
            pinned = pinned.mid(0, model->m_limit);
    } else if (row < model->rowsHeld().size()) {
        pinned.append(model->rowsHeld().at(row));
    } else {
        qCDebug(lcModels) << Q_FUNC_INFO << "- no row" << row;
        return nullptr;
    }
    return new MafwTrackerModel(this, model->queryType(), pinned);
}

void MafwTrackerModelFactory::deleteItems(const QList<int>& ids, MafwTrackerModel::QueryType type)
{
    if (deferUntilComplete([this, ids, type] { deleteItems(ids, type); }))
        return;
    QVector<DeletionItem> items;
    if (type == MafwTrackerModel::PlaylistFiles || type == MafwTrackerModel::UserPlaylists) {
        for (int id : ids) {
            DeletionItem item;
            const MafwStorePlaylist* playlist = m_catalogue->playlist(id);
            if (playlist && playlist->isFile() == (type == MafwTrackerModel::PlaylistFiles)
                && TrackerSparql::isSafeIri(playlist->iri)) {
                item.playlistIri = playlist->iri;
                item.playlistFile = playlist->url;
            }
            items.append(item);
        }
    } else if (MafwStoreRowBuilder::family(type) == MafwStoreRowBuilder::Songs
               || MafwStoreRowBuilder::family(type) == MafwStoreRowBuilder::Albums
               || type == MafwTrackerModel::AllArtists || type == MafwTrackerModel::NoList
               || type == MafwTrackerModel::UnknownAlbumOfArtist) {
        const QVector<QVector<int>> songs = m_builder->songsToDelete(type, ids);
        for (const QVector<int>& list : songs) {
            DeletionItem item;
            for (int songId : list) {
                if (const MafwStoreSong* s = m_catalogue->song(songId)) {
                    item.songs.append(songId);
                    item.urls.append(s->url);
                }
            }
            items.append(item);
        }
    } else {
        qCWarning(lcModels) << Q_FUNC_INFO << "- nothing to delete for query type" << int(type);
    }

    struct Outcome
    {
        int deleted = 0;
        int failed = 0;
    };
    auto outcome = QSharedPointer<Outcome>::create();
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    QPointer<MafwTrackerModelFactory> self(this);
    TrackerQueryRunner::postWrite(
        this,
        [items, outcome, connection] {
            QVector<int> goneSongs;
            QStringList goneUrls;
            QString playlists;
            for (const DeletionItem& item : items) {
                bool ok = !item.songs.isEmpty() || !item.playlistIri.isEmpty();
                for (int i = 0; i < item.songs.size(); ++i) {
                    if (removeFile(item.urls.at(i)))
                        goneSongs.append(item.songs.at(i));
                    else
                        ok = false;
                }
                if (!item.playlistIri.isEmpty()) {
                    if (item.playlistFile.isEmpty() || removeFile(item.playlistFile)) {
                        playlists
                            += QStringLiteral(
                                   "DELETE { ?e a rdfs:Resource } WHERE { <%1> "
                                   "nfo:hasMediaFileListEntry ?e } ;\n"
                                   "DELETE { ?p a rdfs:Resource } WHERE { ?p a nmm:Playlist . "
                                   "FILTER(?p = <%1>) } ;\n")
                                   .arg(item.playlistIri);
                    } else {
                        ok = false;
                    }
                }
                ok ? ++outcome->deleted : ++outcome->failed;
            }
            QString sparql = playlists;
            if (!goneSongs.isEmpty()) {
                sparql += QStringLiteral(
                              "DELETE { ?s a rdfs:Resource } WHERE { ?s a nmm:MusicPiece . "
                              "FILTER(tracker:id(?s) IN (%1)) } ;\n")
                              .arg(idList(goneSongs));
                sparql += TrackerIndexWorker::orphanRemoval();
            }
            TrackerQueryResult result;
            result.ok = true;
            if (!sparql.isEmpty()) {
                if (sparql.endsWith(QLatin1String(" ;\n")))
                    sparql.chop(3);
                result = TrackerQueryRunner::update(connection, sparql);
                if (!result.ok) {
                    qCWarning(lcModels) << "void MafwTrackerModelFactory::deleteItems(...) - "
                                        << result.errorMessage;
                    outcome->failed += outcome->deleted;
                    outcome->deleted = 0;
                }
            }
            TrackerQueryRunner::releaseConnection(connection);
            return result;
        },
        [self, outcome](const TrackerQueryResult&) {
            if (self)
                emit self->deletionFinished(outcome->deleted, outcome->failed);
        });
}

QString MafwTrackerModelFactory::playlistEntriesUpdate(const QString& playlistIri,
                                                       const QVector<int>& songs,
                                                       int firstPosition) const
{
    QString data;
    int position = firstPosition;
    for (int songId : songs) {
        const MafwStoreSong* s = m_catalogue->song(songId);
        if (!s)
            continue;
        const QString entry = TrackerSparql::newIri();
        data += QStringLiteral("<%1> a nfo:MediaFileListEntry ; nfo:entryUrl %2 ; "
                               "nfo:listPosition %3 . <%4> nfo:hasMediaFileListEntry <%1> . ")
                    .arg(entry, TrackerSparql::literal(s->url), QString::number(position++),
                         playlistIri);
    }
    return data;
}

void MafwTrackerModelFactory::writeUpdate(const QString& sparql, const char* what)
{
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QByteArray label(what);
    TrackerQueryRunner::post(
        connection, sparql, 0, this, [label](const TrackerQueryResult& result) {
            if (!result.ok)
                qCWarning(lcModels)
                    << "void MafwTrackerModelFactory::writeUpdate(const QString&, const char*) -"
                    << label << "failed:" << result.errorMessage;
        });
    TrackerQueryRunner::releaseConnection(connection);
}

void MafwTrackerModelFactory::createPlaylist(const QString& name, PlaylistItemType type,
                                             QList<int> ids)
{
    if (deferUntilComplete([this, name, type, ids] { createPlaylist(name, type, ids); }))
        return;
    const QVector<int> songs = m_builder->songsOfItems(type, ids);
    const QString iri = TrackerSparql::newIri();
    // The name goes in as an escaped literal: whatever the user typed stays text.
    const QString sparql
        = QStringLiteral("INSERT DATA { <%1> a nmm:Playlist ; nie:title %2 ; tracker:added %3 ; "
                         "tracker:available true . %4}")
              .arg(iri, TrackerSparql::literal(name),
                   TrackerSparql::literal(TrackerSparql::timeText(QDateTime::currentDateTimeUtc())),
                   playlistEntriesUpdate(iri, songs, 0));
    writeUpdate(sparql, "a new playlist");
}

void MafwTrackerModelFactory::appendToPlaylist(int playlistId, int itemType, const QList<int>& ids)
{
    if (deferUntilComplete(
            [this, playlistId, itemType, ids] { appendToPlaylist(playlistId, itemType, ids); }))
        return;
    const MafwStorePlaylist* playlist = m_catalogue->playlist(playlistId);
    if (!playlist || playlist->isFile() || !TrackerSparql::isSafeIri(playlist->iri)) {
        qCDebug(lcModels) << Q_FUNC_INFO << "- no user playlist" << playlistId;
        return;
    }
    int next = 0;
    for (const MafwStorePlaylist::Entry& entry : playlist->entries)
        next = std::max(next, entry.position + 1);
    const QString entries = playlistEntriesUpdate(playlist->iri,
                                                  m_builder->songsOfItems(itemType, ids), next);
    if (entries.isEmpty())
        return;
    writeUpdate(QStringLiteral("INSERT DATA { %1}").arg(entries), "songs added to a playlist");
}

void MafwTrackerModelFactory::removePlaylistEntries(int playlistId, const QStringList& entries)
{
    if (deferUntilComplete(
            [this, playlistId, entries] { removePlaylistEntries(playlistId, entries); }))
        return;
    const MafwStorePlaylist* playlist = m_catalogue->playlist(playlistId);
    if (!playlist || !TrackerSparql::isSafeIri(playlist->iri))
        return;
    QStringList safe;
    for (const QString& entry : entries) {
        if (TrackerSparql::isSafeIri(entry))
            safe.append(QLatin1Char('<') + entry + QLatin1Char('>'));
    }
    if (safe.isEmpty())
        return;
    // One update: every entry goes, or none does.
    writeUpdate(QStringLiteral(
                    "DELETE DATA { <%1> nfo:hasMediaFileListEntry %2 } ;\n"
                    "DELETE { ?e a rdfs:Resource } WHERE { ?e a nfo:MediaFileListEntry . "
                    "FILTER(?e IN (%3)) }")
                    .arg(playlist->iri, safe.join(QStringLiteral(", ")),
                         safe.join(QStringLiteral(", "))),
                "the removal of playlist entries");
}

bool MafwTrackerModelFactory::setFavourite(int songId, bool favourite)
{
    const MafwStoreSong* song = m_catalogue->song(songId);
    if (!song || !TrackerSparql::isSafeIri(song->iri))
        return false;
    const QString sparql = QStringLiteral("%1 DATA { <%2> nao:hasTag nao:predefined-tag-favorite }")
                               .arg(favourite ? QStringLiteral("INSERT") : QStringLiteral("DELETE"),
                                    song->iri);
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    QPointer<MafwStoreCatalogue> catalogue(m_catalogue);
    TrackerQueryRunner::post(connection, sparql, 0, this,
                             [catalogue, songId](const TrackerQueryResult& result) {
                                 if (!result.ok) {
                                     qCWarning(lcModels)
                                         << "bool MafwTrackerModelFactory::setFavourite(int, "
                                            "bool) - "
                                         << result.errorMessage;
                                     // Models showed the new mark already; read the truth back.
                                     if (catalogue)
                                         catalogue->refreshSongs({ songId });
                                 }
                             });
    TrackerQueryRunner::releaseConnection(connection);
    // The lists show the mark at once, after the write is on its way: whoever the change
    // makes ask the store (is any favourite left?) reads it.
    m_catalogue->setFavourite(songId, favourite);
    return true;
}

void MafwTrackerModelFactory::requestSupplementaryQuery(
    const QObject* receiver, const char* slot, MafwTrackerModel::SupplementaryQueryType type,
    int id)
{
    if (type != MafwTrackerModel::ArtistSongCountAndLength || !receiver || !slot) {
        qCWarning(lcModels) << Q_FUNC_INFO << "- unknown supplementary query" << int(type);
        return;
    }
    QByteArray signature(slot);
    if (!signature.isEmpty() && signature.at(0) >= '0' && signature.at(0) <= '9')
        signature.remove(0, 1);
    const int index = receiver->metaObject()->indexOfMethod(
        QMetaObject::normalizedSignature(signature.constData()));
    if (index < 0) {
        qCWarning(lcModels) << Q_FUNC_INFO << "- the receiver has no slot" << slot;
        return;
    }
    const QMetaMethod method = receiver->metaObject()->method(index);
    QPointer<QObject> target(const_cast<QObject*>(receiver));
    const std::function<void()> answer = [this, target, method, id] {
        if (!target)
            return;
        int count = 0;
        int seconds = 0;
        m_builder->artistTotals(id, &count, &seconds);
        method.invoke(target.data(), Qt::DirectConnection, Q_ARG(int, count), Q_ARG(int, seconds));
    };
    // Never within the call; and with every song of the artist counted.
    QTimer::singleShot(0, this, [this, answer] {
        if (!deferUntilComplete(answer))
            answer();
    });
}

MafwTrackerConnection* MafwTrackerModelFactory::trackerConnection() const
{
    return m_connection;
}

MafwStoreCatalogue* MafwTrackerModelFactory::catalogue() const
{
    return m_catalogue;
}

const MafwStoreRowBuilder& MafwTrackerModelFactory::rowBuilder() const
{
    return *m_builder;
}

int MafwTrackerModelFactory::batchSize() const
{
    return m_batchSize;
}
