// The user playlist worker against the real store: names kept exactly as typed, namesakes
// (live ones give the next free number, stale ones are replaced), additions with their banner,
// removals of exactly the chosen entries, and no worker left behind. A second process makes
// changes and is killed with SIGKILL as soon as each is reported done; a third reads the store
// back.

#include "data/mafwtrackermodelfactoryinstance.h"
#include "testcatalogs.h"
#include "fixturelibrary.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mbanner.h"
#include "mlocale.h"
#include "playlists/userplaylistutils.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest/QtTest>

#include <cstdio>
#include <functional>

namespace {

const int Timeout = 60000;

const QString OddName = QStringLiteral("He said \"hi\" {x} \\o/ 'q' ; } <b> 🎵");

bool waitFor(const std::function<bool()>& condition, int ms = Timeout)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

MafwTrackerModelFactory* readyFactory()
{
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    return waitFor([instance] { return instance->isReady(); }) ? instance->factory() : nullptr;
}

QSharedPointer<MafwTrackerModel> loadedModel(MafwTrackerModel::QueryType type, int id = 0)
{
    QSharedPointer<MafwTrackerModel> model(readyFactory()->getModel(type, 0, id));
    waitFor([model] { return model->isComplete(); });
    return model;
}

// The first row whose column 1 is the text, -1 when none.
int rowNamed(const QAbstractItemModel* model, const QString& name)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == name)
            return row;
    }
    return -1;
}

int playlistId(const QString& name)
{
    const QSharedPointer<MafwTrackerModel> playlists = loadedModel(MafwTrackerModel::UserPlaylists);
    const int row = rowNamed(playlists.data(), name);
    return row < 0 ? -1 : playlists->index(row, 0).data().toInt();
}

QStringList titles(const QAbstractItemModel* model)
{
    QStringList list;
    for (int row = 0; row < model->rowCount(); ++row)
        list << model->index(row, 1).data().toString();
    return list;
}

// Every user playlist with its songs in order: "name: title|title".
QStringList userPlaylists()
{
    const QSharedPointer<MafwTrackerModel> playlists = loadedModel(MafwTrackerModel::UserPlaylists);
    QStringList lines;
    for (int row = 0; row < playlists->rowCount(); ++row) {
        const QSharedPointer<MafwTrackerModel> songs = loadedModel(
            MafwTrackerModel::SongsOfUserPlaylist, playlists->index(row, 0).data().toInt());
        lines << playlists->index(row, 1).data().toString() + QStringLiteral(": ")
                     + titles(songs.data()).join(QLatin1Char('|'));
    }
    lines.sort();
    return lines;
}

// A cell of a song's row in the all-songs model: 8 its id, 9 its album's, 10 its artist's.
int cellOf(const QString& title, int column)
{
    const QSharedPointer<MafwTrackerModel> songs = loadedModel(MafwTrackerModel::AllSongs);
    const int row = rowNamed(songs.data(), title);
    return row < 0 ? -1 : songs->index(row, column).data().toInt();
}

int songId(const QString& title)
{
    return cellOf(title, 8);
}

int albumOf(const QString& title)
{
    return cellOf(title, 9);
}

// "Trip" of Azure, Navy and Jade, made by the factory; its id, or -1.
int makeTrip()
{
    readyFactory()->createPlaylist(QStringLiteral("Trip"), MafwTrackerModelFactory::SongItems,
                                   { songId(QStringLiteral("Azure")),
                                     songId(QStringLiteral("Navy")),
                                     songId(QStringLiteral("Jade")) });
    if (!waitFor([] { return playlistId(QStringLiteral("Trip")) > 0; }))
        return -1;
    return playlistId(QStringLiteral("Trip"));
}

