// The system-wide player sheet as another program brings it up over the real session bus: a
// file from outside the library and a radio open the sheet (not the main window), its buttons
// stop and close it, the end of its item closes it, and Save keeps the file in the library and
// makes it the queue of the main window's player, its album the newest latest activity.

#include "hubtestlibrary.h"
#include "activity/latestactivitycontroller.h"
#include "activity/latestactivitymodel.h"
#include "activity/latestactivitywidget.h"
#include "audiogenerator.h"
#include "common/constants.h"
#include "data/contentmanager.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodelfactory.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mprogressindicator.h"
#include "msaveasdialog.h"
#include "mtextedit.h"
#include "mwindow.h"
#include "player/albumartwidget.h"
#include "player/nowplayingpage.h"
#include "player/nowplayingsheetwidget.h"
#include "player/parlovancekeyhandler.h"
#include "pages/parlovancemainpage.h"
#include "player/nowplayinglabel.h"
#include "player/playersheet.h"
#include "playback/playstate.h"
#include "playback/radioplayback.h"
#include "playback/shuffleproxymodel.h"
#include "radioserver.h"
#include "shell/mainwindow.h"
#include "shell/parlovanceapplicationservice.h"
#include "shell/parlovanceservice.h"
#include "qmkeys.h"
#include "qmkeyshook.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "zeloverlaylabel.h"
#include "zelplaycontrols.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QSignalSpy>

namespace {

const int Timeout = 20000;
// The library indexes a saved copy before the save ends: on a busy machine that takes longer
// than anything else here, so the save is given more time than the player's default.
const int SaveTimeout = 60000;
const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");

// A tagged file in the user's downloads, outside the library.
QString download(const QString& name, const QString& title, int durationMs,
                 const QString& album = QStringLiteral("Talks"))
{
    const QString path = TestEnvironment::home() + QStringLiteral("/Downloads/") + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    AudioTags tags;
    tags.title = title;
    tags.artist = QStringLiteral("Radio Host");
    tags.album = album;
    return AudioGenerator::write(path, tags, durationMs) ? path : QString();
}

} // namespace

class TestPlayerSheet : public QObject
{
    Q_OBJECT

private:
    QDBusConnection caller = QDBusConnection(QString());
    PlayState* hub = nullptr;
    RadioServer server;

