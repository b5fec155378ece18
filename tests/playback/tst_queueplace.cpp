// Where the play queue stands while its rows change under it: songs arriving in the library
// above or below the playing one, songs leaving it (the playing one too), shuffle switched
// during a song. What the hub names, what the controller plays and what follows at the end
// must stay one song; through the real store, file indexer and GStreamer controller.

#include "common/constants.h"
#include "activity/activity.h"
#include "activity/latestactivitycontroller.h"
#include "common/parlovancesettings.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "hubtestlibrary.h"
#include "mafwplaylist.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mbanner.h"
#include "playback/playstate.h"
#include "shell/parlovanceservice.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QSignalSpy>

namespace {

const int Timeout = 30000;

using Song = FixtureLibrary::Song;

// "Tide" by Ada: four songs of 60 s in track order; a first track joins later.
const Song TideSongs[] = {
    { "Ada/Tide/2.ogg", "Cobalt", "Ada", "Tide", "Pop", 2, 0, 60 * 1000 },
    { "Ada/Tide/3.ogg", "Dune", "Ada", "Tide", "Pop", 3, 0, 60 * 1000 },
    { "Ada/Tide/4.ogg", "Ember", "Ada", "Tide", "Pop", 4, 0, 60 * 1000 },
    { "Ada/Tide/5.ogg", "Fjord", "Ada", "Tide", "Pop", 5, 0, 60 * 1000 },
};
const Song Arriving = { "Ada/Tide/1.ogg", "Brand New Day", "Ada", "Tide", "Pop", 1, 0, 60 * 1000 };

// "Six" by Bo: six songs of 60 s, for shuffle.
const Song SixSongs[] = {
    { "Bo/Six/1.ogg", "S1", "Bo", "Six", "Rock", 1, 0, 60 * 1000 },
    { "Bo/Six/2.ogg", "S2", "Bo", "Six", "Rock", 2, 0, 60 * 1000 },
    { "Bo/Six/3.ogg", "S3", "Bo", "Six", "Rock", 3, 0, 60 * 1000 },
    { "Bo/Six/4.ogg", "S4", "Bo", "Six", "Rock", 4, 0, 60 * 1000 },
    { "Bo/Six/5.ogg", "S5", "Bo", "Six", "Rock", 5, 0, 60 * 1000 },
    { "Bo/Six/6.ogg", "S6", "Bo", "Six", "Rock", 6, 0, 60 * 1000 },
};

// "Solo" by Cy: one song of 90 s; "Tales" by Dee: four audiobook chapters of 90 s.
const Song SoloSong = { "Cy/Solo/1.ogg", "Lone", "Cy", "Solo", "Pop", 1, 0, 90 * 1000 };
const Song TalesChapters[] = {
    { "Dee/Tales/1.ogg", "Tale 1", "Dee", "Tales", "Audiobook", 1, 0, 90 * 1000 },
    { "Dee/Tales/2.ogg", "Tale 2", "Dee", "Tales", "Audiobook", 2, 0, 90 * 1000 },
    { "Dee/Tales/3.ogg", "Tale 3", "Dee", "Tales", "Audiobook", 3, 0, 90 * 1000 },
    { "Dee/Tales/4.ogg", "Tale 4", "Dee", "Tales", "Audiobook", 4, 0, 90 * 1000 },
};

} // namespace

class TestQueuePlace : public QObject
{
    Q_OBJECT

private:
    ZelPlayControls* controls = nullptr;

