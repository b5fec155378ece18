// The latest-activity list: its record in the settings file, read back exactly and kept valid
// against hand edits, the rules by which playbacks and recently added albums and playlists
// enter it, the checks that remove what left the library (by existence queries, deletions and
// files vanishing from the music folder) and refill the list, the songs without album, and
// the collages of all songs and playlists.

#include "activity/activity.h"
#include "activity/latestactivitymodel.h"
#include "albumart/collageimagewidget.h"
#include "common/parlovancesettings.h"
#include "common/settingsfilecheck.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "playlists/automaticplaylistsmodel.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmapCache>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest/QtTest>

namespace {

const int StoreTimeoutMs = 60000;

Activity make(Activity::ActivityType type, const QString& name, int trackerId,
              const QString& additional = QString())
{
    Activity activity(type, name, false, additional, trackerId);
    // Whole seconds: the settings file keeps no finer time.
    activity.Timestamp = QDateTime::currentDateTime().addSecs(-trackerId);
    activity.Timestamp.setTime(QTime(activity.Timestamp.time().hour(),
                                     activity.Timestamp.time().minute(),
                                     activity.Timestamp.time().second()));
    return activity;
}

QStringList names(const QList<Activity>& list)
{
    QStringList result;
    for (const Activity& activity : list)
        result << activity.Name;
    return result;
}

// The store and the settings file keep whole seconds: times on either side of a second's end
// compare as earlier and later.
void waitForTheNextSecond()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QTRY_VERIFY(QDateTime::currentSecsSinceEpoch() > now);
}

QString settingsPath()
{
    return TestEnvironment::configHome() + QStringLiteral("/Vaspe/Music.conf");
}

// The recently added albums of the standard library, as an empty list is filled with them.
void fillFromRecentAlbums(LatestActivityModel& model)
{
    QSignalSpy finished(&model, SIGNAL(lastAddedAlbumsQueryFinished()));
    model.checkModel();
    QVERIFY(finished.wait(StoreTimeoutMs));
}

int indexOf(const QList<Activity>& list, const QString& name)
{
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).Name == name)
            return i;
    }
    return -1;
}

// The tracker id of the row of a shared list whose column 1 (the name) is name.
int idInSharedList(MafwTrackerModel::QueryType type, const QString& name)
{
    const QSharedPointer<MafwTrackerModel> model = ModelInstance::instance()->getModel(type);
    if (!model)
        return 0;
    model->fetchRemainingRows();
    QElapsedTimer waited;
    waited.start();
    while (!model->isComplete() && waited.elapsed() < StoreTimeoutMs)
        QTest::qWait(10);
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == name)
            return model->index(row, 0).data().toInt();
    }
    return 0;
}

// Covers read back from their thumbnail files differ from their first decode by the thumbnails'
// compression only.
bool samePicture(const QImage& one, const QImage& other)
{
    if (one.isNull() || one.size() != other.size())
        return false;
    for (int y = 0; y < one.height(); y += 4) {
        for (int x = 0; x < one.width(); x += 4) {
            const QRgb a = one.pixel(x, y);
            const QRgb b = other.pixel(x, y);
            if (qAbs(qRed(a) - qRed(b)) > 32 || qAbs(qGreen(a) - qGreen(b)) > 32
                || qAbs(qBlue(a) - qBlue(b)) > 32)
                return false;
        }
    }
    return true;
}

// Returns once every check sent has been answered and what the answers queued has been
// removed (the removal pass runs from a timer of no delay).
void settleList()
{
    for (int round = 0; round < 3; ++round) {
        FixtureLibrary::settleStore();
        QCoreApplication::processEvents();
    }
}

} // namespace

class TestActivityList : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void equalityAndCollageNames();
    void nineActivitiesComeBackExactly();
    void longNamesNeverMakeTheFileTooLargeToRead();
    void readingStopsAtNineAndFillsDefaults();
    void handEditedFileStartsValidAndKeepsOtherSettings();
    void kindNumbersOutsideTheKindsAreLeftOut();
    void playlistPlayedAgainIsKnownByItsId();
    void newEntriesFirstReplaysMovedFirst();
    void automaticPlaylistsAndAllSongsMatchLoosely();
    void tenthEntryIsDroppedAndRemovalsAreChecked();
    void trackNumberReachesTheNextWrite();
    void recentlyAddedAlbumsFillAnEmptyList();
    void recentAlbumsOnlyTopUpAPartList();
    void newPlaylistFileEntersUnderItsPageName();
    void vanishedEntriesAreRemovedHighestFirstAndRefilled();
    void removalsNameTheirEntryNotItsPosition();
    void filesLeavingTheMusicFolderRemoveTheirEntries();
    void songsWithoutAlbumEnterAndLeave();
    void collagesAreMadeKeptAndReleased();
    void aSavedCollageStaysOnTheNextStart();
    void automaticPlaylistLeavingItsListRemovesItsEntry();
    void entriesOfSongsThatAreAwayStayAndComeBackAsTheyWere();
};

void TestActivityList::init()
{
    QFile::remove(settingsPath());
}

