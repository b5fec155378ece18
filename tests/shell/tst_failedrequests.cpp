// Play requests that fail on their way, sent over the real private session bus as another
// program sends them: what a failed request found (a library song, an outside file in the
// player sheet, a radio stream) comes back at its place and in its state, however many
// failures come and at whatever spacing, and the sheet that showed it stays.

#include "hubtestlibrary.h"
#include "audiogenerator.h"
#include "mafwtrackermodel.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mwindow.h"
#include "mseekbar.h"
#include "player/nowplayingsheetwidget.h"
#include "player/playercontrolssheetwidget.h"
#include "player/playersheet.h"
#include "playback/playstate.h"
#include "radioserver.h"
#include "shell/parlovanceapplicationservice.h"
#include "shell/parlovanceservice.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

namespace {

const int Timeout = 20000;
const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");

// A file in the test's home, outside the library.
QString writeOutside(const QString& name, const QByteArray& content)
{
    const QString folder = TestEnvironment::home() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(content) != content.size())
        return QString();
    return file.fileName();
}

// A port of this machine that nothing listens on: a connection to it is refused.
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class TestFailedRequests : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aSongComesBackAsItWasAfterFailuresAtAnySpacing();
    void theSheetsFileComesBackAtItsPlaceAndInItsState();
    void aStreamComesBackAsItWas();
    void aFloodOfFailuresLeavesTheSheetsFilePlaying();
    void aPlaylistFilesEntryComesBackWhereTheSkipsLeftIt();
    void whatComesBackIsInTheStateAskedWhileTheRequestWasOnItsWay();

private:
    // Sends a call and waits for its answer, with the event loop running.
    QDBusMessage call(const QString& method, const QVariantList& arguments = QVariantList());
    // Sends a call without waiting for anything.
    void post(const QStringList& request);
    // Sends the requests, spacingMs apart (0: one burst, which the service takes in one turn).
    void sendSpaced(const QList<QStringList>& requests, int spacingMs);
    int busState() { return call(QStringLiteral("playbackState")).arguments().value(0).toInt(); }
    QStringList busMedia();
    PlayerSheet* shownSheet();
    // An outside file of a minute written at path, played in the sheet and sought to `at`
    // seconds, as a user has it once it has told it can seek; null when it did not get there.
    PlayerSheet* sheetPlayingAt(const QString& path, const AudioTags& tags, int at);
    // Banners on the program's windows have come and gone, and what their end would set off
    // has had its time.
    void waitForTheBanners();

    QDBusConnection caller = QDBusConnection(QString());
    PlayState* hub = nullptr;
    RadioServer server;
    QString refused;
    QString emptyList;
    QString missingEntries;
    QString closedEntry;
    QString slowMissing;
};

QDBusMessage TestFailedRequests::call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                          method);
    message.setArguments(arguments);
    QDBusPendingCall pending = caller.asyncCall(message, Timeout);
    [&]() { QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), Timeout); }();
    return pending.reply();
}

void TestFailedRequests::post(const QStringList& request)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                          request.first());
    if (request.size() > 1)
        message.setArguments({ QVariant(request.mid(1)) });
    caller.call(message, QDBus::NoBlock);
}

void TestFailedRequests::sendSpaced(const QList<QStringList>& requests, int spacingMs)
{
    if (spacingMs == 0) {
        // One burst: the bus holds the calls until all of them reached the service's
        // connection, and only then does this thread take them.
        for (const QStringList& request : requests)
            post(request);
        QCOMPARE(call(QStringLiteral("playbackState")).type(), QDBusMessage::ReplyMessage);
        return;
    }
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < requests.size(); ++i) {
        post(requests.at(i));
        // Each leaves when its time comes, the service serving the calls before it meanwhile.
        const qint64 due = qint64(i + 1) * spacingMs;
        while (clock.elapsed() < due)
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(due - clock.elapsed()));
    }
}

QStringList TestFailedRequests::busMedia()
{
    QSignalSpy media(ParlovanceService::instance(), SIGNAL(mediaChanged(QStringList)));
    ParlovanceService::instance()->currentMedia();
    return media.isEmpty() ? QStringList() : media.first().first().toStringList();
}

PlayerSheet* TestFailedRequests::shownSheet()
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

