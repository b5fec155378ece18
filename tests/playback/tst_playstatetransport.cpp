// The playback hub's transport, renderer events and errors, remembered positions, shuffle and
// repeat settings, mass storage and favourites, through the real play controller on a store of
// generated audio.

#include "radioserver.h"
#include "audiogenerator.h"
#include "common/constants.h"
#include "hubtestlibrary.h"
#include "mafwplaylist.h"
#include "mafwshared.h"
#include "mafwtrackermodel.h"
#include "mbanner.h"
#include "data/modelinstance.h"
#include "common/parlovancesettings.h"
#include "playback/playstate.h"
#include "qmusbmode.h"
#include "playback/shuffleproxymodel.h"
#include "testenvironment.h"
#include "phoneplaycontroller.h"

#include <QSignalSpy>

namespace {

const int Timeout = 20000;

bool storedFavourite(int songId)
{
    return !HubTestLibrary::firstCell(
                QStringLiteral("SELECT tracker:id(?s) WHERE { ?s a nmm:MusicPiece ; "
                               "nao:hasTag nao:predefined-tag-favorite . "
                               "FILTER(tracker:id(?s) = %1) }")
                    .arg(songId))
                .isNull();
}

// Records what a listener of the player sheet is told.
class SheetListener : public QObject
{
    Q_OBJECT

public:
    QList<bool> told;

public slots:
    void updateSheet(bool value) { told.append(value); }
};

} // namespace

class TestPlayStateTransport : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<MafwTrackerModel> seven;
    QSharedPointer<MafwTrackerModel> chapters;
    QSharedPointer<MafwTrackerModel> shortSongs;
    PhonePlayController* controls = nullptr;

    QString titleOf(const QSharedPointer<MafwTrackerModel>& model, int row) const
    {
        return HubTestLibrary::cell(model.data(), row, Constants::SongTitle).toString();
    }

    int songIdOf(const QSharedPointer<MafwTrackerModel>& model, int row) const
    {
        return HubTestLibrary::cell(model.data(), row, Constants::SongId).toInt();
    }

    // The model alone in the queue, its row playing, shuffle and repeat off.
    PlayState* play(const QSharedPointer<MafwTrackerModel>& model, int row, bool repeat = false)
    {
        PlayState* hub = PlayState::instance();
        hub->stop(hub->mode());
        hub->setShuffle(false);
        {
            ParlovanceSettings settings;
            settings.setValue(Constants::ShuffleOn, 0);
            settings.setValue(Constants::RepeatOn, repeat);
        }
        hub->appendModel(model, PlayState::ReplaceQueue, -1);
        if (hub->startPlayback(row, PlayState::PlayNow) == row)
            waitForState(PlayState::Playing);
        return hub;
    }

    bool waitForState(PlayState::State state)
    {
        PlayState* hub = PlayState::instance();
        QElapsedTimer waited;
        waited.start();
        while (hub->state(hub->mode()) != state && waited.elapsed() < Timeout)
            QTest::qWait(10);
        return hub->state(hub->mode()) == state;
    }

    // Plays until the hub's position is at least seconds.
    bool playTo(uint seconds)
    {
        PlayState* hub = PlayState::instance();
        hub->setPosition(seconds, hub->mode());
        QElapsedTimer waited;
        waited.start();
        while (hub->position(hub->mode()) < seconds && waited.elapsed() < Timeout)
            QTest::qWait(10);
        return hub->position(hub->mode()) >= seconds;
    }