void TestActivityList::equalityAndCollageNames()
{
    Activity a = make(Activity::AllSongs, "qtn_musi_all_songs", 0);
    a.AlbumArtistPairs[0] = qMakePair(QStringLiteral("Blue"), QStringLiteral("Kim"));
    a.AlbumArtistPairs[1] = qMakePair(QStringLiteral("Red"), QStringLiteral("Kim"));
    Activity b = a;
    b.AlbumArtistPairs.swapItemsAt(0, 1);
    b.TrackNo = 7;
    b.userData = 3;
    QVERIFY(a == b);
    b.Shuffled = true;
    QVERIFY(a != b);
    b = a;
    b.AlbumArtistPairs.removeLast();
    QVERIFY(a != b);
    QCOMPARE(a.AlbumArtistPairs.size(), 4);

    QCOMPARE(collageId("Playlist", -4), QStringLiteral("Playlist_-4"));
    QCOMPARE(collageId("Playlist", 12), QStringLiteral("Playlist_12"));
    QCOMPARE(collageId("qtn_musi_all_songs", 0), QStringLiteral("qtn_musi_all_songs"));
}

void TestActivityList::nineActivitiesComeBackExactly()
{
    LatestActivityModel model;
    QVERIFY(model.activities().isEmpty());
    QVERIFY(!model.lastWritten().isValid());

    QList<Activity> written;
    Activity all = make(Activity::AllSongs, "qtn_musi_all_songs", 0);
    all.AlbumArtistPairs[0] = qMakePair(QStringLiteral("Blue"), QStringLiteral("Kim"));
    all.AlbumArtistPairs[1] = qMakePair(QStringLiteral("Green"), QStringLiteral("Lee"));
    all.Shuffled = true;
    Activity album = make(Activity::Album, "Blue", 3, "Kim");
    album.AlbumArtistPairs[0] = qMakePair(QStringLiteral("not"), QStringLiteral("stored"));
    album.TrackNo = 4;
    written << make(Activity::UserPlaylist, "Mine", 40) << album << all
            << make(Activity::Artist, "Kim", 5, "Red")
            << make(Activity::Playlist, "qtn_musi_playlist_favorites", -6)
            << make(Activity::Playlist, "party", 41) << make(Activity::Album, "Red", 6, "Kim")
            << make(Activity::Artist, "qtn_musi_unknown_artist", 0, "Blue")
            << make(Activity::Album, "qtn_musi_unknown_album", 0);
    for (int i = written.size() - 1; i >= 0; --i)
        model.addActivity(written.at(i), true);
    model.setTrackNo("Blue", 4);
    QCOMPARE(model.activities(), written);
    // Only all songs and playlists keep their collage's albums.
    written[1].AlbumArtistPairs[0] = qMakePair(QString(), QString());

    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    model.writeActivities();
    {
        ParlovanceSettings file;
        QCOMPARE(file.beginReadArray("Activities"), 9);
        file.setArrayIndex(1);
        QCOMPARE(file.childKeys().size(), 15);
        QCOMPARE(file.value("AlbumArtist00").toString(), QString()); // an album keeps no pairs
        QCOMPARE(file.value("TrackNo").toInt(), 4);
        file.setArrayIndex(2);
        QCOMPARE(file.value("AlbumArtist00").toString(), QStringLiteral("Blue"));
        QCOMPARE(file.value("AlbumArtist11").toString(), QStringLiteral("Lee"));
        QCOMPARE(file.value("AlbumArtist31").toString(), QString());
        QVERIFY(file.contains("AlbumArtist31"));
        file.endArray();
        const QDateTime updated = file.value("ActiviesUpdated").toDateTime();
        QCOMPARE(updated.timeSpec(), Qt::UTC);
        QVERIFY(updated >= before && updated <= QDateTime::currentDateTimeUtc());
    }

    LatestActivityModel again;
    const QList<Activity> read = again.activities();
    QCOMPARE(read, written);
    QCOMPARE(read.at(1).TrackNo, 4);
    QCOMPARE(read.at(1).AlbumArtistPairs.at(0).first, QString());
    QCOMPARE(read.at(2).AlbumArtistPairs.at(1).second, QStringLiteral("Lee"));
    for (const Activity& activity : read) {
        QVERIFY(!activity.userData.isValid());
        QVERIFY(activity.pixmap.isNull());
    }
    QCOMPARE(again.lastWritten(), model.lastWritten());

    // A shorter list leaves nothing of the longer one in the file; an empty list is written too.
    again.removeAllActivities();
    ParlovanceSettings file;
    QCOMPARE(file.beginReadArray("Activities"), 0);
    file.endArray();
    QVERIFY(!file.contains("Activities/1/Name"));
    QVERIFY(file.value("ActiviesUpdated").toDateTime() >= model.lastWritten());
}

void TestActivityList::longNamesNeverMakeTheFileTooLargeToRead()
{
    // Names of 200,000 CJK characters (a tag, a playlist name typed or pasted), each written
    // with six bytes per character: before, the file grew past what the settings check reads,
    // and the next start set it aside with every setting in it.
    auto longText = [](QChar first) {
        QString text(200000, QChar(0x4e00));
        text[0] = first;
        return text;
    };
    LatestActivityModel model;
    for (int i = 0; i < 9; ++i) {
        const QChar letter('A' + i);
        Activity activity = i % 2
                                ? make(Activity::Album, longText(letter), 10 + i, longText(letter))
                                : make(Activity::UserPlaylist, longText(letter), 10 + i);
        for (int pair = 0; pair < 4; ++pair)
            activity.AlbumArtistPairs[pair] = qMakePair(longText(letter), longText(letter));
        model.addActivity(activity, true);
    }
    {
        ParlovanceSettings settings;
        settings.setValue(QStringLiteral("RepeatOn"), true);
    }
    model.writeActivities();
    const qint64 size = QFileInfo(settingsPath()).size();
    QVERIFY2(size > 0 && size < SettingsFileCheck::MaxFileSize / 2,
             qPrintable(QString::number(size)));

    // The next start reads it as it is, with every entry and every other setting.
    SettingsFileCheck::check(settingsPath());
    QVERIFY(QFileInfo(settingsPath()).size() == size);
    ParlovanceSettings settings;
    QCOMPARE(settings.value(QStringLiteral("RepeatOn")).toBool(), true);
    LatestActivityModel again;
    QCOMPARE(again.activities().size(), 9);
    for (const Activity& activity : again.activities()) {
        QVERIFY(activity.Name.size() >= 1000);
        QVERIFY(longText(activity.Name.at(0)).startsWith(activity.Name));
    }
}

