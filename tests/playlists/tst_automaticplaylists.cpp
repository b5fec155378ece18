// The six automatic playlists over a fixture library in the real store: their rows, order,
// song counts and lengths, and how they follow the store when songs are played and marked as
// favourites, when the music goes away and comes back, and when it has moved between starts.

#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "playlists/automaticplaylistsmodel.h"
#include "testenvironment.h"
#include "trackerfileindexer.h"
#include "trackermountpoints.h"
#include "trackerstore.h"
#include "data/modelcolumns.h"
#include "data/storequeries.h"
#include "mafwlogging.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QtTest>

#include <limits>

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

namespace {

const int Timeout = 60000;

// 53 songs of two seconds: more never-played songs than the playlist's first batch of 50.
const int SongCount = 53;
const int SongSeconds = 2;
// The recently added playlist lists the latest songs, this many at most.
const int RecentlyAddedLimit = 50;
// Songs added later: on a disk mounted below the music folder, and in a folder of its own.
const int DiskSongs = 4;
const int MoreSongs = 2;

QString titleOf(int n)
{
    return QStringLiteral("Song %1").arg(n, 2, 10, QLatin1Char('0'));
}

// Songs the music store sold carry its name as their encoder.
bool markAsBought(const QString& path)
{
    TagLib::FileRef file(QFile::encodeName(path).constData());
    if (file.isNull())
        return false;
    TagLib::PropertyMap properties = file.file()->properties();
    properties.replace("ENCODEDBY", TagLib::StringList(TagLib::String("Vaspe Music")));
    file.file()->setProperties(properties);
    return file.save();
}

QStringList rowNames(const AutomaticPlaylistsModel* model)
{
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 1).data().toString();
    return names;
}

int figure(const AutomaticPlaylistsModel* model, int type, int column)
{
    const int row = model->rowForType(type);
    return row < 0 ? -1 : model->index(row, column).data().toInt();
}

// The rows the songs-of-a-playlist page shows of an automatic playlist: its model, asked for
// the rows past the first batch as the page asks; -1 when the playlist is not shown.
int listRows(const AutomaticPlaylistsModel* model, int type)
{
    QSharedPointer<MafwTrackerModel> songs;
    if (!model->playlistModel(-type, songs, false))
        return -1;
    songs->fetchRemainingRows();
    if (!QTest::qWaitFor([&] { return songs->isComplete(); }, Timeout))
        return -1;
    return songs->rowCount();
}

// The songs of the library as the lists see it, and how many of them lie below the folder.
QPair<int, int> songsBelow(const MafwStoreCatalogue* catalogue, const QString& folder)
{
    const QString prefix = FixtureLibrary::urlOf(folder) + QLatin1Char('/');
    int below = 0;
    for (const MafwStoreSong& song : catalogue->songs())
        below += song.url.startsWith(prefix) ? 1 : 0;
    return { int(catalogue->songs().size()), below };
}

// Looks at the playlists at every turn of the event loop, as a person sees them: the count of
// recently added never passes the playlist's limit nor differs from the rows its list holds;
// never played counts no fewer songs than its list holds, and those rows once it has all.
class CountWatch : public QObject
{
public:
    explicit CountWatch(AutomaticPlaylistsModel* model)
        : model(model)
    {
        connect(&timer, &QTimer::timeout, this, &CountWatch::look);
        timer.start(0);
    }
    QStringList faults;

private:
    void look()
    {
        if (!model)
            return;
        QSharedPointer<MafwTrackerModel> songs;
        int count = figure(model, MafwTrackerModel::RecentlyAddedSongs, 3);
        if (model->playlistModel(-MafwTrackerModel::RecentlyAddedSongs, songs, false)
            && (count > RecentlyAddedLimit || count != songs->rowCount()))
            note(QStringLiteral("recently added %1, rows %2").arg(count).arg(songs->rowCount()));
        count = figure(model, MafwTrackerModel::NeverPlayedSongs, 3);
        if (model->playlistModel(-MafwTrackerModel::NeverPlayedSongs, songs, false)
            && (count < songs->rowCount() || (songs->isComplete() && count != songs->rowCount())))
            note(QStringLiteral("never played %1, rows %2").arg(count).arg(songs->rowCount()));
    }
    void note(const QString& seen)
    {
        if (faults.isEmpty() || faults.last() != seen)
            faults << seen;
    }
    QPointer<AutomaticPlaylistsModel> model;
    QTimer timer;
};