private slots:
    void initTestCase()
    {
        MBanner::setDisplayDurationForTesting(50);
        QVERIFY(HubTestLibrary::build());
        seven = HubTestLibrary::album(QStringLiteral("Seven"));
        chapters = HubTestLibrary::album(QStringLiteral("Chapters"));
        shortSongs = HubTestLibrary::album(QStringLiteral("Short"));
        QVERIFY(seven && chapters && shortSongs);
        QCOMPARE(seven->rowCount(), 7);
        controls = new PhonePlayController(this);
        PlayState::createInstance(controls);
    }

    void cleanupTestCase() { PlayState::destroyInstance(); }

    void previousRestartsAfterThreeSeconds()
    {
        PlayState* hub = play(seven, 3);
        QVERIFY(playTo(5));
        hub->previous(-1, false);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        QCOMPARE(hub->position(PlayState::MusicMode), 0u);
        QTRY_VERIFY_WITH_TIMEOUT(controls->position() < 4, Timeout);

        // Within the first three seconds it goes back one song.
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
        hub->previous(-1, false);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        QCOMPARE(songs.last().at(0).toString(), titleOf(seven, 2));
        QCOMPARE(songs.last().at(4).toBool(), true);
        QCOMPARE(controls->playlist()->currentIndex(), 2);
        QVERIFY(waitForState(PlayState::Playing));

        // Forced, it changes song whatever has played; from row 0 it goes to the last row.
        QVERIFY(playTo(6));
        hub->previous(-1, true);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);
        hub->previous(-1, true);
        hub->previous(-1, true);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 6);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 6));
    }

    void nextAtTheEndAndTheEndOfTheQueue()
    {
        // next on the last row wraps to the first, with repeat off too.
        PlayState* hub = play(seven, 6);
        hub->next(-1);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        QCOMPARE(controls->playlist()->currentIndex(), 0);
        QVERIFY(waitForState(PlayState::Playing));

        // Playing past the last song follows the repeat setting: off, the queue ends.
        QSignalSpy completed(hub, SIGNAL(playbackCompleted()));
        hub = play(shortSongs, 1);
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Stopped);

        // On, the queue starts again from its first song.
        hub = play(shortSongs, 1, true);
        QVERIFY(hub->isRepeat());
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
        QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 0, Timeout);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(shortSongs, 0));
        QVERIFY(waitForState(PlayState::Playing));
        QCOMPARE(completed.count(), 1);
        hub->setRepeat(false);
    }

    void quickNextsMoveTheControllerOnce()
    {
        PlayState* hub = play(seven, 0);
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
        QSignalSpy items(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)));
        hub->next(400);
        hub->next(400);
        hub->next(400);
        QCOMPARE(songs.count(), 3);
        QCOMPARE(songs.last().at(0).toString(), titleOf(seven, 3));
        QCOMPARE(items.count(), 0);
        QCOMPARE(controls->playlist()->currentIndex(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(controls->playlist()->currentIndex(), 3, Timeout);
        QTest::qWait(200);
        QCOMPARE(items.count(), 1);
        QVERIFY(waitForState(PlayState::Playing));
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 3));
    }

    void fastForwardAtTheEndMovesOn()
    {
        PlayState* hub = play(seven, 1);
        QVERIFY(playTo(25));
        hub->clearSeekBoundReached();
        QSignalSpy positions(hub, SIGNAL(positionChanged(uint)));
        hub->startForwarding(1000);
        QTRY_VERIFY_WITH_TIMEOUT(hub->seekBoundReached(), Timeout);
        QVERIFY(positions.count() >= 4);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 2));
        QVERIFY(waitForState(PlayState::Playing));
        hub->clearSeekBoundReached();

        // Rewinding at the start of a song goes back by the rule of previous.
        hub->startRewinding(1000);
        QTRY_VERIFY_WITH_TIMEOUT(hub->seekBoundReached(), Timeout);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);
        hub->play(PlayState::MusicMode);
        QVERIFY(waitForState(PlayState::Playing));
    }

    void errorsShowTheirBannersAndSkipOrStay_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<bool>("skips");
        const QString connect = qtTrId("qtn_musi_unable_to_connect");
        const QString lost = qtTrId("qtn_musi_connection_was_lost");
        const QString notFound = qtTrId("qtn_musi_file_not_found");
        const QString codec = qtTrId("qtn_musi_codec_not_supported");
        const QString format = qtTrId("qtn_musi_format_not_supported");
        const QString memory = qtTrId("qtn_musi_memory_not_availb");
        const QString corrupted = qtTrId("qtn_musi_playlist_corrupted");
        const QString empty = qtTrId("qtn_musi_empty_playlist");
        const QString cannot = qtTrId("qtn_musi_unable_to_play_song");
        const QString seek = qtTrId("qtn_musi_unable_to_seek");
        const QString drm = qtTrId("qtn_musi_drm_not_supported");
        const QList<QPair<int, QString>> table = {
            { 299, cannot },    { 300, QString() }, { 301, connect },   { 302, lost },
            { 303, notFound },  { 304, lost },      { 305, cannot },    { 306, QString() },
            { 307, QString() }, { 308, format },    { 309, QString() }, { 310, QString() },
            { 311, cannot },    { 312, drm },       { 313, cannot },    { 314, QString() },
            { 315, format },    { 316, corrupted }, { 317, codec },     { 318, QString() },
            { 319, codec },     { 320, empty },     { 321, QString() }, { 322, cannot },
            { 323, QString() }, { 324, QString() }, { 325, seek },      { 326, QString() },
            { 327, QString() }, { 328, QString() }, { 329, cannot },    { 330, cannot },
            { 331, memory },    { 332, cannot },
        };
        for (const auto& row : table) {
            // A library song that cannot be found is not skipped; silent codes change nothing.
            const bool skips = !row.second.isEmpty() && row.first != 303;
            QTest::newRow(qPrintable(QString::number(row.first)))
                << row.first << row.second << skips;
        }
    }

    void errorsShowTheirBannersAndSkipOrStay()
    {
        QFETCH(int, code);
        QFETCH(QString, banner);
        QFETCH(bool, skips);
        PlayState* hub = play(seven, 2);
        MBanner::clearShownTitles();
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));

        controls->raiseError(code, QStringLiteral("injected"));
        if (banner.isEmpty()) {
            QTest::qWait(300);
            QVERIFY(MBanner::shownTitles().isEmpty());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles(), QStringList { banner }, Timeout);
        }
        if (skips) {
            QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 3, Timeout);
            QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 3));
            QVERIFY(waitForState(PlayState::Playing));
        } else {
            QTest::qWait(300);
            QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
            QCOMPARE(songs.count(), 0);
        }
    }

    void errorsOnTheLastSongOrDuringACall()
    {
        // Skipping past the last song ends the queue.
        PlayState* hub = play(seven, 6);
        QSignalSpy completed(hub, SIGNAL(playbackCompleted()));
        controls->raiseError(317, QStringLiteral("injected"));
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 1, Timeout);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 0);

        // During a call the song is not skipped.
        hub = play(seven, 2);
        QSignalSpy calls(hub, SIGNAL(callStateChanged(bool)));
        controls->setCallActive(true);
        QCOMPARE(calls.last().first().toBool(), true);
        QVERIFY(hub->isCallActive());
        MBanner::clearShownTitles();
        controls->raiseError(305, QStringLiteral("injected"));
        QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles(),
                                  QStringList { qtTrId("qtn_musi_unable_to_play_song") }, Timeout);
        QTest::qWait(300);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        // The call ends, but playback may go on only once the audio resources are back.
        controls->setCallActive(false);
        QCOMPARE(calls.last().first().toBool(), true);
        QVERIFY(!hub->isAudioAvailable());
        controls->setAudioResourcesAvailable(true);
        QCOMPARE(calls.last().first().toBool(), false);
        QVERIFY(hub->isAudioAvailable());

        // A skip by the user drops the resume that a banner still on its way would make.
        MBanner::setDisplayDurationForTesting(400);
        hub = play(seven, 2);
        controls->raiseError(311, QStringLiteral("injected"));
        hub->next(-1);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        QTest::qWait(800);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        MBanner::setDisplayDurationForTesting(50);
    }

    void audiobookResumesWhereItWasLeft()
    {
        const int chapterOne = songIdOf(chapters, 0);
        PlayState* hub = play(chapters, 0);
        QVERIFY(hub->isAudiobookOrPodcast());
        QVERIFY(playTo(120));
        hub->next(-1); // left for the next chapter
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(chapters, 1));
        QTRY_VERIFY_WITH_TIMEOUT(!HubTestLibrary::storedPosition(chapterOne).isNull(), Timeout);
        const int stored = HubTestLibrary::storedPosition(chapterOne).toInt();
        QVERIFY2(stored >= 120 && stored <= 123, qPrintable(QString::number(stored)));

        // Started again, it goes on from there.
        QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= uint(stored), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(controls->position() >= uint(stored) - 1, Timeout);
    }

    void aSongLeftTwiceAtOnceKeepsItsPosition()
    {
        const int chapterOne = songIdOf(chapters, 0);
        PlayState* hub = play(chapters, 0);
        QVERIFY(playTo(130));
        const uint left = hub->position(PlayState::MusicMode);
        // The stop and the skip both store the song being left, one right after the other.
        hub->stop(PlayState::MusicMode);
        hub->next(-1);
        QTRY_VERIFY_WITH_TIMEOUT(
            qAbs(HubTestLibrary::storedPosition(chapterOne).toInt() - int(left)) <= 1, Timeout);
        QTest::qWait(500);
        QVERIFY(qAbs(HubTestLibrary::storedPosition(chapterOne).toInt() - int(left)) <= 1);

        QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= left - 1, Timeout);
    }

    void anAudiobookHeardToItsEndStartsFromZero()
    {
        const int chapterOne = songIdOf(chapters, 0);
        PlayState* hub = play(chapters, 0);
        QVERIFY(playTo(146));
        // It plays out; the queue goes on with the next chapter.
        QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 1, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(HubTestLibrary::storedPosition(chapterOne).isNull(), Timeout);

        QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
        QVERIFY(waitForState(PlayState::Playing));
        QTest::qWait(1500);
        QVERIFY(hub->position(PlayState::MusicMode) < 5);
        hub->stop(PlayState::MusicMode);
    }

    void shuffleAndRepeatOutliveTheHub()
    {
        PlayState* hub = play(seven, 2);
        hub->setShuffle(true);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 2));
        hub->setRepeat(true);
        PlayState::destroyInstance();
        {
            ParlovanceSettings settings;
            QFile file(settings.fileName());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY2(text.contains(QStringLiteral("ShuffleOn=1")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("RepeatOn=true")), qPrintable(text));
        }

        // A new start reads them back: repeat at once, shuffle when the queue starts.
        hub = PlayState::createInstance(controls);
        QVERIFY(hub->isRepeat());
        QCOMPARE(MafwShared::instance()->playlist(hub->playlistId())->repeat(),
                 int(MafwPlaylist::RepeatAll));
        hub->appendModel(seven, PlayState::ReplaceQueue, -1);
        QCOMPARE(hub->startPlayback(4, PlayState::PlayNow), 0);
        QVERIFY(hub->isShuffle());
        QVERIFY(hub->shuffleProxyModel()->isShuffled());
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 4));
        QVERIFY(waitForState(PlayState::Playing));

        // Switching shuffle off keeps the song and finds it in queue order again.
        hub->setShuffle(false);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 4);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 4));
        QCOMPARE(ParlovanceSettings().value(Constants::ShuffleOn).toInt(), 0);
        hub->setRepeat(false);
    }

    void shuffleRightAfterASkipSwitches()
    {
        // The now-playing page skips with a delay, so quick taps add up to one move.
        PlayState* hub = play(seven, 1);
        hub->next(400);
        hub->setShuffle(true);
        QVERIFY(hub->isShuffle());
        QVERIFY(hub->shuffleProxyModel()->isShuffled());
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 2));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        QCOMPARE(ParlovanceSettings().value(Constants::ShuffleOn).toInt(), 1);
        QVERIFY(waitForState(PlayState::Playing));
        hub->next(400);
        const QString skippedTo = hub->title(PlayState::MusicMode);
        hub->setShuffle(false);
        QVERIFY(!hub->isShuffle());
        QCOMPARE(hub->title(PlayState::MusicMode), skippedTo);
        QCOMPARE(ParlovanceSettings().value(Constants::ShuffleOn).toInt(), 0);
    }

    void massStorageStopsPlayback()
    {
        PlayState* hub = play(seven, 1);
        QSignalSpy storage(hub, SIGNAL(massStorageMode(bool)));
        MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
        QCOMPARE(storage.count(), 1);
        QVERIFY(waitForState(PlayState::Stopped));
        QTest::qWait(300);
        QCOMPARE(controls->state(), MafwRenderer::Stopped);
        MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
        QCOMPARE(storage.count(), 1);
        MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::Connected);
        QCOMPARE(storage.count(), 2);
        QCOMPARE(storage.last().first().toBool(), false);
    }

    void favouriteReachesTheStoreAndEveryModel()
    {
        PlayState* hub = play(seven, 5);
        const int songId = songIdOf(seven, 5);
        QSharedPointer<MafwTrackerModel> allSongs = ModelInstance::instance()->getModel(
            MafwTrackerModel::AllSongs);
        QTRY_VERIFY_WITH_TIMEOUT(allSongs->isComplete(), Timeout);
        int allSongsRow = -1;
        for (int row = 0; row < allSongs->rowCount(); ++row) {
            if (HubTestLibrary::cell(allSongs.data(), row, Constants::SongId).toInt() == songId)
                allSongsRow = row;
        }
        QVERIFY(allSongsRow >= 0);
        const bool before = HubTestLibrary::cell(seven.data(), 5, Constants::Favorited).toBool();

        QSignalSpy favourite(hub, SIGNAL(favoriteState(QString, bool)));
        hub->toggleFavoriteState();
        QCOMPARE(favourite.count(), 1);
        QCOMPARE(favourite.first().at(0).toString(), hub->songUri());
        QCOMPARE(favourite.first().at(1).toBool(), !before);
        QTRY_COMPARE_WITH_TIMEOUT(storedFavourite(songId), !before, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(
            HubTestLibrary::cell(seven.data(), 5, Constants::Favorited).toBool(), !before, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(
            HubTestLibrary::cell(allSongs.data(), allSongsRow, Constants::Favorited).toBool(),
            !before, Timeout);
        hub->checkFavoriteState();
        QCOMPARE(favourite.last().at(1).toBool(), !before);

        hub->toggleFavoriteState();
        QTRY_COMPARE_WITH_TIMEOUT(storedFavourite(songId), before, Timeout);
    }

    void sheetListenersAreToldOnce()
    {
        PlayState* hub = PlayState::instance();
        SheetListener first;
        QScopedPointer<SheetListener> second(new SheetListener);
        hub->registerSheetListener(&first, SLOT(updateSheet(bool)));
        hub->registerSheetListener(&first, SLOT(updateSheet(bool)));
        hub->registerSheetListener(second.data(), SLOT(updateSheet(bool)));
        hub->registerSheetListener(second.data(), SLOT(noSuchSlot(bool)));
        hub->notifySheetListeners(true);
        QCOMPARE(first.told, QList<bool> { true });
        QCOMPARE(second->told, QList<bool> { true });
        second.reset();
        hub->notifySheetListeners(false);
        QCOMPARE(first.told, (QList<bool> { true, false }));
        hub->unregisterSheetListener(&first);
        hub->notifySheetListeners(true);
        QCOMPARE(first.told.size(), 2);
    }

    void aSingleHttpUrlPlaysThroughItsBuffering()
    {
        const QString audio = AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 20000);
        QFile source(audio);
        QVERIFY(source.open(QIODevice::ReadOnly));
        RadioServer server;
        QVERIFY(server.start());
        RadioServer::Resource stream;
        stream.contentType = "audio/mpeg";
        stream.body = source.readAll();
        server.addResource("/song.mp3", stream);

        PlayState* hub = play(seven, 1);
        MBanner::clearShownTitles();
        QSignalSpy buffering(controls, SIGNAL(bufferingChanged(float)));
        hub->playStream(server.url("/song.mp3"));
        QCOMPARE(hub->mode(), PlayState::RadioMode);
        QCOMPARE(hub->contentType(PlayState::RadioMode), PlayState::UrlContent);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_VERIFY_WITH_TIMEOUT(!buffering.isEmpty(), Timeout);
        QVERIFY(MBanner::shownTitles().isEmpty());
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Playing);
        // The music queue waits paused in its snapshot.
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 1));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 1);

        // Back to music: the song that was left resumes.
        hub->play(PlayState::MusicMode);
        QCOMPARE(hub->mode(), PlayState::MusicMode);
        QVERIFY(waitForState(PlayState::Playing));
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 1));
        QCOMPARE(controls->playlist()->currentIndex(), 1);
        hub->stop(PlayState::MusicMode);
    }

    void anUntaggedLocalFileGoesByItsName()
    {
        const QString path = TestEnvironment::home()
                             + QStringLiteral("/Desktop/Field recording.ogg");
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::remove(path);
        QVERIFY(QFile::copy(AudioGenerator::untaggedTemplate(QStringLiteral("ogg"), 3000), path));

        PlayState* hub = play(seven, 1);
        hub->playStream(QUrl::fromLocalFile(path));
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_COMPARE(hub->title(PlayState::RadioMode), QStringLiteral("Field recording"));
        QCOMPARE(hub->album(PlayState::RadioMode), qtTrId("qtn_musi_unknown_album"));
        QCOMPARE(hub->artist(PlayState::RadioMode), qtTrId("qtn_musi_unknown_artist"));
        hub->stop(PlayState::RadioMode);
    }
};

PARLOVANCE_TEST_MAIN(TestPlayStateTransport)

#include "tst_playstatetransport.moc"