void TestActivityList::readingStopsAtNineAndFillsDefaults()
{
    {
        ParlovanceSettings file;
        file.beginWriteArray("Activities", 12);
        for (int i = 0; i < 12; ++i) {
            file.setArrayIndex(i);
            file.setValue("Type", int(Activity::Album));
            file.setValue("Name", QStringLiteral("Album %1").arg(i));
            file.setValue("TrackerId", 100 + i);
        }
        file.endArray();
    }
    LatestActivityModel model;
    const QList<Activity> read = model.activities();
    QCOMPARE(read.size(), 9);
    QCOMPARE(read.first().Name, QStringLiteral("Album 0"));
    QCOMPARE(read.last().Name, QStringLiteral("Album 8"));
    QCOMPARE(read.first().TrackNo, -1);
    QVERIFY(!read.first().Shuffled);
    QVERIFY(!read.first().Timestamp.isValid());
    QCOMPARE(read.first().AlbumArtistPairs.size(), 4);
}

void TestActivityList::handEditedFileStartsValidAndKeepsOtherSettings()
{
    QDir().mkpath(TestEnvironment::configHome() + "/Vaspe");
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n"
               "SettingsVersion=2\nShuffleOn=true\nRepeatOn=true\nSongID=17\nPosition=42\n"
               "ActiviesUpdated=not a time\n"
               "[Activities]\n"
               "1\\Type=2\n1\\Name=Blue\n1\\TrackerId=3\n1\\TrackNo=seven\n"
               "2\\Type=nine\n2\\Name=Broken\n"
               "3\\Type=9\n3\\Name=Future\n"
               "4\\Type=3\n4\\Name=\n"
               "5\\Type=1\n5\\Name=qtn_musi_all_songs\n5\\Shuffled=maybe\n"
               "6\\Type=1\n6\\Name=qtn_musi_all_songs\n"
               "7\\Type=5\n7\\Name=Mine\n7\\TrackerId=40\n"
               "size=100000\n"
               "\x01\x02 binary = junk \xff\n");
    file.close();

    LatestActivityModel model;
    const QList<Activity> read = model.activities();
    QCOMPARE(names(read), QStringList() << "Blue"
                                        << "qtn_musi_all_songs"
                                        << "Mine");
    QCOMPARE(read.at(0).TrackNo, -1);
    QVERIFY(!model.lastWritten().isValid());

    model.addActivity(make(Activity::Artist, "Kim", 5), true);
    model.writeActivities();
    ParlovanceSettings settings;
    QCOMPARE(settings.value("SettingsVersion").toInt(), 2);
    QCOMPARE(settings.value("ShuffleOn").toBool(), true);
    QCOMPARE(settings.value("RepeatOn").toBool(), true);
    QCOMPARE(settings.value("SongID").toInt(), 17);
    QCOMPARE(settings.value("Position").toInt(), 42);
    QCOMPARE(settings.beginReadArray("Activities"), 4);
    settings.endArray();
    QVERIFY(!settings.contains("Activities/7/Name"));
    LatestActivityModel again;
    QCOMPARE(names(again.activities()), QStringList() << "Kim"
                                                      << "Blue"
                                                      << "qtn_musi_all_songs"
                                                      << "Mine");
}

void TestActivityList::playlistPlayedAgainIsKnownByItsId()
{
    // Older lists named the user playlist "Vol. 2" (id 40) "Vol".
    QDir().mkpath(TestEnvironment::configHome() + "/Vaspe");
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Activities]\n1\\Type=5\n1\\Name=Vol\n1\\TrackerId=40\n"
               "2\\Type=4\n2\\Name=Mix\n2\\TrackerId=40\nsize=2\n");
    file.close();
    LatestActivityModel model;
    QCOMPARE(names(model.activities()), QStringList({ "Vol", "Mix" }));

    // Played again, it is the same entry under its whole name; the playlist file that happens
    // to have the same id is another kind and keeps its own.
    QSignalSpy moved(&model, &LatestActivityModel::activityMoved);
    QSignalSpy added(&model, &LatestActivityModel::activityAdded);
    model.addActivity(make(Activity::UserPlaylist, "Vol. 2", 40), true);
    QCOMPARE(names(model.activities()), QStringList({ "Vol. 2", "Mix" }));
    QCOMPARE(moved.size(), 1);
    QVERIFY(added.isEmpty());
    model.addActivity(make(Activity::Playlist, "Mix 2", 40), true);
    QCOMPARE(names(model.activities()), QStringList({ "Mix 2", "Vol. 2" }));
    QVERIFY(added.isEmpty());
}

