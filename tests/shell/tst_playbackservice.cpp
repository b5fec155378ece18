// The playback service on a real private session bus, called from a connection of its own as
// another program would: what each method does to the real hub playing a real library, the
// signals that go out, and calls built to break it.

#include "hubtestlibrary.h"
#include "audiogenerator.h"
#include "common/constants.h"
#include "common/parlovance.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "mbanner.h"
#include "mwindow.h"
#include "playback/playlistfileprobe.h"
#include "playback/playstate.h"
#include "player/playersheet.h"
#include "processio.h"
#include "shell/mainwindow.h"
#include "shell/parlovanceapplicationservice.h"
#include "shell/parlovanceservice.h"
#include "common/parlovancesettings.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

namespace {

const int Timeout = 20000;
const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
const QString CallerName = QStringLiteral("caller");

// What the caller's connection hears of the service's signals.
class SignalListener : public QObject
{
    Q_OBJECT

public:
    QList<int> states;
    QList<QStringList> media;

public slots:
    void stateChanged(int state) { states.append(state); }
    void mediaChanged(const QStringList& list) { media.append(list); }
};

// The banners on the program's windows now.
QList<QPointer<MBanner>> bannersShown()
{
    QList<QPointer<MBanner>> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<MWindow*>(widget);
        if (!window || !window->scene())
            continue;
        for (QGraphicsItem* item : window->scene()->items()) {
            if (auto* banner = qobject_cast<MBanner*>(item->toGraphicsObject()))
                found << banner;
        }
    }
    return found;
}

bool allGone(const QList<QPointer<MBanner>>& banners)
{
    for (const QPointer<MBanner>& banner : banners) {
        if (banner)
            return false;
    }
    return true;
}

// What this thread has read from files and sockets since it began.
qint64 bytesReadByThisThread()
{
    return bytesReadSoFar(QStringLiteral("/proc/thread-self/io"));
}

// A method called count times in a row.
QList<QStringList> repeated(int count, const QString& method)
{
    QList<QStringList> calls;
    for (int i = 0; i < count; ++i)
        calls << QStringList { method };
    return calls;
}

} // namespace

class TestPlaybackService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void introspectionShowsTheInterface();
    void libraryUrnPlaysAndTransportFollows();
    void localFilesPlayByPathAndUrl();
    void laterLibraryChangesNeverRestartPlayback();
    void hostileCallsChangeNothing();
    void addressesThatAreNotMusicChangeNothing();
    void anOversizedCallLeavesTheServiceAnswering();
    void requestBeforeTheLibraryIsReadyPlaysTheNewest();
    void positionLeftAtQuitReachesTheStoreAtStart();
    void eachChangeIsAnnouncedOnce();
    void anEmptiedQueueIsNothingLoaded();
    void aStoppedOutsideFileStaysStoppedWhenASongArrives();
    void filesThatAreNeitherMusicNorPlaylistsAreToldApart();
    void aLargeFileIsToldByItsHeadAlone();
    void aFileThatIsNeitherMusicNorAPlaylistIsRefused();
    void aTemporaryFileRequestEndsWithItself();
    void aPlainListOfPathsPlaysAsAPlaylist();
    void aFileThatDoesNotPlayIsNeverReportedAsPlaying();
    void aStreamThatReplacesAPlayingOneIsReportedOnceItPlays();
    void onlyTheNewestPlayRequestStarts();
    void aBurstOfPlayRequestsLeavesTheServiceAnswering();
    void aBurstOfSkipsLoadsOnlyTheSongItLandsOn();
    void aMixedBurstEndsAsItsLastRequestsAsked();
    void aQuestionInABurstIsAnsweredBeforeItsSongLoads();
    void aQuestionBehindTransportCallsIsAnsweredAsTheyLeaveIt();
    void aSongTheLibraryLacksIsNotToldAsPlaying();
    void aStopBehindARequestOnItsWayStopsWhatItBrings();
    void aRequestThatFailsLeavesWhatItFound();
    void aRequestAfterOneThatFailedIsLeftAlone();
    void aResumeWhilePlayingKeepsThePlace();

private:
    QDBusMessage call(const QString& method, const QVariantList& arguments = QVariantList());
    // Sends calls as one burst: the bus holds the calls until every one of them has reached
    // the service's connection, and the service's thread takes none of them meanwhile.
    void send(const QList<QStringList>& calls);
    // Calls sent one behind the other on one connection, none waiting for the answer to the
    // one before, as a program that pipelines its calls sends them, then the question: the
    // state it is answered (0 for the media, -1 when no answer came).
    int pipeline(const QList<QStringList>& calls, const QString& question);
    void playSeven(int row);
    QString urnOf(const QString& title);
    void playUrn(const QString& title);
    QString playingTitle() const;
    // A file of the given content in the test's home, outside the library.
    static QString writeOutside(const QString& name, const QByteArray& content);
    // Copies of one song from outside the library, each its own stream.
    static QStringList outsideCopies(int count);

    QDBusConnection caller = QDBusConnection(QString());
    SignalListener listener;
    PlayState* hub = nullptr;
};

QDBusMessage TestPlaybackService::call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                          method);
    message.setArguments(arguments);
    // The service answers on this thread: wait for the answer with the event loop running.
    QDBusPendingCall pending = caller.asyncCall(message, Timeout);
    [&]() { QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), Timeout); }();
    // The service's signals sent before its answer reached this connection before the answer
    // did, but wait as posted events of this thread: hand them to the listener now, so that
    // what the listener holds after a call is all that the service said before answering.
    QCoreApplication::sendPostedEvents();
    return pending.reply();
}

void TestPlaybackService::send(const QList<QStringList>& calls)
{
    for (const QStringList& method : calls) {
        QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                        method.first());
        if (method.size() > 1)
            m.setArguments({ QVariant(method.mid(1)) });
        caller.call(m, QDBus::NoBlock);
    }
    // The bus routes a connection's messages in order: once it has answered the caller, it has
    // passed the calls on, and its answer to a question asked on the service's connection then
    // comes after them. This thread blocks without taking the calls handed over meanwhile.
    const QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
    QCOMPARE(caller.call(question, QDBus::Block, Timeout).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(QDBusConnection::sessionBus().call(question, QDBus::Block, Timeout).type(),
             QDBusMessage::ReplyMessage);
}

void TestPlaybackService::playSeven(int row)
{
    QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
    hub->setShuffle(false);
    hub->appendModel(seven.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(row, PlayState::PlayNow);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(hub->songCount(hub->mode()), 7);
}

QString TestPlaybackService::urnOf(const QString& title)
{
    return HubTestLibrary::firstCell(
        QStringLiteral("SELECT ?s WHERE { ?s a nmm:MusicPiece ; nie:title \"%1\" }").arg(title));
}

QString TestPlaybackService::playingTitle() const
{
    return hub->title(hub->mode());
}

QString TestPlaybackService::writeOutside(const QString& name, const QByteArray& content)
{
    const QString folder = TestEnvironment::home() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return file.fileName();
}

QStringList TestPlaybackService::outsideCopies(int count)
{
    const QString first = TestEnvironment::home() + QStringLiteral("/Downloads/copy-0.mp3");
    if (!QFile::exists(first)
        && !AudioGenerator::write(first,
                                  AudioTags { QStringLiteral("Copy"), QStringLiteral("Nobody"),
                                              QString(), QString(), QString(), 0, 0, QImage() },
                                  30 * 1000))
        return QStringList();
    QStringList copies { first };
    for (int i = 1; i < count; ++i) {
        const QString copy
            = QStringLiteral("%1/Downloads/copy-%2.mp3").arg(TestEnvironment::home()).arg(i);
        if (!QFile::exists(copy) && !QFile::copy(first, copy))
            return QStringList();
        copies << copy;
    }
    return copies;
}

void TestPlaybackService::playUrn(const QString& title)
{
    const QString urn = urnOf(title);
    QVERIFY(!urn.isEmpty());
    QCOMPARE(call(QStringLiteral("play"), { QStringList { urn } }).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), title, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
}

void TestPlaybackService::initTestCase()
{
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Björk/Jóga ü #1.ogg"),
                                     AudioTags { QStringLiteral("Jóga"), QStringLiteral("Björk"),
                                                 QStringLiteral("Homogenic"), QString(),
                                                 QStringLiteral("Pop"), 1, 1997, QImage() },
                                     30 * 1000)
                 .isEmpty());
    QVERIFY(HubTestLibrary::build());
    hub = PlayState::instance();
    ParlovanceService::instance();
    caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus, CallerName);
    QVERIFY(caller.isConnected());
    QVERIFY(caller.connect(Service, QStringLiteral("/"), Interface,
                           QStringLiteral("playbackStateChanged"), &listener,
                           SLOT(stateChanged(int))));
    QVERIFY(caller.connect(Service, QStringLiteral("/"), Interface, QStringLiteral("mediaChanged"),
                           &listener, SLOT(mediaChanged(QStringList))));
}