// The music folder moved aside for as long as it lives, an empty one in its place if asked
// (what an unmounted disk leaves).
class MusicFolderAway
{
public:
    explicit MusicFolderAway(bool leaveEmpty)
        : m_music(TestEnvironment::musicDir())
        , m_away(m_music + QStringLiteral(".away"))
    {
        m_isAway = QDir().rename(m_music, m_away) && (!leaveEmpty || QDir().mkdir(m_music));
    }
    ~MusicFolderAway() { comeBack(); }
    bool isAway() const { return m_isAway; }
    void comeBack()
    {
        if (!QFileInfo::exists(m_away))
            return;
        QDir(m_music).removeRecursively();
        QDir().rename(m_away, m_music);
    }

private:
    QString m_music;
    QString m_away;
    bool m_isAway = false;
};

bool noWorkerLeft()
{
    return waitFor([] { return UserPlaylistUtils::liveWorkers() == 0; });
}

// The second process: one change, "done" on its output once the change is reported, then it
// waits to be killed. "dump" prints the user playlists and ends.
int runWriter(const QString& command, const QString& name)
{
    auto say = [](const QString& line) {
        std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
        std::fflush(stdout);
    };
    installTestCatalogs();
    if (!FixtureLibrary::index() || !readyFactory())
        return 2;
    if (command == QLatin1String("dump")) {
        for (const QString& line : userPlaylists())
            say(line);
        return 0;
    }
    if (command == QLatin1String("create")) {
        UserPlaylistUtils::createPlaylist(name, 0,
                                          { songId(QStringLiteral("Azure")),
                                            songId(QStringLiteral("Crimson")),
                                            songId(QStringLiteral("Azure")) });
        const QSharedPointer<MafwTrackerModel> playlists = loadedModel(
            MafwTrackerModel::UserPlaylists);
        if (!waitFor([&] { return rowNamed(playlists.data(), name) >= 0; }))
            return 3;
    } else {
        const QSharedPointer<MafwTrackerModel> songs(
            readyFactory()->getModel(MafwTrackerModel::SongsOfUserPlaylist, 50, playlistId(name)));
        if (command == QLatin1String("add")) {
            UserPlaylistUtils::addSongs(songs, 1, { albumOf(QStringLiteral("Cobalt")) }, name);
            if (!waitFor([] { return !MBanner::shownTitles().isEmpty(); }))
                return 3;
        } else {
            if (!waitFor([songs] { return songs->rowCount() == 6; }))
                return 3;
            // Two of the three Azures, and Cobalt.
            UserPlaylistUtils::removeSongs(songs, { 4, 2, 3 });
            if (!waitFor([songs] { return songs->rowCount() == 3; }))
                return 3;
        }
    }
    say(QStringLiteral("done"));
    return qApp->exec();
}

} // namespace

class TestUserPlaylists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void namesAreKeptExactlyAsTyped();
    void aLiveNamesakeGivesTheNextFreeNumber();
    void staleNamesakesAreReplaced();
    void addingShowsTheBannerOnlyWithAName();
    void removingTakesExactlyTheChosenEntries();
    void everyWorkerEnds();
    void changesSurviveAKillRightAfterTheyAreReported();
    void namesakesStayWhileTheMusicFolderIsAway();
    void namesakesStayWhileTheMusicFolderIsEmpty();

private:
    QStringList runChild(const QString& command, const QString& name, bool kill);
    QString childHome;
};

void TestUserPlaylists::initTestCase()
{
    installTestCatalogs();
    MBanner::setDisplayDurationForTesting(50);
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QVERIFY(readyFactory());
}

void TestUserPlaylists::init()
{
    MBanner::clearShownTitles();
}

void TestUserPlaylists::cleanup()
{
    QVERIFY(noWorkerLeft());
    // Each case starts without user playlists.
    const QSharedPointer<MafwTrackerModel> playlists = loadedModel(MafwTrackerModel::UserPlaylists);
    QList<int> ids;
    for (int row = 0; row < playlists->rowCount(); ++row)
        ids << playlists->index(row, 0).data().toInt();
    if (!ids.isEmpty()) {
        readyFactory()->deleteItems(ids, MafwTrackerModel::UserPlaylists);
        QTRY_COMPARE_WITH_TIMEOUT(playlists->rowCount(), 0, Timeout);
    }
}