PlayerSheet* TestFailedRequests::sheetPlayingAt(const QString& path, const AudioTags& tags, int at)
{
    if (!AudioGenerator::write(path, tags, 60000))
        return nullptr;
    call(QStringLiteral("playTempFile"), { QStringList { path } });
    PlayerSheet* sheet = shownSheet();
    const bool there = sheet
                       && QTest::qWaitFor(
                           [&]() {
                               return hub->state(PlayState::RadioMode) == PlayState::Playing
                                      && hub->isSeekable(PlayState::RadioMode);
                           },
                           Timeout);
    if (!there)
        return nullptr;
    hub->setPosition(at, PlayState::RadioMode);
    return QTest::qWaitFor([&]() { return int(hub->position(PlayState::RadioMode)) >= at; },
                           Timeout)
               ? sheet
               : nullptr;
}

void TestFailedRequests::waitForTheBanners()
{
    QTRY_VERIFY_WITH_TIMEOUT(!MBanner::shownTitles().isEmpty(), Timeout);
    const auto bannersUp = []() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<MWindow*>(widget);
            if (!window || !window->scene())
                continue;
            for (QGraphicsItem* item : window->scene()->items()) {
                if (qobject_cast<MBanner*>(item->toGraphicsObject()))
                    return true;
            }
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(!bannersUp(), Timeout);
    QTest::qWait(1000);
}

void TestFailedRequests::initTestCase()
{
    QVERIFY(HubTestLibrary::build());
    hub = PlayState::instance();
    ParlovanceService::instance();
    caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("caller"));
    QVERIFY(caller.isConnected());
    QVERIFY(server.start());
    QVERIFY(server.addRadio("/stream", "/radio.pls"));
    QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 20000));
    QVERIFY(audio.open(QIODevice::ReadOnly));
    RadioServer::Resource endless;
    endless.contentType = "audio/mpeg";
    endless.body = audio.readAll();
    endless.endless = true;
    server.addResource("/endless", endless);
    RadioServer::Resource late;
    late.contentType = "text/plain";
    late.body = "Not found\n";
    late.status = "404 Not Found";
    late.answerAfterMs = 1500;
    server.addResource("/late-404.mp3", late);
    slowMissing = server.url("/late-404.mp3").toString();

    const quint16 port = closedPort();
    QVERIFY(port != 0);
    refused = QStringLiteral("http://127.0.0.1:%1/refused.mp3").arg(port);
    emptyList = writeOutside(QStringLiteral("header only.m3u"), "#EXTM3U\n");
    missingEntries = writeOutside(QStringLiteral("missing.txt"), "/no/such/song.ogg\n");
    closedEntry = writeOutside(QStringLiteral("closed port.pls"),
                               "[playlist]\nNumberOfEntries=1\nFile1=" + refused.toUtf8()
                                   + "\nVersion=2\n");
    QVERIFY(!emptyList.isEmpty() && !missingEntries.isEmpty() && !closedEntry.isEmpty());
    // Short banners: what a failure's banner sets off shows soon after.
    MBanner::setDisplayDurationForTesting(300);
}

void TestFailedRequests::cleanupTestCase()
{
    ParlovanceService::destroyInstance();
    ParlovanceApplicationService::instance()->dismissSheet();
    ParlovanceApplicationService::instance()->deleteMainWindow();
    QDBusConnection::disconnectFromBus(QStringLiteral("caller"));
}

