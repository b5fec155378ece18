// The tracker models, the factory and the connection over a real store built by the indexer.

#include "data/modelcolumns.h"
#include "data/storequeries.h"
#include "fixturelibrary.h"
#include "mafweditablemodel.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mafwurlrole.h"
#include "queryprobe.h"
#include "testenvironment.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <QAbstractItemModelTester>
#include <QMetaEnum>
#include <QSignalSpy>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString UnknownAlbum = QStringLiteral("Unknown album");
const QString UnknownArtist = QStringLiteral("Unknown artist");

const QStringList SongHeaders = { "songUri",      "songTitle", "artistName", "albumName",
                                  "songLength",   "favorited", "genre",      "year",
                                  "songId",       "albumId",   "artistId",   "trackNumber",
                                  "usageCounter", "added",     "url" };

QStringList headersOf(const QAbstractItemModel* model)
{
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return headers;
}

QString described(const QVariant& value)
{
    if (!value.isValid())
        return QStringLiteral("nothing");
    const QString text = value.type() == QVariant::DateTime
                             ? value.toDateTime().toString(Qt::ISODateWithMs)
                             : value.toString();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(value.typeName()), text);
}

// Every column of the row whose cell is not the value known under the column's header, type
// and all; a column the caller knows no value for is wrong too.
QStringList wrongCells(const QAbstractItemModel* model, int row,
                       const QHash<QString, QVariant>& known, const char* list)
{
    QStringList wrong;
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString header = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString where = QStringLiteral("%1, column %2 \"%3\"").arg(list).arg(c).arg(header);
        if (!known.contains(header)) {
            wrong << where + QStringLiteral(": the test knows no value for this column");
            continue;
        }
        const QVariant cell = model->index(row, c).data();
        const QVariant expected = known.value(header);
        if (cell.userType() != expected.userType() || cell != expected)
            wrong << QStringLiteral("%1: serves %2, not %3")
                         .arg(where, described(cell), described(expected));
    }
    return wrong;
}

QStringList column(const QAbstractItemModel* model, int col)
{
    QStringList values;
    for (int r = 0; r < model->rowCount(); ++r)
        values << model->index(r, col).data().toString();
    return values;
}

// Records every change signal a model sends, to prove that nothing but row-wise changes come.
struct ModelWatch
{
    explicit ModelWatch(QAbstractItemModel* m)
        : inserted(m, SIGNAL(rowsInserted(QModelIndex, int, int)))
        , removed(m, SIGNAL(rowsRemoved(QModelIndex, int, int)))
        , changed(m, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)))
        , reset(m, SIGNAL(modelReset()))
        , layout(m, SIGNAL(layoutChanged()))
        , moved(m, SIGNAL(rowsMoved(QModelIndex, int, int, QModelIndex, int)))
    {
    }
    QSignalSpy inserted, removed, changed, reset, layout, moved;
    bool onlyRowChanges() const { return reset.isEmpty() && layout.isEmpty() && moved.isEmpty(); }
};

} // namespace

class Totals : public QObject
{
    Q_OBJECT
public:
    int count = -1;
    int seconds = -1;
    int calls = 0;
public slots:
    void updateAllSongsLabel(int c, int s)
    {
        count = c;
        seconds = s;
        ++calls;
    }
};

class TestStoreModels : public QObject
{
    Q_OBJECT

private:
    MafwTrackerModelFactory* factory = nullptr;

    MafwTrackerModelFactory* makeFactory()
    {
        auto* f = new MafwTrackerModelFactory(UnknownAlbum, UnknownArtist, 2000, this);
        QSignalSpy init(f, SIGNAL(initCompleted(bool)));
        f->init();
        if (!init.wait(60000) || !init.first().first().toBool()) {
            delete f;
            return nullptr;
        }
        return f;
    }

    int songId(const QString& title) const
    {
        for (const MafwStoreSong& s : factory->catalogue()->songs()) {
            if (s.title == title)
                return s.id;
        }
        return 0;
    }
    const MafwStoreSong* song(const QString& title) const
    {
        return factory->catalogue()->song(songId(title));
    }

