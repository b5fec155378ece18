// The media keys, injected as the device's key daemon reports them, steer the real playback hub
// playing a real library: toggles, stop, skips on release, seeking while held, and the headset
// button's long and double presses; keys that come faster than songs load land as one change.
// The keyboard's keys reach them through the application window as the window system delivers
// them, Shift and focus changes included.

#include "fixturelibrary.h"
#include "hubtestlibrary.h"
#include "mapplicationwindow.h"
#include "mafwtrackermodel.h"
#include "player/parlovancekeyhandler.h"
#include "playback/playstate.h"
#include "qmkeyshook.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using MeeGo::QmKeys;
using MeeGo::QmKeysHook;

namespace {
const int Timeout = 20000;
// The X server's key codes of the physical keys, which Qt reports as native scan codes: on its
// own keymap the play key is the pause key with Shift.
const quint32 ShiftScanCode = 50;
const quint32 PlayScanCode = 172;
const quint32 NextScanCode = 171;
const quint32 StopScanCode = 174;
const quint32 PreviousScanCode = 173;
const quint32 RewindScanCode = 176;
} // namespace

class TestKeyHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void playPauseStopAndSkips();
    void seekingEndsWithTheReleaseOrAnotherKey();
    void aHeldWindKeyStopsAtTheSongItMovesTo();
    void headsetButtonTogglesHoldsAndDoublePresses();
    void noKeyActsWhileAudioIsTaken();
    void aBurstOfSkipsLoadsOnlyWhereItLands();
    void theLastKeyOfABurstHolds();
    void aHoldAfterSkipsInOneTurnIsWhereTheBurstEnds();
    void pauseTypedWithShiftIsLetGoAsPlay();
    void aKeyHeldAsTheWindowSystemRepeatsItIsOneHold();
    void keyHeldWhenTheWindowLosesTheKeyboardIsLetGo();
    void cleanup();
    void cleanupTestCase();

private:
    static void key(QmKeys::Key key, QmKeys::State state)
    {
        QmKeysHook::instance()->injectKeyEvent(key, state);
    }
    static void click(QmKeys::Key k)
    {
        key(k, QmKeys::KeyDown);
        key(k, QmKeys::KeyUp);
    }
    // Hands a key event to a window as the window system would, with the physical key's code.
    static void sendKey(QWidget* to, QEvent::Type type, int qtKey, quint32 scanCode,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool repeat = false,
                        ulong timestamp = 0)
    {
        QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, QString(), repeat);
        event.setTimestamp(timestamp);
        QCoreApplication::sendEvent(to->windowHandle(), &event);
    }
    // A key held for heldMs as the window system delivers it: a press, then every 40 ms a
    // release and a press at the same time, which the window system marks as a repeat only now
    // and then, and the release.
    void holdKey(int qtKey, quint32 scanCode, int heldMs)
    {
        static ulong clock = 1000000;
        clock += 10000;
        sendKey(window.get(), QEvent::KeyPress, qtKey, scanCode, Qt::NoModifier, false, clock);
        QTest::qWait(40);
        for (int t = 40; t < heldMs; t += 40) {
            clock += 40;
            const bool marked = (t / 40) % 3 == 0;
            sendKey(window.get(), QEvent::KeyRelease, qtKey, scanCode, Qt::NoModifier, marked,
                    clock);
            sendKey(window.get(), QEvent::KeyPress, qtKey, scanCode, Qt::NoModifier, marked,
                    clock);
            QTest::qWait(40);
        }
        clock += 40;
        sendKey(window.get(), QEvent::KeyRelease, qtKey, scanCode, Qt::NoModifier, false, clock);
    }
    void typeKey(int qtKey, quint32 scanCode)
    {
        sendKey(window.get(), QEvent::KeyPress, qtKey, scanCode);
        sendKey(window.get(), QEvent::KeyRelease, qtKey, scanCode);
    }
    // Shows the application window with the keyboard, and makes the hook repeat held keys
    // quickly, so that a key left held shows soon.
    bool activateWindow();
    // The last key event was a release and no press repeats after it.
    static bool noKeyHeld(const QSignalSpy& spy);
    QString title() const { return hub->title(hub->mode()); }
    PlayState::State state() const { return hub->state(hub->mode()); }

    PlayState* hub = nullptr;
    QSharedPointer<MafwTrackerModel> seven;
    std::unique_ptr<MApplicationWindow> window;
};

