#include "qmkeys.h"
#include "qmkeyshook.h"
#include "qmsystemstate.h"
#include "qmusbmode.h"
#include "testenvironment.h"

#include <QSignalSpy>

using MeeGo::QmKeys;
using MeeGo::QmKeysHook;
using MeeGo::QmSystemState;
using MeeGo::QmUSBMode;

class TestQmSystem : public QObject
{
    Q_OBJECT

private slots:
    void usbModeDefaultsToDisconnected();
    void usbModeIsSharedByAllInstances();
    void usbModeSurvivesListenerDeletingAnInstance();
    void systemStateReachesEveryInstance();
    void mediaKeysArePressedRepeatedAndReleased();
    void releaseEndsTheKeyItsPhysicalKeyPressed();
    void aRepeatSentAsAReleaseAndAPressKeepsTheKeyHeld();
    void otherKeysAreNotMediaKeys();
    void injectedKeyEventsReachEveryListener();
};

void TestQmSystem::usbModeDefaultsToDisconnected()
{
    QmUSBMode mode;
    QCOMPARE(int(mode.getMode()), 2);
    QVERIFY(mode.getMode() != QmUSBMode::MassStorage);
    QVERIFY(mode.getMode() != QmUSBMode::SyncMode);
}

void TestQmSystem::usbModeIsSharedByAllInstances()
{
    QmUSBMode first;
    QmUSBMode second;
    QSignalSpy firstSpy(&first, &QmUSBMode::modeChanged);
    QSignalSpy secondSpy(&second, &QmUSBMode::modeChanged);

    QmUSBMode::injectModeForTesting(QmUSBMode::MassStorage);
    QCOMPARE(int(first.getMode()), 3);
    QCOMPARE(int(second.getMode()), 3);
    QCOMPARE(firstSpy.count(), 1);
    QCOMPARE(secondSpy.count(), 1);
    QCOMPARE(secondSpy.at(0).at(0).value<QmUSBMode::Mode>(), QmUSBMode::MassStorage);

    // An instance made later sees the mode too; the same mode again is no change.
    QmUSBMode late;
    QCOMPARE(late.getMode(), QmUSBMode::MassStorage);
    QmUSBMode::injectModeForTesting(QmUSBMode::MassStorage);
    QCOMPARE(firstSpy.count(), 1);

    QmUSBMode::injectModeForTesting(QmUSBMode::Disconnected);
    QCOMPARE(first.getMode(), QmUSBMode::Disconnected);
    QCOMPARE(secondSpy.count(), 2);
}

void TestQmSystem::usbModeSurvivesListenerDeletingAnInstance()
{
    auto* first = new QmUSBMode;
    auto* second = new QmUSBMode;
    int reached = 0;
    connect(first, &QmUSBMode::modeChanged, this, [&] {
        ++reached;
        delete second;
    });
    connect(second, &QmUSBMode::modeChanged, this, [&] { ++reached; });
    QmUSBMode::injectModeForTesting(QmUSBMode::SyncMode);
    QCOMPARE(reached, 1);
    delete first;
    QmUSBMode::injectModeForTesting(QmUSBMode::Disconnected);
}

void TestQmSystem::systemStateReachesEveryInstance()
{
    QmSystemState a;
    QmSystemState b;
    QSignalSpy spyA(&a, &QmSystemState::systemStateChanged);
    QSignalSpy spyB(&b, &QmSystemState::systemStateChanged);
    QmSystemState::injectStateIndicationForTesting(QmSystemState::Shutdown);
    QCOMPARE(spyA.count(), 1);
    QCOMPARE(spyB.count(), 1);
    QCOMPARE(int(spyA.at(0).at(0).value<QmSystemState::StateIndication>()), 0);
}

