#include "mafwstorereader.h"

#include "mafwlogging.h"
#include "trackercursorrow.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"

#include <QDebug>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Resources named in one query, by their tracker:ids bound to a text that stays the same, so
// that the store compiles each text once: a read of a few resources names up to the smaller
// count, a larger read names up to the larger one a query, the ids left over being 0, which no
// resource has.
const int FewNames = 20;
const int ManyNames = 400;
// Threads reading the properties of songs at once.
const int PropertyThreads = 3;

// What a query looks at: every resource of a class, or the named ones.
struct Scope
{
    QString variable;     // "?song"
    QString everyPattern; // "?song a nmm:MusicPiece ."; used when no names are given
    QVector<int> ids;     // the named resources' tracker:ids
    bool every = false;
    // The named resources' IRIs, when the caller knows them: the store spells out an IRI for
    // a row at eight times the cost of the rest of a song's first query.
    const QHash<int, QString>* iris = nullptr;
};

using RowHandler = std::function<void(const TrackerCursorRow&)>;

// "VALUES ?named { ~p0 ~p1 ... }" for the given count of names.
QString namesBlock(int count)
{
    QString values = QStringLiteral("VALUES ?named {");
    for (int k = 0; k < count; ++k)
        values += QStringLiteral(" ~p%1").arg(k);
    values += QLatin1String(" }");
    return values;
}

// Named ids that lie this close together are read as one range: the ids of what an index
// writes follow one another, with those of other kinds of resource between them.
bool isDense(const QVector<int>& sortedIds)
{
    const qint64 span = qint64(sortedIds.last()) - sortedIds.first() + 1;
    return span <= 2 * qint64(sortedIds.size()) + 100;
}

// Runs "SELECT <projection> WHERE { <scope> <pattern> } <tail>" over the scope, in chunks of
// named resources; false when a query failed.
bool readEach(TrackerSparqlConnection* connection, const Scope& scope, const QString& projection,
              const QString& pattern, const RowHandler& row, const QString& tail = QString())
{
    auto run = [&](const QString& where, const QString& filter, const QVector<qint64>& values,
                   const RowHandler& handler) {
        const QString sparql = QStringLiteral("SELECT %1 WHERE { %2 %3 %4} %5")
                                   .arg(projection, where, pattern, filter, tail);
        const TrackerQueryResult result = TrackerQueryRunner::selectEachKept(connection, sparql,
                                                                             values, handler);
        if (!result.ok)
            qCWarning(lcModels) << "MafwStoreReader - a query failed:" << result.errorMessage;
        return result.ok;
    };
    if (scope.every)
        return run(scope.everyPattern, QString(), QVector<qint64>(), row);
    if (scope.ids.isEmpty())
        return true;
    // Ids close together are one query over their range, which the store walks in its tables'
    // order, instead of a lookup for each of hundreds of bound names; the rows of resources
    // not named are dropped here, by the column that holds the scope's id.
    const int idColumn = projection.split(QLatin1Char(' '))
                             .indexOf(QStringLiteral("tracker:id(%1)").arg(scope.variable));
    QVector<int> sorted = scope.ids;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (idColumn >= 0 && isDense(sorted)) {
        const qint64 low = sorted.first();
        const qint64 high = sorted.last();
        std::vector<bool> named(size_t(high - low + 1), false);
        for (int id : qAsConst(sorted))
            named[size_t(id - low)] = true;
        static const QString rangeFilter = QStringLiteral(
            "FILTER (tracker:id(%1) >= ~p0 && tracker:id(%1) <= ~p1) ");
        return run(QString(), rangeFilter.arg(scope.variable), { low, high },
                   [&](const TrackerCursorRow& r) {
                       const qint64 id = r.integer(idColumn);
                       if (id >= low && id <= high && named[size_t(id - low)])
                           row(r);
                   });
    }
    static const QString fewNames = namesBlock(FewNames);
    static const QString manyNames = namesBlock(ManyNames);
    const QString filter = QStringLiteral("FILTER (tracker:id(%1) = ?named) ").arg(scope.variable);
    bool ok = true;
    for (int i = 0; i < scope.ids.size();) {
        const int chunk = scope.ids.size() - i <= FewNames ? FewNames : ManyNames;
        QVector<qint64> values(chunk, 0);
        const int end = qMin(scope.ids.size(), i + chunk);
        for (int k = i; k < end; ++k)
            values[k - i] = scope.ids.at(k);
        ok = run(chunk == FewNames ? fewNames : manyNames, filter, values, row) && ok;
        i = end;
    }
    return ok;
}