void TestKeyHandler::initTestCase()
{
    QVERIFY(HubTestLibrary::build());
    ParlovanceKeyHandler::instance();
    hub = PlayState::instance();
    seven = HubTestLibrary::album(QStringLiteral("Seven"));
    QVERIFY(seven);
}

void TestKeyHandler::init()
{
    hub->setAudioAvailable(true);
    hub->appendModel(seven.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(2, PlayState::AllSongsQueue);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Three"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    // Far enough apart from the previous case's last release to be no double press.
    QTest::qWait(350);
}

void TestKeyHandler::playPauseStopAndSkips()
{
    click(QmKeys::PlayPauseKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    click(QmKeys::PlayPauseKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    click(QmKeys::PauseKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    click(QmKeys::PlayKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);

    // A skip happens when the key is let go, not while it is held.
    key(QmKeys::NextKey, QmKeys::KeyDown);
    key(QmKeys::NextKey, QmKeys::KeyDown);
    QTest::qWait(300);
    QCOMPARE(title(), QStringLiteral("Three"));
    key(QmKeys::NextKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Four"), Timeout);
    click(QmKeys::PreviousKey);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Three"), Timeout);

    click(QmKeys::StopKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Stopped, Timeout);
    // Keys the player does not use change nothing.
    click(QmKeys::VolumeUpKey);
    click(QmKeys::CameraKey);
    QCOMPARE(state(), PlayState::Stopped);
}

void TestKeyHandler::seekingEndsWithTheReleaseOrAnotherKey()
{
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 1, Timeout);
    const uint before = hub->position(hub->mode());
    key(QmKeys::FastForwardKey, QmKeys::KeyDown);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= before + 3, Timeout);
    // Next while forwarding: normal play again first, the skip on its release.
    key(QmKeys::NextKey, QmKeys::KeyDown);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QCOMPARE(title(), QStringLiteral("Three"));
    key(QmKeys::NextKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Four"), Timeout);

    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 4, Timeout);
    key(QmKeys::RewindKey, QmKeys::KeyDown);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) <= 1, Timeout);
    key(QmKeys::RewindKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QCOMPARE(title(), QStringLiteral("Four"));
}

void TestKeyHandler::aHeldWindKeyStopsAtTheSongItMovesTo()
{
    // Rewind held at a song's start, its press repeated as the platform repeats a held key:
    // one song back, where the wind ends; the repeats and the release move nothing more, and
    // the song moved to loads once and plays on. With repeat off the queue does not wrap.
    hub->setRepeat(false);
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
    QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
    const auto hold = [](QmKeys::Key k, int repeats) {
        for (int i = 0; i < repeats; ++i) {
            key(k, QmKeys::KeyDown);
            QTest::qWait(100);
        }
    };
    hold(QmKeys::RewindKey, 15);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Two"), Timeout);
    hold(QmKeys::RewindKey, 5);
    key(QmKeys::RewindKey, QmKeys::KeyUp);
    QTRY_VERIFY_WITH_TIMEOUT(!hub->seekBoundReached(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 1, Timeout);
    QCOMPARE(title(), QStringLiteral("Two"));
    QCOMPARE(songs.count(), 1);
    QCOMPARE(loads.count(), 1);

    // Fast forward held near a song's end: on to the next song, and no further.
    hub->setPosition(uint(hub->duration(hub->mode()) - 2), hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= uint(hub->duration(hub->mode()) - 2),
                             Timeout);
    songs.clear();
    loads.clear();
    hold(QmKeys::FastForwardKey, 15);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Three"), Timeout);
    hold(QmKeys::FastForwardKey, 5);
    key(QmKeys::FastForwardKey, QmKeys::KeyUp);
    QTRY_VERIFY_WITH_TIMEOUT(!hub->seekBoundReached(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 1, Timeout);
    QCOMPARE(title(), QStringLiteral("Three"));
    QCOMPARE(songs.count(), 1);
    QCOMPARE(loads.count(), 1);

    // A wind that ends before a bound still ends with its release, where it got to.
    const uint before = hub->position(hub->mode());
    hold(QmKeys::FastForwardKey, 3);
    key(QmKeys::FastForwardKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QVERIFY(hub->position(hub->mode()) >= before + 3);
    QCOMPARE(title(), QStringLiteral("Three"));
}

void TestKeyHandler::headsetButtonTogglesHoldsAndDoublePresses()
{
    // One press and release pauses; another, later, plays.
    click(QmKeys::HeadsetButtonKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    QTest::qWait(350);
    click(QmKeys::HeadsetButtonKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);

    // Held (the press repeats) for about 4.5 s: a skip at 2 s and at 4 s, and no toggle at
    // the release.
    QTest::qWait(350);
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
    for (int held = 0; held <= 4500; held += 250) {
        key(QmKeys::HeadsetButtonKey, QmKeys::KeyDown);
        QTest::qWait(250);
    }
    key(QmKeys::HeadsetButtonKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Five"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QTest::qWait(400);
    QCOMPARE(title(), QStringLiteral("Five"));
    QCOMPARE(state(), PlayState::Playing);

    // Press, release, press within 300 ms: the first release toggles, the second press pauses
    // and its release does nothing.
    click(QmKeys::HeadsetButtonKey);
    key(QmKeys::HeadsetButtonKey, QmKeys::KeyDown);
    key(QmKeys::HeadsetButtonKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    QTest::qWait(300);
    QCOMPARE(state(), PlayState::Paused);
}

void TestKeyHandler::noKeyActsWhileAudioIsTaken()
{
    hub->setAudioAvailable(false);
    click(QmKeys::PlayPauseKey);
    click(QmKeys::NextKey);
    click(QmKeys::HeadsetButtonKey);
    QTest::qWait(300);
    QCOMPARE(state(), PlayState::Playing);
    QCOMPARE(title(), QStringLiteral("Three"));
    hub->setAudioAvailable(true);
}

// Keys that come in one go, as from a keyboard flooded by a program, before the loop turns.
void TestKeyHandler::aBurstOfSkipsLoadsOnlyWhereItLands()
{
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));
    QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
    for (int i = 0; i < 40; ++i)
        click(QmKeys::NextKey);
    for (int i = 0; i < 3; ++i)
        click(QmKeys::PreviousKey);
    // Three, 37 songs on in a queue of seven.
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Five"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QCOMPARE(songs.count(), 1);
    QCOMPARE(loads.count(), 1);
}

void TestKeyHandler::theLastKeyOfABurstHolds()
{
    // An even number of toggles leaves the song playing, with no pause on the way.
    QSignalSpy states(hub, SIGNAL(stateChanged(PlayState::State)));
    for (int i = 0; i < 10; ++i)
        click(QmKeys::PlayPauseKey);
    QTest::qWait(300);
    QCOMPARE(state(), PlayState::Playing);
    QCOMPARE(states.count(), 0);
    for (int i = 0; i < 9; ++i)
        click(QmKeys::PlayPauseKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);

    // Play, a tap of fast forward and next, twelve times: the song twelve on plays from its
    // start, loaded once.
    QSignalSpy loads(ZelPlayControls::instance(), SIGNAL(playbackAboutToStart()));
    for (int i = 0; i < 12; ++i) {
        click(QmKeys::PlayKey);
        click(QmKeys::FastForwardKey);
        click(QmKeys::NextKey);
    }
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("One"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QCOMPARE(loads.count(), 1);
    QVERIFY(hub->position(hub->mode()) < 2);

    // Ending on a stop, the queue moves and stops.
    for (int i = 0; i < 5; ++i) {
        click(QmKeys::NextKey);
        click(QmKeys::StopKey);
    }
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Stopped, Timeout);
    QCOMPARE(title(), QStringLiteral("Six"));

    // A fast forward still held at the end winds the song the skips land on until it is let go.
    click(QmKeys::PlayKey);
    click(QmKeys::NextKey);
    key(QmKeys::FastForwardKey, QmKeys::KeyDown);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Seven"), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 3, Timeout);
    key(QmKeys::FastForwardKey, QmKeys::KeyUp);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QVERIFY(hub->position(hub->mode()) >= 3);
}

void TestKeyHandler::aHoldAfterSkipsInOneTurnIsWhereTheBurstEnds()
{
    // A playlist file plays its entries in turn: a skip starts the entry it lands on, and the
    // pause or stop typed after it in the same turn still holds there.
    const QString list = TestEnvironment::home() + QStringLiteral("/Downloads/seven.m3u");
    QVERIFY(QDir().mkpath(QFileInfo(list).absolutePath()));
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const char* song : { "Kim/Seven/1.ogg", "Kim/Seven/2.ogg", "Kim/Seven/3.ogg" })
        file.write(QFile::encodeName(FixtureLibrary::pathOf(QLatin1String(song))) + '\n');
    file.close();
    hub->playStream(QUrl::fromLocalFile(list));
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("One"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    hub->setPosition(2, hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 2, Timeout);
    click(QmKeys::NextKey);
    click(QmKeys::PauseKey);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Two"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    QTest::qWait(500);
    QCOMPARE(state(), PlayState::Paused);
    // Paused before it has played, the entry stands at its start, not where the last one was.
    QCOMPARE(hub->position(hub->mode()), 0u);
    click(QmKeys::PlayKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    click(QmKeys::NextKey);
    click(QmKeys::StopKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Stopped, Timeout);
    QTest::qWait(500);
    QCOMPARE(state(), PlayState::Stopped);

    // A song heard for 5 s starts again at a previous; the stop after it leaves it stopped,
    // not paused at its start.
    init();
    hub->setPosition(5, hub->mode());
    QTRY_VERIFY_WITH_TIMEOUT(hub->position(hub->mode()) >= 5, Timeout);
    click(QmKeys::PreviousKey);
    click(QmKeys::StopKey);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Stopped, Timeout);
    QTest::qWait(500);
    QCOMPARE(state(), PlayState::Stopped);
    QCOMPARE(title(), QStringLiteral("Three"));
    QCOMPARE(ZelPlayControls::instance()->state(), MafwRenderer::Stopped);
}

bool TestKeyHandler::activateWindow()
{
    if (!window)
        window = std::make_unique<MApplicationWindow>();
    window->show();
    window->activateWindow();
    QmKeysHook::instance()->setRepeatInterval(50);
    return QTest::qWaitForWindowActive(window.get());
}

bool TestKeyHandler::noKeyHeld(const QSignalSpy& spy)
{
    if (spy.isEmpty() || spy.last().at(1).value<QmKeys::State>() != QmKeys::KeyUp)
        return false;
    const int count = spy.count();
    QTest::qWait(4 * QmKeysHook::instance()->repeatInterval());
    return spy.count() == count;
}

void TestKeyHandler::aKeyHeldAsTheWindowSystemRepeatsItIsOneHold()
{
    QVERIFY(activateWindow());
    hub->setRepeat(false);
    QSignalSpy songs(hub, SIGNAL(songChanged(QString, QString, QString, int, bool)));

    // Rewind held 1.5 s at a song's start: one song back, and no further.
    holdKey(Qt::Key_AudioRewind, RewindScanCode, 1500);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Two"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QTest::qWait(300);
    QCOMPARE(title(), QStringLiteral("Two"));
    QCOMPARE(songs.count(), 1);

    // Previous held: nothing while it is held, one song back once it is let go.
    QTest::qWait(350);
    songs.clear();
    holdKey(Qt::Key_MediaPrevious, PreviousScanCode, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("One"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QTest::qWait(300);
    QCOMPARE(title(), QStringLiteral("One"));
    QCOMPARE(songs.count(), 1);
}

void TestKeyHandler::pauseTypedWithShiftIsLetGoAsPlay()
{
    QVERIFY(activateWindow());
    QmKeys keys;
    QSignalSpy events(&keys, &QmKeys::keyEvent);

    // The pause key as the keyboard types it: Shift down, play key down, Shift up, play key
    // up; the release comes as the play key's.
    sendKey(window.get(), QEvent::KeyPress, Qt::Key_Shift, ShiftScanCode);
    sendKey(window.get(), QEvent::KeyPress, Qt::Key_MediaPause, PlayScanCode, Qt::ShiftModifier);
    sendKey(window.get(), QEvent::KeyRelease, Qt::Key_Shift, ShiftScanCode, Qt::ShiftModifier);
    sendKey(window.get(), QEvent::KeyRelease, Qt::Key_MediaPlay, PlayScanCode);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    QCOMPARE(events.count(), 2);
    QCOMPARE(events.at(0).at(0).value<QmKeys::Key>(), QmKeys::PauseKey);
    QCOMPARE(events.at(1).at(0).value<QmKeys::Key>(), QmKeys::PauseKey);
    QVERIFY(noKeyHeld(events));

    // The other keys work on, and nothing pauses what they start.
    typeKey(Qt::Key_MediaPlay, PlayScanCode);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    typeKey(Qt::Key_MediaNext, NextScanCode);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Four"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QVERIFY(noKeyHeld(events));
    QCOMPARE(state(), PlayState::Playing);
    typeKey(Qt::Key_MediaStop, StopScanCode);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Stopped, Timeout);
    QVERIFY(noKeyHeld(events));
    QCOMPARE(state(), PlayState::Stopped);
}

void TestKeyHandler::keyHeldWhenTheWindowLosesTheKeyboardIsLetGo()
{
    QVERIFY(activateWindow());
    QmKeys keys;
    QSignalSpy events(&keys, &QmKeys::keyEvent);

    sendKey(window.get(), QEvent::KeyPress, Qt::Key_Shift, ShiftScanCode);
    sendKey(window.get(), QEvent::KeyPress, Qt::Key_MediaPause, PlayScanCode, Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Paused, Timeout);
    // Another window takes the keyboard while the key is down, and has its release.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!window->isActiveWindow());
    sendKey(&other, QEvent::KeyRelease, Qt::Key_MediaPause, PlayScanCode, Qt::ShiftModifier);
    sendKey(&other, QEvent::KeyRelease, Qt::Key_Shift, ShiftScanCode, Qt::ShiftModifier);
    QCOMPARE(events.last().at(0).value<QmKeys::Key>(), QmKeys::PauseKey);
    QVERIFY(noKeyHeld(events));

    // Back in the window, the play key plays, and no held pause undoes it. The window system
    // that never saw the release marks the next press of that key as a repeat.
    QVERIFY(activateWindow());
    sendKey(window.get(), QEvent::KeyPress, Qt::Key_MediaPlay, PlayScanCode, Qt::NoModifier, true);
    sendKey(window.get(), QEvent::KeyRelease, Qt::Key_MediaPlay, PlayScanCode);
    QTRY_COMPARE_WITH_TIMEOUT(state(), PlayState::Playing, Timeout);
    QVERIFY(noKeyHeld(events));
    QCOMPARE(state(), PlayState::Playing);
}

void TestKeyHandler::cleanup()
{
    QmKeysHook::instance()->setRepeatInterval(500);
}

void TestKeyHandler::cleanupTestCase()
{
    window.reset();
}

PARLOVANCE_TEST_MAIN(TestKeyHandler)
#include "tst_keyhandler.moc"
