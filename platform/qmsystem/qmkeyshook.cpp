#include "qmkeyshook.h"

#include <QCoreApplication>
#include <QTimer>

#include <utility>

namespace MeeGo {

namespace {
QmKeysHook* hookInstance = nullptr;
const int DefaultRepeatInterval = 500;
// How long a release waits for the press that would make it half of a repeat. The window system
// sends the two together; this only covers their way through the event queue.
const int RepeatPairMs = 15;
} // namespace

QmKeysHook* QmKeysHook::instance()
{
    if (!hookInstance) {
        hookInstance = new QmKeysHook(QCoreApplication::instance());
        QObject::connect(hookInstance, &QObject::destroyed, [] { hookInstance = nullptr; });
    }
    return hookInstance;
}

QmKeysHook::QmKeysHook(QObject* parent)
    : QObject(parent)
    , repeatTimer(new QTimer(this))
    , releaseTimer(new QTimer(this))
{
    releaseTimer->setSingleShot(true);
    releaseTimer->setInterval(RepeatPairMs);
    connect(releaseTimer, &QTimer::timeout, this, &QmKeysHook::finishRelease);
    qRegisterMetaType<MeeGo::QmKeys::Key>("MeeGo::QmKeys::Key");
    qRegisterMetaType<MeeGo::QmKeys::State>("MeeGo::QmKeys::State");
    repeatTimer->setInterval(DefaultRepeatInterval);
    connect(repeatTimer, &QTimer::timeout, this, &QmKeysHook::repeatHeldKeys);
}

QmKeys::Key QmKeysHook::keyForQtKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_MediaPlay: // most keyboards send it from their single play/pause key
    case Qt::Key_MediaTogglePlayPause:
        return QmKeys::PlayPauseKey;
    case Qt::Key_MediaStop:
        return QmKeys::StopKey;
    case Qt::Key_MediaPrevious:
        return QmKeys::PreviousKey;
    case Qt::Key_MediaNext:
        return QmKeys::NextKey;
    case Qt::Key_MediaPause:
        return QmKeys::PauseKey;
    case Qt::Key_AudioForward:
        return QmKeys::FastForwardKey;
    case Qt::Key_AudioRewind:
        return QmKeys::RewindKey;
    default:
        return QmKeys::UnknownKey;
    }
}

int QmKeysHook::heldIndex(int qtKey, quint32 nativeScanCode) const
{
    for (int i = 0; i < held.size(); ++i) {
        const HeldKey& h = held.at(i);
        const bool scanCodesKnown = nativeScanCode != 0 && h.scanCode != 0;
        if (scanCodesKnown ? h.scanCode == nativeScanCode : h.qtKey == qtKey)
            return i;
    }
    return -1;
}

bool QmKeysHook::pressQtKey(int qtKey, quint32 nativeScanCode, ulong timestamp)
{
    const QmKeys::Key key = keyForQtKey(qtKey);
    if (releasePending) {
        const bool sameKey = nativeScanCode != 0 && pending.scanCode != 0
                                 ? nativeScanCode == pending.scanCode
                                 : qtKey == pending.qtKey;
        if (sameKey && timestamp != 0 && timestamp == pending.timestamp) {
            // The release and this press are one repeat of a key that is still held.
            releasePending = false;
            releaseTimer->stop();
            return true;
        }
        finishRelease();
    }
    if (key == QmKeys::UnknownKey)
        return false;
    if (heldIndex(qtKey, nativeScanCode) >= 0)
        return true; // already held: the timer repeats it
    held.append({ nativeScanCode, qtKey, key });
    emit keyEvent(key, QmKeys::KeyDown);
    // A listener may have had every key forgotten meanwhile.
    if (!held.isEmpty() && !repeatTimer->isActive())
        repeatTimer->start();
    return true;
}

bool QmKeysHook::releaseQtKey(int qtKey, quint32 nativeScanCode, ulong timestamp)
{
    // Another key's release held back comes first, in the order the keys went.
    if (releasePending)
        finishRelease();
    const int index = heldIndex(qtKey, nativeScanCode);
    if (index < 0) // a release without a press (focus came in with the key down)
        return keyForQtKey(qtKey) != QmKeys::UnknownKey;
    if (timestamp != 0) {
        pending = { qtKey, nativeScanCode, timestamp };
        releasePending = true;
        releaseTimer->start();
        return true;
    }
    letGo(index);
    return true;
}

void QmKeysHook::letGo(int index)
{
    // The device key of the press: the keymap may name the released key differently.
    const QmKeys::Key key = held.takeAt(index).key;
    if (held.isEmpty())
        repeatTimer->stop();
    emit keyEvent(key, QmKeys::KeyUp);
}

void QmKeysHook::finishRelease()
{
    if (!releasePending)
        return;
    releasePending = false;
    releaseTimer->stop();
    const int index = heldIndex(pending.qtKey, pending.scanCode);
    if (index >= 0)
        letGo(index);
}

void QmKeysHook::releaseHeldKeys()
{
    // Forgotten before the releases are reported, so that a listener sees no key held.
    const QVector<HeldKey> released = std::exchange(held, {});
    repeatTimer->stop();
    releasePending = false;
    releaseTimer->stop();
    for (const HeldKey& h : released)
        emit keyEvent(h.key, QmKeys::KeyUp);
}

void QmKeysHook::injectKeyEvent(QmKeys::Key key, QmKeys::State state)
{
    emit keyEvent(key, state);
}

int QmKeysHook::repeatInterval() const
{
    return repeatTimer->interval();
}

void QmKeysHook::setRepeatInterval(int ms)
{
    repeatTimer->setInterval(qMax(1, ms));
}

void QmKeysHook::repeatHeldKeys()
{
    // A copy: a listener may press or release keys in turn. A key whose release is held back
    // is on its way up.
    const QVector<HeldKey> keys = held;
    const int leaving = releasePending ? heldIndex(pending.qtKey, pending.scanCode) : -1;
    for (int i = 0; i < keys.size(); ++i) {
        if (i != leaving)
            emit keyEvent(keys.at(i).key, QmKeys::KeyDown);
    }
}

} // namespace MeeGo