void TestFailedRequests::aSongComesBackAsItWasAfterFailuresAtAnySpacing()
{
    const QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
    hub->appendModel(seven, PlayState::ReplaceQueue, -1);
    QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), 2);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    hub->setPosition(10, PlayState::MusicMode);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= 10, Timeout);

    // A song playing, and a song paused: each failure at each spacing finds it as it was.
    for (const PlayState::State found : { PlayState::Playing, PlayState::Paused }) {
        if (found == PlayState::Paused) {
            call(QStringLiteral("pausePlayback"));
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
        }
        for (const int count : { 2, 5 }) {
            for (const int spacing : { 0, 3, 10, 20, 40 }) {
                const QString round = QStringLiteral("%1 requests %2 ms apart, the song %3")
                                          .arg(count)
                                          .arg(spacing)
                                          .arg(found == PlayState::Playing ? "playing" : "paused");
                const uint before = hub->position(PlayState::MusicMode);
                QSignalSpy states(hub, &PlayState::stateChanged);
                MBanner::clearShownTitles();
                QList<QStringList> requests;
                for (int i = 0; i < count; ++i)
                    requests << QStringList { QStringLiteral("play"), refused };
                sendSpaced(requests, spacing);
                waitForTheBanners();
                QTRY_COMPARE_WITH_TIMEOUT(hub->mode(), PlayState::MusicMode, Timeout);
                QTRY_VERIFY2_WITH_TIMEOUT(hub->state(PlayState::MusicMode) == found,
                                          qPrintable(round), Timeout);
                QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Three"));
                QVERIFY2(hub->position(PlayState::MusicMode) >= before, qPrintable(round));
                QCOMPARE(busState(), found == PlayState::Playing ? 1 : 2);
                if (found == PlayState::Paused) {
                    // Nothing played on the way back.
                    for (const QList<QVariant>& change : qAsConst(states))
                        QVERIFY2(change.first().value<PlayState::State>() != PlayState::Playing,
                                 qPrintable(round));
                }
                QVERIFY(!ParlovanceApplicationService::instance()->playerSheet());
            }
        }
    }
    hub->stop(PlayState::MusicMode);
}

void TestFailedRequests::theSheetsFileComesBackAtItsPlaceAndInItsState()
{
    AudioTags tags;
    tags.title = QStringLiteral("Sheet Talk");
    tags.artist = QStringLiteral("Radio Host");
    const QString path = TestEnvironment::home() + QStringLiteral("/Downloads/sheet talk.mp3");
    QPointer<PlayerSheet> sheet = sheetPlayingAt(path, tags, 8);
    QVERIFY(sheet);

    const QList<QStringList> failing = { { QStringLiteral("play"), missingEntries },
                                         { QStringLiteral("playPlaylist"), emptyList },
                                         { QStringLiteral("playPlaylist"), closedEntry } };
    for (const PlayState::State found : { PlayState::Playing, PlayState::Paused }) {
        if (found == PlayState::Paused) {
            call(QStringLiteral("pausePlayback"));
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Paused, Timeout);
        }
        for (const QStringList& request : failing) {
            const QString round = request.join(QLatin1Char(' '))
                                  + (found == PlayState::Playing ? " over the file playing"
                                                                 : " over the file paused");
            const uint before = hub->position(PlayState::RadioMode);
            QSignalSpy positions(hub, &PlayState::positionChanged);
            MBanner::clearShownTitles();
            call(request.first(), { QStringList { request.last() } });
            waitForTheBanners();
            // The file is back where it was, in its state: it did not start again.
            QTRY_VERIFY2_WITH_TIMEOUT(hub->state(PlayState::RadioMode) == found, qPrintable(round),
                                      Timeout);
            QCOMPARE(hub->mode(), PlayState::RadioMode);
            QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(path));
            QVERIFY2(hub->position(PlayState::RadioMode) >= before, qPrintable(round));
            for (const QList<QVariant>& position : qAsConst(positions)) {
                if (position.first().toUInt() != 0)
                    QVERIFY2(position.first().toUInt() >= before, qPrintable(round));
            }
            if (found == PlayState::Paused) {
                QVERIFY2(hub->position(PlayState::RadioMode) <= before + 1, qPrintable(round));
                // Its seek bar stands where it waits, as its time says.
                QTRY_COMPARE_WITH_TIMEOUT(sheet->controls()->seekControl()->value(),
                                          int(hub->position(PlayState::RadioMode)), Timeout);
            }
            // The sheet that shows it stays, and shows it.
            QVERIFY2(sheet && sheet->sceneWindowState() == MSceneWindow::Appeared,
                     qPrintable(round));
            QTRY_COMPARE_WITH_TIMEOUT(sheet->information()->titleText()->text(),
                                      QStringLiteral("Sheet Talk"), Timeout);
            QCOMPARE(busState(), found == PlayState::Playing ? 1 : 2);
            QCOMPARE(busMedia(), (QStringList { QStringLiteral("1"), QStringLiteral("Sheet Talk"),
                                                QStringLiteral("Radio Host") }));
        }
    }
    sheet->cancelButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
}