// Counts a text that the tracker connection sends to the store, from the connection's debug
// lines, while it lives.
class StoreTexts
{
public:
    explicit StoreTexts(const char* text)
        : text(QString::fromUtf8(text).simplified())
        , category(const_cast<QLoggingCategory&>(lcModels()))
        , wasOn(category.isDebugEnabled())
    {
        category.setEnabled(QtDebugMsg, true);
        current = this;
        previous = qInstallMessageHandler(&StoreTexts::handle);
    }
    ~StoreTexts()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
        category.setEnabled(QtDebugMsg, wasOn);
    }
    int sent() const { return count; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (message == QLatin1String("sent to the store: ") + current->text)
            ++current->count;
        if (current->previous)
            current->previous(type, context, message);
    }
    static StoreTexts* current;
    const QString text;
    QLoggingCategory& category;
    const bool wasOn;
    QtMessageHandler previous = nullptr;
    int count = 0;
};

StoreTexts* StoreTexts::current = nullptr;

} // namespace

class TestAutomaticPlaylists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void nothingIsRequestedBeforeRequestModels();
    void sixPlaylistsInCollationOrderWithCountsAndLengths();
    void neverPlayedCountsTheWholeStoreUntilItsModelCompletes();
    void playlistsFollowPlaysAndFavourites();
    void favouritesCountEveryFavourite();
    void reloadRequestsEverythingAgain();
    void countsStayTheListsRowsWhenSongsGoAndComeBack();
    void countsAreTheListsRowsAfterTheMusicMovedBetweenStarts();
    void playsAreCountedOnlyWhereAPlayChangesTheCount();

private:
    int songId(const QString& title) const;
    // The program closed (models, factory and store gone) and started again over the store;
    // firstScan false keeps the indexer from its first scan.
    void closeAndStart(bool firstScan);
    MafwTrackerModelFactory* factory = nullptr;
    QSharedPointer<MafwTrackerModel> allSongs;
};