void TestUserPlaylists::namesAreKeptExactlyAsTyped()
{
    const QStringList names = { OddName,
                                QStringLiteral("\"} ; DELETE { ?s ?p ?o } WHERE { ?s ?p ?o } #"),
                                QStringLiteral("  tabs\tand\nnew line  ") };
    for (const QString& name : names)
        UserPlaylistUtils::createPlaylist(name, 0, { songId(QStringLiteral("Jade")) });
    const QSharedPointer<MafwTrackerModel> playlists = loadedModel(MafwTrackerModel::UserPlaylists);
    QTRY_COMPARE_WITH_TIMEOUT(playlists->rowCount(), 3, Timeout);
    QStringList expected = names;
    QStringList stored = titles(playlists.data());
    expected.sort();
    stored.sort();
    QCOMPARE(stored, expected);
    // The library is whole: nothing the names said was run.
    QCOMPARE(loadedModel(MafwTrackerModel::AllSongs)->rowCount(), 9);
}

void TestUserPlaylists::aLiveNamesakeGivesTheNextFreeNumber()
{
    UserPlaylistUtils::createPlaylist(QStringLiteral("ROCK"), 0,
                                      { songId(QStringLiteral("Azure")) });
    QTRY_VERIFY_WITH_TIMEOUT(playlistId(QStringLiteral("ROCK")) > 0, Timeout);
    UserPlaylistUtils::createPlaylist(QStringLiteral("Rock"), 0,
                                      { songId(QStringLiteral("Navy")) });
    QTRY_COMPARE_WITH_TIMEOUT(userPlaylists(), QStringList({ "ROCK: Azure", "Rock 2: Navy" }),
                              Timeout);
    UserPlaylistUtils::createPlaylist(QStringLiteral("rock"), 0,
                                      { songId(QStringLiteral("Jade")) });
    QTRY_COMPARE_WITH_TIMEOUT(userPlaylists(),
                              QStringList({ "ROCK: Azure", "Rock 2: Navy", "rock 3: Jade" }),
                              Timeout);
    // An album of two songs makes a playlist of both.
    UserPlaylistUtils::createPlaylist(QStringLiteral("Red"), 1,
                                      { albumOf(QStringLiteral("Crimson")) });
    QTRY_VERIFY_WITH_TIMEOUT(userPlaylists().contains(QStringLiteral("Red: Crimson|Scarlet")),
                             Timeout);
}

void TestUserPlaylists::staleNamesakesAreReplaced()
{
    // Namesakes made by the factory itself, which takes any name: "old" and "OLD" of a song
    // whose file then goes, "mixed" of that song and "MIXED" of a song still there.
    AudioTags ghostTags;
    ghostTags.title = QStringLiteral("Ghost");
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Gone/ghost.ogg"), ghostTags).isEmpty());
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(songId(QStringLiteral("Ghost")) > 0, Timeout);
    const int ghost = songId(QStringLiteral("Ghost"));
    MafwTrackerModelFactory* factory = readyFactory();
    for (const char* name : { "old", "OLD", "mixed" })
        factory->createPlaylist(QLatin1String(name), MafwTrackerModelFactory::SongItems, { ghost });
    factory->createPlaylist(QStringLiteral("MIXED"), MafwTrackerModelFactory::SongItems,
                            { songId(QStringLiteral("Jade")) });
    QTRY_COMPARE_WITH_TIMEOUT(loadedModel(MafwTrackerModel::UserPlaylists)->rowCount(), 4, Timeout);
    QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Gone/ghost.ogg")));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(songId(QStringLiteral("Ghost")), -1, Timeout);

    // Every namesake of "Old" is stale: they go and the name is used as typed.
    UserPlaylistUtils::createPlaylist(QStringLiteral("Old"), 0,
                                      { songId(QStringLiteral("Azure")) });
    QTRY_COMPARE_WITH_TIMEOUT(userPlaylists().filter(QStringLiteral("old"), Qt::CaseInsensitive),
                              QStringList({ "Old: Azure" }), Timeout);
    // One namesake of "Mixed" is live: nothing is deleted, the next free number is taken.
    UserPlaylistUtils::createPlaylist(QStringLiteral("Mixed"), 0,
                                      { songId(QStringLiteral("Navy")) });
    QTRY_COMPARE_WITH_TIMEOUT(userPlaylists().filter(QStringLiteral("mixed"), Qt::CaseInsensitive),
                              QStringList({ "MIXED: Jade", "Mixed 2: Navy", "mixed: " }), Timeout);
}