void TestFailedRequests::aStreamComesBackAsItWas()
{
    // A stream from the network plays: it is opened again.
    const QUrl endless = server.url("/endless");
    call(QStringLiteral("play"), { QStringList { endless.toString() } });
    QPointer<PlayerSheet> sheet = shownSheet();
    QVERIFY(sheet);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Playing, Timeout);
    int opened = server.requests("/endless");
    MBanner::clearShownTitles();
    call(QStringLiteral("play"), { QStringList { refused } });
    waitForTheBanners();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->streamUrl(), endless);
    QCOMPARE(server.requests("/endless"), opened + 1);
    QVERIFY(sheet && sheet->sceneWindowState() == MSceneWindow::Appeared);
    QCOMPARE(busState(), 1);

    // A radio stopped by a pause (it cannot pause) stays stopped, and a resume opens it.
    call(QStringLiteral("playPlaylist"), { QStringList { server.url("/radio.pls").toString() } });
    QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(), server.url("/radio.pls"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(busState(), 1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->artist(PlayState::RadioMode),
                              QStringLiteral("Some Artist - Some Song"), Timeout);
    const QStringList radio = busMedia();
    QCOMPARE(radio.value(0), QStringLiteral("1"));
    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Stopped, Timeout);
    QCOMPARE(busState(), 2);
    opened = server.requests("/stream");
    MBanner::clearShownTitles();
    call(QStringLiteral("playPlaylist"), { QStringList { emptyList } });
    waitForTheBanners();
    QCOMPARE(hub->mode(), PlayState::RadioMode);
    QCOMPARE(hub->streamUrl(), server.url("/radio.pls"));
    QCOMPARE(hub->state(PlayState::RadioMode), PlayState::Stopped);
    QCOMPARE(server.requests("/stream"), opened);
    QCOMPARE(busState(), 2);
    QCOMPARE(busMedia(), radio);
    QVERIFY(sheet && sheet->sceneWindowState() == MSceneWindow::Appeared);
    call(QStringLiteral("resumePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Playing, Timeout);
    QCOMPARE(busState(), 1);
    sheet->doneButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
}

void TestFailedRequests::aFloodOfFailuresLeavesTheSheetsFilePlaying()
{
    // A library song waits paused behind the sheet, which plays an outside file.
    const QSharedPointer<MafwTrackerModel> red = HubTestLibrary::album(QStringLiteral("Red"));
    QVERIFY(red);
    hub->appendModel(red, PlayState::ReplaceQueue, -1);
    QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
    AudioTags tags;
    tags.title = QStringLiteral("Flood Talk");
    const QString path = TestEnvironment::home() + QStringLiteral("/Downloads/flood.mp3");
    QPointer<PlayerSheet> sheet = sheetPlayingAt(path, tags, 5);
    QVERIFY(sheet);

    // Failures of every kind for about a second, a few milliseconds apart or together.
    QList<QStringList> requests;
    for (int i = 0; i < 300; ++i) {
        const QString uri = i % 3 == 0 ? refused : (i % 3 == 1 ? emptyList : missingEntries);
        requests << QStringList { i % 2 ? QStringLiteral("play") : QStringLiteral("playPlaylist"),
                                  uri };
    }
    for (int i = 0; i < requests.size();) {
        const int together = 1 + QRandomGenerator::global()->bounded(3);
        sendSpaced(requests.mid(i, together), 0);
        i += together;
        QTest::qWait(QRandomGenerator::global()->bounded(8));
    }
    MBanner::clearShownTitles();
    call(QStringLiteral("play"), { QStringList { refused } });
    waitForTheBanners();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->mode(), PlayState::RadioMode);
    QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(path));
    QVERIFY(hub->position(PlayState::RadioMode) >= 5);
    QVERIFY(sheet && sheet->sceneWindowState() == MSceneWindow::Appeared);
    // The song behind the sheet still waits there, paused.
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Paused);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Crimson"));
    sheet->cancelButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
    QCOMPARE(hub->mode(), PlayState::MusicMode);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Crimson"));
    hub->stop(PlayState::MusicMode);
}