void TestAutomaticPlaylists::initTestCase()
{
    for (int n = 0; n < SongCount; ++n) {
        AudioTags tags;
        tags.title = titleOf(n);
        tags.artist = QStringLiteral("Artist %1").arg(n % 3);
        tags.album = QStringLiteral("Album %1").arg(n % 5);
        const QString path = FixtureLibrary::addSong(QStringLiteral("lib/%1.ogg").arg(n), tags,
                                                     SongSeconds * 1000);
        QVERIFY(!path.isEmpty());
        if (n == 3)
            QVERIFY(markAsBought(path));
    }
    QVERIFY(FixtureLibrary::index());
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(instance->isReady(), Timeout);
    factory = instance->factory();
    allSongs.reset(factory->getModel(MafwTrackerModel::AllSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), SongCount, Timeout);

    // Song 00 played twice, Song 01 once, Song 02 a favourite, Song 03 bought.
    MafwTrackerConnection* connection = factory->trackerConnection();
    connection->songPlayed(songId(titleOf(0)));
    connection->songPlayed(songId(titleOf(0)));
    connection->songPlayed(songId(titleOf(1)));
    QVERIFY(factory->setFavourite(songId(titleOf(2)), true));
    QSharedPointer<MafwTrackerModel> favourites(
        factory->getModel(MafwTrackerModel::FavouriteSongs, 0, 0));
    QSharedPointer<MafwTrackerModel> played(
        factory->getModel(MafwTrackerModel::MostPlayedSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(favourites->rowCount(), 1, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(played->rowCount() == 2 && played->index(0, 12).data().toInt() == 2,
                             Timeout);
}

int TestAutomaticPlaylists::songId(const QString& title) const
{
    for (int row = 0; row < allSongs->rowCount(); ++row) {
        if (allSongs->index(row, 1).data().toString() == title)
            return allSongs->index(row, 8).data().toInt();
    }
    return -1;
}

void TestAutomaticPlaylists::nothingIsRequestedBeforeRequestModels()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QCOMPARE(AutomaticPlaylistsModel::instance(), model);
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->columnCount(), 0);
    QVERIFY(!model->allModelsRequested());
    QSharedPointer<MafwTrackerModel> none;
    QVERIFY(!model->playlistModel(-6, none, true));

    QSignalSpy completed(model, &AutomaticPlaylistsModel::completed);
    model->requestModels();
    QCOMPARE(completed.count(), 1);
    QVERIFY(model->allModelsRequested());
    // Requested, not yet answered: the rows come on later turns of the event loop.
    QCOMPARE(model->rowCount(), 0);
    QVERIFY(model->playlistModel(-6, none, true));
    QVERIFY(!model->playlistModel(-6, none, false));
    // Ids that name no automatic playlist find none, the lowest int included (the sanitizer
    // build fails on negating it).
    for (int id : { std::numeric_limits<int>::min(), 0, 6, std::numeric_limits<int>::max() })
        QVERIFY2(!model->playlistModel(id, none, true), qPrintable(QString::number(id)));
    model->requestModels();
    QCOMPARE(completed.count(), 1);
}

void TestAutomaticPlaylists::sixPlaylistsInCollationOrderWithCountsAndLengths()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 6, Timeout);
    QCOMPARE(rowNames(model),
             QStringList({ "qtn_musi_playlist_favorites", "qtn_musi_playlist_mostplayed",
                           "qtn_musi_playlist_neverplayed", "qtn_musi_playlist_recentlyadded",
                           "qtn_musi_playlist_recentlydownloaded",
                           "qtn_musi_playlist_recentlyplayed" }));
    const QList<int> ids = { -6, -5, -7, -3, -8, -4 };
    for (int row = 0; row < ids.size(); ++row) {
        QCOMPARE(model->index(row, 0).data().toInt(), ids.at(row));
        QVERIFY(!model->index(row, 2).data().isValid());
    }
    QVERIFY(!model->index(0, 5).data().isValid());
    QVERIFY(!model->index(0, 0).data(Qt::EditRole).isValid());
    QCOMPARE(model->columnCount(), allSongs->columnCount());

    // Count and length per playlist; recently added lists the latest 50 songs.
    const struct
    {
        int type;
        int count;
    } expected[] = { { 6, 1 }, { 5, 2 }, { 8, 1 }, { 4, 2 }, { 3, 50 } };
    for (const auto& e : expected) {
        QTRY_COMPARE_WITH_TIMEOUT(figure(model, e.type, 3), e.count, Timeout);
        QCOMPARE(figure(model, e.type, 4), e.count * SongSeconds);
    }

    QSharedPointer<MafwTrackerModel> mostPlayed;
    QVERIFY(model->playlistModel(-5, mostPlayed, false));
    QCOMPARE(mostPlayed->index(0, 1).data().toString(), titleOf(0));
}

void TestAutomaticPlaylists::neverPlayedCountsTheWholeStoreUntilItsModelCompletes()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QSharedPointer<MafwTrackerModel> neverPlayed;
    QTRY_VERIFY_WITH_TIMEOUT(model->playlistModel(-7, neverPlayed, false), Timeout);
    QVERIFY(!neverPlayed->isComplete());
    QCOMPARE(neverPlayed->rowCount(), 50);
    // The store's figures, not the 50 rows held.
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 7, 3), SongCount - 2, Timeout);
    QCOMPARE(figure(model, 7, 4), (SongCount - 2) * SongSeconds);

    QSignalSpy updated(model, &AutomaticPlaylistsModel::modelUpdated);
    neverPlayed->fetchRemainingRows();
    QTRY_VERIFY_WITH_TIMEOUT(neverPlayed->isComplete() && !updated.isEmpty(), Timeout);
    QCOMPARE(neverPlayed->rowCount(), SongCount - 2);
    QCOMPARE(figure(model, 7, 3), SongCount - 2);
    QCOMPARE(figure(model, 7, 4), (SongCount - 2) * SongSeconds);
}