void TestUserPlaylists::addingShowsTheBannerOnlyWithAName()
{
    UserPlaylistUtils::createPlaylist(OddName, 0, { songId(QStringLiteral("Jade")) });
    QTRY_VERIFY_WITH_TIMEOUT(playlistId(OddName) > 0, Timeout);
    const QSharedPointer<MafwTrackerModel> songs(
        readyFactory()->getModel(MafwTrackerModel::SongsOfUserPlaylist, 50, playlistId(OddName)));

    // Without a name: added, no banner.
    UserPlaylistUtils::addSongs(songs, 0, { songId(QStringLiteral("Navy")) }, QString());
    QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 2, Timeout);
    QVERIFY(noWorkerLeft());
    QVERIFY(MBanner::shownTitles().isEmpty());

    // With the name: the banner counts the songs of the one insertion, the name as it is.
    UserPlaylistUtils::addSongs(songs, 2, { cellOf(QStringLiteral("Crimson"), 10) }, OddName);
    QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles().size(), 1, Timeout);
    QCOMPARE(MBanner::shownTitles().first(), QStringLiteral("5 songs added to ") + OddName);
    QCOMPARE(songs->rowCount(), 7);

    // All songs without album, by the id -1.
    UserPlaylistUtils::addSongs(songs, 3, { -1 }, OddName);
    QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles().size(), 2, Timeout);
    QCOMPARE(MBanner::shownTitles().last(), QStringLiteral("1 song added to ") + OddName);
    QCOMPARE(titles(songs.data()).last(), QStringLiteral("Nowhere"));
}

void TestUserPlaylists::removingTakesExactlyTheChosenEntries()
{
    const int azure = songId(QStringLiteral("Azure")), navy = songId(QStringLiteral("Navy"));
    UserPlaylistUtils::createPlaylist(QStringLiteral("Twice"), 0,
                                      { azure, navy, azure, navy, azure });
    QTRY_VERIFY_WITH_TIMEOUT(playlistId(QStringLiteral("Twice")) > 0, Timeout);
    const QSharedPointer<MafwTrackerModel> songs = loadedModel(
        MafwTrackerModel::SongsOfUserPlaylist, playlistId(QStringLiteral("Twice")));
    QCOMPARE(songs->rowCount(), 5);
    const int position = songs->columnOfKey(QStringLiteral("entryPosition"));
    QVERIFY(position >= 0);
    QList<int> positions;
    for (int row = 0; row < 5; ++row)
        positions << songs->index(row, position).data().toInt();

    // Rows given in any order, each once: exactly those entries go, the rest keep their order.
    QSignalSpy removed(songs.data(), &QAbstractItemModel::rowsRemoved);
    UserPlaylistUtils::removeSongs(songs, { 4, 1, 2 });
    QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 2, Timeout);
    QVERIFY(noWorkerLeft());
    QCOMPARE(titles(songs.data()), QStringList({ "Azure", "Navy" }));
    QCOMPARE(songs->index(0, position).data().toInt(), positions.at(0));
    QCOMPARE(songs->index(1, position).data().toInt(), positions.at(3));
    QVERIFY(MBanner::shownTitles().isEmpty());
}

