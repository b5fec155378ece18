#include "qmkeyshook.h"

#include <QCoreApplication>
#include <QTimer>

#include <utility>

namespace MeeGo {

namespace {
QmKeysHook* hookInstance = nullptr;
const int DefaultRepeatInterval = 500;
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
{
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

bool QmKeysHook::pressQtKey(int qtKey, quint32 nativeScanCode)
{
    const QmKeys::Key key = keyForQtKey(qtKey);
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

bool QmKeysHook::releaseQtKey(int qtKey, quint32 nativeScanCode)
{
    const int index = heldIndex(qtKey, nativeScanCode);
    if (index < 0) // a release without a press (focus came in with the key down)
        return keyForQtKey(qtKey) != QmKeys::UnknownKey;
    // The device key of the press: the keymap may name the released key differently.
    const QmKeys::Key key = held.takeAt(index).key;
    if (held.isEmpty())
        repeatTimer->stop();
    emit keyEvent(key, QmKeys::KeyUp);
    return true;
}

void QmKeysHook::releaseHeldKeys()
{
    // Forgotten before the releases are reported, so that a listener sees no key held.
    const QVector<HeldKey> released = std::exchange(held, {});
    repeatTimer->stop();
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
    // A copy: a listener may press or release keys in turn.
    const QVector<HeldKey> keys = held;
    for (const HeldKey& h : keys)
        emit keyEvent(h.key, QmKeys::KeyDown);
}

} // namespace MeeGo
