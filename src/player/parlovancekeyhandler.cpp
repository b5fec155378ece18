#include "parlovancekeyhandler.h"

#include "common/logging.h"
#include "playback/playstate.h"

#include <QDebug>

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
    const PlayState::PlayingMode mode = playState->mode();
    const int st = playState->state(mode);
    const bool isPress = state == QmKeys::KeyDown;
    const bool isRelease = state == QmKeys::KeyUp;

    // Another key ends a seek that a held key started.
    if (forwarding && key != QmKeys::FastForwardKey) {
        playState->play(mode);
        forwarding = false;
    } else if (rewinding && key != QmKeys::RewindKey) {
        playState->play(mode);
        rewinding = false;
    }

    switch (key) {
    case QmKeys::HeadsetButtonKey:
        headsetButton(state, st);
        break;
    case QmKeys::PlayPauseKey:
        if (isPress) {
            if (!pressTime.isValid()) {
                if (st == PlayState::Paused || st == PlayState::Stopped)
                    playState->play(mode);
                else
                    playState->pauseOrStop(mode);
            }
            pressed();
        } else if (isRelease) {
            released();
        }
        break;
    case QmKeys::StopKey:
        if (isPress) {
            playState->stop(mode);
            pressed();
        } else if (isRelease) {
            released();
        }
        break;
    case QmKeys::FastForwardKey:
    case QmKeys::RewindKey:
        if (isPress) {
            if (key == QmKeys::FastForwardKey) {
                forwarding = true;
                playState->startForwarding(1000);
            } else {
                rewinding = true;
                playState->startRewinding(1000);
            }
            pressed();
        } else if (isRelease) {
            playState->play(mode);
            forwarding = false;
            rewinding = false;
            released();
        }
        break;
    case QmKeys::NextKey:
    case QmKeys::PreviousKey:
        if (isPress) {
            pressed();
        } else if (isRelease) {
            if (key == QmKeys::NextKey)
                playState->next(-1);
            else
                playState->previous(-1, false);
            released();
        }
        break;
    case QmKeys::PauseKey:
    case QmKeys::PlayKey:
        if (isPress) {
            if (!pressTime.isValid()) {
                if (key == QmKeys::PauseKey)
                    playState->pauseOrStop(mode);
                else
                    playState->play(mode);
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
}

// The single button of a headset: a press toggles on its release, a hold skips forward every
// two seconds, a second press right after a release pauses.
void ParlovanceKeyHandler::headsetButton(QmKeys::State state, int st)
{
    const PlayState::PlayingMode mode = playState->mode();
    if (state == QmKeys::KeyDown) {
        if (pressTime.isValid() && pressTime.elapsed() >= longPressInterval) {
            longPressed = true;
            playState->next(-1);
        } else if (releaseTime.isValid() && releaseTime.elapsed() <= doublePressInterval) {
            playState->pauseOrStop(mode);
            doublePressed = true;
        }
        pressed();
    } else if (state == QmKeys::KeyUp) {
        if (!longPressed && !doublePressed && !releaseTime.isValid()) {
            if (st == PlayState::Paused || st == PlayState::Stopped)
                playState->play(mode);
            else
                playState->pauseOrStop(mode);
        }
        released();
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
