// The three inputs that skip songs, side by side over the real playback hub playing a real
// library: the player's Next button tapped on the now-playing page, the Next media key, and the
// playback service's `next` called over a real private session bus. The keys and the bus move
// the controller at once; the player's own buttons, while its page is on display, let it wait
// for the next tap. Whatever the input, each song moved to is announced to other programs, and
// a song passed in a moment is never counted as played: only one heard long enough is.

#include "audiogenerator.h"
#include "fixturelibrary.h"
#include "hubtestlibrary.h"
#include "mafwtrackermodel.h"
#include "mapplicationwindow.h"
#include "mbutton.h"
#include "mscenewindow.h"
#include "player/nowplayingpage.h"
#include "player/parlovancekeyhandler.h"
#include "player/playercontrolswidget.h"
#include "playback/playstate.h"
#include "qmkeyshook.h"
#include "shell/parlovanceservice.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "zelplaycontrols.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using MeeGo::QmKeys;
using MeeGo::QmKeysHook;

namespace {

const int Timeout = 20000;
const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
const QString CallerName = QStringLiteral("caller");
// The pace of a user skipping songs: well below the time a song takes to count as played.
const int PaceMs = 150;
// Songs short enough that one counts as played (half of it heard) within a test's patience.
const int QuickSongMs = 4000;
const char* const QuickTitles[] = { "Q1", "Q2", "Q3", "Q4", "Q5" };

// What another program hears of the service's media.
class MediaListener : public QObject
{
    Q_OBJECT

public:
    QList<QStringList> media;
    QStringList titles() const
    {
        QStringList seen;
        for (const QStringList& m : media)
            seen << m.value(1);
        return seen;
    }

public slots:
    void mediaChanged(const QStringList& list) { media.append(list); }
};

// How many times the store holds a song of the test library as played.
int playCount(const QString& title)
{
    return HubTestLibrary::firstCell(
               QStringLiteral("SELECT ?c WHERE { ?s a nmm:MusicPiece ; nie:title \"%1\" ; "
                              "nie:usageCounter ?c }")
                   .arg(title))
        .toInt();
}

} // namespace

class TestTransportInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void theKeysAndTheBusSkipAtOnceThePlayersButtonsWhenLeft();
    void aSongPassedInAMomentIsAnnouncedButNotCounted();
    void everySkipCountsHoweverTheyComeIn();
    void aSeekOrAResumeRightAfterSkipsActsWhereTheyLand();
    void aPauseBehindAFileOfTheLibraryWaitsForIt();

private:
    using Input = QPair<const char*, std::function<void()>>;
    QList<Input> inputs();
    // withPage: the now-playing page shows, its Next button ready for a tap.
    void playAlbum(const QSharedPointer<MafwTrackerModel>& album, const QString& first,
                   bool withPage = true);
    void callNext(QDBus::CallMode mode = QDBus::NoBlock);
    // A play of a path and a pause, one behind the other on one connection with the state asked
    // behind them, as a program that sends its calls at once does: the state answered.
    int playAndPause(const QString& path);
    void tapNext();

    PlayState* hub = nullptr;
    QSharedPointer<MafwTrackerModel> seven;
    QSharedPointer<MafwTrackerModel> quick;
    MApplicationWindow* window = nullptr;
    NowPlayingPage* page = nullptr;
    QDBusConnection caller = QDBusConnection(QString());
    MediaListener listener;
};

void TestTransportInputs::initTestCase()
{
    for (int i = 0; i < 5; ++i) {
        const QByteArray path = QStringLiteral("Ada/Quick/%1.ogg").arg(i + 1).toUtf8();
        QVERIFY(!FixtureLibrary::addSong({ path.constData(), QuickTitles[i], "Ada", "Quick",
                                           "Pop", i + 1, 0, QuickSongMs })
                     .isEmpty());
    }
    QVERIFY(HubTestLibrary::build());
    ParlovanceKeyHandler::instance();
    hub = PlayState::instance();
    seven = HubTestLibrary::album(QStringLiteral("Seven"));
    quick = HubTestLibrary::album(QStringLiteral("Quick"));
    QVERIFY(seven);
    QVERIFY(quick);
    ParlovanceService::instance();
    caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus, CallerName);
    QVERIFY(caller.isConnected());
    QVERIFY(caller.connect(Service, QStringLiteral("/"), Interface, QStringLiteral("mediaChanged"),
                           &listener, SLOT(mediaChanged(QStringList))));
    window = new MApplicationWindow;
    window->show();
    page = new NowPlayingPage(nullptr);
    page->appear(window);
    page->passParameterToPage(QVariant());
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
}

void TestTransportInputs::cleanupTestCase()
{
    hub->stop(hub->mode());
    ParlovanceService::destroyInstance();
    QDBusConnection::disconnectFromBus(CallerName);
    delete window;
    ParlovanceKeyHandler::destroyInstance();
}

