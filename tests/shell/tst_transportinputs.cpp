// The three inputs that skip songs, side by side over the real playback hub playing a real
// library: the player's Next button tapped on the now-playing page, the Next media key, and the
// playback service's `next` called over a real private session bus. At the same pace they pass
// songs alike: only a song that really plays is loaded, counted as played in the store and
// announced to other programs.

#include "hubtestlibrary.h"
#include "mafwtrackermodel.h"
#include "mapplicationwindow.h"
#include "mbutton.h"
#include "mscenewindow.h"
#include "player/nowplayingpage.h"
#include "player/parlovancekeyhandler.h"
#include "player/playercontrolswidget.h"
#include "playback/playstate.h"
#include "playback/queuecursor.h"
#include "qmkeyshook.h"
#include "shell/parlovanceservice.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "zelplaycontrols.h"

#include <QDBusConnection>
#include <QDBusMessage>
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
// The pace of a user skipping songs: well below the time the hub lets skips settle.
const int PaceMs = 150;

// What another program hears of the service's media.
class MediaListener : public QObject
{
    Q_OBJECT

public:
    QList<QStringList> media;

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
    void buttonsKeysAndTheBusPassSongsAlike();
    void aSeekOrAResumeRightAfterSkipsActsWhereTheyLand();

private:
    void playSeven();

    PlayState* hub = nullptr;
    QSharedPointer<MafwTrackerModel> seven;
    MApplicationWindow* window = nullptr;
    NowPlayingPage* page = nullptr;
    QDBusConnection caller = QDBusConnection(QString());
    MediaListener listener;
};

void TestTransportInputs::initTestCase()
{
    QVERIFY(HubTestLibrary::build());
    ParlovanceKeyHandler::instance();
    hub = PlayState::instance();
    seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
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

void TestTransportInputs::playSeven()
{
    hub->stop(hub->mode());
    hub->setShuffle(false);
    hub->appendModel(seven.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(0, PlayState::PlayNow);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), QStringLiteral("One"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(page->controls()->nextControl()->isEnabled(), Timeout);
}

void TestTransportInputs::buttonsKeysAndTheBusPassSongsAlike()
{
    MButton* next = page->controls()->nextControl();
    const QList<QPair<const char*, std::function<void()>>> inputs = {
        { "button", [&]() { TouchDriver(window).tap(next->mapToScene(next->rect().center())); } },
        { "key",
          []() {
              QmKeysHook::instance()->injectKeyEvent(QmKeys::NextKey, QmKeys::KeyDown);
              QmKeysHook::instance()->injectKeyEvent(QmKeys::NextKey, QmKeys::KeyUp);
          } },
        { "bus",
          [&]() {
              const QDBusMessage call = QDBusMessage::createMethodCall(Service, QStringLiteral("/"),
                                                                       Interface,
                                                                       QStringLiteral("next"));
              caller.call(call, QDBus::NoBlock);
          } },
    };
    for (const auto& input : inputs) {
        // A machine too busy to keep the pace has the round again.
        bool paced = false;
        for (int round = 0; round < 3 && !paced; ++round) {
            playSeven();
            const int twoBefore = playCount(QStringLiteral("Two"));
            const int threeBefore = playCount(QStringLiteral("Three"));
            QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
            listener.media.clear();

            // Two skips a user's pace apart: the first song passed, the second landed on.
            QElapsedTimer clock;
            clock.start();
            input.second();
            QTest::qWait(PaceMs);
            input.second();
            QTRY_COMPARE_WITH_TIMEOUT(hub->title(hub->mode()), QStringLiteral("Three"), Timeout);
            paced = clock.elapsed() < QueueCursor::SettleMs;
            QTRY_VERIFY_WITH_TIMEOUT(!hub->isSettling(), Timeout);
            QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
            // The song landed on plays, is counted and is told; its store write comes after
            // any of the song passed.
            QTRY_COMPARE_WITH_TIMEOUT(playCount(QStringLiteral("Three")), threeBefore + 1, Timeout);
            QTRY_VERIFY_WITH_TIMEOUT(listener.media.contains(QStringList { QStringLiteral("0"),
                                                                           QStringLiteral("Three"),
                                                                           QStringLiteral("Kim") }),
                                     Timeout);
            if (!paced)
                continue;
            QVERIFY2(loads.count() == 1, input.first);
            QVERIFY2(playCount(QStringLiteral("Two")) == twoBefore, input.first);
            for (const QStringList& media : qAsConst(listener.media))
                QVERIFY2(media.value(1) != QLatin1String("Two"), input.first);
        }
        QVERIFY2(paced, input.first);
    }
}

void TestTransportInputs::aSeekOrAResumeRightAfterSkipsActsWhereTheyLand()
{
    // A seek while the skips settle seeks the song they land on, loaded once.
    playSeven();
    QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
    hub->skip({ 2 });
    QVERIFY(hub->isSettling());
    hub->setPosition(10, hub->mode());
    QVERIFY(!hub->isSettling());
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Three"));
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 11, Timeout);
    QCOMPARE(hub->state(hub->mode()), PlayState::Playing);
    QCOMPARE(loads.count(), 1);

    // A resume while they settle plays the song they land on from its start, not the paused
    // one they left.
    hub->pause();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Paused, Timeout);
    loads.clear();
    hub->skip({ 1 });
    hub->play(hub->mode());
    QVERIFY(!hub->isSettling());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(hub->mode()), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(hub->mode()), QStringLiteral("Four"));
    QVERIFY(hub->position(hub->mode()) < 5);
    QCOMPARE(loads.count(), 1);
    QTest::qWait(QueueCursor::SettleMs + 100);
    QCOMPARE(loads.count(), 1);
}

PARLOVANCE_TEST_MAIN(TestTransportInputs)
#include "tst_transportinputs.moc"