void TestAutomaticPlaylists::playlistsFollowPlaysAndFavourites()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 6, Timeout);

    // A third song played: most and recently played grow, never played shrinks.
    factory->trackerConnection()->songPlayed(songId(titleOf(5)));
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 5, 3), 3, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 4, 3), 3, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 7, 3), SongCount - 3, Timeout);

    // The last favourite goes: its row leaves; its model is still there for whoever asks
    // with the empty ones included.
    QSignalSpy removed(model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QVERIFY(factory->setFavourite(songId(titleOf(2)), false));
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 5, Timeout);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 0);
    QCOMPARE(model->rowForType(6), -1);
    QSharedPointer<MafwTrackerModel> favourites;
    QVERIFY(!model->playlistModel(-6, favourites, false));
    QVERIFY(model->playlistModel(-6, favourites, true));
    QCOMPARE(favourites->rowCount(), 0);

    // Two favourites come: the row is back at its sorted place, first.
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QVERIFY(factory->setFavourite(songId(titleOf(7)), true));
    QVERIFY(factory->setFavourite(songId(titleOf(8)), true));
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, 6, 3), 2, Timeout);
    QCOMPARE(model->rowForType(6), 0);
    QCOMPARE(inserted.first().at(1).toInt(), 0);
    QCOMPARE(figure(model, 6, 4), 2 * SongSeconds);
    QCOMPARE(rowNames(model).first(), QStringLiteral("qtn_musi_playlist_favorites"));
}

void TestAutomaticPlaylists::favouritesCountEveryFavourite()
{
    // More favourites than the playlist's first batch, read anew as at a start: its list shows
    // them all, and so does its count. Two were favourites before; they stay so after.
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    for (int n = 0; n < SongCount; ++n)
        QVERIFY(factory->setFavourite(songId(titleOf(n)), true));
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::FavouriteSongs, 3), SongCount,
                              Timeout);
    model->reload();
    QTRY_VERIFY_WITH_TIMEOUT(figure(model, MafwTrackerModel::FavouriteSongs, 3) > 0, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::FavouriteSongs, 3), SongCount,
                              Timeout);
    QCOMPARE(figure(model, MafwTrackerModel::FavouriteSongs, 4), SongCount * SongSeconds);
    QCOMPARE(listRows(model, MafwTrackerModel::FavouriteSongs), SongCount);
    for (int n = 0; n < SongCount; ++n) {
        if (n != 7 && n != 8)
            QVERIFY(factory->setFavourite(songId(titleOf(n)), false));
    }
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::FavouriteSongs, 3), 2, Timeout);
}

void TestAutomaticPlaylists::reloadRequestsEverythingAgain()
{
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QSharedPointer<MafwTrackerModel> before;
    QVERIFY(model->playlistModel(-3, before, false));
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    QSignalSpy completed(model, &AutomaticPlaylistsModel::completed);
    model->reload();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(completed.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 6, Timeout);
    QSharedPointer<MafwTrackerModel> after;
    QVERIFY(model->playlistModel(-3, after, false));
    QVERIFY(after != before);
    // The old model, still held here, no longer drives the table.
    QSignalSpy updated(model, &AutomaticPlaylistsModel::modelUpdated);
    before->fetchRemainingRows();
    QTRY_VERIFY_WITH_TIMEOUT(before->isComplete(), Timeout);
    QTest::qWait(0);
    QVERIFY(updated.isEmpty());

    // Deleting the singleton makes the next call build a new, unrequested one.
    delete model;
    AutomaticPlaylistsModel* fresh = AutomaticPlaylistsModel::instance();
    QVERIFY(!fresh->allModelsRequested());
    QCOMPARE(fresh->rowCount(), 0);
}

