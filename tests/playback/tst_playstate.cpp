// The playback hub builds its queue from library models and starts it through the real play
// controller: rows, shuffle, audiobooks, adding while playing, refusals and the settings it
// writes.

#include "applicationactionmediator.h"
#include "common/constants.h"
#include "hubtestlibrary.h"
#include "mafwplaylist.h"
#include "mafwshared.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mbanner.h"
#include "common/parlovancesettings.h"
#include "data/modelcolumns.h"
#include "playback/playstate.h"
#include "qmusbmode.h"
#include "playback/shuffleproxymodel.h"
#include "playback/songdata.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QSignalSpy>
#include <QStandardItemModel>

namespace {

const int Timeout = 20000;

QStringList settingsKeys()
{
    ParlovanceSettings settings;
    return settings.allKeys();
}

QString settingsFileText()
{
    ParlovanceSettings settings;
    settings.sync();
    QFile file(settings.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestPlayState : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<MafwTrackerModel> seven;
    QSharedPointer<MafwTrackerModel> red;
    QSharedPointer<MafwTrackerModel> chapters;

    PlayState* freshHub()
    {
        PlayState::destroyInstance();
        return PlayState::instance();
    }

    QString titleOf(const QSharedPointer<MafwTrackerModel>& model, int row)
    {
        return HubTestLibrary::cell(model.data(), row, Constants::SongTitle).toString();
    }

    // The queue holds the model alone, stopped, with shuffle and repeat off in the settings.
    PlayState* queueAlone(const QSharedPointer<MafwTrackerModel>& model)
    {
        PlayState* hub = PlayState::instance();
        hub->stop(hub->mode());
        hub->setShuffle(false);
        {
            ParlovanceSettings settings;
            settings.setValue(Constants::ShuffleOn, 0);
            settings.setValue(Constants::RepeatOn, false);
        }
        hub->appendModel(model, PlayState::ReplaceQueue, -1);
        [&]() {
            QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), model->rowCount(),
                                      Timeout);
        }();
        return hub;
    }

private slots:
    void initTestCase()
    {
        MBanner::setDisplayDurationForTesting(50);
        QVERIFY(HubTestLibrary::build());
        seven = HubTestLibrary::album(QStringLiteral("Seven"));
        red = HubTestLibrary::album(QStringLiteral("Red"));
        chapters = HubTestLibrary::album(QStringLiteral("Chapters"));
        QVERIFY(seven && red && chapters);
        QCOMPARE(seven->rowCount(), 7);
        QCOMPARE(red->rowCount(), 2);
        QCOMPARE(chapters->rowCount(), 2);
    }

    void cleanupTestCase() { PlayState::destroyInstance(); }