void TestFailedRequests::aPlaylistFilesEntryComesBackWhereTheSkipsLeftIt()
{
    AudioTags opening;
    opening.title = QStringLiteral("List Opening");
    opening.artist = QStringLiteral("List Band");
    AudioTags closing = opening;
    closing.title = QStringLiteral("List Closing");
    const QString folder = TestEnvironment::home() + QStringLiteral("/Downloads/");
    QVERIFY(AudioGenerator::write(folder + "list opening.mp3", opening, 60000));
    QVERIFY(AudioGenerator::write(folder + "list closing.mp3", closing, 60000));
    const QString outside = writeOutside(QStringLiteral("two outside.m3u"),
                                         QFile::encodeName(folder + "list opening.mp3\n" + folder
                                                           + "list closing.mp3\n"));
    const QString library = writeOutside(QStringLiteral("two library.txt"),
                                         QFile::encodeName(
                                             TestEnvironment::musicDir() + "/Kim/Red/1.ogg\n"
                                             + TestEnvironment::musicDir() + "/Kim/Red/2.ogg\n"));
    QVERIFY(!outside.isEmpty() && !library.isEmpty());

    struct List
    {
        QString path;
        QString first;
        QString second;
    };
    for (const List& list :
         { List { outside, opening.title, closing.title },
           List { library, QStringLiteral("Crimson"), QStringLiteral("Scarlet") } }) {
        // No skip; a next a while before the failure; a next right before it; both in one turn.
        struct Round
        {
            int skipBefore; // ms, -1 for none
            PlayState::State found;
        };
        for (const Round& at :
             { Round { -1, PlayState::Playing }, Round { -1, PlayState::Paused },
               Round { 1500, PlayState::Playing }, Round { 150, PlayState::Paused },
               Round { 0, PlayState::Playing } }) {
            const QString round = QStringLiteral("%1, next %2 ms before, %3")
                                      .arg(QFileInfo(list.path).fileName())
                                      .arg(at.skipBefore)
                                      .arg(at.found == PlayState::Playing ? "playing" : "paused");
            call(QStringLiteral("playPlaylist"), { QStringList { list.path } });
            QPointer<PlayerSheet> sheet = shownSheet();
            QVERIFY2(sheet, qPrintable(round));
            QTRY_VERIFY2_WITH_TIMEOUT(hub->state(PlayState::RadioMode) == PlayState::Playing
                                          && hub->isSeekable(PlayState::RadioMode)
                                          && hub->title(PlayState::RadioMode) == list.first,
                                      qPrintable(round), Timeout);
            hub->setPosition(8, PlayState::RadioMode);
            QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::RadioMode) >= 8, Timeout);
            if (at.found == PlayState::Paused) {
                call(QStringLiteral("pausePlayback"));
                QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::RadioMode), PlayState::Paused,
                                          Timeout);
            }
            const QString expected = at.skipBefore < 0 ? list.first : list.second;
            // A skip starts the entry it lands on, also from pause.
            const PlayState::State back = at.skipBefore < 0 ? at.found : PlayState::Playing;
            MBanner::clearShownTitles();
            if (at.skipBefore == 0) {
                sendSpaced({ { QStringLiteral("next") }, { QStringLiteral("play"), refused } }, 0);
            } else {
                if (at.skipBefore > 0)
                    sendSpaced({ { QStringLiteral("next") } }, at.skipBefore);
                call(QStringLiteral("play"), { QStringList { refused } });
            }
            waitForTheBanners();
            QTRY_VERIFY2_WITH_TIMEOUT(hub->state(PlayState::RadioMode) == back
                                          && hub->title(PlayState::RadioMode) == expected,
                                      qPrintable(round), Timeout);
            QCOMPARE(hub->mode(), PlayState::RadioMode);
            QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(list.path));
            // Where it was: the entry the skip landed on plays from its start.
            if (at.skipBefore < 0)
                QVERIFY2(hub->position(PlayState::RadioMode) >= 8, qPrintable(round));
            else
                QVERIFY2(hub->position(PlayState::RadioMode) < 8, qPrintable(round));
            // It stays: nothing ends it once the banner has gone.
            QTest::qWait(1000);
            QVERIFY2(sheet && sheet->sceneWindowState() == MSceneWindow::Appeared,
                     qPrintable(round));
            QCOMPARE(hub->state(PlayState::RadioMode), back);
            QCOMPARE(hub->title(PlayState::RadioMode), expected);
            QCOMPARE(busState(), back == PlayState::Playing ? 1 : 2);
            sheet->cancelButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        }
    }
}

