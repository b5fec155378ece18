// The media keys, injected as the device's key daemon reports them, steer the real playback hub
// playing a real library: toggles, stop, skips on release, seeking while held, and the headset
// button's long and double presses.

#include "hubtestlibrary.h"
#include "mafwtrackermodel.h"
#include "player/parlovancekeyhandler.h"
#include "playback/playstate.h"
#include "qmkeyshook.h"
#include "testenvironment.h"

#include <QSignalSpy>
#include <QtTest>

using MeeGo::QmKeys;
using MeeGo::QmKeysHook;

namespace {
const int Timeout = 20000;
} // namespace

class TestKeyHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void playPauseStopAndSkips();
    void seekingEndsWithTheReleaseOrAnotherKey();
    void headsetButtonTogglesHoldsAndDoublePresses();
    void noKeyActsWhileAudioIsTaken();

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
    QString title() const { return hub->title(hub->mode()); }
    PlayState::State state() const { return hub->state(hub->mode()); }

    PlayState* hub = nullptr;
    QSharedPointer<MafwTrackerModel> seven;
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

PARLOVANCE_TEST_MAIN(TestKeyHandler)
#include "tst_keyhandler.moc"