void TestQmSystem::mediaKeysArePressedRepeatedAndReleased()
{
    QmKeys keys;
    QSignalSpy spy(&keys, &QmKeys::keyEvent);
    QmKeysHook* hook = QmKeysHook::instance();
    hook->setRepeatInterval(40);

    QVERIFY(hook->pressQtKey(Qt::Key_MediaNext));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(int(spy.at(0).at(0).value<QmKeys::Key>()), 15);
    QCOMPARE(int(spy.at(0).at(1).value<QmKeys::State>()), 2);

    // Held: the press repeats until the release.
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 3, 5000);
    for (const QList<QVariant>& event : qAsConst(spy))
        QCOMPARE(event.at(1).value<QmKeys::State>(), QmKeys::KeyDown);
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaNext));
    const int afterRelease = spy.count();
    QCOMPARE(spy.last().at(1).value<QmKeys::State>(), QmKeys::KeyUp);
    QTest::qWait(150);
    QCOMPARE(spy.count(), afterRelease);

    // A release with no press reports nothing.
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaStop));
    QCOMPARE(spy.count(), afterRelease);
    hook->setRepeatInterval(500);
}

void TestQmSystem::releaseEndsTheKeyItsPhysicalKeyPressed()
{
    QmKeys keys;
    QSignalSpy spy(&keys, &QmKeys::keyEvent);
    QmKeysHook* hook = QmKeysHook::instance();
    hook->setRepeatInterval(40);
    const auto event = [&](int i) {
        return qMakePair(spy.at(i).at(0).value<QmKeys::Key>(),
                         spy.at(i).at(1).value<QmKeys::State>());
    };
    const auto noRepeatFollows = [&] {
        const int count = spy.count();
        QTest::qWait(200);
        return spy.count() == count;
    };

    // Shift with the play key goes down as pause and, Shift let go first, comes up as play.
    QVERIFY(hook->pressQtKey(Qt::Key_MediaPause, 172));
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaPlay, 172));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(event(0), qMakePair(QmKeys::PauseKey, QmKeys::KeyDown));
    QCOMPARE(event(1), qMakePair(QmKeys::PauseKey, QmKeys::KeyUp));
    QVERIFY(noRepeatFollows());

    // A physical key whose release is no media key in the keymap; another key held meanwhile
    // keeps being held.
    spy.clear();
    QVERIFY(hook->pressQtKey(Qt::Key_MediaNext, 171));
    QVERIFY(hook->pressQtKey(Qt::Key_MediaStop, 174));
    QVERIFY(hook->releaseQtKey(Qt::Key_F5, 171));
    QVERIFY(!hook->releaseQtKey(Qt::Key_F6, 75));
    QCOMPARE(event(spy.count() - 1), qMakePair(QmKeys::NextKey, QmKeys::KeyUp));
    QTRY_COMPARE_WITH_TIMEOUT(spy.last().at(0).value<QmKeys::Key>(), QmKeys::StopKey, 5000);
    QCOMPARE(spy.last().at(1).value<QmKeys::State>(), QmKeys::KeyDown);

    // Let go of everything held: the release is reported, and nothing repeats afterwards.
    hook->releaseHeldKeys();
    QCOMPARE(event(spy.count() - 1), qMakePair(QmKeys::StopKey, QmKeys::KeyUp));
    QVERIFY(noRepeatFollows());
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaStop, 174));
    QVERIFY(noRepeatFollows());
    hook->setRepeatInterval(500);
}