void TestTransportInputs::callNext(QDBus::CallMode mode)
{
    caller.call(QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                               QStringLiteral("next")),
                mode);
}

int TestTransportInputs::playAndPause(const QString& path)
{
    QDBusMessage play = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                       QStringLiteral("play"));
    play.setArguments({ QVariant(QStringList { path }) });
    caller.asyncCall(play);
    caller.asyncCall(QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                    QStringLiteral("pausePlayback")));
    const QDBusPendingCall state = caller.asyncCall(QDBusMessage::createMethodCall(
        Service, QStringLiteral("/"), Interface, QStringLiteral("playbackState")));
    if (!QTest::qWaitFor([&]() { return state.isFinished(); }, Timeout))
        return -1;
    return state.reply().arguments().value(0).toInt();
}

void TestTransportInputs::tapNext()
{
    MButton* next = page->controls()->nextControl();
    TouchDriver(window).tap(next->mapToScene(next->rect().center()));
}

QList<TestTransportInputs::Input> TestTransportInputs::inputs()
{
    return {
        { "button", [this]() { tapNext(); } },
        { "key",
          []() {
              QmKeysHook::instance()->injectKeyEvent(QmKeys::NextKey, QmKeys::KeyDown);
              QmKeysHook::instance()->injectKeyEvent(QmKeys::NextKey, QmKeys::KeyUp);
          } },
        { "bus", [this]() { callNext(); } },
    };
}

void TestTransportInputs::playAlbum(const QSharedPointer<MafwTrackerModel>& album,
                                    const QString& first, bool withPage)
{
    hub->stop(hub->mode());
    hub->setShuffle(false);
    hub->setRepeat(false);
    hub->appendModel(album.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(0, PlayState::PlayNow);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), first, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    if (!withPage)
        return;
    // The page goes back while the queue is replaced (it holds no song for a moment).
    if (page->sceneWindowState() != MSceneWindow::Appeared)
        page->appear(window);
    QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(page->isOnDisplay(), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(page->controls()->nextControl()->isEnabled(), Timeout);
}

void TestTransportInputs::theKeysAndTheBusSkipAtOnceThePlayersButtonsWhenLeft()
{
    for (const Input& input : inputs()) {
        const bool waits = qstrcmp(input.first, "button") == 0;
        playAlbum(seven, QStringLiteral("One"));
        QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
        listener.media.clear();
        input.second();
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), QStringLiteral("Two"), Timeout);
        if (waits) {
            // On display, the player's own button lets the controller wait for another tap.
            QVERIFY2(hub->isSettling() || loads.count() == 1, input.first);
        } else {
            // A key or a call moves the controller with the song: no wait for more of them.
            QVERIFY2(!hub->isSettling(), input.first);
            QVERIFY2(loads.count() == 1, input.first);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!hub->isSettling(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
        QCOMPARE(loads.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(listener.titles().contains(QStringLiteral("Two")), Timeout);
    }
}

void TestTransportInputs::aSongPassedInAMomentIsAnnouncedButNotCounted()
{
    for (const Input& input : inputs()) {
        // A machine too busy to keep the pace has the round again.
        bool paced = false;
        for (int round = 0; round < 3 && !paced; ++round) {
            playAlbum(quick, QStringLiteral("Q1"));
            const int passedBefore = playCount(QStringLiteral("Q2"));
            const int landedBefore = playCount(QStringLiteral("Q3"));
            listener.media.clear();

            // Two skips a user's pace apart: the first song passed, the second landed on.
            QElapsedTimer clock;
            clock.start();
            input.second();
            QTest::qWait(PaceMs);
            input.second();
            QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), QStringLiteral("Q3"), Timeout);
            paced = clock.elapsed() < QuickSongMs / 4;
            // The song landed on plays and counts once half of it has been heard.
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
            QTRY_COMPARE_WITH_TIMEOUT(playCount(QStringLiteral("Q3")), landedBefore + 1, Timeout);
            // Each song moved to was told, in order.
            QTRY_VERIFY_WITH_TIMEOUT(listener.titles().contains(QStringLiteral("Q3")), Timeout);
            const QStringList told = listener.titles();
            QVERIFY2(told.indexOf(QStringLiteral("Q2")) >= 0
                         && told.indexOf(QStringLiteral("Q2")) < told.indexOf(QStringLiteral("Q3")),
                     qPrintable(told.join(QLatin1Char(' '))));
            if (!paced)
                continue;
            // The store's write of the landed song comes after any of the song passed.
            FixtureLibrary::settleStore();
            QVERIFY2(playCount(QStringLiteral("Q2")) == passedBefore, input.first);
        }
        QVERIFY2(paced, input.first);
    }
}