void TestPlaybackService::cleanupTestCase()
{
    ParlovanceService::destroyInstance();
    ParlovanceApplicationService::instance()->deleteMainWindow();
    QDBusConnection::disconnectFromBus(CallerName);
}

void TestPlaybackService::introspectionShowsTheInterface()
{
    const QDBusMessage reply = [&] {
        QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"),
                                                        QStringLiteral(
                                                            "org.freedesktop.DBus.Introspectable"),
                                                        QStringLiteral("Introspect"));
        QDBusPendingCall pending = caller.asyncCall(m, Timeout);
        [&]() { QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), Timeout); }();
        return pending.reply();
    }();
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    const QString xml = reply.arguments().value(0).toString();
    QVERIFY(xml.contains(QStringLiteral("<interface name=\"") + Interface + "\">"));
    // The members in the interface's own order, the link opener last.
    int at = 0;
    for (const char* member :
         { "method name=\"playPlaylist\"", "method name=\"play\"", "method name=\"playTempFile\"",
           "method name=\"resumePlayback\"", "method name=\"pausePlayback\"",
           "method name=\"next\"", "method name=\"previous\"", "method name=\"playbackState\"",
           "arg direction=\"out\" type=\"i\" name=\"state\"", "method name=\"currentMedia\"",
           "signal name=\"playbackStateChanged\"", "signal name=\"mediaChanged\"",
           "method name=\"openUlkMusicLink\"" }) {
        const int found = xml.indexOf(QLatin1String(member), at);
        QVERIFY2(found > at, member);
        at = found;
    }
}

void TestPlaybackService::libraryUrnPlaysAndTransportFollows()
{
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0);
    listener.media.clear();
    QCOMPARE(call(QStringLiteral("currentMedia")).type(), QDBusMessage::ReplyMessage);
    QTRY_VERIFY_WITH_TIMEOUT(!listener.media.isEmpty(), Timeout);
    QCOMPARE(listener.media.last(), QStringList { QStringLiteral("2") });

    listener.states.clear();
    listener.media.clear();
    playUrn(QStringLiteral("Three"));
    QTRY_VERIFY_WITH_TIMEOUT(listener.states.contains(1), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(QStringList { QStringLiteral("0"),
                                                                   QStringLiteral("Three"),
                                                                   QStringLiteral("Kim") }),
                             Timeout);
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 1);
    // The song plays in the main window's now-playing page.
    MainWindow* window = ParlovanceApplicationService::instance()->mainWindow();
    QVERIFY(window);
    QCOMPARE(window->currentPage(), int(Parlovance::PageNowPlaying));

    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 2,
                              Timeout);
    call(QStringLiteral("resumePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);

    // The one-song queue has nothing after it; the album played from its first row does.
    QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
    hub->appendModel(seven.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(2, PlayState::AllSongsQueue);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Three"), Timeout);
    call(QStringLiteral("next"));
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Four"), Timeout);
    call(QStringLiteral("previous"));
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Three"), Timeout);

    // A loaded but stopped queue counts as paused.
    hub->stop(hub->mode());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Stopped, Timeout);
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 2);
}

void TestPlaybackService::localFilesPlayByPathAndUrl()
{
    const QString path = FixtureLibrary::pathOf(QStringLiteral("Björk/Jóga ü #1.ogg"));
    const QString encoded = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    // "#" would start a fragment in a URL written by hand: only the encoded URL names the file.
    for (const QString& uri : { path, encoded }) {
        playUrn(QStringLiteral("Three"));
        QCOMPARE(call(QStringLiteral("play"), { QStringList { uri } }).type(),
                 QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Jóga"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
        // Played as the library's song, not as a stream.
        QCOMPARE(hub->contentType(hub->mode()), PlayState::SongContent);
    }
}

void TestPlaybackService::laterLibraryChangesNeverRestartPlayback()
{
    playUrn(QStringLiteral("Crimson"));
    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    // The one-song model behind the request reads itself again on a library change. (The
    // window's updating-library state, which empties the queue, is kept out of this.)
    ParlovanceApplicationService::instance()->mainWindow()->watchTrackerIndexing(false);
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Late/late.ogg"),
                                     AudioTags { QStringLiteral("Late"), QStringLiteral("Kim"),
                                                 QStringLiteral("Red"), QString(),
                                                 QStringLiteral("Rock"), 3, 0, QImage() })
                 .isEmpty());
    QVERIFY(FixtureLibrary::index());
    QTest::qWait(1500);
    QCOMPARE(hub->state(hub->mode()), PlayState::Paused);
    QCOMPARE(playingTitle(), QStringLiteral("Crimson"));
}