    // Qt's model checker watches the model from its first signal to its deletion.
    static void watch(QAbstractItemModel* model)
    {
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     model);
    }

    // A model as the callers use it: owned, checked, and loaded.
    QSharedPointer<MafwTrackerModel> loaded(MafwTrackerModel::QueryType type, int limit, int id,
                                            int second = 0)
    {
        QSharedPointer<MafwTrackerModel> model(second ? factory->getModel(type, limit, id, second)
                                                      : factory->getModel(type, limit, id));
        if (!model)
            return model;
        watch(model.data());
        QSignalSpy completed(model.data(), SIGNAL(completed()));
        if (!model->isComplete())
            completed.wait(30000);
        return model;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FixtureLibrary::writeStandardLibrary());
        factory = makeFactory();
        QVERIFY(factory);
        QCOMPARE(factory->catalogue()->songs().size(), 9);
    }

    void headersOfEveryFamily()
    {
        QScopedPointer<MafwTrackerModel> songs(
            factory->getModel(MafwTrackerModel::AllSongs, 50, 0));
        QCOMPARE(headersOf(songs.data()), SongHeaders);
        for (int type : { 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 17 }) {
            QScopedPointer<MafwTrackerModel> m(
                factory->getModel(MafwTrackerModel::QueryType(type), 0, 1));
            QCOMPARE(headersOf(m.data()), SongHeaders);
        }
        QScopedPointer<MafwTrackerModel> file(
            factory->getModel(MafwTrackerModel::SongsOfPlaylistFile, 0, 1));
        const QStringList fileHeaders = SongHeaders + QStringList { "playlistId" };
        QCOMPARE(headersOf(file.data()), fileHeaders);
        QScopedPointer<MafwTrackerModel> user(
            factory->getModel(MafwTrackerModel::SongsOfUserPlaylist, 0, 1));
        const QStringList userHeaders = SongHeaders + QStringList { "playlistId", "entryPosition" };
        QCOMPARE(headersOf(user.data()), userHeaders);

        const QStringList albums = { "albumId",     "albumName",        "added",
                                     "artistName",  "albumArtistCount", "year",
                                     "albumLength", "albumSongs",       "albumTrackCount" };
        for (int type : { 100, 101, 102, 103 }) {
            QScopedPointer<MafwTrackerModel> m(
                factory->getModel(MafwTrackerModel::QueryType(type), 0, 1));
            QCOMPARE(headersOf(m.data()), albums);
        }
        QScopedPointer<MafwTrackerModel> artists(
            factory->getModel(MafwTrackerModel::AllArtists, 50, 0));
        QCOMPARE(headersOf(artists.data()),
                 QStringList({ "artistId", "artistName", "albumName", "numberOfAlbums", "albumId",
                               "numberOfSongs" }));
        const QStringList playlists = { "playlistId",         "playlistName",   "added",
                                        "playlistTrackCount", "playlistLength", "playlistUrl" };
        for (int type : { 300, 301, 302 }) {
            QScopedPointer<MafwTrackerModel> m(
                factory->getModel(MafwTrackerModel::QueryType(type), 50, 0));
            QCOMPARE(headersOf(m.data()), playlists);
        }
        QVERIFY(!factory->getModel(MafwTrackerModel::NoList, 0, 0));
        QVERIFY(!factory->getModel(MafwTrackerModel::UnknownAlbumOfArtist, 0, 1));
    }

    // Each field of a column map names the column whose header the models of its family serve;
    // a map that lists fewer fields than its struct holds fails too.
    void columnMapsNameTheColumnsTheModelsServe()
    {
        using Field = QPair<const char*, int>;
        auto check = [this](const QList<int>& types, int id, size_t mapSize,
                            const QList<Field>& fields) {
            QCOMPARE(size_t(fields.size()) * sizeof(int), mapSize);
            for (int type : types) {
                QScopedPointer<MafwTrackerModel> m(
                    factory->getModel(MafwTrackerModel::QueryType(type), 0, id));
                QVERIFY2(m, qPrintable(QString::number(type)));
                for (const Field& field : fields) {
                    QCOMPARE(
                        m->headerData(field.second, Qt::Horizontal, Qt::DisplayRole).toString(),
                        QString::fromLatin1(field.first));
                }
            }
        };
        const SongColumns songs;
        const QList<Field> songFields = {
            { "songUri", songs.uri },
            { "songTitle", songs.title },
            { "artistName", songs.artist },
            { "albumName", songs.album },
            { "songLength", songs.length },
            { "favorited", songs.favorited },
            { "genre", songs.genre },
            { "year", songs.year },
            { "songId", songs.songId },
            { "albumId", songs.albumId },
            { "artistId", songs.artistId },
            { "trackNumber", songs.trackNumber },
            { "usageCounter", songs.usageCounter },
            { "added", songs.added },
            { "url", songs.url },
            { "playlistId", songs.playlistId },
        };
        // Only the songs of a playlist have the playlist's id.
        check({ MafwTrackerModel::SongsOfPlaylistFile, MafwTrackerModel::SongsOfUserPlaylist }, 1,
              sizeof(SongColumns), songFields);
        const QList<Field> everySongList = songFields.mid(0, songFields.size() - 1);
        check({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 17 }, 1,
              sizeof(SongColumns) - sizeof(int), everySongList);

        const AlbumColumns albums;
        check({ 100, 101, 102, 103 }, 1, sizeof(AlbumColumns),
              { { "albumId", albums.albumId },
                { "albumName", albums.album },
                { "added", albums.added },
                { "artistName", albums.artist },
                { "albumArtistCount", albums.artistCount },
                { "year", albums.year },
                { "albumLength", albums.length },
                { "albumSongs", albums.songIds },
                { "albumTrackCount", albums.trackCount } });

        const ArtistColumns artists;
        check({ 200 }, 0, sizeof(ArtistColumns),
              { { "artistId", artists.artistId },
                { "artistName", artists.artist },
                { "albumName", artists.albums },
                { "numberOfAlbums", artists.albumCount },
                { "albumId", artists.albumId },
                { "numberOfSongs", artists.songCount } });

        const PlaylistColumns playlists;
        check({ 300, 301, 302 }, 0, sizeof(PlaylistColumns),
              { { "playlistId", playlists.playlistId },
                { "playlistName", playlists.name },
                { "added", playlists.added },
                { "playlistTrackCount", playlists.trackCount },
                { "playlistLength", playlists.length },
                { "playlistUrl", playlists.url } });
    }

    // Every column of every kind of song list serves its own value: the test reads each column
    // the model has and compares its cell, type and all, with the value known under its
    // header, so that a column served from its neighbour's place, or not at all, fails; and so
    // does a column the test knows no value for, until it is told one.
    void everySongColumnServesItsOwnCell()
    {
        QVERIFY(song("Navy"));
        // A copy: the catalogue's songs move as it takes in the playlists.
        const MafwStoreSong navy = *song("Navy");
        const int cobalt = songId("Cobalt");
        QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("cells/cells.m3u"),
                                             { QStringLiteral("Kim/Blue/02.ogg"),
                                               QStringLiteral("Kim/Blue/03.mp3") })
                     .isEmpty());
        QVERIFY(FixtureLibrary::index());
        factory->createPlaylist(QStringLiteral("Cells"), MafwTrackerModelFactory::SongItems,
                                { cobalt, navy.id });
        // Both lists whole: the store takes a playlist file and its entries in two writes, and
        // the catalogue may hold the file a moment before its entries.
        int playlistFile = 0, userPlaylist = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                playlistFile = userPlaylist = 0;
                for (const MafwStorePlaylist& p : factory->catalogue()->playlists()) {
                    if (p.entries.size() == 2)
                        (p.isFile() ? playlistFile : userPlaylist) = p.id;
                }
                return playlistFile && userPlaylist;
            }(),
            30000);

        // Navy as the fixture wrote it; its ids and time added as the store gave them.
        const QHash<QString, QVariant> navyCells = {
            { "songUri", navy.iri },
            { "songTitle", QStringLiteral("Navy") },
            { "artistName", QStringLiteral("Kim") },
            { "albumName", QStringLiteral("Blue") },
            { "songLength", 1 },
            { "favorited", false },
            { "genre", QStringLiteral("Pop") },
            { "year", QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC) },
            { "songId", navy.id },
            { "albumId", navy.albumId },
            { "artistId", navy.performerId },
            { "trackNumber", 3 },
            { "usageCounter", 0 },
            { "added", navy.added },
            { "url", FixtureLibrary::urlOf(QStringLiteral("Kim/Blue/03.mp3")) },
        };
        // The ids are the store's, one number space: no two columns share a value.
        QCOMPARE(QSet<int>({ navy.id, navy.albumId, navy.performerId }).size(), 3);
        QVERIFY(navy.added.isValid());
        auto withPlaylist = [&](int id, int entryPosition) {
            QHash<QString, QVariant> cells = navyCells;
            cells.insert(QStringLiteral("playlistId"), id);
            if (entryPosition >= 0)
                cells.insert(QStringLiteral("entryPosition"), entryPosition);
            return cells;
        };
        struct List
        {
            const char* name;
            MafwTrackerModel::QueryType type;
            int id;
            QHash<QString, QVariant> cells;
        };
        const List lists[] = {
            { "all songs", MafwTrackerModel::AllSongs, 0, navyCells },
            { "an album", MafwTrackerModel::SongsOfAlbum, navy.albumId, navyCells },
            { "a playlist file", MafwTrackerModel::SongsOfPlaylistFile, playlistFile,
              withPlaylist(playlistFile, -1) },
            { "a user playlist", MafwTrackerModel::SongsOfUserPlaylist, userPlaylist,
              withPlaylist(userPlaylist, 1) },
        };
        QStringList wrong;
        for (const List& list : lists) {
            QSharedPointer<MafwTrackerModel> model = loaded(list.type, 0, list.id);
            QVERIFY2(model, list.name);
            const int row = column(model.data(), model->columnOfKey("songId"))
                                .indexOf(QString::number(navy.id));
            QVERIFY2(row >= 0, list.name);
            wrong += wrongCells(model.data(), row, list.cells, list.name);
        }

        // The playlists go before the verdict, so that the tests after this one find none.
        QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
        factory->deleteItems({ userPlaylist }, MafwTrackerModel::UserPlaylists);
        QVERIFY(finished.wait(30000));
        factory->deleteItems({ playlistFile }, MafwTrackerModel::PlaylistFiles);
        QVERIFY(finished.wait(30000));
        QTRY_VERIFY_WITH_TIMEOUT(factory->catalogue()->playlists().isEmpty(), 30000);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void firstRowsArriveAfterReturnThenTheRest()
    {
        QScopedPointer<MafwTrackerModel> model(factory->getModel(MafwTrackerModel::AllSongs, 4, 0));
        QSignalSpy inserted(model.data(), SIGNAL(rowsInserted(QModelIndex, int, int)));
        QSignalSpy completed(model.data(), SIGNAL(completed()));
        QCOMPARE(model->rowCount(), 0); // nothing inside the call
        QTRY_COMPARE(model->rowCount(), 4);
        QVERIFY(!model->isComplete());
        QCOMPARE(completed.count(), 0);
        // Sorted by title.
        QCOMPARE(column(model.data(), 1), QStringList({ "Azure", "Cobalt", "Crimson", "Emerald" }));

        model->fetchRemainingRows();
        QVERIFY(completed.wait(10000));
        QCOMPARE(model->rowCount(), 9);
        QVERIFY(model->isComplete());
        model->fetchRemainingRows();
        QTest::qWait(50);
        QCOMPARE(completed.count(), 1);

        QScopedPointer<MafwTrackerModel> all(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
        QSignalSpy allCompleted(all.data(), SIGNAL(completed()));
        QCOMPARE(all->rowCount(), 0);
        QVERIFY(allCompleted.wait(10000));
        QCOMPARE(all->rowCount(), 9);
    }

    void songRowValues()
    {
        QSharedPointer<MafwTrackerModel> model = loaded(MafwTrackerModel::AllSongs, 0, 0);
        const MafwStoreSong* navy = song("Navy");
        QVERIFY(navy);
        int row = column(model.data(), 1).indexOf("Navy");
        QVERIFY(row >= 0);
        auto cell = [&](int c) { return model->index(row, c).data(); };
        QCOMPARE(cell(0).toString(), navy->iri);
        QVERIFY(cell(0).toString().startsWith("urn:uuid:"));
        QCOMPARE(cell(2).toString(), QStringLiteral("Kim"));
        QCOMPARE(cell(3).toString(), QStringLiteral("Blue"));
        QCOMPARE(cell(4).toInt(), 1);
        QCOMPARE(cell(5).type(), QVariant::Bool);
        QCOMPARE(cell(6).toString(), QStringLiteral("Pop"));
        QCOMPARE(cell(7).toDateTime().date().year(), 2001);
        QCOMPARE(cell(8).toInt(), navy->id);
        QVERIFY(cell(9).toInt() > 0);
        QVERIFY(cell(10).toInt() > 0);
        QCOMPARE(cell(11).toInt(), 3);
        QCOMPARE(cell(12).toInt(), 0);
        QVERIFY(cell(13).toDateTime().isValid());
        QCOMPARE(cell(14).toString(), FixtureLibrary::urlOf("Kim/Blue/03.mp3"));
        // The playable location travels on every column.
        for (int c = 0; c < model->columnCount(); ++c)
            QCOMPARE(model->index(row, c).data(Mafw::UrlRole).toString(), cell(14).toString());

        row = column(model.data(), 1).indexOf("Nobody");
        QCOMPARE(model->index(row, 2).data().toString(), UnknownArtist);
        QCOMPARE(model->index(row, 10).data().toInt(), 0);
        QVERIFY(!model->index(row, 6).data().isValid()); // no genre: no value
        QVERIFY(!model->index(row, 7).data().isValid());
        row = column(model.data(), 1).indexOf("Nowhere");
        QCOMPARE(model->index(row, 3).data().toString(), UnknownAlbum);
        QCOMPARE(model->index(row, 9).data().toInt(), 0);
    }

    void listsByQueryType()
    {
        const MafwStoreSong* azure = song("Azure");
        const MafwStoreSong* nowhere = song("Nowhere");
        const int blue = azure->albumId;
        const int kim = azure->performerId;
        const int lee = nowhere->performerId;
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfAlbum, 0, blue).data(), 1),
                 QStringList({ "Azure", "Cobalt", "Navy", "Nobody" }));
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfArtist, 0, kim).data(), 1),
                 QStringList({ "Azure", "Cobalt", "Navy", "Crimson", "Scarlet" }));
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfUnknownArtist, 0, 0).data(), 1),
                 QStringList({ "Nobody" }));
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfUnknownAlbum, 0, 0).data(), 1),
                 QStringList({ "Nowhere" }));
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfArtistWithoutAlbum, 0, lee).data(), 1),
                 QStringList({ "Nowhere" }));
        QCOMPARE(loaded(MafwTrackerModel::SongsWithoutAlbumAndArtist, 0, 0)->rowCount(), 0);
        QCOMPARE(column(loaded(MafwTrackerModel::OneSong, 0, azure->id).data(), 1),
                 QStringList({ "Azure" }));
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfAlbumByArtist, 0, blue, kim).data(), 1),
                 QStringList({ "Azure", "Cobalt", "Navy" }));
        // An artist id below 1 means the album's songs without a performer.
        QCOMPARE(column(loaded(MafwTrackerModel::SongsOfAlbumByArtist, 0, blue, -1).data(), 1),
                 QStringList({ "Nobody" }));
        QCOMPARE(loaded(MafwTrackerModel::NeverPlayedSongs, 0, 0)->rowCount(), 9);

        QSharedPointer<MafwTrackerModel> albums = loaded(MafwTrackerModel::AllAlbums, 50, 0);
        QCOMPARE(column(albums.data(), 1), QStringList({ "Blue", "Green", "Red" }));
        QCOMPARE(albums->index(0, 3).data().toString(),
                 QStringLiteral("Kim\tKim\tKim\t") + UnknownArtist);
        QCOMPARE(albums->index(0, 4).data().toInt(), 2);
        QCOMPARE(albums->index(0, 6).data().toInt(), 4);
        QCOMPARE(albums->index(0, 8).data().toInt(), 4);
        QCOMPARE(albums->index(0, 7).data().toString().split('\t').size(), 4);
        QCOMPARE(column(loaded(MafwTrackerModel::AlbumsOfArtist, 50, kim).data(), 1),
                 QStringList({ "Blue", "Red" }));
        QCOMPARE(column(loaded(MafwTrackerModel::AlbumsWithoutArtist, 0, 0).data(), 1),
                 QStringList({ "Blue" }));
        // Under an artist (or under no artist) an album row counts the songs of the page it
        // opens on: that artist's songs of the album, not the whole album.
        const QList<QPair<int, int>> owners = { { int(MafwTrackerModel::AlbumsOfArtist), kim },
                                                { int(MafwTrackerModel::AlbumsWithoutArtist),
                                                  -1 } };
        for (const auto& owner : owners) {
            QSharedPointer<MafwTrackerModel> rows = loaded(MafwTrackerModel::QueryType(owner.first),
                                                           50, owner.second < 0 ? 0 : owner.second);
            QSharedPointer<MafwTrackerModel> opened = loaded(MafwTrackerModel::SongsOfAlbumByArtist,
                                                             0, blue, owner.second);
            int seconds = 0;
            QStringList ids;
            for (int r = 0; r < opened->rowCount(); ++r) {
                seconds += opened->index(r, 4).data().toInt();
                ids.append(opened->index(r, 8).data().toString());
            }
            QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("Blue"));
            QCOMPARE(rows->index(0, 8).data().toInt(), owner.first == 101 ? 3 : 1);
            QCOMPARE(rows->index(0, 8).data().toInt(), opened->rowCount());
            QCOMPARE(rows->index(0, 6).data().toInt(), seconds);
            QStringList listed = rows->index(0, 7).data().toString().split('\t');
            listed.sort();
            ids.sort();
            QCOMPARE(listed, ids);
            // The album's performers stay the whole album's: its cover is the album's.
            QCOMPARE(rows->index(0, 3).data().toString(),
                     QStringLiteral("Kim\tKim\tKim\t") + UnknownArtist);
        }

        QSharedPointer<MafwTrackerModel> artists = loaded(MafwTrackerModel::AllArtists, 50, 0);
        QCOMPARE(column(artists.data(), 1), QStringList({ "Kim", "Lee" }));
        QCOMPARE(artists->index(0, 2).data().toString(), QStringLiteral("Blue\tRed"));
        QCOMPARE(artists->index(0, 3).data().toInt(), 2);
        QCOMPARE(artists->index(0, 5).data().toInt(), 5);
        // Lee has one album: its id and its clean title.
        QCOMPARE(artists->index(1, 2).data().toString(), QStringLiteral("Green"));
        QCOMPARE(artists->index(1, 4).data().toInt(), song("Jade")->albumId);
    }

    void asyncQueryConvention()
    {
        MafwTrackerConnection* connection = factory->trackerConnection();
        QueryProbe probe;
        const QVariant cookie = QVariantList { 7, 120 };
        connection->asyncQuery(QStringLiteral("SELECT ?s ?x WHERE { ?s a nmm:MusicPiece . "
                                              "OPTIONAL { ?s nfo:lastPlayedPosition ?x } }"),
                               2, &probe, SLOT(ready(QList<QStringList>, bool, const QVariant&)),
                               SLOT(queryFailed(int, QString, const QVariant&)), cookie);
        QCOMPARE(probe.answers(), 0); // never inside the call
        QTRY_COMPARE(probe.answers(), 1);
        QCOMPARE(probe.results, 1);
        QVERIFY(probe.complete);
        QCOMPARE(probe.rows.size(), 9);
        QCOMPARE(probe.rows.first().size(), 2);
        QVERIFY(probe.rows.first().at(1).isNull());
        QCOMPARE(probe.cookie, cookie);
        // The very value given, sharing its data, not a rebuilt one.
        const QVariantList given = cookie.toList();
        const QVariantList back = probe.cookie.toList();
        QCOMPARE(&back.at(0), &given.at(0));
        FixtureLibrary::settleStore();
        QCOMPARE(probe.answers(), 1);

        QueryProbe failing;
        connection->asyncQuery(QStringLiteral("SELECT ?s WHERE { ?s a nmm:NoSuchClass }"), 1,
                               &failing, SLOT(ready(QList<QStringList>, bool, const QVariant&)),
                               SLOT(queryFailed(int, QString, const QVariant&)),
                               QStringLiteral("token"));
        QTRY_COMPARE(failing.answers(), 1);
        QCOMPARE(failing.failures, 1);
        QVERIFY(!failing.errorMessage.isEmpty());
        QCOMPARE(failing.cookie.toString(), QStringLiteral("token"));

        // An update answers with no rows; a receiver that is gone gets nothing and nothing breaks.
        QueryProbe writer;
        connection->asyncQuery(QStringLiteral("INSERT DATA { <urn:test:probe> a nmm:Artist ; "
                                              "nmm:artistName \"Probe\" }"),
                               1, &writer, SLOT(ready(QList<QStringList>, bool, const QVariant&)),
                               SLOT(queryFailed(int, QString, const QVariant&)), QVariant());
        QTRY_COMPARE(writer.answers(), 1);
        QCOMPARE(writer.results, 1);
        QVERIFY(writer.rows.isEmpty());
        auto* doomed = new QueryProbe;
        connection->asyncQuery(QStringLiteral("SELECT ?s WHERE { ?s a nmm:MusicPiece }"), 1, doomed,
                               SLOT(ready(QList<QStringList>, bool, const QVariant&)),
                               SLOT(queryFailed(int, QString, const QVariant&)), QVariant());
        delete doomed;
        FixtureLibrary::settleStore();
    }

    void liveModelsFollowNewAndDeletedSongs()
    {
        const int blue = song("Azure")->albumId;
        const int kim = song("Azure")->performerId;
        QSharedPointer<MafwTrackerModel> all = loaded(MafwTrackerModel::AllSongs, 0, 0);
        QSharedPointer<MafwTrackerModel> album = loaded(MafwTrackerModel::SongsOfAlbum, 0, blue);
        QSharedPointer<MafwTrackerModel> artist = loaded(MafwTrackerModel::SongsOfArtist, 0, kim);
        QSharedPointer<MafwTrackerModel> albums = loaded(MafwTrackerModel::AllAlbums, 0, 0);
        QSharedPointer<MafwTrackerModel> copy(factory->copyModel(album, -1));
        QVERIFY(copy);
        QSignalSpy copyDone(copy.data(), SIGNAL(completed()));
        QCOMPARE(copy->rowCount(), 0);
        QVERIFY(copyDone.wait(10000));
        QCOMPARE(copy->rowCount(), 4);

        ModelWatch wAll(all.data()), wAlbum(album.data()), wArtist(artist.data()),
            wCopy(copy.data()), wAlbums(albums.data());
        QSignalSpy added(factory->trackerConnection(), SIGNAL(musicAdded(QSet<int>)));
        AudioTags tags;
        tags.title = QStringLiteral("Beryl");
        tags.artist = QStringLiteral("Kim");
        tags.album = QStringLiteral("Blue");
        tags.trackNumber = 5;
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/05.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QTRY_VERIFY_WITH_TIMEOUT(!added.isEmpty(), 30000);
        const int beryl = songId("Beryl");
        QVERIFY(beryl > 0);
        QVERIFY(added.last().first().value<QSet<int>>().contains(beryl));
        QTRY_COMPARE(all->rowCount(), 10);
        QTRY_COMPARE(album->rowCount(), 5);
        QTRY_COMPARE(artist->rowCount(), 6);
        QCOMPARE(column(album.data(), 1),
                 QStringList({ "Azure", "Cobalt", "Navy", "Nobody", "Beryl" }));
        QCOMPARE(copy->rowCount(), 4); // a copy holds what it was given
        QCOMPARE(wAll.inserted.count(), 1);
        QCOMPARE(wAll.inserted.first().at(1).toInt(), 1); // "Beryl" sorts after "Azure"
        QTRY_COMPARE(albums->index(0, 8).data().toInt(), 5);
        QVERIFY(wAlbums.changed.count() >= 1);

        // A file that vanishes leaves every model that showed it, the copy too.
        QSignalSpy deleted(factory->trackerConnection(), SIGNAL(musicDeleted(QSet<int>)));
        const int azure = songId("Azure");
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Kim/Blue/01.ogg")));
        QVERIFY(FixtureLibrary::index());
        QTRY_VERIFY_WITH_TIMEOUT(!deleted.isEmpty(), 30000);
        QVERIFY(deleted.last().first().value<QSet<int>>().contains(azure));
        QTRY_COMPARE(all->rowCount(), 9);
        QTRY_COMPARE(album->rowCount(), 4);
        QTRY_COMPARE(artist->rowCount(), 5);
        QTRY_COMPARE(copy->rowCount(), 3);
        for (ModelWatch* w : { &wAll, &wAlbum, &wArtist, &wCopy }) {
            QCOMPARE(w->removed.count(), 1);
            QVERIFY(w->onlyRowChanges());
        }
        QVERIFY(wAlbums.onlyRowChanges());
        QVERIFY(!column(all.data(), 1).contains("Azure"));
    }

    void favouriteIsWrittenAndFollowed()
    {
        QSharedPointer<MafwTrackerModel> all = loaded(MafwTrackerModel::AllSongs, 0, 0);
        QSharedPointer<MafwTrackerModel> favourites = loaded(MafwTrackerModel::FavouriteSongs, 50,
                                                             0);
        QCOMPARE(favourites->rowCount(), 0);
        const int row = column(all.data(), 1).indexOf("Jade");
        const QModelIndex cell = all->index(row, 5);
        QVERIFY(cell.flags() & Qt::ItemIsEditable);
        QVERIFY(!all->setData(all->index(row, 1), "other title")); // only the mark is writable
        QSignalSpy changed(all.data(), SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
        QVERIFY(all->setData(cell, true));
        QCOMPARE(cell.data().toBool(), true);
        QCOMPARE(changed.count(), 1);
        QTRY_COMPARE(favourites->rowCount(), 1);
        QCOMPARE(favourites->index(0, 1).data().toString(), QStringLiteral("Jade"));

        QSignalSpy unfavourited(factory->trackerConnection(), SIGNAL(musicUnfavorited(QSet<int>)));
        QVERIFY(favourites->setData(favourites->index(0, 5), false));
        QTRY_COMPARE(favourites->rowCount(), 0);
        QTRY_COMPARE(unfavourited.count(), 1);
        QVERIFY(all->setData(cell, true));
        QTRY_COMPARE(favourites->rowCount(), 1);
    }

    void hostileTitlesAndFileNames()
    {
        const QString title = QStringLiteral(
            "He said \"hi\" <b>&amp;</b> it's a \\ back\nslash %1");
        const QString name = QStringLiteral("odd \"name\" <x> it's back\\slash %2\nline.ogg");
        AudioTags tags;
        tags.title = title;
        tags.artist = QStringLiteral("Kim \"The\" <Voice>");
        tags.album = QStringLiteral("Quotes \" and \\ slashes");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("odd/") + name, tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QTRY_VERIFY_WITH_TIMEOUT(songId(title) > 0, 30000);
        QSharedPointer<MafwTrackerModel> all = loaded(MafwTrackerModel::AllSongs, 0, 0);
        const int row = column(all.data(), 1).indexOf(title);
        QVERIFY(row >= 0);
        QCOMPARE(all->index(row, 2).data().toString(), tags.artist);
        QCOMPARE(all->index(row, 3).data().toString(), tags.album);
        QCOMPARE(all->index(row, 14).data().toString(),
                 FixtureLibrary::urlOf(QStringLiteral("odd/") + name));

        QList<QStringList> rows;
        QVERIFY(QueryProbe::run(factory->trackerConnection(),
                                QString::fromLatin1(StoreQueries::SongByFileName)
                                    .arg(TrackerSparql::escapeString(name)),
                                2, &rows));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(1).toInt(), songId(title));
    }

    void deletionRemovesFilesAndRows()
    {
        QSharedPointer<MafwTrackerModel> all = loaded(MafwTrackerModel::AllSongs, 0, 0);
        const int before = all->rowCount();
        const int scarlet = songId("Scarlet");
        const QString path = FixtureLibrary::pathOf(QStringLiteral("Kim/Red/02.ogg"));
        QVERIFY(QFile::exists(path));
        QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
        factory->deleteItems({ scarlet }, MafwTrackerModel::AllSongs);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().at(0).toInt(), 1);
        QCOMPARE(finished.first().at(1).toInt(), 0);
        QVERIFY(!QFile::exists(path));
        QTRY_COMPARE(all->rowCount(), before - 1);

        // No ids: nothing, except for the sets that have no id.
        factory->deleteItems({}, MafwTrackerModel::AllSongs);
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(finished.last().at(0).toInt(), 0);
        QCOMPARE(finished.last().at(1).toInt(), 0);
        FixtureLibrary::settleStore();
        QCOMPARE(finished.count(), 2);
        QCOMPARE(all->rowCount(), before - 1);
    }

    void userPlaylistsAreCreatedAndEdited()
    {
        QSharedPointer<MafwTrackerModel> lists = loaded(MafwTrackerModel::UserPlaylists, 50, 0);
        QSharedPointer<MafwTrackerModel> recent = loaded(MafwTrackerModel::RecentPlaylists, 9, 0);
        const int cobalt = songId("Cobalt"), navy = songId("Navy"), jade = songId("Jade");
        const QString name = QStringLiteral("Road \"trip\" \\ <1>");
        factory->createPlaylist(name, MafwTrackerModelFactory::SongItems,
                                { cobalt, navy, jade, cobalt });
        QTRY_COMPARE(lists->rowCount(), 1);
        QCOMPARE(lists->index(0, 1).data().toString(), name);
        QCOMPARE(lists->index(0, 3).data().toInt(), 4);
        QVERIFY(!lists->index(0, 5).data().isValid());
        QTRY_COMPARE(recent->rowCount(), 1);
        QVERIFY(recent->index(0, 2).data().toDateTime().isValid());
        const int playlistId = lists->index(0, 0).data().toInt();

        QSharedPointer<MafwTrackerModel> songs = loaded(MafwTrackerModel::SongsOfUserPlaylist, 0,
                                                        playlistId);
        QCOMPARE(songs->rowCount(), 4);
        auto* editable = dynamic_cast<MafwEditableModel*>(songs.data());
        QVERIFY(editable);
        QVERIFY(!dynamic_cast<MafwEditableModel*>(lists.data()));
        QSignalSpy removed(songs.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)));
        // The last row and the first, in that order: both copies of Cobalt go, nothing else.
        editable->removeItems({ 3, 0 });
        QTRY_COMPARE(songs->rowCount(), 2);
        QCOMPARE(column(songs.data(), 8),
                 QStringList({ QString::number(navy), QString::number(jade) }));

        QSignalSpy inserted(songs.data(), SIGNAL(rowsInserted(QModelIndex, int, int)));
        editable->insertItems(MafwTrackerModelFactory::AlbumItems, { song("Crimson")->albumId });
        QTRY_COMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 2);
        QCOMPARE(inserted.first().at(2).toInt(), 2); // Red has one song left
        QCOMPARE(songs->rowCount(), 3);

        QSignalSpy gone(factory->trackerConnection(), SIGNAL(playlistsDeleted(QSet<int>)));
        QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
        factory->deleteItems({ playlistId }, MafwTrackerModel::UserPlaylists);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().at(0).toInt(), 1);
        QTRY_COMPARE(lists->rowCount(), 0);
        QTRY_COMPARE(gone.count(), 1);
        QVERIFY(gone.first().first().value<QSet<int>>().contains(playlistId));
        QTRY_COMPARE(songs->rowCount(), 0);
    }

    void supplementaryTotalsOfAnArtist()
    {
        Totals totals;
        const int lee = song("Jade")->performerId;
        factory->requestSupplementaryQuery(&totals, SLOT(updateAllSongsLabel(int, int)),
                                           MafwTrackerModel::ArtistSongCountAndLength, lee);
        QCOMPARE(totals.calls, 0);
        QTRY_COMPARE(totals.calls, 1);
        QCOMPARE(totals.count, 3);
        QCOMPARE(totals.seconds, 3);
    }

    void unknownEntriesAreAnnouncedToLateListeners()
    {
        QSignalSpy artists(factory, SIGNAL(unknownArtistCountChanged(bool)));
        QSignalSpy albums(factory, SIGNAL(unknownAlbumsCountChanged(bool)));
        loaded(MafwTrackerModel::AllArtists, 50, 0);
        loaded(MafwTrackerModel::AllAlbums, 50, 0);
        QTRY_COMPARE(artists.count(), 1);
        QCOMPARE(artists.first().first().toBool(), true);
        QTRY_COMPARE(albums.count(), 1);
        QCOMPARE(albums.first().first().toBool(), true);

        // The last song without album goes: the state flips.
        albums.clear();
        factory->deleteItems({}, MafwTrackerModel::SongsOfUnknownAlbum);
        QTRY_VERIFY_WITH_TIMEOUT(!albums.isEmpty(), 30000);
        QCOMPARE(albums.last().first().toBool(), false);
    }

    void favouriteSurvivesARestart()
    {
        const int jade = songId("Jade");
        QVERIFY(factory->catalogue()->song(jade)->favourite);
        delete factory;
        factory = nullptr;
        TrackerStore::destroy();
        factory = makeFactory();
        QVERIFY(factory);
        QSharedPointer<MafwTrackerModel> favourites = loaded(MafwTrackerModel::FavouriteSongs, 50,
                                                             0);
        QCOMPARE(column(favourites.data(), 8), QStringList({ QString::number(jade) }));
    }

    void everyKindKeepsTheModelContract()
    {
        // Something in every list: a song without album, a playlist file, a user playlist, a
        // played song.
        AudioTags stray;
        stray.title = QStringLiteral("Stray");
        stray.artist = QStringLiteral("Kim");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Loose/stray.ogg"), stray).isEmpty());
        QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("lists/mix.m3u"),
                                             { QStringLiteral("Kim/Blue/02.ogg"),
                                               QStringLiteral("Lee/Green/01.ogg") })
                     .isEmpty());
        QVERIFY(FixtureLibrary::index());
        const int cobalt = songId("Cobalt"), emerald = songId("Emerald");
        factory->createPlaylist(QStringLiteral("Checked"), MafwTrackerModelFactory::SongItems,
                                { cobalt, emerald, cobalt });
        factory->trackerConnection()->songPlayed(emerald);
        int playlistFile = 0, userPlaylist = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const MafwStorePlaylist& p : factory->catalogue()->playlists())
                    (p.isFile() ? playlistFile : userPlaylist) = p.id;
                const MafwStoreSong* played = factory->catalogue()->song(emerald);
                return playlistFile && userPlaylist && played && played->usage > 0;
            }(),
            30000);
        const int album = song("Cobalt")->albumId;
        const int artist = song("Cobalt")->performerId;

        // Every query type there is, so that a new one cannot go unchecked.
        const QMetaEnum types = QMetaEnum::fromType<MafwTrackerModel::QueryType>();
        QVector<QSharedPointer<MafwTrackerModel>> models;
        for (int i = 0; i < types.keyCount(); ++i) {
            const auto type = MafwTrackerModel::QueryType(types.value(i));
            int id = 0, second = 0;
            switch (type) {
            case MafwTrackerModel::SongsOfAlbum:
                id = album;
                break;
            case MafwTrackerModel::SongsOfArtist:
            case MafwTrackerModel::SongsOfArtistWithoutAlbum:
            case MafwTrackerModel::AlbumsOfArtist:
                id = artist;
                break;
            case MafwTrackerModel::OneSong:
                id = cobalt;
                break;
            case MafwTrackerModel::SongsOfPlaylistFile:
                id = playlistFile;
                break;
            case MafwTrackerModel::SongsOfUserPlaylist:
                id = userPlaylist;
                break;
            case MafwTrackerModel::SongsOfAlbumByArtist:
                id = album;
                second = artist;
                break;
            default:
                break;
            }
            QSharedPointer<MafwTrackerModel> model(second ? factory->getModel(type, 2, id, second)
                                                          : factory->getModel(type, 2, id));
            if (type == MafwTrackerModel::NoList
                || type == MafwTrackerModel::UnknownAlbumOfArtist) {
                QVERIFY(!model); // no list of their own
                continue;
            }
            QVERIFY2(model, types.key(i));
            watch(model.data());
            QSignalSpy completed(model.data(), SIGNAL(completed()));
            QTRY_VERIFY2(model->rowCount() > 0 || model->isComplete(), types.key(i));
            model->fetchRemainingRows();
            QTRY_VERIFY2(model->isComplete(), types.key(i));
            const bool mayBeEmpty = type == MafwTrackerModel::RecentlyDownloadedSongs
                                    || type == MafwTrackerModel::SongsWithoutAlbumAndArtist;
            QVERIFY2(mayBeEmpty || model->rowCount() > 0, types.key(i));
            models << model;
        }
        QSharedPointer<MafwTrackerModel> pinned(factory->copyModel(models.first(), -1));
        QVERIFY(pinned);
        watch(pinned.data());
        QSignalSpy pinnedDone(pinned.data(), SIGNAL(completed()));
        QVERIFY(pinnedDone.wait(10000));

        // The checkers see every model follow a new song, a changed mark, a removed playlist
        // entry and a vanished file.
        QSharedPointer<MafwTrackerModel> all = models.first();
        const int before = all->rowCount();
        AudioTags tags;
        tags.title = QStringLiteral("Teal");
        tags.artist = QStringLiteral("Kim");
        tags.album = QStringLiteral("Blue");
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/06.ogg"), tags).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), before + 1, 30000);
        QVERIFY(factory->setFavourite(cobalt, true));
        QSharedPointer<MafwTrackerModel> user;
        for (const QSharedPointer<MafwTrackerModel>& m : models) {
            if (m->queryType() == MafwTrackerModel::SongsOfUserPlaylist)
                user = m;
        }
        QVERIFY(user);
        QCOMPARE(user->rowCount(), 3);
        dynamic_cast<MafwEditableModel*>(user.data())->removeItems({ 0 });
        QTRY_COMPARE(user->rowCount(), 2);
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Kim/Blue/02.ogg")));
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), before, 30000);
        QTRY_COMPARE(user->rowCount(), 1);
    }

    void deletionTakesExactlyTheStoredFile()
    {
        // A name that is not UTF-8 beside the UTF-8 name it turns into when read as text
        // (the byte 0xe9 becomes U+FFFD): deleting the first must leave the second alone, for a
        // song and for a playlist file.
        const QByteArray folder = QFile::encodeName(FixtureLibrary::pathOf(QStringLiteral("del")));
        const QString decoyName = QStringLiteral("caf") + QChar(0xfffd);
        struct RemovedAtEnd
        {
            QByteArray folder;
            ~RemovedAtEnd()
            {
                for (const char* name : { "/caf\xe9.ogg", "/l\xe9.m3u" })
                    ::unlink((folder + name).constData());
            }
        } removedAtEnd { folder };
        AudioTags tags;
        tags.title = QStringLiteral("Latin");
        const QString latin = FixtureLibrary::addSong(QStringLiteral("del/latin.ogg"), tags);
        tags.title = QStringLiteral("Decoy");
        const QString decoy = FixtureLibrary::addSong(QStringLiteral("del/") + decoyName + ".ogg",
                                                      tags);
        tags.title = QStringLiteral("Gone");
        const QString gone = FixtureLibrary::addSong(QStringLiteral("del/gone.ogg"), tags);
        tags.title = QStringLiteral("Stuck");
        const QString stuck = FixtureLibrary::addSong(QStringLiteral("del/stuck.ogg"), tags);
        QVERIFY(!latin.isEmpty() && !decoy.isEmpty() && !gone.isEmpty() && !stuck.isEmpty());
        QCOMPARE(::rename(QFile::encodeName(latin).constData(),
                          (folder + "/caf\xe9.ogg").constData()),
                 0);
        const QString decoyList = FixtureLibrary::addPlaylist(QStringLiteral("del/l")
                                                                  + QChar(0xfffd) + ".m3u",
                                                              { QStringLiteral("del/stuck.ogg") });
        const QString latinList = FixtureLibrary::addPlaylist(QStringLiteral("del/latin.m3u"),
                                                              { QStringLiteral("del/stuck.ogg") });
        QVERIFY(!decoyList.isEmpty() && !latinList.isEmpty());
        QCOMPARE(::rename(QFile::encodeName(latinList).constData(),
                          (folder + "/l\xe9.m3u").constData()),
                 0);
        QVERIFY(FixtureLibrary::index());
        QTRY_VERIFY_WITH_TIMEOUT(songId("Latin") > 0 && songId("Stuck") > 0, 30000);
        int latinListId = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&]() {
                for (const MafwStorePlaylist& p : factory->catalogue()->playlists()) {
                    if (p.url.endsWith(QLatin1String("/del/l%E9.m3u")))
                        latinListId = p.id;
                }
                return latinListId > 0;
            }(),
            30000);

        QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
        factory->deleteItems({ songId("Latin") }, MafwTrackerModel::AllSongs);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last(), QList<QVariant>({ 1, 0 }));
        struct stat status;
        QVERIFY(::lstat((folder + "/caf\xe9.ogg").constData(), &status) != 0);
        QVERIFY(QFileInfo::exists(decoy));

        factory->deleteItems({ latinListId }, MafwTrackerModel::PlaylistFiles);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last(), QList<QVariant>({ 1, 0 }));
        QVERIFY(::lstat((folder + "/l\xe9.m3u").constData(), &status) != 0);
        QVERIFY(QFileInfo::exists(decoyList));

        // A file already gone, and one that cannot be unlinked (a folder has taken its name),
        // are failures, never counted as deleted.
        const int goneId = songId("Gone");
        QVERIFY(QFile::remove(gone));
        factory->deleteItems({ goneId }, MafwTrackerModel::AllSongs);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last(), QList<QVariant>({ 0, 1 }));
        const int stuckId = songId("Stuck");
        QVERIFY(QFile::remove(stuck));
        QVERIFY(QDir().mkpath(stuck));
        factory->deleteItems({ stuckId }, MafwTrackerModel::AllSongs);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last(), QList<QVariant>({ 0, 1 }));
        QVERIFY(QFileInfo(stuck).isDir());
    }

    void songsArrivingAtManyPlacesGoInInOrder()
    {
        QSharedPointer<MafwTrackerModel> all = loaded(MafwTrackerModel::AllSongs, 0, 0);
        QVERIFY(all);
        const MafwStoreCatalogue* catalogue = factory->catalogue();
        const int idColumn = all->columnOfKey(QStringLiteral("songId"));
        // Whether the list is in title order, every row a song of the library: checked at
        // every insertion too, while the rows after it may not have moved yet.
        auto inOrder = [&] {
            const MafwStoreSong* previous = nullptr;
            for (int r = 0; r < all->rowCount(); ++r) {
                const MafwStoreSong* s = catalogue->song(all->index(r, idColumn).data().toInt());
                if (!s || all->index(r, 1).data().toString() != s->title)
                    return false;
                if (previous && catalogue->compareTitles(*previous, *s) >= 0)
                    return false;
                previous = s;
            }
            return true;
        };
        int insertions = 0;
        bool orderedThroughout = true;
        QObject listening;
        connect(all.data(), &QAbstractItemModel::rowsInserted, &listening, [&] {
            ++insertions;
            orderedThroughout = orderedThroughout && inOrder();
        });
        // Titles before, between and after those of the library, one indexing run for all.
        const QStringList titles { "Aardvark", "Bay",   "Cove",  "Dune",  "Fjord", "Garnet",
                                   "Indigo",   "Mauve", "Ochre", "Slate", "Umber", "Zinc" };
        for (int i = 0; i < titles.size(); ++i) {
            AudioTags tags;
            tags.title = titles.at(i);
            tags.artist = QStringLiteral("Many");
            tags.album = QStringLiteral("Places");
            tags.trackNumber = i + 1;
            QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Many/Places/%1.ogg").arg(i), tags)
                         .isEmpty());
        }
        QVERIFY(FixtureLibrary::index());
        // Every one of them in the list, and the list as long as the library (changes that
        // the tests before left may still come in).
        auto shown = [&] {
            const QStringList listed = column(all.data(), 1);
            int count = 0;
            for (const QString& title : titles)
                count += listed.count(title);
            return count;
        };
        QTRY_COMPARE_WITH_TIMEOUT(shown(), int(titles.size()), 30000);
        QTRY_COMPARE(all->rowCount(), catalogue->songs().size());
        QVERIFY(insertions > 1);
        QVERIFY(orderedThroughout);
        QVERIFY(inOrder());

        // They leave again, and the list stays in order.
        for (int i = 0; i < titles.size(); ++i)
            QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Many/Places/%1.ogg").arg(i)));
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(shown(), 0, 30000);
        QTRY_COMPARE(all->rowCount(), catalogue->songs().size());
        QVERIFY(inOrder());
    }

    void initFailureIsReported()
    {
        MafwTrackerModelFactory::setFailInitForTesting(true);
        MafwTrackerModelFactory failing(UnknownAlbum, UnknownArtist, 2000);
        QSignalSpy init(&failing, SIGNAL(initCompleted(bool)));
        failing.init();
        QCOMPARE(init.count(), 0);
        QVERIFY(init.wait(10000));
        QCOMPARE(init.first().first().toBool(), false);
        MafwTrackerModelFactory::setFailInitForTesting(false);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestStoreModels)
#include "tst_storemodels.moc"