void TestAutomaticPlaylists::countsStayTheListsRowsWhenSongsGoAndComeBack()
{
    // More songs, some on a disk mounted below the music folder, titled to come after every
    // other song: the never-played list's first rows do not hold them.
    const QString music = TestEnvironment::musicDir();
    const QString disk = music + QStringLiteral("/Disk");
    for (int n = 0; n < DiskSongs + MoreSongs; ++n) {
        AudioTags tags;
        tags.title = QStringLiteral("Zz %1").arg(n);
        tags.artist = QStringLiteral("Far");
        const QString path = (n < DiskSongs ? QStringLiteral("Disk/%1.ogg")
                                            : QStringLiteral("more/%1.ogg"))
                                 .arg(n);
        QVERIFY(!FixtureLibrary::addSong(path, tags, SongSeconds * 1000).isEmpty());
    }
    TrackerMountPoints::setMountedForTesting({ disk });
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(factory->catalogue()->songs().size(),
                              SongCount + DiskSongs + MoreSongs, Timeout);
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    model->requestModels();
    const int played = 3;
    int neverPlayed = SongCount + DiskSongs + MoreSongs - played;
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), neverPlayed,
                              Timeout);
    QSharedPointer<MafwTrackerModel> neverPlayedSongs;
    QVERIFY(model->playlistModel(-MafwTrackerModel::NeverPlayedSongs, neverPlayedSongs, false));
    QVERIFY(!neverPlayedSongs->isComplete());
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::RecentlyAddedSongs, 3),
                              RecentlyAddedLimit, Timeout);
    const CountWatch watch(model);

    // The disk is unmounted: its songs are away, kept in the store, and no longer counted.
    TrackerMountPoints::setMountedForTesting({});
    QVERIFY(FixtureLibrary::moveEntries(disk, TestEnvironment::home() + QStringLiteral("/disk")));
    QVERIFY(FixtureLibrary::index());
    neverPlayed -= DiskSongs;
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), neverPlayed,
                              Timeout);
    QVERIFY(!neverPlayedSongs->isComplete());

    // The whole music goes away while the program runs: its songs leave every list.
    const QString away = TestEnvironment::home() + QStringLiteral("/away");
    QVERIFY(FixtureLibrary::moveEntries(music, away));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 0, Timeout);

    // And comes back: the latest songs again, no more than the playlist's limit, and each
    // count the rows its list shows.
    QVERIFY(FixtureLibrary::moveEntries(away, music));
    QVERIFY(FixtureLibrary::index());
    FixtureLibrary::settleStore();
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), neverPlayed,
                              Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::RecentlyAddedSongs, 3),
                              RecentlyAddedLimit, Timeout);
    QCOMPARE(listRows(model, MafwTrackerModel::RecentlyAddedSongs), RecentlyAddedLimit);
    QCOMPARE(listRows(model, MafwTrackerModel::NeverPlayedSongs), neverPlayed);
    QCOMPARE(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), neverPlayed);
    QCOMPARE(figure(model, MafwTrackerModel::RecentlyAddedSongs, 3), RecentlyAddedLimit);
    QVERIFY2(watch.faults.isEmpty(), qPrintable(watch.faults.join(QLatin1String("; "))));
}

void TestAutomaticPlaylists::closeAndStart(bool firstScan)
{
    allSongs.reset();
    delete AutomaticPlaylistsModel::instance();
    MafwTrackerModelFactoryInstance::destroy();
    TrackerStore::destroy();
    MafwTrackerModelFactory::setIndexerEnabled(firstScan);
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    // The factory looks at the setting once the library's first songs are read, which makes
    // it ready: set back before, the first scan ran all the same.
    QTRY_VERIFY_WITH_TIMEOUT(instance->isReady(), Timeout);
    MafwTrackerModelFactory::setIndexerEnabled(true);
    factory = instance->factory();
    AutomaticPlaylistsModel::instance()->requestModels();
}