void TestPlaybackService::hostileCallsChangeNothing()
{
    playUrn(QStringLiteral("Scarlet"));
    const QString music = TestEnvironment::musicDir();
    const QString huge(100 * 1024, QLatin1Char('a'));
    QList<QStringList> lists = {
        {},
        { QString() },
        { QStringLiteral("urn:x> || true ) } #") },
        { QStringLiteral("urn:x> . ?s ?p ?o } #") },
        { QStringLiteral("urn:uuid:00000000-0000-0000-0000-000000000000") },
        { QStringLiteral("urn:\"quoted\"") },
        { QStringLiteral("urn:a\\b") },
        { QStringLiteral("urn:with space") },
        { QStringLiteral("urn:new\nline") },
        { QStringLiteral("urn:{braces}") },
        { QStringLiteral("urn:%1%2%3") },
        { QStringLiteral("urn:") + huge },
        { QStringLiteral("/") + huge },
        { QStringLiteral("file:///") + huge },
        { QString(QChar(0)) + QStringLiteral("urn:x") },
        { QStringLiteral("urn:x") + QChar(0) },
        { music + QStringLiteral("X/Kim/Seven/1.ogg") },
        { music
          + QStringLiteral("/no/such/file.ogg").replace(QLatin1Char('/'), QLatin1Char('\\')) },
        { QStringLiteral("relative/path/that/does/not/exist.ogg") },
        { QStringLiteral("::::") },
        { QStringLiteral("urn") },
        { QStringLiteral("%") },
        { QString(QChar(0x202e)) + QStringLiteral("urn:x") },
    };
    QStringList many;
    for (int i = 0; i < 2000; ++i)
        many << QStringLiteral("urn:x>");
    lists.append(many);
    int calls = 0;
    for (const QStringList& list : lists) {
        for (const char* method : { "play", "playTempFile" }) {
            const QDBusMessage reply = call(QLatin1String(method), { list });
            QVERIFY2(reply.type() == QDBusMessage::ReplyMessage,
                     qPrintable(QLatin1String(method) + reply.errorMessage()));
            ++calls;
        }
    }
    // Arguments of the wrong type or number are refused by the bus layer with an error.
    const QList<QVariantList> wrong = {
        { 42 },
        { QStringLiteral("urn:x") },
        { QStringList(), QStringList() },
        { QVariant(3.5) },
        { QByteArray("urn:x") },
    };
    for (const QVariantList& arguments : wrong) {
        for (const char* method : { "play", "playTempFile", "playPlaylist" }) {
            QCOMPARE(call(QLatin1String(method), arguments).type(), QDBusMessage::ErrorMessage);
            ++calls;
        }
    }
    QCOMPARE(call(QStringLiteral("playPlaylist"), { QStringList() }).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(call(QStringLiteral("openUlkMusicLink"), { QStringList { huge, QString() } }).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(call(QStringLiteral("noSuchMethod")).type(), QDBusMessage::ErrorMessage);
    calls += 3;
    QVERIFY(calls >= 30);

    // Nothing of it reached the player: the same song plays on.
    QTest::qWait(500);
    QCOMPARE(playingTitle(), QStringLiteral("Scarlet"));
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 1);
}

void TestPlaybackService::addressesThatAreNotMusicChangeNothing()
{
    playUrn(QStringLiteral("Scarlet"));
    const QString folder = TestEnvironment::musicDir() + QStringLiteral("/Kim");
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    const quint16 port = probe.localPort();
    probe.close();
    const QStringList refused = {
        QStringLiteral("udp://0.0.0.0:%1").arg(port),
        QStringLiteral("rtsp://127.0.0.1:1/a"),
        QStringLiteral("multifile:///etc/host%25d"),
        QStringLiteral("pushfile:///etc/hostname"),
        QStringLiteral("v4l2:///dev/video0"),
        QStringLiteral("cdda://1"),
        QStringLiteral("appsrc://"),
        QStringLiteral("fd://0"),
        QStringLiteral("http:///no-server"),
        QStringLiteral("file://elsewhere/etc/hostname"),
        QStringLiteral("/dev/zero"),
        QStringLiteral("file:///dev/zero"),
        folder,
        QUrl::fromLocalFile(folder).toString(),
    };
    for (const QString& uri : refused) {
        for (const char* method : { "play", "playTempFile", "playPlaylist" }) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(" - refused ")));
            QCOMPARE(call(QLatin1String(method), { QStringList { uri } }).type(),
                     QDBusMessage::ReplyMessage);
        }
    }
    // Each was refused within its call, where a stream would have taken the hub at once.
    QCOMPARE(playingTitle(), QStringLiteral("Scarlet"));
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(hub->contentType(hub->mode()), PlayState::SongContent);
    // Nothing listens on the port that was named.
    QVERIFY(probe.bind(QHostAddress(QHostAddress::AnyIPv4), port, QUdpSocket::DontShareAddress));
}

void TestPlaybackService::anOversizedCallLeavesTheServiceAnswering()
{
    playUrn(QStringLiteral("Scarlet"));
    // Just under the bus's largest list of texts, and above what the bus library holds of one
    // connection before it stops reading.
    {
        QDBusMessage huge = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                           QStringLiteral("play"));
        huge.setArguments({ QStringList { QString(65500 * 1024, QLatin1Char('a')) } });
        QDBusPendingCall pending = caller.asyncCall(huge, 60000);
        huge = QDBusMessage();
        QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), 60000);
        QCOMPARE(pending.reply().type(), QDBusMessage::ReplyMessage);
    }
    // The service still hears: later calls are answered and change what plays.
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 1);
    QCOMPARE(playingTitle(), QStringLiteral("Scarlet"));
    playUrn(QStringLiteral("Crimson"));
}

void TestPlaybackService::requestBeforeTheLibraryIsReadyPlaysTheNewest()
{
    const QString first = urnOf(QStringLiteral("Five"));
    const QString second = urnOf(QStringLiteral("Six"));
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    hub->stop(hub->mode());
    // A fresh start: the service comes up before the model factory has read the library.
    ParlovanceService::destroyInstance();
    ParlovanceApplicationService::instance()->deleteMainWindow();
    PlayState::destroyInstance();
    MafwTrackerModelFactoryInstance::destroy();
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    hub = PlayState::instance();
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
    QVERIFY(!factory->isReady());
    // Both requests come in before the event loop runs again, so before the factory can have
    // read the library (the bus delivers them the same way, one slot call each).
    ParlovanceService::instance()->play({ first });
    ParlovanceService::instance()->play({ second });
    // A fresh factory reads the whole library first: on a loaded machine that takes a while.
    QTRY_VERIFY_WITH_TIMEOUT(factory->isReady(), 90000);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Six"), 60000);
    QTest::qWait(500);
    for (const QList<QVariant>& change : songs)
        QVERIFY(change.value(0).toString() != QLatin1String("Five"));
}