    static bool waitFor(const std::function<bool()>& done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < Timeout)
            QTest::qWait(20);
        return done();
    }

    // The title of the row that the controller has loaded, as its playlist gives it.
    QString controllerTitle() const
    {
        MafwPlaylist* list = controls->playlist();
        if (!list || !list->itemModel())
            return QString();
        return HubTestLibrary::cell(list->itemModel(), list->currentIndex(), Constants::SongTitle)
            .toString();
    }

    // The title the hub names and the one the controller plays agree, and the queue view's
    // row is the hub's.
    void verifyOneSong(const QString& title)
    {
        PlayState* hub = PlayState::instance();
        QCOMPARE(hub->title(PlayState::MusicMode), title);
        QCOMPARE(controllerTitle(), title);
        QCOMPARE(controls->playlist()->currentIndex(), hub->currentIndex(PlayState::MusicMode));
    }

    // As a library page plays a list: a copy of its model is queued.
    PlayState* play(const QSharedPointer<MafwTrackerModel>& model, int row, bool shuffle,
                    bool copy = false)
    {
        PlayState* hub = PlayState::instance();
        hub->stop(hub->mode());
        hub->setShuffle(false);
        {
            ParlovanceSettings settings;
            settings.setValue(Constants::ShuffleOn, shuffle ? 1 : 0);
            settings.setValue(Constants::RepeatOn, false);
        }
        hub->appendModel(model,
                         copy ? PlayState::ReplaceQueue | PlayState::CopyModel
                              : PlayState::ModelOptions(PlayState::ReplaceQueue),
                         -1);
        if (copy)
            waitFor([hub]() { return hub->songCount(PlayState::MusicMode) > 0; });
        hub->startPlayback(row, PlayState::PlayNow);
        waitFor([hub]() { return hub->state(PlayState::MusicMode) == PlayState::Playing; });
        return hub;
    }

    // Moves near the end of the playing song and waits for the next one to play.
    bool playToNextSong(const QString& from)
    {
        PlayState* hub = PlayState::instance();
        hub->setPosition(uint(qMax(0, hub->duration(PlayState::MusicMode) - 1)),
                         PlayState::MusicMode);
        return waitFor([hub, from]() {
            return hub->title(PlayState::MusicMode) != from
                   && hub->state(PlayState::MusicMode) == PlayState::Playing;
        });
    }

