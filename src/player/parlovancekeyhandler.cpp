#include "parlovancekeyhandler.h"

#include "common/logging.h"
#include "playback/playstate.h"

#include <QDebug>

#include <utility>

using MeeGo::QmKeys;

ParlovanceKeyHandler* ParlovanceKeyHandler::s_instance = nullptr;

ParlovanceKeyHandler* ParlovanceKeyHandler::instance()
{
    if (!s_instance)
        s_instance = new ParlovanceKeyHandler;
    return s_instance;
}

void ParlovanceKeyHandler::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

ParlovanceKeyHandler::ParlovanceKeyHandler()
    : QObject(nullptr)
    , keys(new QmKeys(this))
    , playState(PlayState::instance())
{
    connect(keys, SIGNAL(keyEvent(MeeGo::QmKeys::Key, MeeGo::QmKeys::State)), this,
            SLOT(handleKeyEvent(MeeGo::QmKeys::Key, MeeGo::QmKeys::State)));
}

ParlovanceKeyHandler::~ParlovanceKeyHandler()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void ParlovanceKeyHandler::handleKeyEvent(QmKeys::Key key, QmKeys::State state)
{
    if (playState->isCallActive() || !playState->isAudioAvailable())
        return;
    const bool isPress = state == QmKeys::KeyDown;
    const bool isRelease = state == QmKeys::KeyUp;

    // Another key ends a seek that a held key started.
    if (forwarding && key != QmKeys::FastForwardKey) {
        burst.endWind();
        forwarding = false;
    } else if (rewinding && key != QmKeys::RewindKey) {
        burst.endWind();
        rewinding = false;
    }

    switch (key) {
    case QmKeys::HeadsetButtonKey:
        headsetButton(state);
        break;
    case QmKeys::PlayPauseKey:
        if (isPress) {
            if (!pressTime.isValid())
                burst.toggle();
            pressed();
        } else if (isRelease) {
            released();
        }
        break;
    case QmKeys::StopKey:
        if (isPress) {
            burst.stop();
            pressed();
        } else if (isRelease) {
            released();
        }
        break;
    case QmKeys::FastForwardKey:
    case QmKeys::RewindKey:
        if (isPress) {
            // A held key's press comes again and again while it is held; the wind its first
            // press started runs by itself. Once that wind has reached a song's start or end
            // and moved to another song, the key does nothing more until it is let go.
            if (heldWindKey != key) {
                heldWindKey = key;
                if (key == QmKeys::FastForwardKey)
                    forwarding = true;
                else
                    rewinding = true;
                burst.startWind(key == QmKeys::RewindKey);
            }
            pressed();
        } else if (isRelease) {
            // The end of the seek the press started; a release of no seek plays on all the same.
            if (forwarding || rewinding)
                burst.endWind();
            else
                burst.play();
            forwarding = false;
            rewinding = false;
            if (heldWindKey == key)
                heldWindKey = QmKeys::UnknownKey;
            released();
        }
        break;
    case QmKeys::NextKey:
    case QmKeys::PreviousKey:
        if (isPress) {
            pressed();
        } else if (isRelease) {
            if (key == QmKeys::NextKey)
                burst.next();
            else
                burst.previous();
            released();
        }
        break;
    case QmKeys::PauseKey:
    case QmKeys::PlayKey:
        if (isPress) {
            if (!pressTime.isValid()) {
                if (key == QmKeys::PauseKey)
                    burst.pause();
                else
                    burst.play();
            }
            pressed();
        } else if (isRelease) {
            released();
        }
        break;
    case QmKeys::UnknownKey:
    case QmKeys::PowerKey:
    case QmKeys::CameraKey:
    case QmKeys::CameraFocusKey:
    case QmKeys::KeyboardSliderKey:
    case QmKeys::VolumeUpKey:
    case QmKeys::VolumeDownKey:
    case QmKeys::MuteKey:
    case QmKeys::EjectKey:
    case QmKeys::RecordKey:
    case QmKeys::PhoneKey:
    case QmKeys::CallKey:
    case QmKeys::HangUpKey:
        break;
    default:
        qCDebug(lcPlayback) << "void ParlovanceKeyHandler::handleKeyEvent(MeeGo::QmKeys::Key, "
                               "MeeGo::QmKeys::State)"
                            << " - Unknown key!";
        break;
    }
    if (!burst.isEmpty())
        carryOutLater();
}

// The single button of a headset: a press toggles on its release, a hold skips forward every
// two seconds, a second press right after a release pauses.
void ParlovanceKeyHandler::headsetButton(QmKeys::State state)
{
    if (state == QmKeys::KeyDown) {
        if (pressTime.isValid() && pressTime.elapsed() >= longPressInterval) {
            longPressed = true;
            burst.next();
        } else if (releaseTime.isValid() && releaseTime.elapsed() <= doublePressInterval) {
            burst.pause();
            doublePressed = true;
        }
        pressed();
    } else if (state == QmKeys::KeyUp) {
        if (!longPressed && !doublePressed && !releaseTime.isValid())
            burst.toggle();
        released();
    }
}

void ParlovanceKeyHandler::carryOutLater()
{
    if (burstQueued)
        return;
    burstQueued = true;
    QMetaObject::invokeMethod(this, &ParlovanceKeyHandler::carryOutBurst, Qt::QueuedConnection);
}

void ParlovanceKeyHandler::carryOutBurst()
{
    burstQueued = false;
    // A wind key still held has its wind started below, which the next burst may end.
    const MediaKeyBurst keys = std::exchange(burst, MediaKeyBurst(forwarding || rewinding));
    if (playState->isCallActive() || !playState->isAudioAvailable())
        return;
    // A wind is a seek, which does not commute with the skips: one that an earlier burst
    // started ended before them, and one still held starts after them. A wind that ran into a
    // song's bound has ended by itself, the song it moved to playing: as the player's own
    // buttons do, its release then does nothing more.
    if (keys.endsWind()) {
        if (playState->seekBoundReached())
            playState->clearSeekBoundReached();
        else
            playState->play(playState->mode());
    }
    keys.steps().carryOut(*playState);
    switch (keys.wind()) {
    case MediaKeyBurst::Wind::Forward:
        playState->startForwarding(1000);
        break;
    case MediaKeyBurst::Wind::Backward:
        playState->startRewinding(1000);
        break;
    case MediaKeyBurst::Wind::None:
        break;
    }
}

void ParlovanceKeyHandler::pressed()
{
    if (!longPressed) {
        if (!pressTime.isValid()) {
            pressTime.start();
            releaseTime.invalidate();
        }
        return;
    }
    if (pressTime.isValid() && pressTime.elapsed() >= longPressInterval)
        pressTime.restart();
    releaseTime.invalidate();
}

void ParlovanceKeyHandler::released()
{
    longPressed = false;
    pressTime.invalidate();
    if (!releaseTime.isValid() || releaseTime.elapsed() > doublePressInterval)
        doublePressed = false;
    releaseTime.start();
}