void TestPlaybackService::eachChangeIsAnnouncedOnce()
{
    const QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
    hub->stop(hub->mode());
    hub->appendModel(seven, PlayState::ReplaceQueue, -1);
    QCOMPARE(hub->startPlayback(1, PlayState::PlayNow), 1);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(playingTitle(), QStringLiteral("Two"));
    // Whatever the start sent has arrived before counting.
    QTest::qWait(500);
    listener.states.clear();
    listener.media.clear();

    // A new song: one report of it, with its title.
    QCOMPARE(call(QStringLiteral("next")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Three"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QTest::qWait(500);
    QCOMPARE(listener.media.size(), 1);
    QCOMPARE(listener.media.first().value(1), QStringLiteral("Three"));
    QVERIFY(listener.states.isEmpty() || listener.states == QList<int> { 1 });

    // A pause: paused, and never a playing that did not happen on the way.
    listener.states.clear();
    listener.media.clear();
    QCOMPARE(call(QStringLiteral("pausePlayback")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QTest::qWait(500);
    QCOMPARE(listener.states, QList<int> { 2 });
    QVERIFY(listener.media.isEmpty());

    // Asked over the bus, the media is told even when it did not change.
    QCOMPARE(call(QStringLiteral("currentMedia")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(listener.media.size(), 1, Timeout);
    QCOMPARE(listener.media.first().value(1), QStringLiteral("Three"));
    hub->stop(hub->mode());
}

void TestPlaybackService::positionLeftAtQuitReachesTheStoreAtStart()
{
    ParlovanceService::destroyInstance();
    ParlovanceApplicationService::instance()->deleteMainWindow();
    const int chapter = HubTestLibrary::firstCell(
                            QStringLiteral("SELECT tracker:id(?s) WHERE { ?s a nmm:MusicPiece ; "
                                           "nie:title \"Chapter 2\" }"))
                            .toInt();
    QVERIFY(chapter > 0);
    {
        ParlovanceSettings settings;
        settings.setValue(Constants::SettingsVersion, 2);
        settings.setValue(Constants::SettingsSongId, chapter);
        settings.setValue(Constants::Position, 42);
    }
    ParlovanceApplicationService::instance()->showMainWindow(Parlovance::PageMain, false);
    MainWindow* window = ParlovanceApplicationService::instance()->mainWindow();
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(HubTestLibrary::storedPosition(chapter), QStringLiteral("42"),
                              Timeout);
    ParlovanceSettings settings;
    QVERIFY(!settings.contains(Constants::SettingsSongId));
    QVERIFY(!settings.contains(Constants::Position));
    // The open gate put the playback service on the bus for the window.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(Service).value());
}

void TestPlaybackService::anEmptiedQueueIsNothingLoaded()
{
    // Emptied (here as a library update does) or played to its end, a queue leaves nothing to
    // report: the media is "2", never a library song without a title.
    playUrn(QStringLiteral("Three"));
    QTest::qWait(500);
    listener.media.clear();
    hub->clearPlayQueue();
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(hub->mode()), 0, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!listener.media.isEmpty(), Timeout);
    QTest::qWait(500);
    QCOMPARE(listener.media.last(), QStringList { QStringLiteral("2") });
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0);
    listener.media.clear();
    QCOMPARE(call(QStringLiteral("currentMedia")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(listener.media.size(), 1, Timeout);
    QCOMPARE(listener.media.first(), QStringList { QStringLiteral("2") });

    playUrn(QStringLiteral("Three"));
    QTest::qWait(500);
    listener.media.clear();
    hub->setPosition(28, hub->mode());
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(hub->mode()), 0, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!listener.media.isEmpty(), Timeout);
    QTest::qWait(500);
    QCOMPARE(listener.media.last(), QStringList { QStringLiteral("2") });
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0);

    // A new queue is reported as its song again.
    listener.media.clear();
    playUrn(QStringLiteral("Three"));
    QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(QStringList { QStringLiteral("0"),
                                                                   QStringLiteral("Three"),
                                                                   QStringLiteral("Kim") }),
                             Timeout);
    hub->stop(hub->mode());
}

void TestPlaybackService::aStoppedOutsideFileStaysStoppedWhenASongArrives()
{
    // An album's own model is queued, so the queue grows with the library; an outside file
    // played over the bus stands in front of it and is stopped.
    const QSharedPointer<MafwTrackerModel> red = HubTestLibrary::album(QStringLiteral("Red"));
    QVERIFY(red);
    hub->stop(hub->mode());
    hub->appendModel(red, PlayState::ReplaceQueue, -1);
    QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    const int queued = red->rowCount();
    QCOMPARE(hub->songCount(PlayState::MusicMode), queued);
    const QString path = TestEnvironment::home() + QStringLiteral("/Downloads/outside.mp3");
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(AudioGenerator::write(path,
                                  AudioTags { QStringLiteral("Outside"), QStringLiteral("Nobody"),
                                              QString(), QString(), QString(), 0, 0, QImage() },
                                  30 * 1000));
    QCOMPARE(call(QStringLiteral("play"), { QStringList { path } }).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Outside"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(hub->contentType(hub->mode()), PlayState::UrlContent);
    hub->stop(hub->mode());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Stopped, Timeout);
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0);

    ParlovanceApplicationService::instance()->mainWindow()->watchTrackerIndexing(false);
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Red/late red.ogg"),
                                     AudioTags { QStringLiteral("Vermilion"), QStringLiteral("Kim"),
                                                 QStringLiteral("Red"), QString(),
                                                 QStringLiteral("Rock"), 4, 0, QImage() })
                 .isEmpty());
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), queued + 1, Timeout);
    // The file in front is still what is live, and it is stopped.
    QCOMPARE(hub->mode(), PlayState::RadioMode);
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0);
}