void TestActivityList::kindNumbersOutsideTheKindsAreLeftOut()
{
    // Each is checked before it becomes a kind (the sanitizer build reports any that is not).
    QDir().mkpath(TestEnvironment::configHome() + "/Vaspe");
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Activities]\n"
               "1\\Type=9999\n1\\Name=Big\n"
               "2\\Type=99999999999\n2\\Name=Huge\n"
               "3\\Type=-2147483648\n3\\Name=Low\n"
               "4\\Type=2\n4\\Name=Blue\n"
               // The lowest int as an id names no automatic playlist: its negative does not exist.
               "5\\Type=4\n5\\Name=Lowest\n5\\TrackerId=-2147483648\n"
               "6\\Type=4\n6\\Name=qtn_musi_playlist_favorites\n6\\TrackerId=-6\n"
               "size=6\n");
    file.close();
    LatestActivityModel model;
    QCOMPARE(names(model.activities()), QStringList({ "Blue", "qtn_musi_playlist_favorites" }));
    QCOMPARE(Activity::typeFromValue(5), Activity::UserPlaylist);
    QCOMPARE(Activity::typeFromValue(6), Activity::NoActivity);
    QCOMPARE(Activity::typeFromValue(-1), Activity::NoActivity);
}

void TestActivityList::newEntriesFirstReplaysMovedFirst()
{
    LatestActivityModel model;
    QSignalSpy added(&model, SIGNAL(activityAdded(Activity)));
    QSignalSpy moved(&model, SIGNAL(activityMoved(int)));
    model.addActivity(make(Activity::Album, "Blue", 3, "Kim"), true);
    model.addActivity(make(Activity::Artist, "Kim", 5, "Blue"), true);
    model.addActivity(make(Activity::UserPlaylist, "Mine", 40), true);
    QCOMPARE(names(model.activities()), QStringList() << "Mine"
                                                      << "Kim"
                                                      << "Blue");
    QCOMPARE(added.count(), 3);

    // Another album of the same name is the same entry: moved first, its id and artist kept.
    Activity other = make(Activity::Album, "Blue", 99, "Someone");
    other.Shuffled = true;
    model.setTrackNo("Blue", 2);
    model.addActivity(other, true);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.first().first().toInt(), 2);
    QCOMPARE(added.count(), 3);
    const Activity first = model.activities().first();
    QCOMPARE(first.Name, QStringLiteral("Blue"));
    QCOMPARE(first.TrackerId, 3);
    QCOMPARE(first.AdditionalParameter, QStringLiteral("Kim"));
    QCOMPARE(first.Timestamp, other.Timestamp);
    QVERIFY(first.Shuffled);
    QCOMPARE(first.TrackNo, 2);
    QCOMPARE(model.activities().size(), 3);

    // Same name, other kind: a new entry. The name is matched case-sensitively.
    model.addActivity(make(Activity::Artist, "Blue", 8), true);
    model.addActivity(make(Activity::Album, "blue", 9), true);
    QCOMPARE(names(model.activities()), QStringList() << "blue"
                                                      << "Blue"
                                                      << "Blue"
                                                      << "Mine"
                                                      << "Kim");

    // The list reaches the file after the write delay, once for several changes.
    QVERIFY(!model.lastWritten().isValid());
    QTRY_VERIFY(model.lastWritten().isValid());
    LatestActivityModel again;
    QCOMPARE(again.activities(), model.activities());
}

void TestActivityList::automaticPlaylistsAndAllSongsMatchLoosely()
{
    LatestActivityModel model;
    model.addActivity(make(Activity::Playlist, "qtn_musi_playlist_favorites", -6), true);
    model.addActivity(make(Activity::AllSongs, "qtn_musi_all_songs", 0), true);
    model.addActivity(make(Activity::Playlist, "party", 41), true);
    QSignalSpy moved(&model, SIGNAL(activityMoved(int)));

    model.addActivity(make(Activity::Playlist, "renamed", -6), true); // same id
    QCOMPARE(moved.takeFirst().first().toInt(), 2);
    QCOMPARE(model.activities().first().Name, QStringLiteral("renamed"));
    QCOMPARE(model.activities().first().TrackerId, -6);
    model.addActivity(make(Activity::Playlist, "renamed", -3), true); // same name
    QCOMPARE(moved.takeFirst().first().toInt(), 0);
    QCOMPARE(model.activities().first().TrackerId, -6);
    model.addActivity(make(Activity::AllSongs, "anything", 0), true);
    QCOMPARE(moved.takeFirst().first().toInt(), 2);
    QCOMPARE(model.activities().size(), 3);

    // A playlist file is matched by its name only.
    model.addActivity(make(Activity::Playlist, "party", 77), true);
    QCOMPARE(moved.takeFirst().first().toInt(), 2);
    QCOMPARE(model.activities().first().TrackerId, 41);
    model.addActivity(make(Activity::UserPlaylist, "party", 41), true);
    QCOMPARE(model.activities().size(), 4);
    QVERIFY(model.hasActivity(Activity::UserPlaylist, 41));
    QVERIFY(model.hasActivity(Activity::Playlist, 41));
    QVERIFY(!model.hasActivity(Activity::Album, 41));
}