void TestUserPlaylists::everyWorkerEnds()
{
    UserPlaylistUtils::createPlaylist(QStringLiteral("Base"), 0,
                                      { songId(QStringLiteral("Jade")) });
    QTRY_VERIFY_WITH_TIMEOUT(playlistId(QStringLiteral("Base")) > 0, Timeout);
    const QSharedPointer<MafwTrackerModel> songs = loadedModel(
        MafwTrackerModel::SongsOfUserPlaylist, playlistId(QStringLiteral("Base")));

    // Nothing to do, a model that cannot be edited, no model: each worker ends by itself.
    UserPlaylistUtils::createPlaylist(QStringLiteral("Empty"), 0, {});
    UserPlaylistUtils::addSongs(songs, 0, {}, QStringLiteral("Base"));
    UserPlaylistUtils::removeSongs(songs, {});
    UserPlaylistUtils::addSongs(loadedModel(MafwTrackerModel::AllSongs), 0,
                                { songId(QStringLiteral("Navy")) }, QString());
    UserPlaylistUtils::addSongs(QSharedPointer<MafwTrackerModel>(), 0, { 1 }, QString());
    QVERIFY(UserPlaylistUtils::liveWorkers() > 0);
    QVERIFY(noWorkerLeft());
    // A request whose items stand for no song is never answered; the worker gives up.
    UserPlaylistUtils::setWorkerTimeoutForTesting(200);
    UserPlaylistUtils::addSongs(songs, 1, { 999999 }, QStringLiteral("Base"));
    QCOMPARE(UserPlaylistUtils::liveWorkers(), 1);
    QVERIFY(waitFor([] { return UserPlaylistUtils::liveWorkers() == 0; }, 5000));
    UserPlaylistUtils::setWorkerTimeoutForTesting(UserPlaylistUtils::WorkerTimeoutMs);
    QCOMPARE(userPlaylists(), QStringList({ "Base: Jade" }));
    QVERIFY(MBanner::shownTitles().isEmpty());
}

QStringList TestUserPlaylists::runChild(const QString& command, const QString& name, bool kill)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), childHome);
    environment.insert(QStringLiteral("XDG_DATA_HOME"),
                       childHome + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), childHome + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), childHome + QStringLiteral("/.cache"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                { QStringLiteral("--writer"), command, name });
    if (!child.waitForStarted(Timeout))
        return { QStringLiteral("not started") };
    QStringList lines;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < Timeout) {
        if (child.canReadLine()) {
            lines << QString::fromUtf8(child.readLine()).chopped(1);
            if (kill && lines.last() == QLatin1String("done")) {
                child.kill(); // SIGKILL: no exit handler, no flush
                child.waitForFinished(Timeout);
                return lines;
            }
            continue;
        }
        if (child.state() == QProcess::NotRunning)
            break;
        child.waitForReadyRead(100);
    }
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(Timeout);
        lines << QStringLiteral("timed out");
    } else if (child.exitCode() != 0) {
        lines << QStringLiteral("exit %1").arg(child.exitCode());
    }
    return lines;
}

void TestUserPlaylists::changesSurviveAKillRightAfterTheyAreReported()
{
    // A library of its own: this process keeps its store open, the children use theirs.
    childHome = TestEnvironment::home() + QStringLiteral("/killed");
    for (const char* sub : { ".local/share", ".config", ".cache", "Music" })
        QVERIFY(QDir(childHome).mkpath(QLatin1String(sub)));
    QFile dirs(childHome + QStringLiteral("/.config/user-dirs.dirs"));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_MUSIC_DIR=\"$HOME/Music\"\n");
    dirs.close();
    const struct
    {
        const char* path;
        const char* title;
        const char* album;
    } files[] = { { "a.ogg", "Azure", "Blue" },
                  { "b.ogg", "Cobalt", "Blue" },
                  { "c.ogg", "Crimson", "Red" },
                  { "d.ogg", "Navy", "Blue" } };
    for (const auto& f : files) {
        AudioTags tags;
        tags.title = QLatin1String(f.title);
        tags.album = QLatin1String(f.album);
        QVERIFY(AudioGenerator::write(childHome + QStringLiteral("/Music/") + f.path, tags));
    }

    QCOMPARE(runChild(QStringLiteral("create"), OddName, true), QStringList({ "done" }));
    QCOMPARE(runChild(QStringLiteral("dump"), QString(), false),
             QStringList({ OddName + QStringLiteral(": Azure|Crimson|Azure") }));
    QCOMPARE(runChild(QStringLiteral("add"), OddName, true), QStringList({ "done" }));
    QCOMPARE(runChild(QStringLiteral("dump"), QString(), false),
             QStringList({ OddName + QStringLiteral(": Azure|Crimson|Azure|Azure|Cobalt|Navy") }));
    QCOMPARE(runChild(QStringLiteral("remove"), OddName, true), QStringList({ "done" }));
    QCOMPARE(runChild(QStringLiteral("dump"), QString(), false),
             QStringList({ OddName + QStringLiteral(": Azure|Crimson|Navy") }));
}

