#include "qmkeyshook.h"

#include <QCoreApplication>
#include <QTimer>

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

bool QmKeysHook::pressQtKey(int qtKey)
{
    const QmKeys::Key key = keyForQtKey(qtKey);
    if (key == QmKeys::UnknownKey)
        return false;
    if (held.contains(qtKey))
        return true; // already held: the timer repeats it
    held.insert(qtKey, key);
    emit keyEvent(key, QmKeys::KeyDown);
    if (!repeatTimer->isActive())
        repeatTimer->start();
    return true;
}

bool QmKeysHook::releaseQtKey(int qtKey)
{
    const QmKeys::Key key = keyForQtKey(qtKey);
    if (key == QmKeys::UnknownKey)
        return false;
    if (!held.remove(qtKey))
        return true; // a release without a press (focus came in with the key down)
    if (held.isEmpty())
        repeatTimer->stop();
    emit keyEvent(key, QmKeys::KeyUp);
    return true;
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
    const auto keys = held.values();
    for (QmKeys::Key key : keys)
        emit keyEvent(key, QmKeys::KeyDown);
}

} // namespace MeeGo