void TestPlaybackService::filesThatAreNeitherMusicNorPlaylistsAreToldApart()
{
    QByteArray picture;
    {
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    // Noise of a fixed seed: about one in a hundred random draws begins with bytes that the type
    // database takes for a program, which the probe rightly refuses.
    QRandomGenerator draw(0x5eed);
    QByteArray noise(64 * 1024, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char(draw.generate());
    const QByteArray accounts("root:x:0:0:root:/root:/bin/bash\nkim:x:1000:1000::/home/kim:\n");
    const struct
    {
        const char* name;
        QByteArray content;
        bool refused;
    } files[] = {
        { "accounts", accounts, true },
        { "shopping.txt", "milk\nbread\n", true },
        { "cover.png", picture, true },
        { "empty.mp3", QByteArray(), true },
        { "index.html", "<html><body>radio</body></html>", true },
        // Playlists by their first line or by their name, whatever the other.
        { "stations", "[playlist]\nFile1=http://127.0.0.1:9/a\nNumberOfEntries=1\n", false },
        { "mix.txt", "#EXTM3U\n#EXTINF:1,a\na.ogg\n", false },
        { "addresses", "\n# mine\nhttp://127.0.0.1:9/a.ogg\n", false },
        { "Road trip.m3u", "a.ogg\nb.ogg\n", false },
        { "songs.txt", "/home/kim/Music/a.ogg\n\n/home/kim/Music/b c.ogg\n", false },
        { "list.xml", "<?xml version=\"1.0\"?>\n<playlist version=\"1\"></playlist>", false },
        // Data without a name of its own goes on to the decoder, which tells.
        { "noise.mp3", noise, false },
    };
    PlaylistFileProbe probe;
    for (const auto& file : files) {
        const QString path = writeOutside(QLatin1String(file.name), file.content);
        QVERIFY(!path.isEmpty());
        QVERIFY2(probe.unplayableType(QUrl::fromLocalFile(path)).isEmpty() != file.refused,
                 file.name);
    }
    const QString song = FixtureLibrary::pathOf(QStringLiteral("Björk/Jóga ü #1.ogg"));
    QVERIFY(probe.unplayableType(QUrl::fromLocalFile(song)).isEmpty());
    QVERIFY(probe.unplayableType(QUrl(QStringLiteral("http://127.0.0.1:9/accounts"))).isEmpty());
}

void TestPlaybackService::aLargeFileIsToldByItsHeadAlone()
{
    // Files of 100 MB, each beginning as the whole of it might: a text of one line, a list of
    // paths of songs, and data.
    const qint64 size = 100 * 1000 * 1000;
    const int written = 8 * 1024 * 1024;
    const QStringList songs = outsideCopies(1);
    QVERIFY(!songs.isEmpty());
    const QByteArray line = QFile::encodeName(songs.first()) + '\n';
    QRandomGenerator draw(0x5eed);
    QByteArray noise(1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char(draw.generate());
    const struct
    {
        const char* name;
        QByteArray head;
        bool refused;
    } files[] = {
        { "one line.txt", QByteArray(written, 'a'), true },
        { "song list.txt", line.repeated(written / line.size()), false },
        { "data.bin", noise, false },
    };
    // Read no more than a small part of a file, each verdict is that of the whole file.
    const qint64 mayRead = 1024 * 1024;
    PlaylistFileProbe probe;
    QString refused;
    for (const auto& file : files) {
        const QString path = writeOutside(QLatin1String(file.name), file.head);
        QVERIFY(!path.isEmpty());
        QVERIFY(QFile::resize(path, size));
        const qint64 before = bytesReadByThisThread();
        QVERIFY(before >= 0);
        const bool verdict = probe.unplayableType(QUrl::fromLocalFile(path)).isEmpty();
        const qint64 read = bytesReadByThisThread() - before;
        QVERIFY2(read < mayRead, qPrintable(QStringLiteral("%1: %2 bytes read")
                                                .arg(QLatin1String(file.name))
                                                .arg(read)));
        QVERIFY2(verdict != file.refused, file.name);
        if (file.refused)
            refused = path;
    }

    // Over the bus, each call is answered with the file refused, as little of it read.
    playUrn(QStringLiteral("Scarlet"));
    for (const char* method : { "play", "playTempFile", "playPlaylist" }) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(
                                 QStringLiteral(" - refused .*: neither audio nor a playlist \\(")));
        const qint64 before = bytesReadByThisThread();
        QCOMPARE(call(QLatin1String(method), { QStringList { refused } }).type(),
                 QDBusMessage::ReplyMessage);
        const qint64 read = bytesReadByThisThread() - before;
        QVERIFY2(read < mayRead, qPrintable(QStringLiteral("%1: %2 bytes read")
                                                .arg(QLatin1String(method))
                                                .arg(read)));
    }
    QCOMPARE(playingTitle(), QStringLiteral("Scarlet"));
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    hub->stop(hub->mode());
    for (const auto& file : files)
        QFile::remove(TestEnvironment::home() + QStringLiteral("/Downloads/")
                      + QLatin1String(file.name));
}

void TestPlaybackService::aFileThatIsNeitherMusicNorAPlaylistIsRefused()
{
    QPointer<PlayerSheet> earlier = ParlovanceApplicationService::instance()->playerSheet();
    ParlovanceApplicationService::instance()->dismissSheet();
    QTRY_VERIFY_WITH_TIMEOUT(!earlier, Timeout);
    playUrn(QStringLiteral("Scarlet"));
    const QString accounts = writeOutside(QStringLiteral("accounts"),
                                          "root:x:0:0:root:/root:/bin/bash\n");
    const QString empty = writeOutside(QStringLiteral("empty.mp3"), QByteArray());
    QVERIFY(!accounts.isEmpty() && !empty.isEmpty());
    // The song's start was announced on the bus; a round trip takes that in before forgetting it.
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 1);
    listener.states.clear();
    listener.media.clear();
    for (const QString& path : { accounts, empty }) {
        for (const QString& uri : { path, QUrl::fromLocalFile(path).toString() }) {
            for (const char* method : { "play", "playTempFile", "playPlaylist" }) {
                QTest::ignoreMessage(QtWarningMsg,
                                     QRegularExpression(QStringLiteral(
                                         " - refused .*: neither audio nor a playlist \\(")));
                QCOMPARE(call(QLatin1String(method), { QStringList { uri } }).type(),
                         QDBusMessage::ReplyMessage);
            }
        }
    }
    // Refused within each call: the song plays on, no sheet came up, and the next thing
    // listeners hear is the answer to a question asked after the calls.
    QCOMPARE(playingTitle(), QStringLiteral("Scarlet"));
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(hub->contentType(hub->mode()), PlayState::SongContent);
    QVERIFY(!ParlovanceApplicationService::instance()->playerSheet());
    QCOMPARE(call(QStringLiteral("currentMedia")).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(listener.media.size(), 1, Timeout);
    QCOMPARE(listener.media.first(), (QStringList { QStringLiteral("0"), QStringLiteral("Scarlet"),
                                                    QStringLiteral("Kim") }));
    QVERIFY(listener.states.isEmpty());
    hub->stop(hub->mode());
}

void TestPlaybackService::aTemporaryFileRequestEndsWithItself()
{
    const QString notes = writeOutside(QStringLiteral("notes.txt"), "milk\nbread\n");
    const QString crimson = urnOf(QStringLiteral("Crimson"));
    QVERIFY(!notes.isEmpty() && !crimson.isEmpty());
    const QString song = FixtureLibrary::pathOf(QStringLiteral("Björk/Jóga ü #1.ogg"));
    ParlovanceApplicationService* shell = ParlovanceApplicationService::instance();
    // Refused as no music, refused as no address, and a library song replaced by the next
    // request before it starts: the library file asked for next is the library's, as ever.
    for (const QString& temporary : { notes, QStringLiteral("::::"), crimson }) {
        QPointer<PlayerSheet> earlier = shell->playerSheet();
        shell->dismissSheet();
        QTRY_VERIFY_WITH_TIMEOUT(!earlier, Timeout);
        playUrn(QStringLiteral("Scarlet"));
        if (temporary == notes)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral(
                                     " - refused .*: neither audio nor a playlist \\(")));
        QCOMPARE(call(QStringLiteral("playTempFile"), { QStringList { temporary } }).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(call(QStringLiteral("play"), { QStringList { song } }).type(),
                 QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Jóga"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
        QVERIFY2(hub->contentType(hub->mode()) == PlayState::SongContent, qPrintable(temporary));
        QVERIFY2(!shell->playerSheet(), qPrintable(temporary));
        QVERIFY(shell->mainWindow());
        QCOMPARE(shell->mainWindow()->currentPage(), int(Parlovance::PageNowPlaying));
    }
    hub->stop(hub->mode());
}

void TestPlaybackService::aPlainListOfPathsPlaysAsAPlaylist()
{
    // A list of absolute paths as a playlist without its header holds them, named as a note.
    const QStringList files = outsideCopies(2);
    QVERIFY(files.size() == 2);
    const QString list = writeOutside(QStringLiteral("songs.txt"),
                                      QFile::encodeName(files.join(QLatin1Char('\n'))) + '\n');
    const QString notes = writeOutside(QStringLiteral("notes.txt"), "milk\nbread\n");
    QVERIFY(!list.isEmpty() && !notes.isEmpty());
    hub->stop(hub->mode());
    listener.media.clear();
    QCOMPARE(call(QStringLiteral("playPlaylist"), { QStringList { list } }).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(), QUrl::fromLocalFile(list), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(call(QStringLiteral("playbackState")).arguments().value(0).toInt(),
                              1, Timeout);
    QCOMPARE(hub->contentType(hub->mode()), PlayState::RadioPlaylistContent);
    QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(QStringList { QStringLiteral("1"),
                                                                   QStringLiteral("Copy"),
                                                                   QStringLiteral("Nobody") }),
                             Timeout);

    // A note of prose named the same way is still no playlist: the list plays on.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(
                             QStringLiteral(" - refused .*: neither audio nor a playlist \\(")));
    QCOMPARE(call(QStringLiteral("playPlaylist"), { QStringList { notes } }).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(list));
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    // A stopped playlist still counts as loaded: the library's queue is left live instead.
    playUrn(QStringLiteral("Scarlet"));
    hub->stop(hub->mode());
}

void TestPlaybackService::aFileThatDoesNotPlayIsNeverReportedAsPlaying()
{
    // Noise of a fixed seed: a random draw may now and then hold a run that a decoder takes for
    // frames of its own and plays, which would be no failure to report.
    QRandomGenerator draw(0x0515e);
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char(draw.generate());
    QFile song(FixtureLibrary::pathOf(QStringLiteral("Björk/Jóga ü #1.ogg")));
    QVERIFY(song.open(QIODevice::ReadOnly));
    // Random bytes named as music, a file cut off after its first page, and a playlist whose
    // only entry is gone.
    const QStringList files = { writeOutside(QStringLiteral("noise.mp3"), noise),
                                writeOutside(QStringLiteral("cut.ogg"), song.read(4000)),
                                writeOutside(QStringLiteral("gone.m3u"), "/no/such/song.ogg\n") };
    for (const QString& file : files) {
        QVERIFY(!file.isEmpty());
        hub->stop(hub->mode());
        hub->clearPlayQueue();
        QTRY_COMPARE_WITH_TIMEOUT(
            call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0, Timeout);
        listener.states.clear();
        listener.media.clear();
        MBanner::clearShownTitles();
        call(QStringLiteral("playTempFile"), { QStringList { file } });
        // The failure is shown, and the sheet goes with the item, which leaves nothing behind.
        QTRY_VERIFY_WITH_TIMEOUT(!MBanner::shownTitles().isEmpty(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!ParlovanceApplicationService::instance()->playerSheet(), Timeout);
        QVERIFY(hub->streamUrl().isEmpty());
        QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 0);
        QCOMPARE(call(QStringLiteral("currentMedia")).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(QStringList { QStringLiteral("2") }),
                                 Timeout);
        // Never playing, nor paused as a loaded item, nor named as what plays.
        QVERIFY2(!listener.states.contains(1) && !listener.states.contains(2), qPrintable(file));
        for (const QStringList& media : qAsConst(listener.media))
            QVERIFY2(media.size() == 1, qPrintable(file + QLatin1Char(' ') + media.join(',')));
    }
}