void TestUserPlaylists::namesakesStayWhileTheMusicFolderIsAway()
{
    const int trip = makeTrip();
    QVERIFY(trip > 0);
    const int jade = songId(QStringLiteral("Jade"));

    // The music folder unmounted: every file of "Trip" seems gone, but only seems.
    MusicFolderAway away(false);
    QVERIFY(away.isAway());
    UserPlaylistUtils::createPlaylist(QStringLiteral("trip"), 0, { jade });
    QVERIFY(noWorkerLeft());
    const QSharedPointer<MafwTrackerModel> playlists = loadedModel(MafwTrackerModel::UserPlaylists);
    QTRY_COMPARE_WITH_TIMEOUT(playlists->rowCount(), 2, Timeout);
    QStringList names = titles(playlists.data());
    names.sort();
    QCOMPARE(names, QStringList({ "Trip", "trip 2" }));
    QCOMPARE(playlistId(QStringLiteral("Trip")), trip);
}

void TestUserPlaylists::namesakesStayWhileTheMusicFolderIsEmpty()
{
    const int trip = makeTrip();
    QVERIFY(trip > 0);
    const int jade = songId(QStringLiteral("Jade"));

    // An empty music folder, as an unmounted disk leaves it: the files of "Trip" are away,
    // first before the indexer has looked, then kept by the store as unavailable.
    MusicFolderAway away(true);
    QVERIFY(away.isAway());
    UserPlaylistUtils::createPlaylist(QStringLiteral("trip"), 0, { jade });
    QVERIFY(noWorkerLeft());
    const QSharedPointer<MafwTrackerModel> playlists = loadedModel(MafwTrackerModel::UserPlaylists);
    QTRY_COMPARE_WITH_TIMEOUT(playlists->rowCount(), 2, Timeout);
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(loadedModel(MafwTrackerModel::AllSongs)->rowCount(), 0, Timeout);
    UserPlaylistUtils::createPlaylist(QStringLiteral("TRIP"), 0, { jade });
    QVERIFY(noWorkerLeft());
    QTRY_COMPARE_WITH_TIMEOUT(playlists->rowCount(), 3, Timeout);
    QStringList names = titles(playlists.data());
    names.sort();
    QCOMPARE(names, QStringList({ "TRIP 3", "Trip", "trip 2" }));
    QCOMPARE(playlistId(QStringLiteral("Trip")), trip);
    QVERIFY(readyFactory()->catalogue()->playlist(trip));
    QCOMPARE(readyFactory()->catalogue()->playlist(trip)->entries.size(), 3);

    // The files back, "Trip" has its songs again.
    away.comeBack();
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(userPlaylists().contains(QStringLiteral("Trip: Azure|Navy|Jade")),
                             Timeout);
}

int main(int argc, char** argv)
{
    // The second process works in the home its parent gave it.
    if (argc == 4 && qstrcmp(argv[1], "--writer") == 0) {
        QApplication app(argc, argv);
        return runWriter(app.arguments().at(2), app.arguments().at(3));
    }
    TestEnvironment::prepare();
    QApplication app(argc, argv);
    TestUserPlaylists tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return TestEnvironment::exec(&tc, argc, argv);
}

#include "tst_userplaylists.moc"