void TestFailedRequests::whatComesBackIsInTheStateAskedWhileTheRequestWasOnItsWay()
{
    const QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
    AudioTags tags;
    tags.title = QStringLiteral("Held Talk");
    const QString path = TestEnvironment::home() + QStringLiteral("/Downloads/held talk.mp3");
    const QString list = writeOutside(QStringLiteral("held.m3u"), QFile::encodeName(path + "\n"));
    QVERIFY(!list.isEmpty());
    const QStringList pause { QStringLiteral("pausePlayback") };
    const QStringList resume { QStringLiteral("resumePlayback") };

    enum What { Song, SheetFile, ListEntry };
    struct Round
    {
        const char* name;
        What what;
        PlayState::State found;
        QList<QStringList> asked; // while the request connects
        bool sameBurst;           // asked in the request's own burst
        PlayState::State back;
    };
    for (const Round& round :
         { Round {
               "a song, paused", Song, PlayState::Playing, { pause }, false, PlayState::Paused },
           Round { "a song, paused in the request's burst",
                   Song,
                   PlayState::Playing,
                   { pause },
                   true,
                   PlayState::Paused },
           Round { "a paused song, resumed",
                   Song,
                   PlayState::Paused,
                   { resume },
                   false,
                   PlayState::Playing },
           Round { "a song, paused and resumed",
                   Song,
                   PlayState::Playing,
                   { pause, resume },
                   false,
                   PlayState::Playing },
           Round { "the sheet's file, paused",
                   SheetFile,
                   PlayState::Playing,
                   { pause },
                   false,
                   PlayState::Paused },
           Round { "a playlist file's entry, paused in the request's burst",
                   ListEntry,
                   PlayState::Playing,
                   { pause },
                   true,
                   PlayState::Paused } }) {
        QPointer<PlayerSheet> sheet;
        PlayState::PlayingMode mode = PlayState::RadioMode;
        QString title = tags.title;
        if (round.what == Song) {
            mode = PlayState::MusicMode;
            title = QStringLiteral("Three");
            hub->appendModel(seven, PlayState::ReplaceQueue, -1);
            QCOMPARE(hub->startPlayback(2, PlayState::PlayNow), 2);
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(mode), PlayState::Playing, Timeout);
            hub->setPosition(10, mode);
        } else if (round.what == SheetFile) {
            sheet = sheetPlayingAt(path, tags, 10);
        } else {
            QVERIFY(AudioGenerator::write(path, tags, 60000));
            call(QStringLiteral("playPlaylist"), { QStringList { list } });
            sheet = shownSheet();
            QTRY_VERIFY_WITH_TIMEOUT(hub->state(mode) == PlayState::Playing
                                         && hub->isSeekable(mode),
                                     Timeout);
            hub->setPosition(10, mode);
        }
        QVERIFY2(round.what == Song || sheet, round.name);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(mode) >= 10, Timeout);
        if (round.found == PlayState::Paused) {
            call(QStringLiteral("pausePlayback"));
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(mode), PlayState::Paused, Timeout);
        }
        MBanner::clearShownTitles();
        const QStringList request { QStringLiteral("play"), slowMissing };
        if (round.sameBurst) {
            sendSpaced(QList<QStringList> { request } + round.asked, 0);
        } else {
            call(request.first(), { QStringList { slowMissing } });
            QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(), QUrl(slowMissing), Timeout);
            for (const QStringList& asked : round.asked)
                call(asked.first());
        }
        waitForTheBanners();
        QTRY_VERIFY2_WITH_TIMEOUT(hub->mode() == mode && hub->state(mode) == round.back, round.name,
                                  Timeout);
        QCOMPARE(hub->title(mode), title);
        QVERIFY2(hub->position(mode) >= 10, round.name);
        // Nothing changes it once the banner has gone.
        QTest::qWait(1000);
        QVERIFY2(hub->state(mode) == round.back, round.name);
        QCOMPARE(busState(), round.back == PlayState::Playing ? 1 : 2);
        if (sheet) {
            QVERIFY2(sheet->sceneWindowState() == MSceneWindow::Appeared, round.name);
            sheet->cancelButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(!sheet, Timeout);
        } else {
            QVERIFY2(!ParlovanceApplicationService::instance()->playerSheet(), round.name);
        }
        hub->stop(hub->mode());
    }
}

PARLOVANCE_TEST_MAIN(TestFailedRequests)
#include "tst_failedrequests.moc"