void TestActivityList::tenthEntryIsDroppedAndRemovalsAreChecked()
{
    LatestActivityModel model;
    for (int i = 1; i <= 9; ++i)
        model.addActivity(make(Activity::Album, QStringLiteral("Album %1").arg(i), i), true);
    QSignalSpy added(&model, SIGNAL(activityAdded(Activity)));
    QSignalSpy removed(&model, SIGNAL(activityRemoved(int)));
    model.addActivity(make(Activity::UserPlaylist, "Mine", 40), true);
    QCOMPARE(model.activities().size(), 9);
    QCOMPARE(model.activities().first().Name, QStringLiteral("Mine"));
    QCOMPARE(model.activities().last().Name, QStringLiteral("Album 2"));
    QCOMPARE(added.count(), 1);
    QCOMPARE(removed.count(), 0);

    model.removeActivity(-1);
    model.removeActivity(9);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(model.activities().size(), 9);
    model.removeActivity(0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().toInt(), 0);
    QCOMPARE(model.activities().first().Name, QStringLiteral("Album 9"));
}

void TestActivityList::trackNumberReachesTheNextWrite()
{
    LatestActivityModel model;
    model.addActivity(make(Activity::Album, "Blue", 3), true);
    model.addActivity(make(Activity::Artist, "Blue", 5), true);
    model.writeActivities();
    model.setTrackNo("Blue", 6);
    QCOMPARE(model.activities().at(1).TrackNo, 6);
    QCOMPARE(model.activities().at(0).TrackNo, -1);
    model.writeActivities();
    QCOMPARE(LatestActivityModel().activities().at(1).TrackNo, 6);
}

void TestActivityList::recentlyAddedAlbumsFillAnEmptyList()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    LatestActivityModel model;
    QSignalSpy finished(&model, SIGNAL(lastAddedAlbumsQueryFinished()));
    model.checkModel();
    QVERIFY(finished.wait(StoreTimeoutMs));
    const QList<Activity> list = model.activities();
    QStringList albums = names(list);
    albums.sort();
    QCOMPARE(albums, QStringList() << "Blue"
                                   << "Green"
                                   << "Red");
    for (const Activity& activity : list) {
        QCOMPARE(int(activity.Type), int(Activity::Album));
        QVERIFY(activity.TrackerId > 0);
        QVERIFY(activity.Timestamp.isValid());
        QVERIFY(!activity.Shuffled);
        if (activity.Name == "Green")
            QCOMPARE(activity.AdditionalParameter, QStringLiteral("Lee"));
    }
    // Written at once, not after the delay.
    QCOMPARE(LatestActivityModel().activities(), list);
}

void TestActivityList::recentAlbumsOnlyTopUpAPartList()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    LatestActivityModel model;
    // Entries that no check removes: their ids name no list the store could lose.
    for (int i = 1; i <= 7; ++i)
        model.addActivity(make(Activity::Playlist, QStringLiteral("Entry %1").arg(i), -8 - i),
                          true);
    model.writeActivities();
    QSignalSpy finished(&model, SIGNAL(lastAddedAlbumsQueryFinished()));
    model.checkModel();
    QVERIFY(finished.wait(StoreTimeoutMs));
    const QList<Activity> list = model.activities();
    QCOMPARE(list.size(), 9);
    QCOMPARE(list.at(6).Name, QStringLiteral("Entry 1"));
    QCOMPARE(int(list.at(7).Type), int(Activity::Album));
    QCOMPARE(int(list.at(8).Type), int(Activity::Album));
    QVERIFY(list.at(7).TrackerId != list.at(8).TrackerId);
}

void TestActivityList::newPlaylistFileEntersUnderItsPageName()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    // A playlist older than the last write does not enter; one added after it does.
    FixtureLibrary::addPlaylist("old.m3u", QStringList() << "Kim/Blue/01.ogg");
    QVERIFY(FixtureLibrary::index());
    waitForTheNextSecond();
    LatestActivityModel model;
    model.addActivity(make(Activity::Artist, "Kim", 5), true);
    model.writeActivities();
    QSignalSpy added(&model, SIGNAL(activityAdded(Activity)));
    model.checkModel();
    FixtureLibrary::settleStore();
    waitForTheNextSecond();
    FixtureLibrary::addPlaylist("Road.Trip.m3u", QStringList() << "Kim/Red/01.flac");
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(model.hasActivity(Activity::Playlist,
                                               model.activities().first().TrackerId)
                                 && model.activities().first().Type == Activity::Playlist,
                             StoreTimeoutMs);
    QCOMPARE(model.activities().first().Name, QStringLiteral("Road.Trip"));
    QVERIFY(!names(model.activities()).contains("old"));
    FixtureLibrary::removeFile("old.m3u");
    FixtureLibrary::removeFile("Road.Trip.m3u");
    QVERIFY(FixtureLibrary::index());
}

void TestActivityList::vanishedEntriesAreRemovedHighestFirstAndRefilled()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    LatestActivityModel model;
    fillFromRecentAlbums(model);
    QCOMPARE(model.activities().size(), 3);
    model.removeActivity(indexOf(model.activities(), "Red"));
    model.addActivity(make(Activity::Artist, "Ghost", 999999), true);
    model.addActivity(make(Activity::Album, "Gone", 999998), true);
    model.addActivity(make(Activity::AllSongs, "qtn_musi_all_songs", 0), true);
    model.addActivity(make(Activity::Album, "qtn_musi_unknown_album", 0), true);
    model.addActivity(make(Activity::Artist, "qtn_musi_unknown_artist", -1), true);
    model.addActivity(make(Activity::Playlist, "odd", -9), true);
    QCOMPARE(indexOf(model.activities(), "Gone"), 4);
    QCOMPARE(indexOf(model.activities(), "Ghost"), 5);

    QSignalSpy removed(&model, SIGNAL(activityRemoved(int)));
    model.checkModel();
    // Every entry with a query carries the token of its check; -9 has no query.
    for (const Activity& activity : model.activities())
        QCOMPARE(activity.userData.isValid(), activity.TrackerId != -9);
    QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 2, StoreTimeoutMs);
    FixtureLibrary::settleStore();
    QCoreApplication::sendPostedEvents();
    // What exists stays; the album taken out comes back at the end from the recent albums.
    const QStringList left = names(model.activities());
    QCOMPARE(left.mid(0, 4), QStringList() << "odd"
                                           << "qtn_musi_unknown_artist"
                                           << "qtn_musi_unknown_album"
                                           << "qtn_musi_all_songs");
    QCOMPARE(left.size(), 7);
    QCOMPARE(left.last(), QStringLiteral("Red"));
}