private slots:
    void initTestCase()
    {
        MBanner::setDisplayDurationForTesting(50);
        for (const Song& song : TideSongs)
            QVERIFY(!FixtureLibrary::addSong(song).isEmpty());
        for (const Song& song : SixSongs)
            QVERIFY(!FixtureLibrary::addSong(song).isEmpty());
        QVERIFY(!FixtureLibrary::addSong(SoloSong).isEmpty());
        for (const Song& song : TalesChapters)
            QVERIFY(!FixtureLibrary::addSong(song).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QVERIFY(HubTestLibrary::waitForFactory());
        controls = ZelPlayControls::instance();
        PlayState::instance();
    }

    void cleanupTestCase() { PlayState::destroyInstance(); }

    void songArrivingAboveKeepsThePlayingOne()
    {
        QSharedPointer<MafwTrackerModel> tide = HubTestLibrary::album(QStringLiteral("Tide"));
        QVERIFY(tide);
        QCOMPARE(tide->rowCount(), 4);
        PlayState* hub = play(tide, 0, false);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
        verifyOneSong(QStringLiteral("Cobalt"));

        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
        QVERIFY(!FixtureLibrary::addSong(Arriving).isEmpty());
        QVERIFY(FixtureLibrary::index());
        QVERIFY(waitFor([tide]() { return tide->rowCount() == 5; }));
        QCOMPARE(HubTestLibrary::cell(tide.data(), 0, Constants::SongTitle).toString(),
                 QStringLiteral("Brand New Day"));

        // The counter moves with the song; the song stays.
        QVERIFY(waitFor([hub]() { return hub->songCount(PlayState::MusicMode) == 5; }));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);
        verifyOneSong(QStringLiteral("Cobalt"));
        for (const QList<QVariant>& song : songs)
            QCOMPARE(song.at(0).toString(), QStringLiteral("Cobalt"));
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);

        // At its end the song after it follows, as the hub says.
        QVERIFY(playToNextSong(QStringLiteral("Cobalt")));
        verifyOneSong(QStringLiteral("Dune"));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
    }

    void songLeavingAboveKeepsThePlayingOne()
    {
        QSharedPointer<MafwTrackerModel> tide = HubTestLibrary::album(QStringLiteral("Tide"));
        QVERIFY(tide);
        QCOMPARE(tide->rowCount(), 5);
        PlayState* hub = play(tide, 2, false);
        verifyOneSong(QStringLiteral("Dune"));

        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Ada/Tide/1.ogg")));
        QVERIFY(FixtureLibrary::index());
        QVERIFY(waitFor([hub]() { return hub->songCount(PlayState::MusicMode) == 4; }));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);
        verifyOneSong(QStringLiteral("Dune"));
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);

        QVERIFY(playToNextSong(QStringLiteral("Dune")));
        verifyOneSong(QStringLiteral("Ember"));
    }

    void shuffleSwitchedOffDuringASong()
    {
        QSharedPointer<MafwTrackerModel> six = HubTestLibrary::album(QStringLiteral("Six"));
        QVERIFY(six);
        QCOMPARE(six->rowCount(), 6);
        // Shuffle on: the queue opens shuffled with the tapped third song first.
        PlayState* hub = play(six, 2, true);
        QVERIFY(hub->isShuffle());
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        verifyOneSong(QStringLiteral("S3"));

        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
        hub->setShuffle(false);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        verifyOneSong(QStringLiteral("S3"));
        for (const QList<QVariant>& song : songs)
            QCOMPARE(song.at(0).toString(), QStringLiteral("S3"));

        // The song after it in album order follows, and it is the one named.
        QVERIFY(playToNextSong(QStringLiteral("S3")));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        verifyOneSong(QStringLiteral("S4"));

        // Switched on again, the playing song stays and leads the new order.
        hub->setShuffle(true);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        verifyOneSong(QStringLiteral("S4"));
        const QString after = HubTestLibrary::cell(controls->playlist()->itemModel(), 1,
                                                   Constants::SongTitle)
                                  .toString();
        QVERIFY(playToNextSong(QStringLiteral("S4")));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);
        verifyOneSong(after);
        hub->setShuffle(false);
    }

    void playingFileRemovedFromTheFolder()
    {
        QSharedPointer<MafwTrackerModel> tide = HubTestLibrary::album(QStringLiteral("Tide"));
        QVERIFY(tide);
        QCOMPARE(tide->rowCount(), 4);
        PlayState* hub = play(tide, 1, false);
        verifyOneSong(QStringLiteral("Dune"));
        hub->setPosition(12, PlayState::MusicMode);
        QVERIFY(waitFor([this]() { return controls->position() >= 12; }));

        // The song that took its place plays at once, from its start, and it is the one named.
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Ada/Tide/3.ogg")));
        QVERIFY(FixtureLibrary::index());
        QVERIFY(waitFor([hub]() { return hub->songCount(PlayState::MusicMode) == 3; }));
        QVERIFY(waitFor([hub]() { return hub->title(PlayState::MusicMode) == "Ember"; }));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);
        QVERIFY(
            waitFor([hub]() { return hub->state(PlayState::MusicMode) == PlayState::Playing; }));
        verifyOneSong(QStringLiteral("Ember"));
        QVERIFY(controls->position() < 10);

        // Nothing is skipped at its end.
        QVERIFY(playToNextSong(QStringLiteral("Ember")));
        verifyOneSong(QStringLiteral("Fjord"));

        // The last song gone, the queue has played to its end and stops.
        QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Ada/Tide/5.ogg")));
        QVERIFY(FixtureLibrary::index());
        QVERIFY(waitFor([hub]() { return hub->songCount(PlayState::MusicMode) == 2; }));
        QVERIFY(
            waitFor([hub]() { return hub->state(PlayState::MusicMode) == PlayState::Stopped; }));
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Cobalt"));
    }

    void playingSongDeletedFromTheProgram()
    {
        QSharedPointer<MafwTrackerModel> solo = HubTestLibrary::album(QStringLiteral("Solo"));
        QVERIFY(solo);
        QCOMPARE(solo->rowCount(), 1);
        PlayState* hub = play(solo, 0, false, true);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
        verifyOneSong(QStringLiteral("Lone"));
        ParlovanceService* service = ParlovanceService::instance();
        QCOMPARE(service->playbackState(), 1);
        QSignalSpy media(service, SIGNAL(mediaChanged(QStringList)));

        // Deleted as the song menu deletes it: its file and its entry go, and so does its
        // sound; the player and the bus say that nothing plays.
        const int songId = HubTestLibrary::cell(solo.data(), 0, Constants::SongId).toInt();
        MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems(
            QList<int>() << songId, MafwTrackerModel::NoList);
        QVERIFY(waitFor([hub]() { return hub->songCount(PlayState::MusicMode) == 0; }));
        QVERIFY(
            waitFor([hub]() { return hub->state(PlayState::MusicMode) == PlayState::Stopped; }));
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        QVERIFY(!QFile::exists(FixtureLibrary::pathOf(QString::fromLatin1(SoloSong.path))));
        QVERIFY(hub->title(PlayState::MusicMode).isEmpty());
        QCOMPARE(service->playbackState(), 0);
        QVERIFY(!media.isEmpty());
        QCOMPARE(media.last().first().toStringList().value(1), QString());
        ParlovanceService::destroyInstance();
    }

    void audiobookTileResumesTheChapterThatPlayed()
    {
        QSharedPointer<MafwTrackerModel> tales = HubTestLibrary::album(QStringLiteral("Tales"));
        QVERIFY(tales);
        QCOMPARE(tales->rowCount(), 4);
        LatestActivityController* activities = LatestActivityController::instance();
        activities->addActivity(2, QStringLiteral("Tales"), false, QStringLiteral("Dee"),
                                HubTestLibrary::cell(tales.data(), 0, Constants::AlbumId).toInt());
        auto trackNo = [activities]() {
            for (const Activity& activity : activities->activities()) {
                if (activity.Type == 2 && activity.Name == QLatin1String("Tales"))
                    return activity.TrackNo;
            }
            return -2;
        };
        // As the album page starts it: at the tapped row.
        PlayState* hub = PlayState::instance();
        hub->setTrackNumber(1);
        hub = play(tales, 1, false);
        verifyOneSong(QStringLiteral("Tale 2"));
        hub->setPosition(46, PlayState::MusicMode);
        QVERIFY(waitFor([hub]() { return hub->position(PlayState::MusicMode) >= 47; }));
        hub->pause();
        QVERIFY(waitFor([hub]() { return hub->state(PlayState::MusicMode) == PlayState::Paused; }));
        // The tile replays the album from the row it keeps: the chapter that played.
        QCOMPARE(trackNo(), 1);
        QCOMPARE(HubTestLibrary::cell(tales.data(), trackNo(), Constants::SongTitle).toString(),
                 QStringLiteral("Tale 2"));

        // After a skip it is the new chapter's row.
        hub->next(-1);
        verifyOneSong(QStringLiteral("Tale 3"));
        hub->play(PlayState::MusicMode);
        QVERIFY(
            waitFor([hub]() { return hub->state(PlayState::MusicMode) == PlayState::Playing; }));
        QVERIFY(waitFor([hub]() { return hub->position(PlayState::MusicMode) >= 1; }));
        hub->setPosition(20, PlayState::MusicMode);
        QVERIFY(waitFor([hub]() { return hub->position(PlayState::MusicMode) >= 21; }));
        QCOMPARE(trackNo(), 2);
        hub->stop(PlayState::MusicMode);
    }
};

PARLOVANCE_TEST_MAIN(TestQueuePlace)

#include "tst_queueplace.moc"