    void firstStartWritesOnlyTheRepeatSetting()
    {
        PlayState::destroyInstance();
        {
            ParlovanceSettings settings;
            settings.clear();
        }
        PlayState* hub = PlayState::instance();
        QCOMPARE(settingsKeys(), QStringList { Constants::RepeatOn });
        QCOMPARE(ParlovanceSettings().value(Constants::RepeatOn).toBool(), false);
        QVERIFY(!hub->isRepeat());
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Stopped);
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Stopped);

        // A stored true turns repeat on before anything is queued.
        ParlovanceSettings().setValue(Constants::RepeatOn, true);
        hub = freshHub();
        QVERIFY(hub->isRepeat());
        QCOMPARE(MafwShared::instance()->playlist(hub->playlistId())->repeat(),
                 int(MafwPlaylist::RepeatAll));
        ParlovanceSettings().setValue(Constants::RepeatOn, false);
        hub = freshHub();
        QVERIFY(!hub->isRepeat());
    }

    // What the controller plays is the queue's published model: it serves the song columns up to
    // the album's id, where SongColumns says, and the hub reads a playing song by them.
    void queueServesTheSongColumns()
    {
        PlayState* hub = queueAlone(seven);
        MafwPlaylist* published = MafwShared::instance()->playlist(hub->playlistId());
        QVERIFY(published && published->itemModel());
        const QAbstractItemModel* rows = published->itemModel();
        const SongColumns columns;
        const QList<QPair<int, QString>> fields = {
            { columns.uri, "songUri" },       { columns.title, "songTitle" },
            { columns.artist, "artistName" }, { columns.album, "albumName" },
            { columns.length, "songLength" }, { columns.favorited, "favorited" },
            { columns.genre, "genre" },       { columns.year, "year" },
            { columns.songId, "songId" },     { columns.albumId, "albumId" },
        };
        QCOMPARE(rows->columnCount(), fields.size());
        for (const auto& field : fields)
            QCOMPARE(rows->headerData(field.first, Qt::Horizontal).toString(), field.second);
        QCOMPARE(rows->index(3, columns.title).data().toString(), titleOf(seven, 3));
    }

    void albumRowPlaysAndIsAnnounced()
    {
        PlayState* hub = queueAlone(seven);
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
        QSignalSpy states(hub, SIGNAL(stateChanged(PlayState::State)));

        QCOMPARE(hub->startPlayback(3, PlayState::PlayNow), 3);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QVERIFY(!hub->flags().testFlag(PlayState::PlayNow));
        QVERIFY(!songs.isEmpty());
        const QList<QVariant> last = songs.last();
        QCOMPARE(last.at(0).toString(), titleOf(seven, 3));
        QCOMPARE(last.at(1).toString(), QStringLiteral("Seven"));
        QCOMPARE(last.at(2).toString(), QStringLiteral("Kim"));
        QCOMPARE(last.at(3).toInt(), 3);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 3));
        QCOMPARE(hub->duration(PlayState::MusicMode), 30);

        // The controller plays that row, and the song handler describes it.
        ZelPlayControls* controls = ZelPlayControls::instance();
        QCOMPARE(controls->playlist()->id(), hub->playlistId());
        QCOMPARE(controls->playlist()->currentIndex(), 3);
        const SongData* song = qobject_cast<const SongData*>(controls->mutableItem());
        QVERIFY(song);
        QCOMPARE(song->queuePosition(), 4);
        QCOMPARE(song->title(), titleOf(seven, 3));
        QCOMPARE(song->songId(), HubTestLibrary::cell(seven.data(), 3, Constants::SongId).toInt());

        // The extension mediator heard of the song.
        const QHash<QString, QVariant> action = ApplicationActionMediator::instance()
                                                    ->lastPlayAction();
        QCOMPARE(action.value(QStringLiteral("song")).toString(), titleOf(seven, 3));
        QCOMPARE(action.value(QStringLiteral("album")).toString(), QStringLiteral("Seven"));
        QCOMPARE(action.value(QStringLiteral("genre")).toString(), QStringLiteral("Pop"));
        QCOMPARE(ApplicationActionMediator::instance()->lastPlayActionType(), 0);

        // Without "play at once" the row is only selected.
        hub->stop(PlayState::MusicMode);
        QCOMPARE(hub->startPlayback(1, 0), 1);
        QCOMPARE(controls->playlist()->currentIndex(), 1);
        QTest::qWait(300);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Stopped);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 1));
    }

    void shuffleSettingKeepsTheChosenSongFirst()
    {
        PlayState* hub = queueAlone(seven);
        ParlovanceSettings().setValue(Constants::ShuffleOn, 1);
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));

        QCOMPARE(hub->startPlayback(5, PlayState::PlayNow), 0);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QVERIFY(hub->isShuffle());
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 5));
        QCOMPARE(songs.last().at(0).toString(), titleOf(seven, 5));
        QCOMPARE(songs.last().at(3).toInt(), 0);
        QCOMPARE(ZelPlayControls::instance()->playlist()->currentIndex(), 0);

        // Every song is still queued once, in another order.
        QSharedPointer<ShuffleProxyModel> queue = hub->shuffleProxyModel();
        QVERIFY(queue->isShuffled());
        QCOMPARE(queue->rowCount(), 7);
        QSet<QString> titles;
        for (int row = 0; row < queue->rowCount(); ++row)
            titles.insert(HubTestLibrary::cell(queue.data(), row, Constants::SongTitle).toString());
        QCOMPARE(titles.size(), 7);
        QVERIFY2(settingsFileText().contains(QStringLiteral("ShuffleOn=1")),
                 qPrintable(settingsFileText()));
    }

    void shuffledStartShufflesTheWholeQueue()
    {
        // The first song of a shuffled start is any song: over a few starts not always row 0.
        QSet<QString> firstSongs;
        for (int attempt = 0; attempt < 6 && firstSongs.size() < 2; ++attempt) {
            PlayState* hub = queueAlone(seven);
            QCOMPARE(hub->startPlayback(0, PlayState::ShuffledStart | PlayState::PlayNow), 0);
            QVERIFY(hub->isShuffle());
            QVERIFY(hub->shuffleProxyModel()->isShuffled());
            QCOMPARE(hub->shuffleProxyModel()->rowCount(), 7);
            firstSongs.insert(hub->title(PlayState::MusicMode));
            QCOMPARE(hub->title(PlayState::MusicMode),
                     HubTestLibrary::cell(hub->shuffleProxyModel().data(), 0, Constants::SongTitle)
                         .toString());
            // The user's shuffle choice is not touched by a shuffled start.
            QCOMPARE(ParlovanceSettings().value(Constants::ShuffleOn).toInt(), 0);
            QTest::qWait(7);
        }
        QVERIFY(firstSongs.size() >= 2);
        QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->state(PlayState::MusicMode),
                                  PlayState::Playing, Timeout);
    }

    void audiobookRowIgnoresShuffle()
    {
        PlayState* hub = queueAlone(chapters);
        hub->appendModel(seven, 0, -1);
        QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 9, Timeout);
        ParlovanceSettings().setValue(Constants::ShuffleOn, 1);

        QCOMPARE(hub->startPlayback(1, PlayState::PlayNow), 1);
        QVERIFY(!hub->isShuffle());
        QVERIFY(!hub->shuffleProxyModel()->isShuffled());
        QCOMPARE(hub->shuffleProxyModel()->rowCount(), 9); // spoken word stays in the queue
        QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Chapter 2"));
        QVERIFY(hub->isAudiobookOrPodcast());
        QCOMPARE(ParlovanceSettings().value(Constants::ShuffleOn).toInt(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);

        // A music row of the same queue takes the shuffle setting again, and shuffled play hides
        // the chapters.
        QCOMPARE(hub->startPlayback(4, PlayState::PlayNow), 0);
        QVERIFY(hub->isShuffle());
        QCOMPARE(hub->shuffleProxyModel()->rowCount(), 7);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 2));
        ParlovanceSettings().setValue(Constants::ShuffleOn, 0);
    }

    void addingWhilePlayingKeepsTheSong()
    {
        PlayState* hub = queueAlone(seven);
        QCOMPARE(hub->startPlayback(3, PlayState::PlayNow), 3);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QSignalSpy counts(hub, SIGNAL(songCountChanged(int)));
        QSignalSpy added(hub, SIGNAL(songsAddedToPlaylist(int)));

        hub->appendModel(red, 0, -1);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 9);
        QCOMPARE(counts.last().first().toInt(), 9);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 3));
        QCOMPARE(ZelPlayControls::instance()->playlist()->currentIndex(), 3);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);

        // A copy joins later and says how many songs it brought.
        hub->appendModel(red, PlayState::CopyModel, -1);
        QTRY_COMPARE_WITH_TIMEOUT(added.count(), 1, Timeout);
        QCOMPARE(added.first().first().toInt(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 11, Timeout);
        QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 3));
        QVERIFY(hub->hasSeveralAlbums());
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
    }

    void massStorageAndLibraryUpdatesRefusePlayback()
    {
        PlayState* hub = queueAlone(seven);
        QSignalSpy storage(hub, SIGNAL(massStorageMode(bool)));
        MBanner::clearShownTitles();

        MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
        QCOMPARE(storage.count(), 1);
        QCOMPARE(storage.first().first().toBool(), true);
        QVERIFY(hub->isMassStorageMode());
        QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), -1);
        QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(
                                     qtTrId("qtn_musi_unable_to_play_song")),
                                 Timeout);
        QTest::qWait(300);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Stopped);
        MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::Disconnected);
        QCOMPARE(storage.count(), 2);
        QCOMPARE(storage.last().first().toBool(), false);

        MBanner::clearShownTitles();
        hub->setUpdatingLibrary(true);
        QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), -1);
        QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles(),
                                  QStringList { qtTrId("qtn_musi_unable_to_play_song") }, Timeout);
        hub->setUpdatingLibrary(false);
        QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), 2);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    }

    void aModelThatCannotBeQueuedLeavesTheQueue()
    {
        PlayState* hub = queueAlone(seven);
        QCOMPARE(hub->startPlayback(4, PlayState::PlayNow), 4);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));

        // A null model, a copy that fails (no such row), and a copy of a model that is no
        // tracker model: with or without replacing the queue, nothing changes.
        QStandardItemModel plain(3, 12);
        const QList<QPair<QSharedPointer<QAbstractItemModel>, int>> attempts = {
            { QSharedPointer<QAbstractItemModel>(), int(PlayState::ReplaceQueue) },
            { seven, int(PlayState::ReplaceQueue | PlayState::CopyModel) },
            { QSharedPointer<QAbstractItemModel>(&plain, [](QAbstractItemModel*) {}),
              int(PlayState::ReplaceQueue | PlayState::CopyModel) },
        };
        for (const auto& attempt : attempts) {
            hub->appendModel(attempt.first, PlayState::ModelOptions(attempt.second),
                             attempt.second & PlayState::CopyModel ? 99 : -1);
            QCOMPARE(hub->songCount(PlayState::MusicMode), 7);
            QCOMPARE(hub->currentIndex(PlayState::MusicMode), 4);
            QCOMPARE(hub->title(PlayState::MusicMode), titleOf(seven, 4));
        }
        QCOMPARE(songs.count(), 0);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
    }

    void aPlaylistFileWrittenAgainWhileItPlaysStaysTheQueue()
    {
        // The file of the playing playlist changes (every entry of it is written anew): the
        // queue follows the list, and songs added to the queue then join it instead of being
        // all that is left of it.
        const QStringList first = { QStringLiteral("Kim/Seven/1.ogg"),
                                    QStringLiteral("Kim/Seven/2.ogg"),
                                    QStringLiteral("Kim/Seven/3.ogg") };
        const QString path = FixtureLibrary::addPlaylist(QStringLiteral("Trip.m3u"), first);
        QVERIFY(FixtureLibrary::index());
        const int id = HubTestLibrary::firstCell(
                           QStringLiteral("SELECT tracker:id(?p) WHERE { ?p a nmm:Playlist ; "
                                          "nfo:fileName \"Trip.m3u\" }"))
                           .toInt();
        QVERIFY(id > 0);
        MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
        const QSharedPointer<MafwTrackerModel> trip(
            factory->getModel(MafwTrackerModel::SongsOfPlaylistFile, 50, id));
        QTRY_COMPARE_WITH_TIMEOUT(trip->rowCount(), 3, Timeout);
        PlayState* hub = queueAlone(trip);
        QCOMPARE(hub->startPlayback(1, PlayState::PlayNow), 1);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);

        FixtureLibrary::addPlaylist(QStringLiteral("Trip.m3u"),
                                    first + QStringList { QStringLiteral("Kim/Seven/4.ogg") });
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(FixtureLibrary::index());
        QTRY_COMPARE_WITH_TIMEOUT(trip->rowCount(), 4, Timeout);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 4);

        hub->appendModel(red, PlayState::CopyModel, -1);
        QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 6, Timeout);
        QCOMPARE(HubTestLibrary::cell(hub->shuffleProxyModel().data(), 0, Constants::SongTitle)
                     .toString(),
                 QStringLiteral("One"));
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
        hub->stop(PlayState::MusicMode);
    }

    void clearingTheQueueEndsItsSong()
    {
        PlayState* hub = queueAlone(red);
        QCOMPARE(hub->startPlayback(1, PlayState::PlayNow), 1);
        QSignalSpy counts(hub, SIGNAL(songCountChanged(int)));
        hub->clearPlayQueue();
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.first().first().toInt(), 0);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
        QVERIFY(hub->title(PlayState::MusicMode).isEmpty());
        QVERIFY(!hub->hasSeveralAlbums());
        hub->stop(PlayState::MusicMode);
    }
};

PARLOVANCE_TEST_MAIN(TestPlayState)

#include "tst_playstate.moc"