void TestActivityList::removalsNameTheirEntryNotItsPosition()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    LatestActivityModel model;
    model.addActivity(make(Activity::Playlist, "party", 41), true);
    model.addActivity(make(Activity::UserPlaylist, "mine", 41), true);
    model.addActivity(make(Activity::Playlist, "qtn_musi_playlist_recentlyadded", -3), true);
    QSignalSpy removed(&model, SIGNAL(activityRemoved(int)));

    // An answer to a check that a newer check replaced matches nothing.
    model.checkActivity(0);
    const QVariant first = model.activities().at(0).userData;
    model.checkActivity(0);
    const QVariant second = model.activities().at(0).userData;
    QVERIFY(first.isValid() && second.isValid() && first != second);
    model.existsSlot(QList<QStringList>(), true, first);
    QCoreApplication::processEvents();
    QCOMPARE(removed.count(), 0);
    model.existsSlot(QList<QStringList>(), true, second);
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(removed.takeFirst().first().toInt(), 0);
    FixtureLibrary::settleStore();

    // Deleting id 41 names both of its entries; entries added before the removal pass move
    // them, and only they go, the higher first.
    model.albumsDeletedSlot(QSet<int> { 41 });
    model.addActivity(make(Activity::Artist, "Kim", 5), true);
    model.addActivity(make(Activity::Artist, "Lee", 6), true);
    QTRY_COMPARE(removed.count(), 2);
    QCOMPARE(removed.at(0).first().toInt(), 3);
    QCOMPARE(removed.at(1).first().toInt(), 2);
    QCOMPARE(names(model.activities()), QStringList() << "Lee"
                                                      << "Kim");
    model.playlistsDeleted(QSet<int> { 77 });
    QCoreApplication::processEvents();
    QCOMPARE(removed.count(), 2);
}

void TestActivityList::filesLeavingTheMusicFolderRemoveTheirEntries()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    LatestActivityModel model;
    fillFromRecentAlbums(model);
    const int lee = idInSharedList(MafwTrackerModel::AllArtists, "Lee");
    QVERIFY(lee > 0);
    model.addActivity(make(Activity::Artist, "Lee", lee, "Green"), true);
    model.addActivity(make(Activity::Artist, "Kim",
                           idInSharedList(MafwTrackerModel::AllArtists, "Kim")),
                      true);
    model.connectTrackerChangeSignals();
    model.startFollowingDeletionsFromOtherModels();
    QSignalSpy removed(&model, SIGNAL(activityRemoved(int)));

    // Every song of Lee goes: the artist and the album go, Kim and his albums stay.
    QVERIFY(FixtureLibrary::removeFile("Lee/Green/01.ogg"));
    QVERIFY(FixtureLibrary::removeFile("Lee/Green/02.ogg"));
    QVERIFY(FixtureLibrary::removeFile("Loose/nowhere.ogg"));
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(indexOf(model.activities(), "Lee") < 0
                                 && indexOf(model.activities(), "Green") < 0,
                             StoreTimeoutMs);
    FixtureLibrary::settleStore();
    QCoreApplication::sendPostedEvents();
    QStringList left = names(model.activities());
    left.sort();
    QCOMPARE(left, QStringList() << "Blue"
                                 << "Kim"
                                 << "Red");
    QVERIFY(removed.count() >= 2);
}

void TestActivityList::songsWithoutAlbumEnterAndLeave()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    // A list written after the song came counts it as known: nothing enters.
    waitForTheNextSecond();
    LatestActivityModel model;
    model.writeActivities();
    model.handleUnknownAlbumCountChange(true);
    FixtureLibrary::settleStore();
    QCOMPARE(names(model.activities()), QStringList());

    // A list never written counts it as new.
    QFile::remove(settingsPath());
    LatestActivityModel fresh;
    QSignalSpy added(&fresh, SIGNAL(activityAdded(Activity)));
    fresh.addActivity(make(Activity::Playlist, "unchecked", -9), true);
    fresh.handleUnknownAlbumCountChange(true);
    QTRY_COMPARE_WITH_TIMEOUT(added.count(), 2, StoreTimeoutMs);
    const Activity unknown = fresh.activities().first();
    QCOMPARE(unknown.Name, QStringLiteral("qtn_musi_unknown_album"));
    QCOMPARE(int(unknown.Type), int(Activity::Album));
    QCOMPARE(unknown.TrackerId, 0);

    // The last such song leaving the library takes the entry along.
    fresh.connectTrackerChangeSignals();
    QVERIFY(FixtureLibrary::removeFile("Loose/nowhere.ogg"));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(names(fresh.activities()), QStringList() << "unchecked",
                              StoreTimeoutMs);
}