void TestPlaybackService::aStreamThatReplacesAPlayingOneIsReportedOnceItPlays()
{
    const QStringList files = outsideCopies(2);
    QVERIFY(files.size() == 2);
    const QStringList copy { QStringLiteral("1"), QStringLiteral("Copy"),
                             QStringLiteral("Nobody") };
    for (const QString& file : files) {
        listener.media.clear();
        call(QStringLiteral("playTempFile"), { QStringList { file } });
        QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(), QUrl::fromLocalFile(file), Timeout);
        // The second plays where the first played: playing, and named, once it plays.
        QTRY_COMPARE_WITH_TIMEOUT(
            call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 1, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(copy), Timeout);
    }
    hub->stop(hub->mode());
}

void TestPlaybackService::onlyTheNewestPlayRequestStarts()
{
    const QStringList files = outsideCopies(40);
    QVERIFY(files.size() == 40);
    hub->stop(hub->mode());
    QList<QUrl> started;
    QObject guard;
    connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart, &guard,
            [&]() { started << hub->streamUrl(); });
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));

    // Requests that arrive before the event loop comes round (the bus hands over what it has
    // received one call after the other): the newest alone reaches the player.
    ParlovanceService* service = ParlovanceService::instance();
    for (const QString& file : files)
        service->play({ file });
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(files.last()));
    QCOMPARE(started, QList<QUrl> { QUrl::fromLocalFile(files.last()) });

    // A song looked up in the library for a request that a newer one replaced while the store
    // was asked: it never plays.
    const QString one = urnOf(QStringLiteral("One"));
    const QString two = urnOf(QStringLiteral("Two"));
    QVERIFY(!one.isEmpty() && !two.isEmpty());
    songs.clear();
    service->play({ one });
    // Only the service's own start runs: the lookup is sent, its answer cannot have come.
    QCoreApplication::sendPostedEvents(service, QEvent::MetaCall);
    service->play({ two });
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Two"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    for (const QList<QVariant>& change : qAsConst(songs))
        QVERIFY(change.value(0).toString() != QLatin1String("One"));
    hub->stop(hub->mode());
}

void TestPlaybackService::aBurstOfPlayRequestsLeavesTheServiceAnswering()
{
    const QStringList files = outsideCopies(40);
    QVERIFY(files.size() == 40);
    hub->stop(hub->mode());
    int starts = 0;
    QObject guard;
    connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart, &guard,
            [&]() { ++starts; });
    const auto playCall = [&](int i) {
        QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                        QStringLiteral("play"));
        m.setArguments({ QStringList { files.at(i % files.size()) } });
        return caller.asyncCall(m, Timeout);
    };
    // A program sends 2,000 requests as fast as it can, and another asks for the state in their
    // middle: the answer does not wait for a player that starts each of the first thousand.
    const int requests = 2000;
    QList<QDBusPendingCall> pending;
    for (int i = 0; i < requests / 2; ++i)
        pending << playCall(i);
    QDBusPendingCallWatcher question(
        caller.asyncCall(QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                        QStringLiteral("playbackState")),
                         Timeout));
    int startsBeforeTheAnswer = -1;
    connect(&question, &QDBusPendingCallWatcher::finished, &guard,
            [&]() { startsBeforeTheAnswer = starts; });
    for (int i = requests / 2; i < requests; ++i)
        pending << playCall(i);
    QTRY_VERIFY_WITH_TIMEOUT(question.isFinished() && pending.last().isFinished(), 60000);
    QCOMPARE(question.reply().type(), QDBusMessage::ReplyMessage);
    // The newest request is what plays.
    QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(),
                              QUrl::fromLocalFile(files.at((requests - 1) % files.size())),
                              Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QVERIFY2(startsBeforeTheAnswer >= 0 && startsBeforeTheAnswer < requests / 10,
             qPrintable(QString::number(startsBeforeTheAnswer)));
    QVERIFY2(starts < requests / 10, qPrintable(QString::number(starts)));
    hub->stop(hub->mode());
}

void TestPlaybackService::aBurstOfSkipsLoadsOnlyTheSongItLandsOn()
{
    const QStringList titles { QStringLiteral("One"),   QStringLiteral("Two"),
                               QStringLiteral("Three"), QStringLiteral("Four"),
                               QStringLiteral("Five"),  QStringLiteral("Six"),
                               QStringLiteral("Seven") };
    playSeven(0);
    QStringList loaded;
    QObject guard;
    connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart, &guard,
            [&]() { loaded << playingTitle(); });
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));

    // Ten nexts through a queue of seven wrap round to its fourth song, the only one loaded
    // and shown.
    send(repeated(10, QStringLiteral("next")));
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), titles.at(3), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(loaded, QStringList { titles.at(3) });
    QVERIFY(!songs.isEmpty());
    for (const QList<QVariant>& change : qAsConst(songs))
        QCOMPARE(change.value(0).toString(), titles.at(3));

    // A song heard for 4 s or more restarts at the first previous; the two after it go back.
    hub->setPosition(10, hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 4, Timeout);
    loaded.clear();
    send(repeated(3, QStringLiteral("previous")));
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), titles.at(1), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(loaded, QStringList { titles.at(1) });
    QVERIFY(hub->position(hub->mode()) < 4);
    hub->stop(hub->mode());
}

void TestPlaybackService::aMixedBurstEndsAsItsLastRequestsAsked()
{
    const QStringList files = outsideCopies(3);
    QVERIFY(files.size() == 3);
    const QStringList next { QStringLiteral("next") };
    const QStringList previous { QStringLiteral("previous") };
    const QStringList pause { QStringLiteral("pausePlayback") };
    const QStringList resume { QStringLiteral("resumePlayback") };
    const auto play = [](const QString& what) {
        return QStringList { QStringLiteral("play"), what };
    };
    // What the player loads: a stream by its file, a song of the queue by its title.
    QStringList loaded;
    QObject guard;
    connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart, &guard, [&]() {
        loaded << (hub->mode() == PlayState::RadioMode ? hub->streamUrl().toLocalFile()
                                                       : playingTitle());
    });

    // Skips, pauses and resumes: the queue moves two on, and the last pause holds. Only the
    // song it lands on loads.
    playSeven(0);
    loaded.clear();
    send({ next, next, pause, next, previous, previous, resume, next, pause });
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Three"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QCOMPARE(loaded, QStringList { QStringLiteral("Three") });

    // Files from outside the library between them: the last one asked plays, paused as asked
    // after it once it plays; the skip before the first moved the queue that waits behind.
    loaded.clear();
    send({ next, play(files.at(0)), previous, pause, play(files.at(1)), next, resume, pause,
           previous, play(files.at(2)), next, resume, pause });
    QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(), QUrl::fromLocalFile(files.at(2)), Timeout);
    // The hub's state is the paused song's until the stream plays: the bus tells the stream's.
    QTRY_COMPARE_WITH_TIMEOUT(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 2,
                              Timeout);
    QCOMPARE(hub->state(hub->mode()), PlayState::Paused);
    QCOMPARE(loaded, QStringList { files.at(2) });
    QCOMPARE(hub->currentIndex(PlayState::MusicMode), 3);

    // A library song is looked up before it plays: the pause asked after it waits for it.
    const QString crimson = urnOf(QStringLiteral("Crimson"));
    QVERIFY(!crimson.isEmpty());
    send({ play(crimson), next, resume, pause });
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Crimson"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QCOMPARE(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 2);
    ParlovanceApplicationService::instance()->dismissSheet();
    hub->stop(hub->mode());
}