    void call(const QString& method, const QString& uri)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(Service, QStringLiteral("/"),
                                                              Interface, method);
        message.setArguments({ QStringList { uri } });
        QDBusPendingCall pending = caller.asyncCall(message, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), Timeout);
    }

    // The sheet on screen, or null. The sheet of an earlier case may still be going away
    // (it is deleted later), so the service is asked again at every turn of the wait instead
    // of a pointer being held across it.
    PlayerSheet* shownSheet()
    {
        QPointer<PlayerSheet> sheet;
        const bool appeared = QTest::qWaitFor(
            [&]() {
                sheet = ParlovanceApplicationService::instance()->playerSheet();
                return sheet && sheet->sceneWindowState() == MSceneWindow::Appeared;
            },
            Timeout);
        return appeared ? sheet.data() : nullptr;
    }

    // A method of the bus without arguments, as another program calls it.
    void call(const QString& method)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(Service, QStringLiteral("/"),
                                                              Interface, method);
        QDBusPendingCall pending = caller.asyncCall(message, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), Timeout);
    }

    static void pressKey(MeeGo::QmKeys::Key key)
    {
        MeeGo::QmKeysHook::instance()->injectKeyEvent(key, MeeGo::QmKeys::KeyDown);
        MeeGo::QmKeysHook::instance()->injectKeyEvent(key, MeeGo::QmKeys::KeyUp);
    }

    // What the bus reports: stopped, with nothing loaded.
    static bool busReportsNothing()
    {
        ParlovanceService* service = ParlovanceService::instance();
        QSignalSpy media(service, SIGNAL(mediaChanged(QStringList)));
        service->currentMedia();
        return service->playbackState() == 0 && media.count() == 1
               && media.first().first().toStringList() == QStringList { QStringLiteral("2") };
    }

    // The times a library song was played, as the store keeps them.
    static QString playCount(const QString& title)
    {
        return HubTestLibrary::firstCell(
            QStringLiteral("SELECT ?c WHERE { ?s a nmm:MusicPiece ; nie:title \"%1\" ; "
                           "nie:usageCounter ?c }")
                .arg(title));
    }

    // The "Save as" dialog that the sheet's Save opens, once it has appeared; null when none did.
    MSaveAsDialog* saveAsDialogOf(PlayerSheet* sheet)
    {
        sheet->saveButton()->click();
        ContentManager* manager = hub->findChild<ContentManager*>();
        MSaveAsDialog* dialog = manager ? manager->saveAsDialog() : nullptr;
        const bool appeared = dialog
                              && QTest::qWaitFor(
                                  [&]() {
                                      return dialog->sceneWindowState() == MSceneWindow::Appeared;
                                  },
                                  Timeout);
        return appeared ? dialog : nullptr;
    }

    // Plays the file in the sheet as another program asks for it and, once it plays, saves it
    // under its own name; true once the save has ended. The sheet goes into *sheet.
    bool playAndSave(const QString& path, QPointer<PlayerSheet>* sheet)
    {
        call(QStringLiteral("playTempFile"), path);
        *sheet = shownSheet();
        if (!*sheet || !waitForState(PlayState::Playing))
            return false;
        MSaveAsDialog* dialog = saveAsDialogOf(*sheet);
        if (!dialog)
            return false;
        dialog->accept();
        return QTest::qWaitFor([this] { return hub->saveState() == PlayState::Saved; },
                               SaveTimeout);
    }

    bool waitForState(PlayState::State state)
    {
        QElapsedTimer waited;
        waited.start();
        while (hub->state(PlayState::RadioMode) != state && waited.elapsed() < Timeout)
            QTest::qWait(10);
        return hub->state(PlayState::RadioMode) == state;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(HubTestLibrary::build());
        hub = PlayState::instance();
        ParlovanceService::instance();
        caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                               QStringLiteral("caller"));
        QVERIFY(caller.isConnected());
        QVERIFY(server.start());
        QVERIFY(server.addRadio("/stream", "/radio.pls"));
        RadioPlayback::setSaveTimeoutForTesting(SaveTimeout);
    }

    void cleanupTestCase()
    {
        ParlovanceService::destroyInstance();
        ParlovanceApplicationService::instance()->dismissSheet();
        ParlovanceApplicationService::instance()->deleteMainWindow();
        QDBusConnection::disconnectFromBus(QStringLiteral("caller"));
    }

    void anOutsideFileOpensTheSheetWithItsTags()
    {
        const QString path = download(QStringLiteral("talk.mp3"), QStringLiteral("Morning Talk"),
                                      30000);
        QVERIFY(!path.isEmpty());
        call(QStringLiteral("playTempFile"), path);
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(!ParlovanceApplicationService::instance()->mainWindow());
        QVERIFY(sheet->systemwideWindow() && sheet->systemwideWindow()->isVisible());
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(sheet->information()->titleText()->text(),
                                  QStringLiteral("Morning Talk"), Timeout);
        QCOMPARE(sheet->information()->artistText()->text(), QStringLiteral("Radio Host"));
        QVERIFY(sheet->offersSave());
        QVERIFY(!sheet->savingSpinner()->isVisible());

        // A second request only brings the sheet forward. (A question asked after it is
        // answered once the request has been carried out.)
        call(QStringLiteral("playTempFile"), path);
        call(QStringLiteral("playbackState"));
        QCOMPARE(ParlovanceApplicationService::instance()->playerSheet(), sheet.data());

        sheet->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Stopped);
        QVERIFY(!ParlovanceApplicationService::instance()->playerSheet());
    }

    void aClosedItemDoesNotPlayAgain()
    {
        // Nothing is queued in the main window: what the sheet played ends with it, and neither
        // the bus nor the Play key brings it back.
        ParlovanceKeyHandler::instance();
        QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
        const QString path = download(QStringLiteral("closed.mp3"), QStringLiteral("Closed Talk"),
                                      30000);
        QVERIFY(!path.isEmpty());
        call(QStringLiteral("playTempFile"), path);
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));
        sheet->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        QVERIFY(busReportsNothing());
        call(QStringLiteral("resumePlayback"));
        pressKey(MeeGo::QmKeys::PlayKey);
        // Given the time to start, had it been asked to.
        QTest::qWait(1500);
        QVERIFY(hub->state(hub->mode()) != PlayState::Playing);
        QCOMPARE(ZelPlayControls::instance()->state(), MafwRenderer::Stopped);
        QVERIFY(busReportsNothing());
        QVERIFY(!ParlovanceApplicationService::instance()->playerSheet());

        // A radio closed by Done is not fetched again.
        call(QStringLiteral("playPlaylist"), server.url("/radio.pls").toString());
        sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));
        sheet->doneButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        QVERIFY(busReportsNothing());
        const int lists = server.requests("/radio.pls");
        const int streams = server.requests("/stream");
        pressKey(MeeGo::QmKeys::PlayPauseKey);
        call(QStringLiteral("resumePlayback"));
        QTest::qWait(1500);
        QCOMPARE(server.requests("/radio.pls"), lists);
        QCOMPARE(server.requests("/stream"), streams);
        QVERIFY(hub->state(hub->mode()) != PlayState::Playing);
        QVERIFY(busReportsNothing());
        QVERIFY(!ParlovanceApplicationService::instance()->playerSheet());
    }

    void cancelLeavesTheLibrarySongAsTheWindowShowsIt()
    {
        // A library song paused, then an outside file played in the sheet over it.
        const QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(
            QStringLiteral("Seven"));
        QVERIFY(seven);
        hub->appendModel(seven, PlayState::ReplaceQueue, -1);
        QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), 2);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        hub->pause();
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
        const QString path = download(QStringLiteral("aside.mp3"), QStringLiteral("Aside"), 30000);
        QVERIFY(!path.isEmpty());
        call(QStringLiteral("playTempFile"), path);
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));

        // Cancelled, the song behind it is what the bus reports: paused, by its title.
        sheet->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
        QCOMPARE(hub->mode(), PlayState::MusicMode);
        QCOMPARE(hub->title(hub->mode()), QStringLiteral("Three"));
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 2);
        ParlovanceService* service = ParlovanceService::instance();
        QCOMPARE(service->playbackState(), 2);
        QSignalSpy media(service, SIGNAL(mediaChanged(QStringList)));
        service->currentMedia();
        QCOMPARE(media.count(), 1);
        QCOMPARE(media.first().first().toStringList(),
                 (QStringList { QStringLiteral("0"), QStringLiteral("Three"),
                                QStringLiteral("Kim") }));
        // Nothing sounds meanwhile.
        QTest::qWait(300);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
        hub->stop(PlayState::MusicMode);
    }

    void nextAndPreviousStepThroughAPlaylistFile()
    {
        const QString first = download(QStringLiteral("outside1.mp3"),
                                       QStringLiteral("Outside Song"), 30000);
        const QString second = download(QStringLiteral("outside2.mp3"),
                                        QStringLiteral("Second Song"), 30000);
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        const QString list = TestEnvironment::home() + QStringLiteral("/Downloads/two.m3u");
        {
            QFile file(list);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QString(first + QLatin1Char('\n') + second + QLatin1Char('\n')).toUtf8());
        }
        call(QStringLiteral("playPlaylist"), list);
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("Outside Song"),
                                  Timeout);

        // Next is the second entry, previous the first again: neither starts the entry over.
        QDBusMessage next = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                           QStringLiteral("next"));
        QDBusPendingCall pending = caller.asyncCall(next, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("Second Song"),
                                  Timeout);
        QVERIFY(waitForState(PlayState::Playing));
        hub->previous(-1, false);
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::RadioMode), QStringLiteral("Outside Song"),
                                  Timeout);
        QVERIFY(waitForState(PlayState::Playing));
        // Heard for a while, an entry starts again on previous, as a song does.
        hub->setPosition(10, PlayState::RadioMode);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::RadioMode) >= 10, Timeout);
        hub->previous(-1, false);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::RadioMode) < 5, Timeout);
        QCOMPARE(hub->title(PlayState::RadioMode), QStringLiteral("Outside Song"));

        sheet->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
    }

    void aBurstOfSkipsThroughAPlaylistFileLandsOnAnEntryThatPlays()
    {
        QStringList entries;
        for (const char* title : { "First Entry", "Second Entry", "Third Entry" }) {
            const QString name = QString::fromLatin1(title).toLower().replace(QLatin1Char(' '),
                                                                              QLatin1Char('-'));
            entries << download(name + QStringLiteral(".mp3"), QString::fromLatin1(title), 30000);
            QVERIFY(!entries.last().isEmpty());
        }
        const QString list = TestEnvironment::home() + QStringLiteral("/Downloads/three.m3u");
        {
            QFile file(list);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(entries.join(QLatin1Char('\n')).toUtf8() + '\n');
        }
        // Calls sent one behind the other on one connection, as a program sends them at once.
        const auto send = [&](const QStringList& methods) {
            QList<QDBusPendingCall> calls;
            for (const QString& method : methods)
                calls << caller.asyncCall(QDBusMessage::createMethodCall(Service,
                                                                         QStringLiteral("/"),
                                                                         Interface, method),
                                          Timeout);
            for (const QDBusPendingCall& c : calls)
                QTRY_VERIFY_WITH_TIMEOUT(c.isFinished(), Timeout);
        };
        const auto plays = [&](const QString& title) {
            return QTest::qWaitFor(
                [&]() {
                    return hub->title(PlayState::RadioMode) == title
                           && hub->state(PlayState::RadioMode) == PlayState::Playing
                           && hub->position(PlayState::RadioMode) >= 1;
                },
                Timeout);
        };
        const QString next = QStringLiteral("next");
        const QString previous = QStringLiteral("previous");
        QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));

        // Skips sent before the list's first entry plays: the list plays on, not paused.
        call(QStringLiteral("playPlaylist"), list);
        send({ previous, previous });
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(plays(QStringLiteral("First Entry")));

        // Past the list's end: the last entry plays, loaded once.
        loads.clear();
        send({ next, next, next });
        QVERIFY(plays(QStringLiteral("Third Entry")));
        QCOMPARE(loads.count(), 1);
        QVERIFY(hub->position(PlayState::RadioMode) < 5);

        // Back to the first entry and past its start: it plays from there.
        loads.clear();
        send({ previous, previous, previous, previous });
        QVERIFY(plays(QStringLiteral("First Entry")));
        QCOMPARE(loads.count(), 1);
        QVERIFY(hub->position(PlayState::RadioMode) < 5);

        // Skips that come back to the entry they left: it plays again from its start.
        hub->setPosition(10, PlayState::RadioMode);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::RadioMode) >= 10, Timeout);
        send({ next, previous, previous });
        // The calls are answered before their burst is carried out, and the entry is the same:
        // its new start is what tells that the burst is through.
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::RadioMode) < 5, Timeout);
        QVERIFY(plays(QStringLiteral("First Entry")));
        QTest::qWait(300);
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Playing);

        sheet->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
    }

    void aRadioOffersDoneAndTheEndOfAnItemClosesTheSheet()
    {
        call(QStringLiteral("playPlaylist"), server.url("/radio.pls").toString());
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(sheet->information()->artistText()->text(),
                                  QStringLiteral("Some Artist - Some Song"), Timeout);
        QVERIFY(!sheet->offersSave());
        sheet->doneButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Stopped);

        // A short file played to its end takes its sheet with it.
        const QString path = download(QStringLiteral("jingle.ogg"), QStringLiteral("Jingle"), 2000);
        call(QStringLiteral("play"), path);
        sheet = shownSheet();
        QVERIFY(sheet);
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
    }

    void aLibraryRequestAfterAnOutsideFileLeavesNoSheet()
    {
        const QString path = download(QStringLiteral("dropped.ogg"), QStringLiteral("Dropped"),
                                      30000);
        QVERIFY(!path.isEmpty());
        const QString libraryFile = FixtureLibrary::pathOf(QStringLiteral("Kim/Seven/4.ogg"));
        const QString urn = HubTestLibrary::firstCell(
            QStringLiteral("SELECT ?s WHERE { ?s a nmm:MusicPiece ; nie:title \"Five\" }"));
        QVERIFY(!urn.isEmpty());
        // The player open on its main page, as a user has it.
        ParlovanceApplicationService* shell = ParlovanceApplicationService::instance();
        shell->showMainWindow(Parlovance::PageMain, false);
        QTRY_COMPARE_WITH_TIMEOUT(shell->mainWindow()->currentPage(), int(Parlovance::PageMain),
                                  Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!shell->playerSheet(), Timeout);

        // Both in one burst: the file never starts, and nothing is made for it.
        ParlovanceService::instance()->playTempFile({ path });
        ParlovanceService::instance()->play({ libraryFile });
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), QStringLiteral("Four"),
                                  Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QVERIFY(!shell->playerSheet());

        // One after the other, by a library file or a library song: the sheet made for the file
        // goes with its window, and the library's song plays on in the main window.
        const struct
        {
            QString uri;
            QString title;
        } requests[] = { { libraryFile, QStringLiteral("Four") }, { urn, QStringLiteral("Five") } };
        for (const auto& request : requests) {
            hub->stop(PlayState::MusicMode);
            call(QStringLiteral("playTempFile"), path);
            QPointer<PlayerSheet> sheet;
            QTRY_VERIFY_WITH_TIMEOUT((sheet = shell->playerSheet()), Timeout);
            QPointer<MWindow> sheetWindow = sheet->systemwideWindow();
            QVERIFY(sheetWindow && sheetWindow->isVisible());
            call(QStringLiteral("play"), request.uri);
            QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), request.title, Timeout);
            QTRY_VERIFY2_WITH_TIMEOUT(!sheet, qPrintable(request.uri), Timeout);
            QTRY_VERIFY_WITH_TIMEOUT(!sheetWindow || !sheetWindow->isVisible(), Timeout);
            QCOMPARE(hub->mode(), PlayState::MusicMode);
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing,
                                      Timeout);
            QCOMPARE(shell->mainWindow()->currentPage(), int(Parlovance::PageNowPlaying));
        }
        hub->stop(PlayState::MusicMode);
    }

    void saveKeepsThePlayedFileInTheLibrary()
    {
        const QString path = download(QStringLiteral("keep me.mp3"), QStringLiteral("Kept Talk"),
                                      30000);
        call(QStringLiteral("playTempFile"), path);
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));
        QVERIFY(sheet->offersSave());
        MSaveAsDialog* dialog = saveAsDialogOf(sheet);
        QVERIFY(dialog);
        // The dialog comes up over the sheet, offering the file's own name.
        QCOMPARE(dialog->managingWindow(), sheet->systemwideWindow());
        QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("keep me"));
        QSignalSpy saves(hub, &PlayState::saveStateChanged);
        dialog->nameEdit()->setText(QStringLiteral("Kept talk"));
        dialog->accept();

        QTRY_VERIFY_WITH_TIMEOUT(!saves.isEmpty(), Timeout);
        QCOMPARE(saves.first().at(0).value<PlayState::SaveState>(), PlayState::Saving);
        QVERIFY(QFileInfo::exists(TestEnvironment::musicDir() + QStringLiteral("/Kept talk.mp3")));
        // The library takes the copy: it becomes the queue, shown in the main window's player.
        QTRY_COMPARE_WITH_TIMEOUT(hub->saveState(), PlayState::Saved, SaveTimeout);
        QVERIFY(!sheet->cancelButton()->isEnabled() && !sheet->saveButton()->isEnabled());
        // The save is told before the library's song is read; on a busy machine the read
        // answers later, and the song takes the stream's place then.
        QTRY_COMPARE_WITH_TIMEOUT(hub->mode(), PlayState::MusicMode, Timeout);
        QCOMPARE(hub->songCount(PlayState::MusicMode), 1);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
        QCOMPARE(hub->contentType(PlayState::MusicMode), PlayState::SongContent);
        // The play queue shows the saved song alone.
        QCOMPARE(hub->shuffleProxyModel()->rowCount(), 1);
        QCOMPARE(HubTestLibrary::cell(hub->shuffleProxyModel().data(), 0, Constants::SongTitle)
                     .toString(),
                 QStringLiteral("Kept Talk"));
        MainWindow* window = ParlovanceApplicationService::instance()->mainWindow();
        QVERIFY(window);
        QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(Parlovance::PageNowPlaying), Timeout);
        // Once the player has appeared, the sheet goes.
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
        // It plays as a library song: its play counts, once.
        QTRY_COMPARE_WITH_TIMEOUT(playCount(QStringLiteral("Kept Talk")), QStringLiteral("1"),
                                  Timeout);
        // A resume while it plays leaves it where it is.
        const uint at = hub->position(PlayState::MusicMode);
        call(QStringLiteral("resumePlayback"));
        QTest::qWait(1500);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
        QVERIFY(hub->position(PlayState::MusicMode) >= at);
        QCOMPARE(playCount(QStringLiteral("Kept Talk")), QStringLiteral("1"));
        hub->stop(PlayState::MusicMode);
    }

    void aSongSavedWhilePausedCountsOnceItPlays()
    {
        const QString path = download(QStringLiteral("paused talk.mp3"),
                                      QStringLiteral("Paused Talk"), 30000);
        call(QStringLiteral("playTempFile"), path);
        QPointer<PlayerSheet> sheet = shownSheet();
        QVERIFY(sheet);
        QVERIFY(waitForState(PlayState::Playing));
        // A file that has told it can seek pauses (one that cannot would stop).
        QTRY_VERIFY_WITH_TIMEOUT(hub->isSeekable(PlayState::RadioMode), Timeout);
        call(QStringLiteral("pausePlayback"));
        QVERIFY(waitForState(PlayState::Paused));
        MSaveAsDialog* dialog = saveAsDialogOf(sheet);
        QVERIFY(dialog);
        dialog->accept();
        QTRY_COMPARE_WITH_TIMEOUT(hub->saveState(), PlayState::Saved, SaveTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->mode(), PlayState::MusicMode, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        // Paused, it has not played as a library song yet.
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
        QVERIFY(playCount(QStringLiteral("Paused Talk")).isEmpty());
        call(QStringLiteral("resumePlayback"));
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(playCount(QStringLiteral("Paused Talk")), QStringLiteral("1"),
                                  Timeout);
        hub->stop(PlayState::MusicMode);
    }

    void theSavedSongsCoverShowsInThePlayerAtOnce()
    {
        // The player shows a library song when a file from outside plays in the sheet and is
        // saved: the player then shows the saved song's cover at once (a drawn one here, the
        // file has none), not an empty black square.
        ParlovanceApplicationService* service = ParlovanceApplicationService::instance();
        hub->appendModel(HubTestLibrary::album(QStringLiteral("Seven")), PlayState::ReplaceQueue,
                         -1);
        hub->startPlayback(0, PlayState::PlayNow);
        service->showMainWindow(Parlovance::PageNowPlaying, false);
        MainWindow* window = service->mainWindow();
        QVERIFY(window);
        QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(Parlovance::PageNowPlaying), Timeout);
        auto* player = qobject_cast<NowPlayingPage*>(
            window->cachedPage(Parlovance::PageNowPlaying));
        QVERIFY(player);
        QTRY_VERIFY_WITH_TIMEOUT(!player->albumArt()->albumArt().isNull(), Timeout);
        const QImage before = player->albumArt()->albumArt().toImage();

        const QString path = download(QStringLiteral("ferry.mp3"), QStringLiteral("Ferry Talk"),
                                      30000, QStringLiteral("Night Ferry"));
        QPointer<PlayerSheet> sheet;
        QVERIFY(playAndSave(path, &sheet));
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), QStringLiteral("Ferry Talk"),
                                  Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(Parlovance::PageNowPlaying), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!player->albumArt()->albumArt().isNull()
                                     && player->albumArt()->albumArt().toImage() != before,
                                 Timeout);
        // The player was shown before the save: the sheet goes all the same.
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        hub->stop(PlayState::MusicMode);
    }

    void theSavedSongsAlbumIsTheNewestActivityOnce()
    {
        // An album replayed from its tile on the main page, and back there: it is the newest
        // activity, shown by the now-playing tile.
        hub->stop(PlayState::MusicMode);
        ParlovanceApplicationService* shell = ParlovanceApplicationService::instance();
        shell->showMainWindow(Parlovance::PageMain, false);
        MainWindow* window = shell->mainWindow();
        QVERIFY(window);
        QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(Parlovance::PageMain), Timeout);
        auto* mainPage = qobject_cast<ParlovanceMainPage*>(
            window->cachedPage(Parlovance::PageMain));
        QVERIFY(mainPage);
        LatestActivityWidget* grid = mainPage->latestActivityWidget();
        LatestActivityController* activities = LatestActivityController::instance();
        const auto placeOf = [activities](const QString& name) {
            const QList<Activity> list = activities->activities();
            for (int i = 0; i < list.size(); ++i) {
                if (list.at(i).Name == name)
                    return i;
            }
            return -1;
        };
        const auto idle = [grid] {
            return grid->animationState() == LatestActivityWidget::Idle && grid->opacity() == 1.0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(placeOf(QStringLiteral("Seven")) >= 0 && idle(), Timeout);
        ZelOverlayLabel* seven = grid->tiles().at(placeOf(QStringLiteral("Seven")));
        QTRY_VERIFY_WITH_TIMEOUT(seven->isVisible() && seven->isEnabled(), Timeout);
        TouchDriver(window).tap(seven->mapToScene(seven->rect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QCOMPARE(hub->album(PlayState::MusicMode), QStringLiteral("Seven"));
        QCOMPARE(placeOf(QStringLiteral("Seven")), 0);
        auto* player = qobject_cast<NowPlayingPage*>(
            window->cachedPage(Parlovance::PageNowPlaying));
        QTRY_VERIFY_WITH_TIMEOUT(player && player->sceneWindowState() == MSceneWindow::Appeared,
                                 Timeout);
        player->displayPreviousPageInWindow();
        QTRY_VERIFY_WITH_TIMEOUT(window->currentPage() == Parlovance::PageMain
                                     && mainPage->isVisible() && grid->isOnDisplay(),
                                 Timeout);

        // A file from outside, saved while it plays: it plays on as the library's song, and its
        // album (new to the library) is the newest activity, once, the one before next to it.
        const QString path = download(QStringLiteral("stories.mp3"),
                                      QStringLiteral("Harbour Story"), 30000,
                                      QStringLiteral("Saved Stories"));
        QPointer<PlayerSheet> sheet;
        QVERIFY(playAndSave(path, &sheet));
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), QStringLiteral("Harbour Story"),
                                  Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        // The recently added albums have the new album too, whichever came first.
        QSharedPointer<MafwTrackerModel> recent(
            MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
                MafwTrackerModel::RecentlyAddedAlbums, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(recent->isComplete()
                                     && HubTestLibrary::cell(recent.data(), 0,
                                                             QStringLiteral("albumName"))
                                            == QStringLiteral("Saved Stories"),
                                 Timeout);
        FixtureLibrary::settleStore();
        const auto names = [](const QList<Activity>& list) {
            QStringList named;
            for (const Activity& activity : list)
                named << activity.Name;
            return named;
        };
        const auto newestFirst = [&names](const QList<Activity>& list) {
            return names(list).count(QStringLiteral("Saved Stories")) == 1
                   && names(list).indexOf(QStringLiteral("Saved Stories")) == 0
                   && names(list).indexOf(QStringLiteral("Seven")) == 1 && list.at(0).TrackerId > 0;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(newestFirst(activities->activities()),
                                  qPrintable(names(activities->activities()).join(", ")), Timeout);
        QCOMPARE(activities->activities().at(0).AdditionalParameter, QStringLiteral("Radio Host"));

        // On the main page the now-playing tile stands for it, and the album heard before shows
        // beside it.
        window->goToPage(Parlovance::PageMain);
        QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(Parlovance::PageMain), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(idle(), Timeout);
        QCOMPARE(activities->mainPageState(), int(LatestActivityController::NowPlayingAsFirst));
        QTRY_COMPARE_WITH_TIMEOUT(grid->nowPlayingLabel()->title(), QStringLiteral("Harbour Story"),
                                  Timeout);
        QVERIFY(!grid->tiles().at(0)->isVisible());
        QVERIFY(grid->tiles().at(1)->isVisible());

        // The settings file keeps that order for the next start.
        QTRY_VERIFY2_WITH_TIMEOUT(newestFirst(LatestActivityModel().activities()),
                                  qPrintable(names(LatestActivityModel().activities()).join(", ")),
                                  Timeout);
        hub->stop(PlayState::MusicMode);
    }
};

PARLOVANCE_TEST_MAIN(TestPlayerSheet)

#include "tst_playersheet.moc"
