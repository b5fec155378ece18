// The library lists over a store written directly: their order is the store's own, the first
// rows come before the rest without ever being taken back, and a change moves or announces
// one row instead of computing the list again.

#include "mafwgallop.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "testenvironment.h"
#include "fixturelibrary.h"
#include "trackerfolderwalker.h"
#include "trackerindexworker.h"
#include "trackerplaylistreader.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"
#include "trackertagreader.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <algorithm>
#include <random>

namespace {

// What a change in the store may take to reach the lists on a loaded machine, sanitizer build
// included.
constexpr int StoreWaitMs = 30000;

// Titles whose order differs between plain text order, case-insensitive order and the
// collation of the store: case, accents, digits, punctuation and other scripts.
const char* const TrickyTitles[] = { "abc",    "ABC",    "Abc",    "b",     "a10",    "a9",
                                     "Äb",     "ab",     "a b",    "a-b",   "_x",     "ä",
                                     "Zebra",  "zebra",  "Утро",   "ירח",   "夜明け", "Song 10",
                                     "Song 9", "song 9", "Éa",     "ea",    "eb",     "ß",
                                     "ss",     "(paren", "'quote", "1 one", "10 ten", "2 two" };

QStringList titles(const QAbstractItemModel* model)
{
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 1).data().toString();
    return out;
}

} // namespace

class TestStoreLists : public QObject
{
    Q_OBJECT

private:
    MafwTrackerModelFactory* factory = nullptr;
    int written = 0;

    // Writes songs as the indexer does, straight into the store.
    bool write(const QStringList& songTitles, const QString& album = QStringLiteral("Album"),
               const QString& artist = QStringLiteral("Kim"))
    {
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
        QStringList batch;
        for (const QString& title : songTitles) {
            TrackerTrackInfo info;
            info.title = title;
            info.artist = artist;
            info.album = album;
            info.trackNumber = ++written;
            info.durationSeconds = 60;
            batch << TrackerIndexWorker::songUpdate(
                TrackerSparql::newIri(), false, QStringLiteral("file:///lists/%1.ogg").arg(written),
                QStringLiteral("%1.ogg").arg(written), 10, added, added, info);
        }
        const bool ok = TrackerQueryRunner::update(connection, batch.join(QStringLiteral(" ;\n")))
                            .ok;
        TrackerQueryRunner::releaseConnection(connection);
        return ok;
    }

    bool update(const QString& sparql)
    {
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        const bool ok = TrackerQueryRunner::update(connection, sparql).ok;
        TrackerQueryRunner::releaseConnection(connection);
        return ok;
    }

    QStringList storeOrder()
    {
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        const TrackerQueryResult result = TrackerQueryRunner::select(
            connection,
            QStringLiteral("SELECT ?t WHERE { ?s a nmm:MusicPiece ; nie:title ?t } "
                           "ORDER BY ?t tracker:id(?s)"),
            1);
        TrackerQueryRunner::releaseConnection(connection);
        QStringList out;
        for (const QStringList& row : result.rows)
            out << row.first();
        return out;
    }

    const MafwStoreSong* song(const QString& title) const
    {
        for (const MafwStoreSong& s : factory->catalogue()->songs()) {
            if (s.title == title)
                return &s;
        }
        return nullptr;
    }

    QSharedPointer<MafwTrackerModel> complete(MafwTrackerModel::QueryType type, int id = 0)
    {
        QSharedPointer<MafwTrackerModel> model(factory->getModel(type, 0, id));
        new QAbstractItemModelTester(model.data(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     model.data());
        QSignalSpy done(model.data(), SIGNAL(completed()));
        if (!model->isComplete())
            done.wait(30000);
        return model;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FixtureLibrary::openStore());
        QStringList many;
        for (int i = 0; i < 70; ++i)
            many << QStringLiteral("Filler %1").arg(i);
        for (const char* title : TrickyTitles)
            many << QString::fromUtf8(title);
        QVERIFY(write(many));
        FixtureLibrary::settleStore();
        MafwTrackerModelFactory::setIndexerEnabled(false);
    }