void TestPlaybackService::aQuestionInABurstIsAnsweredBeforeItsSongLoads()
{
    playSeven(0);
    int loads = 0;
    QObject guard;
    connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart, &guard,
            [&]() { ++loads; });
    // A question in the middle of a burst is answered once the calls before it are carried
    // out, whatever the number of skips around it: those before it land and load their song,
    // those after it another, never one for each skip.
    const QDBusMessage question = QDBusMessage::createMethodCall(Service, QStringLiteral("/"),
                                                                 Interface,
                                                                 QStringLiteral("playbackState"));
    const QList<QStringList> skips = repeated(20, QStringLiteral("next"));
    send(skips);
    QDBusPendingCallWatcher answer(caller.asyncCall(question, Timeout));
    int loadsBeforeTheAnswer = -1;
    connect(&answer, &QDBusPendingCallWatcher::finished, &guard,
            [&]() { loadsBeforeTheAnswer = loads; });
    send(skips);
    QTRY_VERIFY_WITH_TIMEOUT(answer.isFinished() && loadsBeforeTheAnswer >= 0, Timeout);
    QCOMPARE(answer.reply().arguments().value(0).toInt(), 1);
    QVERIFY2(loadsBeforeTheAnswer >= 1 && loadsBeforeTheAnswer <= 2,
             qPrintable(QString::number(loadsBeforeTheAnswer)));
    // Forty skips through seven songs: the sixth.
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Six"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(loads, 2);
    hub->stop(hub->mode());
}