void TestQmSystem::aRepeatSentAsAReleaseAndAPressKeepsTheKeyHeld()
{
    QmKeys keys;
    QSignalSpy spy(&keys, &QmKeys::keyEvent);
    QmKeysHook* hook = QmKeysHook::instance();
    const auto states = [&]() {
        QList<QmKeys::State> seen;
        for (const QList<QVariant>& event : qAsConst(spy))
            seen << event.at(1).value<QmKeys::State>();
        return seen;
    };

    // A held key as the window system repeats it: a release and a press at the same time, not
    // always marked as a repeat. The key stays down until a release that no press follows.
    QVERIFY(hook->pressQtKey(Qt::Key_AudioRewind, 177, 1000));
    for (ulong at = 1500; at < 2000; at += 40) {
        QVERIFY(hook->releaseQtKey(Qt::Key_AudioRewind, 177, at));
        QVERIFY(hook->pressQtKey(Qt::Key_AudioRewind, 177, at));
    }
    QTest::qWait(50);
    QCOMPARE(states(), QList<QmKeys::State>({ QmKeys::KeyDown }));
    QVERIFY(hook->releaseQtKey(Qt::Key_AudioRewind, 177, 2100));
    QTRY_COMPARE_WITH_TIMEOUT(states(), QList<QmKeys::State>({ QmKeys::KeyDown, QmKeys::KeyUp }),
                              5000);

    // A press at another time is the key pressed again; another key's event lets the held-back
    // release go first, in the order the keys went.
    spy.clear();
    QVERIFY(hook->pressQtKey(Qt::Key_MediaNext, 171, 3000));
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaNext, 171, 3010));
    QVERIFY(hook->pressQtKey(Qt::Key_MediaNext, 171, 3020));
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaNext, 171, 3030));
    QVERIFY(hook->pressQtKey(Qt::Key_MediaStop, 174, 3030));
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaStop, 174, 3040));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 6, 5000);
    const QList<QPair<QmKeys::Key, QmKeys::State>> expected = {
        { QmKeys::NextKey, QmKeys::KeyDown }, { QmKeys::NextKey, QmKeys::KeyUp },
        { QmKeys::NextKey, QmKeys::KeyDown }, { QmKeys::NextKey, QmKeys::KeyUp },
        { QmKeys::StopKey, QmKeys::KeyDown }, { QmKeys::StopKey, QmKeys::KeyUp },
    };
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(spy.at(i).at(0).value<QmKeys::Key>(), expected.at(i).first);
        QCOMPARE(spy.at(i).at(1).value<QmKeys::State>(), expected.at(i).second);
    }

    // A release held back when the window loses the keyboard is reported with the rest, once.
    spy.clear();
    QVERIFY(hook->pressQtKey(Qt::Key_MediaNext, 171, 4000));
    QVERIFY(hook->releaseQtKey(Qt::Key_MediaNext, 171, 4100));
    hook->releaseHeldKeys();
    QTest::qWait(50);
    QCOMPARE(states(), QList<QmKeys::State>({ QmKeys::KeyDown, QmKeys::KeyUp }));
}

void TestQmSystem::otherKeysAreNotMediaKeys()
{
    QCOMPARE(QmKeysHook::keyForQtKey(Qt::Key_A), QmKeys::UnknownKey);
    QVERIFY(!QmKeysHook::instance()->pressQtKey(Qt::Key_Space));
    QCOMPARE(int(QmKeysHook::keyForQtKey(Qt::Key_MediaTogglePlayPause)), 5);
    QCOMPARE(int(QmKeysHook::keyForQtKey(Qt::Key_MediaStop)), 6);
    QCOMPARE(int(QmKeysHook::keyForQtKey(Qt::Key_AudioForward)), 7);
    QCOMPARE(int(QmKeysHook::keyForQtKey(Qt::Key_AudioRewind)), 8);
    QCOMPARE(int(QmKeysHook::keyForQtKey(Qt::Key_MediaPrevious)), 16);
    QCOMPARE(int(QmKeysHook::keyForQtKey(Qt::Key_MediaPause)), 17);
}

void TestQmSystem::injectedKeyEventsReachEveryListener()
{
    QmKeys first;
    QmKeys second;
    QSignalSpy a(&first, &QmKeys::keyEvent);
    QSignalSpy b(&second, &QmKeys::keyEvent);
    QmKeysHook::instance()->injectKeyEvent(QmKeys::HeadsetButtonKey, QmKeys::KeyUp);
    QCOMPARE(a.count(), 1);
    QCOMPARE(b.count(), 1);
    QCOMPARE(int(b.at(0).at(0).value<QmKeys::Key>()), 4);
    QCOMPARE(int(b.at(0).at(1).value<QmKeys::State>()), 0);
}

PARLOVANCE_TEST_MAIN_CORE(TestQmSystem)
#include "tst_qmsystem.moc"