void TestActivityList::collagesAreMadeKeptAndReleased()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    const QString collage = TestEnvironment::cacheHome()
                            + QStringLiteral("/parlovance/collage/qtn_musi_all_songs.png");
    QFile::remove(collage);
    // Collages are made from the store's lists, as the program makes them once they are there:
    // a widget made before has no list to compose.
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(),
                             StoreTimeoutMs);
    LatestActivityModel model;
    QSignalSpy ready(&model, SIGNAL(collageReady()));
    model.addActivity(make(Activity::AllSongs, "qtn_musi_all_songs", 0), true);
    QPointer<CollageImageWidget> allSongs = model.collageWidget(0);
    QVERIFY(allSongs);
    QVERIFY(!allSongs->isVisible());
    QVERIFY(ready.wait(StoreTimeoutMs));
    Activity made = model.activities().first();
    QVERIFY(!made.pixmap.isNull());
    QVERIFY(QFile::exists(collage));
    QStringList albums;
    for (const auto& pair : made.AlbumArtistPairs)
        albums << pair.first;
    QVERIFY(albums.contains("Blue"));
    QCOMPARE(made.AlbumArtistPairs.size(), 4);

    // The same albums in another order, or a different count, change nothing.
    AlbumArtistPairs reordered = made.AlbumArtistPairs;
    std::reverse(reordered.begin(), reordered.end());
    model.imageReadySlot(QPixmap(4, 4), reordered, 0);
    model.imageReadySlot(QPixmap(4, 4), reordered.mid(0, 3), 0);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(model.activities().first().pixmap.cacheKey(), made.pixmap.cacheKey());
    // The albums reach the file with the next write.
    model.writeActivities();
    QCOMPARE(LatestActivityModel().activities().first().AlbumArtistPairs, made.AlbumArtistPairs);

    // An automatic playlist's collage is fed from the automatic playlists.
    model.addActivity(make(Activity::Playlist, "qtn_musi_playlist_recentlyadded", -3), true);
    QVERIFY(model.collageWidget(-3));
    QVERIFY(!model.collageWidget(5));

    // The tenth entry goes with its widget; removing everything releases every widget.
    for (int i = 0; i < 6; ++i)
        model.addActivity(make(Activity::Artist, QStringLiteral("Artist %1").arg(i), 100 + i),
                          true);
    model.addActivity(make(Activity::UserPlaylist, "mine", 40), true);
    QPointer<CollageImageWidget> automatic = model.collageWidget(-3);
    QCOMPARE(model.activities().last().TrackerId, 0);
    model.addActivity(make(Activity::Artist, "Artist 6", 106), true);
    QTRY_VERIFY(!allSongs);
    QVERIFY(automatic);
    QVERIFY(model.collageWidget(40));
    model.removeAllActivities();
    QTRY_VERIFY(!automatic);
    QVERIFY(!model.collageWidget(40));
}

void TestActivityList::aSavedCollageStaysOnTheNextStart()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    const QString collage = TestEnvironment::cacheHome()
                            + QStringLiteral("/parlovance/collage/qtn_musi_all_songs.png");
    QFile::remove(collage);
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(),
                             StoreTimeoutMs);
    AlbumArtistPairs albums;
    QImage shown;
    {
        LatestActivityModel first;
        QSignalSpy ready(&first, SIGNAL(collageReady()));
        first.addActivity(make(Activity::AllSongs, "qtn_musi_all_songs", 0), true);
        QVERIFY(ready.wait(StoreTimeoutMs));
        albums = first.activities().first().AlbumArtistPairs;
        shown = first.activities().first().pixmap.toImage();
        // Only Blue has a picture: the grid is given its cover, never the text cover of the
        // title that may stand in while the cover is looked for.
        QVERIFY(qBlue(shown.pixel(2, 2)) > 200 && qRed(shown.pixel(2, 2)) < 60);
        first.writeActivities();
        // A text cover shown while the covers were looked for may still be on its way out.
        QTRY_VERIFY_WITH_TIMEOUT(samePicture(QImage(collage), shown), StoreTimeoutMs);
    }

    // The next start reads the list with the collage's albums and makes the collage again from
    // the same songs, with nothing of it in memory yet...
    QPixmapCache::clear();
    LatestActivityModel next;
    QCOMPARE(next.activities().first().AlbumArtistPairs, albums);
    QSignalSpy changed(&next, SIGNAL(collageReady()));
    next.createCollages();
    CollageImageWidget* widget = next.collageWidget(0);
    QVERIFY(widget);
    QSignalSpy made(widget, &CollageImageWidget::imageReady);
    QVERIFY(made.wait(StoreTimeoutMs));
    // ... which changes nothing: the grid goes on showing the saved file, and the file holds the
    // same picture.
    QCOMPARE(made.first().at(1).value<AlbumArtistPairs>(), albums);
    QCOMPARE(changed.count(), 0);
    QVERIFY(next.activities().first().pixmap.isNull());
    QVERIFY(samePicture(QImage(collage), shown));
}