void TestPlaybackService::aQuestionBehindTransportCallsIsAnsweredAsTheyLeaveIt()
{
    const QStringList pause { QStringLiteral("pausePlayback") };
    const QStringList resume { QStringLiteral("resumePlayback") };
    const QString state = QStringLiteral("playbackState");

    // A pause or resume reaches the renderer a moment after the call: the state asked right
    // behind it is the one it leads to, every time.
    playSeven(0);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(pipeline({ pause }, state), 2);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
        QCOMPARE(pipeline({ resume }, state), 1);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    }

    // The media asked behind skips is the song they land on, told before it loads.
    listener.media.clear();
    QCOMPARE(pipeline({ { QStringLiteral("next") }, { QStringLiteral("next") } },
                      QStringLiteral("currentMedia")),
             0);
    QTRY_VERIFY_WITH_TIMEOUT(!listener.media.isEmpty(), Timeout);
    QCOMPARE(listener.media.first(),
             (QStringList { QStringLiteral("0"), QStringLiteral("Three"), QStringLiteral("Kim") }));

    // A library song is looked up before it plays: asked behind it, the state is the one it
    // plays in, and the media is the song once it has come.
    const QString crimson = urnOf(QStringLiteral("Crimson"));
    const QString scarlet = urnOf(QStringLiteral("Scarlet"));
    QVERIFY(!crimson.isEmpty() && !scarlet.isEmpty());
    QCOMPARE(pipeline({ { QStringLiteral("play"), crimson } }, state), 1);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Crimson"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(pipeline({ { QStringLiteral("play"), scarlet }, pause }, state), 2);
    QTRY_COMPARE_WITH_TIMEOUT(playingTitle(), QStringLiteral("Scarlet"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(QStringList { QStringLiteral("0"),
                                                                   QStringLiteral("Scarlet"),
                                                                   QStringLiteral("Kim") }),
                             Timeout);
    listener.media.clear();
    QCOMPARE(pipeline({ { QStringLiteral("play"), crimson } }, QStringLiteral("currentMedia")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!listener.media.isEmpty(), Timeout);
    QCOMPARE(listener.media.first(), (QStringList { QStringLiteral("0"), QStringLiteral("Crimson"),
                                                    QStringLiteral("Kim") }));
    hub->stop(hub->mode());
}

void TestPlaybackService::aSongTheLibraryLacksIsNotToldAsPlaying()
{
    const QString missing = QStringLiteral("urn:uuid:0badc0de-0000-4000-8000-000000000000");
    const QStringList play { QStringLiteral("play"), missing };
    const QStringList pause { QStringLiteral("pausePlayback") };
    const QString state = QStringLiteral("playbackState");
    // Asked right behind the request, the state is the one that stands, and stays once the
    // library has answered that it has no such song: nothing loaded, a song paused, a song
    // playing, and a song playing with a pause behind the request, which the song takes.
    hub->stop(hub->mode());
    hub->clearPlayQueue();
    QTRY_COMPARE_WITH_TIMEOUT(call(state).arguments().value(0).toInt(), 0, Timeout);
    struct Round
    {
        int found; // 0 nothing, 1 playing, 2 paused
        QList<QStringList> calls;
        int told;
    };
    for (const Round& round :
         { Round { 0, { play }, 0 }, Round { 2, { play }, 2 }, Round { 1, { play }, 1 },
           Round { 1, { play, pause }, 2 }, Round { 0, { play, pause }, 0 } }) {
        const QString name
            = QStringLiteral("found %1, %2 calls").arg(round.found).arg(round.calls.size());
        if (round.found == 0) {
            hub->stop(hub->mode());
            hub->clearPlayQueue();
        } else if (hub->state(hub->mode()) != PlayState::Playing) {
            playSeven(2);
        }
        if (round.found == 2) {
            call(QStringLiteral("pausePlayback"));
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
        }
        QTRY_COMPARE_WITH_TIMEOUT(call(state).arguments().value(0).toInt(), round.found, Timeout);
        listener.states.clear();
        QVERIFY2(pipeline(round.calls, state) == round.told, qPrintable(name));
        // The library's answer has come once a question for the media is answered.
        listener.media.clear();
        call(QStringLiteral("currentMedia"));
        QTRY_VERIFY_WITH_TIMEOUT(!listener.media.isEmpty(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(call(state).arguments().value(0).toInt(), round.told, Timeout);
        QTest::qWait(500);
        QVERIFY2(call(state).arguments().value(0).toInt() == round.told, qPrintable(name));
        QVERIFY2(!listener.states.contains(round.told == 1 ? 2 : 1), qPrintable(name));
        if (round.found != 0)
            QCOMPARE(playingTitle(), QStringLiteral("Three"));
    }
    hub->stop(hub->mode());
}

void TestPlaybackService::aStopBehindARequestOnItsWayStopsWhatItBrings()
{
    const QStringList copies = outsideCopies(1);
    QVERIFY(copies.size() == 1);
    const QString list = writeOutside(QStringLiteral("stopped.m3u"),
                                      QFile::encodeName(copies.first()) + '\n');
    const QString crimson = urnOf(QStringLiteral("Crimson"));
    QVERIFY(!list.isEmpty() && !crimson.isEmpty());
    ParlovanceService* service = ParlovanceService::instance();
    struct Round
    {
        QString uri;
        bool playlist;
        QString title;
    };
    for (const Round& round : { Round { crimson, false, QStringLiteral("Crimson") },
                                Round { FixtureLibrary::pathOf(QStringLiteral("Kim/Red/2.ogg")),
                                        false, QStringLiteral("Scarlet") },
                                Round { copies.first(), false, QStringLiteral("Copy") },
                                Round { list, true, QStringLiteral("Copy") } }) {
        // In one burst, and in the turn after the request was carried out.
        for (const bool sameBurst : { true, false }) {
            const QString name = round.uri
                                 + (sameBurst ? " with a stop in its burst"
                                              : " with a stop after it");
            playSeven(0);
            if (round.playlist)
                service->playPlaylist({ round.uri });
            else
                service->play({ round.uri });
            if (!sameBurst)
                QCoreApplication::processEvents();
            service->stopPlaybackForTesting();
            QTRY_VERIFY2_WITH_TIMEOUT(playingTitle() == round.title, qPrintable(name), Timeout);
            QTRY_VERIFY2_WITH_TIMEOUT(hub->state(hub->mode()) == PlayState::Stopped,
                                      qPrintable(name), Timeout);
            QTest::qWait(1000);
            QVERIFY2(hub->state(hub->mode()) == PlayState::Stopped, qPrintable(name));
            QCOMPARE(playingTitle(), round.title);
            ParlovanceApplicationService::instance()->dismissSheet();
        }
    }
    hub->stop(hub->mode());
}

int TestPlaybackService::pipeline(const QList<QStringList>& calls, const QString& question)
{
    for (const QStringList& method : calls) {
        QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                        method.first());
        if (method.size() > 1)
            m.setArguments({ QVariant(method.mid(1)) });
        caller.asyncCall(m, Timeout);
    }
    QDBusPendingCall answer = caller.asyncCall(
        QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface, question), Timeout);
    if (!QTest::qWaitFor([&]() { return answer.isFinished(); }, Timeout))
        return -1;
    QCoreApplication::sendPostedEvents();
    return question == QLatin1String("playbackState") ? answer.reply().arguments().value(0).toInt()
                                                      : 0;
}

void TestPlaybackService::aRequestThatFailsLeavesWhatItFound()
{
    // Short banners: what a failure's banner sets off shows soon after.
    MBanner::setDisplayDurationForTesting(300);
    const QString empty = writeOutside(QStringLiteral("header only.m3u"), "#EXTM3U\n");
    const QString noEntries = writeOutside(QStringLiteral("no entries.pls"),
                                           "[playlist]\nNumberOfEntries=0\nVersion=2\n");
    const QString missing = writeOutside(QStringLiteral("missing songs.m3u"),
                                         "/no/such/a.ogg\n/no/such/b.ogg\n");
    QVERIFY(!empty.isEmpty() && !noEntries.isEmpty() && !missing.isEmpty());
    const QString emptyList = qtTrId("qtn_musi_empty_playlist");
    const QList<QStringList> requests = { { QStringLiteral("playPlaylist"), empty },
                                          { QStringLiteral("playPlaylist"), noEntries },
                                          { QStringLiteral("play"), missing },
                                          { QStringLiteral("playTempFile"), empty } };
    const auto failWith = [&](const QStringList& request) {
        MBanner::clearShownTitles();
        call(request.first(), { QStringList { request.last() } });
        QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(emptyList), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->mode(), PlayState::MusicMode, Timeout);
        // The sheet the request opened goes with the banner.
        QTRY_VERIFY_WITH_TIMEOUT(!ParlovanceApplicationService::instance()->playerSheet(), Timeout);
    };

    // A paused song stays paused, and is told so, whatever failed in front of it.
    playUrn(QStringLiteral("Three"));
    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    for (const QStringList& request : requests) {
        QSignalSpy states(hub, &PlayState::stateChanged);
        failWith(request);
        QTRY_COMPARE_WITH_TIMEOUT(
            call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 2, Timeout);
        // What the banner's end would set off has had its time.
        QTest::qWait(1000);
        QCOMPARE(hub->state(hub->mode()), PlayState::Paused);
        QCOMPARE(playingTitle(), QStringLiteral("Three"));
        for (const QList<QVariant>& change : qAsConst(states))
            QVERIFY2(change.first().value<PlayState::State>() != PlayState::Playing,
                     qPrintable(request.join(QLatin1Char(' '))));
    }

    // A playing song plays on from where it was.
    call(QStringLiteral("resumePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    hub->setPosition(10, hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 10, Timeout);
    failWith(requests.first());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(playingTitle(), QStringLiteral("Three"));
    QVERIFY(hub->position(hub->mode()) >= 10);
    hub->stop(hub->mode());
    MBanner::setDisplayDurationForTesting(3000);
}

void TestPlaybackService::aRequestAfterOneThatFailedIsLeftAlone()
{
    const QStringList copies = outsideCopies(1);
    QVERIFY(copies.size() == 1);
    const QString bad = writeOutside(QStringLiteral("header only.m3u"), "#EXTM3U\n");
    const QString good = writeOutside(QStringLiteral("good.m3u"),
                                      QFile::encodeName(copies.first()) + '\n');
    QVERIFY(!bad.isEmpty() && !good.isEmpty());
    // A song waits paused behind both lists.
    playUrn(QStringLiteral("Three"));
    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);

    // The good list is asked while the bad one's banner is up, and plays on after it has gone.
    MBanner::clearShownTitles();
    call(QStringLiteral("playPlaylist"), { QStringList { bad } });
    QTRY_VERIFY_WITH_TIMEOUT(!MBanner::shownTitles().isEmpty(), Timeout);
    const QList<QPointer<MBanner>> banners = bannersShown();
    QVERIFY(!banners.isEmpty());
    call(QStringLiteral("playPlaylist"), { QStringList { good } });
    QTRY_COMPARE_WITH_TIMEOUT(hub->streamUrl(), QUrl::fromLocalFile(good), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(call(QStringLiteral("playbackState")).arguments().value(0).toInt(), 1,
                              Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(allGone(banners), Timeout);
    QTest::qWait(1000);
    QCOMPARE(hub->mode(), PlayState::RadioMode);
    QCOMPARE(hub->streamUrl(), QUrl::fromLocalFile(good));
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QVERIFY(ParlovanceApplicationService::instance()->playerSheet());

    // A library song asked next plays, and goes on playing.
    playUrn(QStringLiteral("Scarlet"));
    QTest::qWait(1000);
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(playingTitle(), QStringLiteral("Scarlet"));
    ParlovanceApplicationService::instance()->dismissSheet();
    hub->stop(hub->mode());
}

void TestPlaybackService::aResumeWhilePlayingKeepsThePlace()
{
    playSeven(1);
    hub->setPosition(12, hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 12, Timeout);
    int loads = 0;
    QObject guard;
    connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart, &guard,
            [&]() { ++loads; });
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
    QSignalSpy positions(hub, &PlayState::positionChanged);

    // Resuming what plays changes nothing: the clock goes on, the song is neither loaded nor
    // announced again.
    call(QStringLiteral("resumePlayback"));
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 14, Timeout);
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(loads, 0);
    QCOMPARE(songs.count(), 0);
    for (const QList<QVariant>& position : qAsConst(positions))
        QVERIFY2(position.first().toUInt() >= 12, qPrintable(position.first().toString()));

    // Pauses and resumes in turn, the last a resume sent while paused: it plays on from there.
    call(QStringLiteral("pausePlayback"));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    const uint pausedAt = hub->position(hub->mode());
    positions.clear();
    for (const char* method :
         { "pausePlayback", "pausePlayback", "pausePlayback", "resumePlayback", "resumePlayback",
           "pausePlayback", "pausePlayback", "resumePlayback" })
        call(QLatin1String(method));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= pausedAt + 1, Timeout);
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(loads, 0);
    for (const QList<QVariant>& position : qAsConst(positions))
        QVERIFY2(position.first().toUInt() + 1 >= pausedAt,
                 qPrintable(position.first().toString()));
    hub->stop(hub->mode());
}

PARLOVANCE_TEST_MAIN(TestPlaybackService)
#include "tst_playbackservice.moc"