Scope everySong()
{
    return { QStringLiteral("?song"), QStringLiteral("?song a nmm:MusicPiece ."), {}, true };
}

Scope namedSongs(const QVector<int>& ids)
{
    return { QStringLiteral("?song"), QString(), ids, false };
}

// Interns texts that many songs share (genres), so that each is held once.
class SharedTexts
{
public:
    QString take(const QString& text)
    {
        if (text.isNull())
            return text;
        const auto it = m_texts.constFind(text);
        if (it != m_texts.cend())
            return *it;
        m_texts.insert(text);
        return text;
    }

private:
    QSet<QString> m_texts;
};

// Reads the songs of the scope into result->songs (in title order), every property of each.
bool readSongs(TrackerSparqlConnection* connection, const Scope& scope, int limit,
               MafwStoreReader::Result* result)
{
    QVector<MafwStoreSong>& songs = result->songs;
    const int first = songs.size();
    QHash<int, int> at; // tracker:id to index in songs
    // Only a read of the whole library (or of its first page) is in the store's order: the
    // catalogue places the songs of a change by its own collation wherever they come, and
    // sorting them here cost the store's collation six times as much as reading them.
    const QString tail = scope.every || limit > 0
                             ? QStringLiteral("ORDER BY ?title tracker:id(?song)")
                                   + (limit > 0 ? QStringLiteral(" LIMIT %1").arg(limit)
                                                : QString())
                             : QString();
    // Every song: the class is named after the title, which lets the store find the first
    // titles in order three times faster.
    Scope base = scope;
    QString pattern = QStringLiteral("?song nie:title ?title ; nie:url ?url .");
    if (scope.every) {
        base.everyPattern.clear();
        pattern = QStringLiteral("?song nie:title ?title ; a nmm:MusicPiece ; nie:url ?url .");
    }
    const QHash<int, QString>* iris = scope.every ? nullptr : scope.iris;
    const QString projection = iris ? QStringLiteral("tracker:id(?song) ?title ?url")
                                    : QStringLiteral("?song tracker:id(?song) ?title ?url");
    const int column = iris ? 0 : 1; // of the id
    bool ok = readEach(
        connection, base, projection, pattern,
        [&](const TrackerCursorRow& row) {
            MafwStoreSong s;
            s.id = int(row.integer(column));
            s.iri = iris ? iris->value(s.id) : row.text(0);
            s.title = row.text(column + 1);
            s.url = row.text(column + 2);
            at.insert(s.id, songs.size());
            songs.append(s);
        },
        tail);
    if (!ok || songs.size() == first)
        return ok;

    // The rest by the songs just found: the first page names its songs, the others read the
    // scope again.
    Scope rest = scope;
    if (!scope.every || limit > 0) {
        rest = namedSongs(QVector<int>());
        for (int i = first; i < songs.size(); ++i)
            rest.ids.append(songs.at(i).id);
    }
    // Songs by tracker:id: a table when the ids are dense enough, as they are in a store the
    // indexer filled; each property row finds its song with one lookup.
    int topId = 0;
    for (auto it = at.cbegin(); it != at.cend(); ++it)
        topId = qMax(topId, it.key());
    QVector<int> slot;
    if (topId < 16 * at.size() + 65536) {
        slot.fill(-1, topId + 1);
        for (auto it = at.cbegin(); it != at.cend(); ++it)
            slot[it.key()] = it.value();
    }
    MafwStoreSong* const all = songs.data();
    auto song = [&](const TrackerCursorRow& row) -> MafwStoreSong* {
        const qint64 id = row.integer(0);
        if (!slot.isEmpty()) {
            const int i = id >= 0 && id < slot.size() ? slot.at(int(id)) : -1;
            return i >= 0 ? all + i : nullptr;
        }
        const auto it = at.constFind(int(id));
        return it == at.cend() ? nullptr : all + it.value();
    };
    QSet<int> artists, albums, discs; // the ones whose names are read by id
    // Songs the store keeps while their files are not there (their folder or disk is away):
    // they are left out, as if they were not songs, until they are back.
    QSet<int> unavailable;
    QHash<int, int> discOf;           // song to disc
    QHash<int, int> discNumbers;
    SharedTexts genres;
    struct Property
    {
        const char* projection;
        const char* pattern;
        std::function<void(MafwStoreSong&, const TrackerCursorRow&)> apply;
    };
    // Links to artists, albums and discs.
    const char* linked = "tracker:id(?song) tracker:id(?v)";
    const Property properties[] = {
        { "tracker:id(?song) ?v", "?song nfo:duration ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) { s.duration = int(r.integer(1)); } },
        { "tracker:id(?song) ?v", "?song tracker:added ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) { s.added = r.time(1); } },
        { linked, "?song nmm:performer ?v .",
          [&](MafwStoreSong& s, const TrackerCursorRow& r) {
              s.performerId = int(r.integer(1));
              if (!rest.every)
                  artists.insert(s.performerId);
          } },
        { linked, "?song nmm:musicAlbum ?v .",
          [&](MafwStoreSong& s, const TrackerCursorRow& r) {
              s.albumId = int(r.integer(1));
              if (!rest.every)
                  albums.insert(s.albumId);
          } },
        { linked, "?song nmm:musicAlbumDisc ?v .",
          [&](MafwStoreSong& s, const TrackerCursorRow& r) {
              discOf.insert(s.id, int(r.integer(1)));
              if (!rest.every)
                  discs.insert(int(r.integer(1)));
          } },
        { "tracker:id(?song) ?v", "?song nmm:trackNumber ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) { s.trackNumber = int(r.integer(1)); } },
        { "tracker:id(?song) ?v", "?song nfo:genre ?v .",
          [&](MafwStoreSong& s, const TrackerCursorRow& r) { s.genre = genres.take(r.text(1)); } },
        { "tracker:id(?song) ?v", "?song nie:contentCreated ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) { s.created = r.time(1); } },
        { "tracker:id(?song) ?v", "?song nie:usageCounter ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) { s.usage = int(r.integer(1)); } },
        { "tracker:id(?song) ?v", "?song nie:contentAccessed ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) { s.accessed = r.time(1); } },
        { "tracker:id(?song) ?v", "?song nfo:encodedBy ?v .",
          [](MafwStoreSong& s, const TrackerCursorRow& r) {
              s.downloaded = r.text(1) == QLatin1String("Vaspe Music");
          } },
        { "tracker:id(?song)", "?song nao:hasTag nao:predefined-tag-favorite .",
          [](MafwStoreSong& s, const TrackerCursorRow&) { s.favourite = true; } },
        { "tracker:id(?song)", "?song tracker:available false .",
          [&](MafwStoreSong& s, const TrackerCursorRow&) { unavailable.insert(s.id); } },
    };
    // The properties are read side by side: each query fills fields of its own (and a table
    // of its own), and the store answers queries of one connection in parallel.
    const int count = int(sizeof(properties) / sizeof(*properties));
    std::atomic<int> next { 0 };
    std::atomic<bool> allRead { true };
    auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            const Property& p = properties[i];
            if (!readEach(connection, rest, QString::fromLatin1(p.projection),
                          QString::fromLatin1(p.pattern), [&](const TrackerCursorRow& row) {
                              if (MafwStoreSong* s = song(row))
                                  p.apply(*s, row);
                          }))
                allRead = false;
        }
    };
    // Only the whole library is read side by side: on the songs of a first page or of a
    // change the queries are small, and threads would only wait for each other (and for the
    // indexer's writes) in the store.
    std::vector<std::thread> helpers;
    for (int i = 1; i < (rest.every ? PropertyThreads : 1); ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    ok = allRead && ok;

    // The names, read once per artist, album and disc: every song of one shares them.
    auto names = [&](const QSet<int>& ids, const QString& everyPattern, const QString& pattern,
                     const RowHandler& row) {
        if (ids.isEmpty() && !rest.every)
            return true;
        Scope scope { QStringLiteral("?r"), everyPattern, {}, rest.every };
        if (!scope.every) {
            scope.ids = QVector<int>(ids.cbegin(), ids.cend());
            std::sort(scope.ids.begin(), scope.ids.end());
        }
        return readEach(connection, scope, QStringLiteral("tracker:id(?r) ?n"), pattern, row);
    };
    ok = names(artists, QStringLiteral("?r a nmm:Artist ."),
               QStringLiteral("?r nmm:artistName ?n ."),
               [&](const TrackerCursorRow& row) {
                   result->artistNames.insert(int(row.integer(0)), row.text(1));
               })
         && ok;
    ok = names(albums, QStringLiteral("?r a nmm:MusicAlbum ."), QStringLiteral("?r nie:title ?n ."),
               [&](const TrackerCursorRow& row) {
                   result->albumTitles.insert(int(row.integer(0)), row.text(1));
               })
         && ok;
    ok = names(discs, QStringLiteral("?r a nmm:MusicAlbumDisc ."),
               QStringLiteral("?r nmm:setNumber ?n ."),
               [&](const TrackerCursorRow& row) {
                   discNumbers.insert(int(row.integer(0)), int(row.integer(1)));
               })
         && ok;
    for (auto it = discOf.cbegin(); it != discOf.cend(); ++it)
        songs[at.value(it.key())].discNumber = discNumbers.value(it.value());
    if (!unavailable.isEmpty()) {
        songs.erase(std::remove_if(songs.begin() + first, songs.end(),
                                   [&unavailable](const MafwStoreSong& s) {
                                       return unavailable.contains(s.id);
                                   }),
                    songs.end());
    }
    return ok;
}

// Reads the playlists of the scope (every playlist when it names none) with their entries.
bool readPlaylists(TrackerSparqlConnection* connection, const Scope& scope,
                   MafwStoreReader::Result* result)
{
    QHash<int, MafwStorePlaylist>& playlists = result->playlists;
    bool ok = readEach(connection, scope, QStringLiteral("?pl tracker:id(?pl)"),
                       QStringLiteral("?pl a nmm:Playlist ."), [&](const TrackerCursorRow& row) {
                           MafwStorePlaylist p;
                           p.iri = row.text(0);
                           p.id = int(row.integer(1));
                           playlists.insert(p.id, p);
                       });
    if (!ok || playlists.isEmpty())
        return ok;
    Scope named = scope;
    if (scope.every) {
        named.every = false;
        for (const MafwStorePlaylist& p : qAsConst(playlists))
            named.ids.append(p.id);
    }
    auto each = [&](const char* pattern,
                    const std::function<void(MafwStorePlaylist&, const TrackerCursorRow&)>& apply) {
        return readEach(connection, named, QStringLiteral("tracker:id(?pl) ?v"),
                        QString::fromLatin1(pattern), [&](const TrackerCursorRow& row) {
                            const auto it = playlists.find(int(row.integer(0)));
                            if (it != playlists.end())
                                apply(*it, row);
                        });
    };
    // A playlist file whose folder is away is kept in the store, not shown.
    QSet<int> unavailable;
    ok = readEach(connection, named, QStringLiteral("tracker:id(?pl)"),
                  QStringLiteral("?pl tracker:available false ."),
                  [&](const TrackerCursorRow& row) { unavailable.insert(int(row.integer(0))); })
         && ok;
    for (int id : qAsConst(unavailable)) {
        playlists.remove(id);
        result->unavailablePlaylists.insert(id);
    }
    ok = each("?pl nie:title ?v .",
              [](MafwStorePlaylist& p, const TrackerCursorRow& r) { p.title = r.text(1); })
         && ok;
    ok = each("?pl nie:url ?v .",
              [](MafwStorePlaylist& p, const TrackerCursorRow& r) { p.url = r.text(1); })
         && ok;
    ok = each("?pl nfo:fileName ?v .",
              [](MafwStorePlaylist& p, const TrackerCursorRow& r) { p.fileName = r.text(1); })
         && ok;
    ok = each("?pl tracker:added ?v .",
              [](MafwStorePlaylist& p, const TrackerCursorRow& r) { p.added = r.time(1); })
         && ok;
    ok = readEach(connection, named, QStringLiteral("tracker:id(?pl) ?e ?url ?position"),
                  QStringLiteral("?pl nfo:hasMediaFileListEntry ?e . ?e nfo:entryUrl ?url . "
                                 "OPTIONAL { ?e nfo:listPosition ?position }"),
                  [&](const TrackerCursorRow& row) {
                      const auto it = playlists.find(int(row.integer(0)));
                      if (it == playlists.end())
                          return;
                      MafwStorePlaylist::Entry entry;
                      entry.iri = row.text(1);
                      entry.url = row.text(2);
                      entry.position = row.isBound(3) ? int(row.integer(3)) : it->entries.size();
                      it->entries.append(entry);
                  })
         && ok;
    for (auto it = playlists.begin(); it != playlists.end(); ++it) {
        std::stable_sort(it->entries.begin(), it->entries.end(),
                         [](const MafwStorePlaylist::Entry& a, const MafwStorePlaylist::Entry& b) {
                             return a.position < b.position;
                         });
    }
    result->playlistsRead = ok;
    return ok;
}

} // namespace

MafwStoreReader::Result MafwStoreReader::firstSongs(TrackerSparqlConnection* connection, int count)
{
    Result result;
    result.ok = readSongs(connection, everySong(), count, &result);
    return result;
}

MafwStoreReader::Result MafwStoreReader::everything(TrackerSparqlConnection* connection)
{
    Result result;
    result.ok = readSongs(connection, everySong(), 0, &result);
    const Scope playlists { QStringLiteral("?pl"), QString(), {}, true };
    result.ok = readPlaylists(connection, playlists, &result) && result.ok;
    return result;
}

MafwStoreReader::Result MafwStoreReader::resources(TrackerSparqlConnection* connection,
                                                   const QHash<int, QString>& iris)
{
    Result result;
    Scope all { QStringLiteral("?r"), QString(), {}, false };
    for (auto it = iris.cbegin(); it != iris.cend(); ++it) {
        if (TrackerSparql::isSafeIri(it.value()))
            all.ids.append(it.key());
    }
    std::sort(all.ids.begin(), all.ids.end());
    QVector<int> songIds, playlistIds;
    bool ok = readEach(connection, all, QStringLiteral("tracker:id(?r)"),
                       QStringLiteral("?r a nmm:MusicPiece ."),
                       [&](const TrackerCursorRow& row) { songIds.append(int(row.integer(0))); });
    ok = readEach(connection, all, QStringLiteral("tracker:id(?r)"),
                  QStringLiteral("?r a nmm:Playlist ."),
                  [&](const TrackerCursorRow& row) { playlistIds.append(int(row.integer(0))); })
         && ok;
    if (!songIds.isEmpty()) {
        Scope songs = namedSongs(songIds);
        songs.iris = &iris;
        ok = readSongs(connection, songs, 0, &result) && ok;
    }
    if (!playlistIds.isEmpty()) {
        const Scope scope { QStringLiteral("?pl"), QString(), playlistIds, false };
        ok = readPlaylists(connection, scope, &result) && ok;
    }
    result.ok = ok;
    return result;
}