void TestTransportInputs::everySkipCountsHoweverTheyComeIn()
{
    // Calls on the bus as another program may send them: some in one burst, some a turn of
    // the loop apart, some a few milliseconds apart, while songs load and report. Every one
    // moves the queue a song on: 100 of them go round the seven songs to the third.
    playAlbum(seven, QStringLiteral("One"));
    int sent = 0;
    for (int round = 0; sent < 100; ++round) {
        const int burst = 1 + round % 4;
        for (int i = 0; i < burst && sent < 100; ++i, ++sent)
            callNext();
        QTest::qWait(round % 3 == 0 ? 0 : round % 5 + 1);
    }
    // A call with a reply is answered once all those before it are carried out.
    const QDBusPendingCall answer = caller.asyncCall(QDBusMessage::createMethodCall(
        Service, QStringLiteral("/"), Interface, QStringLiteral("playbackState")));
    QTRY_VERIFY_WITH_TIMEOUT(answer.isFinished(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), QStringLiteral("Three"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QTest::qWait(500);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Three"));

    // Taps on the player's Next button, each within the wait for the next one, while the song
    // the first one left still reports: 9 taps, two songs past the start again.
    playAlbum(seven, QStringLiteral("One"));
    QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
    for (int i = 0; i < 9; ++i) {
        tapNext();
        QTest::qWait(40 + (i % 3) * 30);
    }
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Three"));
    QTRY_VERIFY_WITH_TIMEOUT(!hub->isSettling(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QTest::qWait(500);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Three"));
    QCOMPARE(hub->currentIndex(hub->mode()), 2);

    // A tap right as the song an earlier one landed on loads: the word the controller sends
    // of that song comes while the next change waits, and takes nothing back.
    for (const QString& title : { QStringLiteral("Four"), QStringLiteral("Five") }) {
        QTRY_VERIFY_WITH_TIMEOUT(!hub->isSettling(), Timeout);
        tapNext();
        QCOMPARE(hub->title(hub->mode()), title);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!hub->isSettling(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QTest::qWait(500);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Five"));
    QCOMPARE(hub->currentIndex(hub->mode()), 4);

    // Taps that go on while the song left ends and the controller moves on by itself: the
    // song it moved to is not where the taps are. Eight taps through five songs: the fourth.
    playAlbum(quick, QStringLiteral("Q1"));
    hub->setPosition(3, hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 3, Timeout);
    for (int i = 0; i < 8; ++i) {
        tapNext();
        QTest::qWait(150);
    }
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Q4"));
    QTRY_VERIFY_WITH_TIMEOUT(!hub->isSettling(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Q4"));
    QCOMPARE(hub->currentIndex(hub->mode()), 3);
}

void TestTransportInputs::aSeekOrAResumeRightAfterSkipsActsWhereTheyLand()
{
    // A seek while a change of song waits out its delay seeks the song landed on, loaded once.
    playAlbum(seven, QStringLiteral("One"));
    QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
    hub->skip({ 2 }, 400);
    QVERIFY(hub->isSettling());
    hub->setPosition(10, hub->mode());
    QVERIFY(!hub->isSettling());
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Three"));
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 11, Timeout);
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(loads.count(), 1);

    // A resume while it waits plays the song landed on from its start, not the paused one
    // left.
    hub->pause();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    loads.clear();
    hub->skip({ 1 }, 400);
    hub->play(hub->mode());
    QVERIFY(!hub->isSettling());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Four"));
    QVERIFY(hub->position(hub->mode()) < 5);
    QCOMPARE(loads.count(), 1);
    QTest::qWait(500);
    QCOMPARE(loads.count(), 1);
}

void TestTransportInputs::aPauseBehindAFileOfTheLibraryWaitsForIt()
{
    // A file of the music folder is asked of the store before it plays: the pause sent right
    // behind it is the file's, which waits paused, and what played before plays on until then.
    playAlbum(seven, QStringLiteral("One"), false);
    QCOMPARE(playAndPause(FixtureLibrary::pathOf(QStringLiteral("Kim/Red/2.ogg"))), 2);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), QStringLiteral("Scarlet"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QTest::qWait(1000);
    QCOMPARE(hub->state(hub->mode()), PlayState::Paused);

    // One the store does not hold (not indexed yet): the pause acts on what plays.
    playAlbum(seven, QStringLiteral("One"), false);
    const QString unread = FixtureLibrary::pathOf(QStringLiteral("Kim/Red/not read yet.ogg"));
    QVERIFY(AudioGenerator::write(unread,
                                  AudioTags { QStringLiteral("Unread"), QStringLiteral("Kim"),
                                              QString(), QString(), QString(), 0, 0, QImage() },
                                  3000));
    QCOMPARE(playAndPause(unread), 2);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("One"));
    QFile::remove(unread);
}

PARLOVANCE_TEST_MAIN(TestTransportInputs)
#include "tst_transportinputs.moc"