    void firstRowsComeFirstAndStayInTheStoresOrder()
    {
        factory = new MafwTrackerModelFactory(QStringLiteral("No album"),
                                              QStringLiteral("No artist"), 2000, this);
        QSignalSpy ready(factory, SIGNAL(initCompleted(bool)));
        factory->init();
        QVERIFY(ready.wait(30000));
        QVERIFY(factory->catalogue()->isLoaded());
        QSharedPointer<MafwTrackerModel> all(factory->getModel(MafwTrackerModel::AllSongs, 50, 0));
        QSignalSpy removed(all.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 50, StoreWaitMs);
        const QStringList order = storeOrder();
        QCOMPARE(order.size(), 100);
        QCOMPARE(titles(all.data()), order.mid(0, 50));
        QSignalSpy done(all.data(), SIGNAL(completed()));
        all->fetchRemainingRows();
        QVERIFY(all->isComplete() || done.wait(30000));
        // The rest follows the first rows: nothing shown is taken back or moved.
        QCOMPARE(titles(all.data()), order);
        QCOMPARE(removed.count(), 0);
    }

    void newSongsTakeTheStoresPlace()
    {
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        QSignalSpy inserted(all.data(), SIGNAL(rowsInserted(QModelIndex, int, int)));
        QSignalSpy removed(all.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)));
        QVERIFY(write({ QStringLiteral("Äa"), QStringLiteral("song 10"), QStringLiteral("Ω") }));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), 103, StoreWaitMs);
        QCOMPARE(titles(all.data()), storeOrder());
        QCOMPARE(removed.count(), 0);
        int rows = 0;
        for (const QList<QVariant>& signal : inserted)
            rows += signal.at(2).toInt() - signal.at(1).toInt() + 1;
        QCOMPARE(rows, 3);
    }

    void aChangedTitleMovesOneRowAndAPlayCountMovesNone()
    {
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        QSharedPointer<MafwTrackerModel> album = complete(MafwTrackerModel::SongsOfAlbum,
                                                          song("b")->albumId);
        QSignalSpy inserted(all.data(), SIGNAL(rowsInserted(QModelIndex, int, int)));
        QSignalSpy removed(all.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)));
        QSignalSpy changed(all.data(), SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
        QSignalSpy albumRemoved(album.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)));

        const QString iri = song("b")->iri;
        const int row = titles(all.data()).indexOf(QStringLiteral("b"));
        QVERIFY(
            update(QStringLiteral(
                       "DELETE { <%1> nie:usageCounter ?u } WHERE { <%1> nie:usageCounter ?u } ;"
                       "INSERT DATA { <%1> nie:usageCounter 3 }")
                       .arg(iri)));
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, StoreWaitMs);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), row);
        QCOMPARE(all->index(row, 12).data().toInt(), 3);
        QCOMPARE(inserted.count() + removed.count(), 0);

        QVERIFY(update(QStringLiteral("DELETE { <%1> nie:title ?t } WHERE { <%1> nie:title ?t } ;"
                                      "INSERT DATA { <%1> nie:title \"zz top\" }")
                           .arg(iri)));
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(inserted.count(), 1, StoreWaitMs);
        QCOMPARE(removed.first().at(1).toInt(), row);
        QCOMPARE(titles(all.data()), storeOrder());
        // In the album the song keeps its track's place.
        QCOMPARE(albumRemoved.count(), 0);
    }

    // A song read again after it played (a new count and time) holds the texts it had, not a
    // second copy of each: the copies stayed, one for every song ever played.
    void aPlayedSongKeepsTheTextsItHad()
    {
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        const MafwStoreCatalogue* catalogue = factory->catalogue();
        QVERIFY(song("Filler 3"));
        const MafwStoreSong before = *song("Filler 3");
        QVERIFY(
            update(QStringLiteral("DELETE { <%1> nie:usageCounter ?u } WHERE { <%1> "
                                  "nie:usageCounter ?u } ; INSERT DATA { <%1> "
                                  "nie:usageCounter 5 ; nie:contentAccessed \"%2\" }")
                       .arg(before.iri, TrackerSparql::timeText(QDateTime::currentDateTimeUtc()))));
        QTRY_COMPARE_WITH_TIMEOUT(catalogue->song(before.id)->usage, 5, StoreWaitMs);
        const MafwStoreSong* after = catalogue->song(before.id);
        QVERIFY(after->iri.constData() == before.iri.constData());
        QVERIFY(after->title.constData() == before.title.constData());
        QVERIFY(after->url.constData() == before.url.constData());
        QVERIFY(after->performer.constData() == before.performer.constData());
        QVERIFY(after->album.constData() == before.album.constData());
        QCOMPARE(catalogue->songByUrl(before.url), after);
    }

    void theWalkNamesFilesAsTheStoreDoes()
    {
        // Every printable ASCII character QUrl treats in its own way, and other scripts.
        const QString folder = TestEnvironment::musicDir() + QStringLiteral("/walk [1] #a?b%c");
        QVERIFY(QDir().mkpath(folder));
        QStringList names;
        for (int c = 0x20; c < 0x7f; ++c) {
            if (c != '/')
                names << QStringLiteral("n%1%2.ogg").arg(c).arg(QChar(c));
        }
        names << QStringLiteral("Ärger ёж.ogg") << QStringLiteral("%41%.ogg")
              << QStringLiteral("a  b.ogg");
        for (const QString& name : qAsConst(names)) {
            QFile file(folder + QLatin1Char('/') + name);
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
        }
        QAtomicInt cancelled;
        QSet<QByteArray> reported;
        TrackerFolderWalker walker(&cancelled, &reported);
        QVERIFY(walker.walk(TestEnvironment::musicDir()));
        QSet<QString> expected;
        for (const QString& name : qAsConst(names))
            expected << TrackerPlaylistReader::fileUrl(folder + QLatin1Char('/') + name);
        const QList<QString> found = walker.files.keys();
        QCOMPARE(QSet<QString>(found.cbegin(), found.cend()), expected);
        QVERIFY(QDir(folder).removeRecursively());
    }

    void aRemovedSongLeavesEveryListAndItsAlbumGoesWithIt()
    {
        QVERIFY(write({ QStringLiteral("Lonely") }, QStringLiteral("Single")));
        QSharedPointer<MafwTrackerModel> albums = complete(MafwTrackerModel::AllAlbums);
        QTRY_VERIFY_WITH_TIMEOUT(song("Lonely"), StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(albums->rowCount(), 2, StoreWaitMs);
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        const int before = all->rowCount();
        QSignalSpy albumsRemoved(albums.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)));
        QVERIFY(update(
            QStringLiteral("DELETE DATA { <%1> a rdfs:Resource }").arg(song("Lonely")->iri)));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), before - 1, StoreWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(albums->rowCount(), 1, StoreWaitMs);
        QCOMPARE(albumsRemoved.count(), 1);
        QVERIFY(!titles(all.data()).contains(QStringLiteral("Lonely")));
    }

    // Songs that reach the lists in one read, against the store's order (reversed, and twice
    // over, the copies told apart by their ids only), each go to the place the store gives them.
    void aReadOfManyNewSongsPlacesEachAsTheStoreOrdersThem()
    {
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        const int before = all->rowCount();
        QStringList fresh;
        for (const char* title : TrickyTitles)
            fresh.prepend(QString::fromUtf8(title));
        fresh += fresh;
        for (int i = 0; i < 40; ++i)
            fresh << QStringLiteral("Filler %1").arg(79 - i);
        QVERIFY(write(fresh));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), before + fresh.size(), StoreWaitMs);
        QCOMPARE(titles(all.data()), storeOrder());
        // Each song read with the name the store gives it.
        TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
        const TrackerQueryResult named = TrackerQueryRunner::select(
            connection, QStringLiteral("SELECT ?s tracker:id(?s) WHERE { ?s a nmm:MusicPiece }"),
            2);
        TrackerQueryRunner::releaseConnection(connection);
        QCOMPARE(named.rows.size(), factory->catalogue()->songs().size());
        for (const QStringList& row : named.rows)
            QCOMPARE(factory->catalogue()->song(row.at(1).toInt())->iri, row.at(0));
        const QVector<int>& order = factory->catalogue()->titleOrder();
        for (int i = 1; i < order.size(); ++i) {
            QVERIFY(
                factory->catalogue()->compareTitles(*factory->catalogue()->song(order.at(i - 1)),
                                                    *factory->catalogue()->song(order.at(i)))
                < 0);
        }
    }

    // Songs far apart in the store, changed at once, are read by name rather than by the
    // range between them; each change reaches its row.
    void songsFarApartChangedAtOnce()
    {
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        const MafwStoreCatalogue* catalogue = factory->catalogue();
        int low = -1;
        int high = -1;
        for (const MafwStoreSong& s : catalogue->songs()) {
            low = low < 0 ? s.id : qMin(low, s.id);
            high = qMax(high, s.id);
        }
        QVERIFY2(high - low > 150, qPrintable(QStringLiteral("%1..%2").arg(low).arg(high)));
        QString sparql;
        for (int id : { low, high }) {
            sparql += QStringLiteral("DELETE { <%1> nie:usageCounter ?u } WHERE { <%1> "
                                     "nie:usageCounter ?u } ; INSERT DATA { <%1> nie:usageCounter "
                                     "7 } ;\n")
                          .arg(catalogue->song(id)->iri);
        }
        QVERIFY(update(sparql));
        for (int id : { low, high }) {
            const QString title = catalogue->song(id)->title;
            QTRY_COMPARE_WITH_TIMEOUT(catalogue->song(id)->usage, 7, StoreWaitMs);
            const QStringList shown = titles(all.data());
            bool found = false;
            for (int row = 0; row < shown.size(); ++row) {
                if (shown.at(row) == title && all->index(row, 12).data().toInt() == 7)
                    found = true;
            }
            QVERIFY2(found, qPrintable(title));
        }
    }
    void aSearchOnFromThePlaceBeforeFindsWhatABinarySearchFinds()
    {
        // Sorted lists with runs of equal items, sought for sorted values from each place
        // found before: the place is always the binary search's.
        std::mt19937 random(7);
        for (int round = 0; round < 200; ++round) {
            std::vector<int> list(random() % 300);
            for (int& item : list)
                item = int(random() % 100);
            std::sort(list.begin(), list.end());
            std::vector<int> sought(random() % 60);
            for (int& value : sought)
                value = int(random() % 110) - 5;
            std::sort(sought.begin(), sought.end());
            auto from = list.cbegin();
            for (int value : sought) {
                const auto expected = std::lower_bound(from, list.cend(), value);
                from = gallopLowerBound(from, list.cend(), value, std::less<int>());
                QCOMPARE(from - list.cbegin(), expected - list.cbegin());
            }
        }
    }

    void aLargeBatchTakesTheStoresPlacesInEveryList()
    {
        // Many new songs at once, falling between the songs there and between each other:
        // every list puts them where the store's own order has them.
        QSharedPointer<MafwTrackerModel> all = complete(MafwTrackerModel::AllSongs);
        QSharedPointer<MafwTrackerModel> first(
            factory->getModel(MafwTrackerModel::AllSongs, 50, 0));
        QTRY_COMPARE_WITH_TIMEOUT(first->rowCount(), 50, StoreWaitMs);
        QSharedPointer<MafwTrackerModel> albums = complete(MafwTrackerModel::AllAlbums);
        const int before = all->rowCount();
        QStringList batch;
        for (int i = 0; i < 150; ++i)
            batch << QStringLiteral("Filler %1").arg(i * 7 % 90) + QStringLiteral(" b");
        for (const char* title : TrickyTitles)
            batch << QString::fromUtf8(title) + QStringLiteral("1")
                  << QStringLiteral("0") + QString::fromUtf8(title);
        batch << QStringLiteral("Äa") << QStringLiteral("Äa") << QStringLiteral("a");
        QVERIFY(write(batch, QStringLiteral("Many")));
        QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), before + batch.size(), StoreWaitMs);
        const QStringList order = storeOrder();
        QCOMPARE(titles(all.data()), order);
        QTRY_COMPARE_WITH_TIMEOUT(titles(first.data()), order.mid(0, 50), StoreWaitMs);
        QStringList catalogueOrder;
        for (int id : factory->catalogue()->titleOrder())
            catalogueOrder << factory->catalogue()->song(id)->title;
        QCOMPARE(catalogueOrder, order);
        QTRY_COMPARE_WITH_TIMEOUT(albums->rowCount(), 2, StoreWaitMs);
    }
    void theListsOfTheWholeLibraryComeMadeAsTheWindowWouldMakeThem()
    {
        // Albums and artists named to sort differently by plain text and by the collation; the
        // song lists of their first rows (more songs than those rows) in the same store.
        for (int i = 0; i < 12; ++i) {
            const QString name = QString::fromUtf8(TrickyTitles[i * 2]);
            QVERIFY(write({ name + QStringLiteral(" song") }, name, name));
        }
        FixtureLibrary::settleStore();
        auto* fresh = new MafwTrackerModelFactory(QStringLiteral("No album"),
                                                  QStringLiteral("No artist"), 2000, this);
        const QList<int> types = { MafwTrackerModel::RecentlyAddedAlbums,
                                   MafwTrackerModel::AllArtists,
                                   MafwTrackerModel::RecentlyAddedSongs,
                                   MafwTrackerModel::NeverPlayedSongs };
        QHash<int, QVector<MafwStoreRow>> prepared;
        QHash<int, QVector<MafwStoreRow>> built;
        QHash<int, int> madeTotals;
        QHash<int, int> builtTotals;
        connect(fresh->catalogue(), &MafwStoreCatalogue::completed, this, [&] {
            for (int type : types) {
                if (const MafwStoreCatalogue::Prepared* made = fresh->catalogue()->preparedRows(
                        type)) {
                    prepared.insert(type, made->rows);
                    madeTotals.insert(type, made->total);
                }
                built.insert(type, fresh->rowBuilder().rows(type, 0, 0, 50, &builtTotals[type]));
            }
        });
        QSignalSpy ready(fresh, SIGNAL(initCompleted(bool)));
        fresh->init();
        QVERIFY(ready.wait(30000));
        QSharedPointer<MafwTrackerModel> latest(
            fresh->getModel(MafwTrackerModel::RecentlyAddedAlbums, 0, 0));
        QSharedPointer<MafwTrackerModel> artists(
            fresh->getModel(MafwTrackerModel::AllArtists, 5, 0));
        QTRY_COMPARE_WITH_TIMEOUT(built.size(), types.size(), StoreWaitMs);
        for (int type : types) {
            QVERIFY2(prepared.contains(type), qPrintable(QString::number(type)));
            const QVector<MafwStoreRow>& made = prepared.value(type);
            const QVector<MafwStoreRow>& expected = built.value(type);
            QVERIFY(expected.size() > 1);
            QCOMPARE(made.size(), expected.size());
            QCOMPARE(madeTotals.value(type), builtTotals.value(type));
            for (int i = 0; i < made.size(); ++i) {
                QCOMPARE(made.at(i).id, expected.at(i).id);
                QCOMPARE(made.at(i).cells, expected.at(i).cells);
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(latest->isComplete(), StoreWaitMs);
        const QVector<MafwStoreRow>& albums = built.value(MafwTrackerModel::RecentlyAddedAlbums);
        QCOMPARE(latest->rowCount(), albums.size());
        for (int r = 0; r < albums.size(); ++r)
            QCOMPARE(latest->index(r, 1).data(), albums.at(r).cells.at(1));
        // A list of the first rows takes the start of the list made.
        const QVector<MafwStoreRow>& named = built.value(MafwTrackerModel::AllArtists);
        QTRY_COMPARE_WITH_TIMEOUT(artists->rowCount(), qMin(5, named.size()), StoreWaitMs);
        for (int r = 0; r < artists->rowCount(); ++r)
            QCOMPARE(artists->index(r, 1).data(), named.at(r).cells.at(1));

        // A list made later takes them while the library is as it was read, and not after a
        // change: its new album is in the list.
        QVERIFY(fresh->catalogue()->preparedRows(MafwTrackerModel::AllArtists));
        QVERIFY(
            write({ QStringLiteral("Later") }, QStringLiteral("Later"), QStringLiteral("Later")));
        QTRY_VERIFY_WITH_TIMEOUT(fresh->catalogue()->songByUrl(
                                     QStringLiteral("file:///lists/%1.ogg").arg(written)),
                                 StoreWaitMs);
        QVERIFY(!fresh->catalogue()->preparedRows(MafwTrackerModel::AllArtists));
        QSharedPointer<MafwTrackerModel> later(fresh->getModel(MafwTrackerModel::AllArtists, 0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(later->rowCount(), named.size() + 1, StoreWaitMs);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestStoreLists)
#include "tst_storelists.moc"