void TestAutomaticPlaylists::countsAreTheListsRowsAfterTheMusicMovedBetweenStarts()
{
    // Every folder of the music folder moves into a new one while the program is closed:
    // each file is a new song at the next start, the old ones are gone (those of the disk
    // that is away stay, unavailable). The lists are made from the store as it was before the
    // indexer's scan writes what moved (as at the start on a large library), then the scan.
    const int songs = SongCount + MoreSongs;
    const QString music = TestEnvironment::musicDir();
    const QString aside = TestEnvironment::home() + QStringLiteral("/aside");
    QVERIFY(FixtureLibrary::moveEntries(music, aside));
    QVERIFY(FixtureLibrary::moveEntries(aside, music + QStringLiteral("/moved")));
    closeAndStart(false);
    // No scan at this start: the one below writes what moved, while the lists are there.
    QVERIFY(!TrackerStore::instance()->indexer()->isStarted());
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::RecentlyAddedSongs, 3),
                              RecentlyAddedLimit, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3) > 0, Timeout);

    for (const char* start : { "the start after the move", "the start after that" }) {
        if (!model) {
            closeAndStart(true);
            model = AutomaticPlaylistsModel::instance();
        }
        const CountWatch watch(model);
        QVERIFY(FixtureLibrary::index());
        FixtureLibrary::settleStore();
        // The store has what moved once the scan is over; the lists have it once the library
        // they follow has read the store's notices of it, a little later. Until then the
        // store's count of never played is already the new one, and recently added holds as
        // many songs before as after: neither says that the lists have taken in the move.
        const QPair<int, int> moved(songs, songs);
        QTRY_VERIFY2_WITH_TIMEOUT(
            songsBelow(factory->catalogue(), QStringLiteral("moved")) == moved
                && figure(model, MafwTrackerModel::NeverPlayedSongs, 3) == songs
                && figure(model, MafwTrackerModel::RecentlyAddedSongs, 3) == RecentlyAddedLimit,
            qPrintable(QStringLiteral("%1: %2 songs, %3 of them moved; never played %4, "
                                      "recently added %5")
                           .arg(QLatin1String(start))
                           .arg(songsBelow(factory->catalogue(), QStringLiteral("moved")).first)
                           .arg(songsBelow(factory->catalogue(), QStringLiteral("moved")).second)
                           .arg(figure(model, MafwTrackerModel::NeverPlayedSongs, 3))
                           .arg(figure(model, MafwTrackerModel::RecentlyAddedSongs, 3))),
            Timeout);
        QCOMPARE(figure(model, MafwTrackerModel::NeverPlayedSongs, 4), songs * SongSeconds);
        // Each count is the rows its list shows, once the list has them all.
        QTRY_COMPARE_WITH_TIMEOUT(listRows(model, MafwTrackerModel::RecentlyAddedSongs),
                                  RecentlyAddedLimit, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(listRows(model, MafwTrackerModel::NeverPlayedSongs), songs,
                                  Timeout);
        QCOMPARE(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), songs);
        QCOMPARE(figure(model, MafwTrackerModel::RecentlyAddedSongs, 3), RecentlyAddedLimit);
        QVERIFY2(watch.faults.isEmpty(), qPrintable(watch.faults.join(QLatin1String("; "))));
        model = nullptr;
    }
}

void TestAutomaticPlaylists::playsAreCountedOnlyWhereAPlayChangesTheCount()
{
    // Every song is new since the move, never played; the never-played list, read anew, holds
    // its first 50 songs and the store counts them all.
    const int songs = SongCount + MoreSongs;
    AutomaticPlaylistsModel* model = AutomaticPlaylistsModel::instance();
    model->reload();
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), songs, Timeout);
    QSharedPointer<MafwTrackerModel> neverPlayed;
    QVERIFY(model->playlistModel(-MafwTrackerModel::NeverPlayedSongs, neverPlayed, false));
    QVERIFY(!neverPlayed->isComplete());
    FixtureLibrary::settleStore();
    constexpr SongColumns Songs {};
    QVector<int> ids;
    for (int row : { 0, 1, 2, 3 })
        ids << neverPlayed->index(row, Songs.songId).data().toInt();
    // And a song its first rows do not hold: the last of the title order.
    const MafwStoreCatalogue* catalogue = factory->catalogue();
    ids << catalogue->titleOrder().last();
    MafwTrackerConnection* connection = factory->trackerConnection();

    // The list's first song played: it leaves the list, the next song comes in, and the play
    // is reported, all of one change, which the store counts once.
    const StoreTexts counts(StoreQueries::NeverPlayedCountAndLength);
    connection->songPlayed(ids.takeFirst());
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), songs - 1,
                              Timeout);
    FixtureLibrary::settleStore();
    QCOMPARE(counts.sent(), 1);

    // Plays one right after the other, one of a song past the list's first rows: the count
    // follows them all, counted no more often than songs were played.
    for (int id : qAsConst(ids))
        connection->songPlayed(id);
    QTRY_COMPARE_WITH_TIMEOUT(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), songs - 5,
                              Timeout);
    QCOMPARE(figure(model, MafwTrackerModel::NeverPlayedSongs, 4), (songs - 5) * SongSeconds);
    FixtureLibrary::settleStore();
    QCOMPARE(figure(model, MafwTrackerModel::NeverPlayedSongs, 3), songs - 5);
    QVERIFY2(counts.sent() <= 5, qPrintable(QStringLiteral("%1 counts").arg(counts.sent())));
}

PARLOVANCE_TEST_MAIN(TestAutomaticPlaylists)
#include "tst_automaticplaylists.moc"