void TestActivityList::automaticPlaylistLeavingItsListRemovesItsEntry()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(),
                             StoreTimeoutMs);
    const QSharedPointer<MafwTrackerModel> songs = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    QVERIFY(songs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->rowCount() > 0, StoreTimeoutMs);
    const QModelIndex favourite = songs->index(0, songs->columnOfKey("favorited"));
    QVERIFY(songs->setData(favourite, true));

    LatestActivityModel model;
    model.addActivity(make(Activity::Playlist, "qtn_musi_playlist_favorites", -6), true);
    model.startFollowingDeletionsFromOtherModels();
    // The playlists page deletes the list with itself; the next one is followed too.
    delete AutomaticPlaylistsModel::instance();
    QTest::qWait(0);
    AutomaticPlaylistsModel* automatic = AutomaticPlaylistsModel::instance();
    automatic->requestModels();
    QTRY_VERIFY_WITH_TIMEOUT(automatic->rowForType(MafwTrackerModel::FavouriteSongs) >= 0,
                             StoreTimeoutMs);

    QSignalSpy removed(&model, SIGNAL(activityRemoved(int)));
    QVERIFY(songs->setData(favourite, false));
    QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, StoreTimeoutMs);
    QVERIFY(model.activities().isEmpty());
}

void TestActivityList::entriesOfSongsThatAreAwayStayAndComeBackAsTheyWere()
{
    // A start with the music folder empty (a disk or share not mounted) finds every song
    // unavailable, not gone: the grid keeps what it showed, and when the files are back (while
    // the program runs) it still shows that, with no album taken for newly added.
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(),
                             StoreTimeoutMs);
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    const QSharedPointer<MafwTrackerModel> songs = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->isComplete() && songs->rowCount() == 9, StoreTimeoutMs);
    // Column 8 of a song's row is its id.
    auto songId = [&songs](const QString& title) {
        for (int row = 0; row < songs->rowCount(); ++row) {
            if (songs->index(row, 1).data().toString() == title)
                return songs->index(row, 8).data().toInt();
        }
        return 0;
    };
    const int azure = songId("Azure");
    QVERIFY(azure > 0);
    int azureRow = -1;
    for (int row = 0; row < songs->rowCount(); ++row) {
        if (songs->index(row, 8).data().toInt() == azure)
            azureRow = row;
    }
    QVERIFY(songs->setData(songs->index(azureRow, songs->columnOfKey("favorited")), true));
    factory->trackerConnection()->songPlayed(azure);
    factory->createPlaylist(QStringLiteral("Trip"), MafwTrackerModelFactory::SongItems,
                            { azure, songId("Jade") });
    QTRY_VERIFY_WITH_TIMEOUT(idInSharedList(MafwTrackerModel::UserPlaylists, "Trip") > 0,
                             StoreTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->index(azureRow, songs->columnOfKey("usageCounter")).data()
                                     .toInt()
                                 > 0,
                             StoreTimeoutMs);

    // The list as the last run left it: nine entries, of every kind that is checked.
    waitForTheNextSecond();
    {
        LatestActivityModel earlier;
        const QList<Activity> entries = {
            make(Activity::Artist, "Kim", idInSharedList(MafwTrackerModel::AllArtists, "Kim")),
            make(Activity::Playlist, "qtn_musi_playlist_recentlyplayed", -4),
            make(Activity::Playlist, "qtn_musi_playlist_mostplayed", -5),
            make(Activity::Album, "qtn_musi_unknown_album", 0),
            make(Activity::Artist, "qtn_musi_unknown_artist", -1),
            make(Activity::UserPlaylist, "Trip",
                 idInSharedList(MafwTrackerModel::UserPlaylists, "Trip")),
            make(Activity::Album, "Blue", idInSharedList(MafwTrackerModel::AllAlbums, "Blue")),
            make(Activity::Playlist, "qtn_musi_playlist_favorites", -6),
            make(Activity::AllSongs, "qtn_musi_all_songs", 0),
        };
        for (const Activity& activity : entries) {
            QVERIFY(activity.Type == Activity::AllSongs || activity.TrackerId != 0
                    || activity.Name == QLatin1String("qtn_musi_unknown_album"));
            earlier.addActivity(activity, true);
        }
        earlier.writeActivities();
    }
    const QStringList shown = names(LatestActivityModel().activities());
    QCOMPARE(shown.size(), 9);

    // The music folder is empty at the start.
    const QString music = TestEnvironment::musicDir();
    const QString away = music + QStringLiteral(".away");
    QVERIFY(QDir().rename(music, away));
    QVERIFY(QDir().mkdir(music));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 0, StoreTimeoutMs);
    LatestActivityModel model;
    QSignalSpy removed(&model, SIGNAL(activityRemoved(int)));
    model.connectTrackerChangeSignals();
    model.checkModel();
    model.startFollowingDeletionsFromOtherModels();
    AutomaticPlaylistsModel::instance()->requestModels();
    settleList();
    QCOMPARE(names(model.activities()), shown);

    // The files come back while it runs, and go and come back again.
    for (int round = 0; round < 2; ++round) {
        QVERIFY(FixtureLibrary::moveEntries(away, music));
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 9, StoreTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(
            AutomaticPlaylistsModel::instance()->rowForType(MafwTrackerModel::FavouriteSongs) >= 0,
            StoreTimeoutMs);
        settleList();
        QCOMPARE(names(model.activities()), shown);
        if (round == 1)
            break;
        QVERIFY(FixtureLibrary::moveEntries(music, away));
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 0, StoreTimeoutMs);
        settleList();
        QCOMPARE(names(model.activities()), shown);
    }
    QCOMPARE(removed.count(), 0);
    QVERIFY(QDir().rmdir(away));
    QVERIFY(songs->setData(songs->index(azureRow, songs->columnOfKey("favorited")), false));
}

PARLOVANCE_TEST_MAIN(TestActivityList)
#include "tst_activitylist.moc"
