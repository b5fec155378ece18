#include "recoverybridge.h"

#include "playback/musicplayback.h"
#include "playback/playmodes.h"
#include "playback/playqueue.h"
#include "playback/queuecursor.h"
#include "playback/radiobridge.h"
#include "playback/radioplayback.h"
#include "playback/replaceditem.h"
#include "zelplaycontroller.h"

PlayState::RecoveryBridge::RecoveryBridge(PlayState& hub)
    : hub(hub)
{
}

// One step of the hub each, one to a line.
// clang-format off
PlayState::PlayingMode PlayState::RecoveryBridge::liveMode() const { return hub.modes->mode; }

PlayState::ContentType PlayState::RecoveryBridge::liveContent() const
{
    return hub.modes->live.contentType;
}

MafwRenderer::State PlayState::RecoveryBridge::rendererState() const
{
    return MafwRenderer::State(hub.rendererState);
}

MafwRenderer::State PlayState::RecoveryBridge::controllerState() const
{
    return hub.controls->state();
}

void PlayState::RecoveryBridge::followRenderer(MafwRenderer::State state)
{
    hub.rendererStateChangedSlot(state);
}

bool PlayState::RecoveryBridge::isCallActive() const { return hub.controls->isCallActive(); }
bool PlayState::RecoveryBridge::isAudioFree() const { return hub.audioAvailable; }
void PlayState::RecoveryBridge::ignoreNextCompletion() { hub.ignoreCompletion = true; }

void PlayState::RecoveryBridge::putBack(const ReplacedItem& found)
{
    if (found.mode == MusicMode)
        hub.radioBridge->returnToMusic(found.state, found.resume);
    else
        hub.radio->reopen(found.stream, found.resume, found.state, found.entry);
    emit hub.replacedItemBack();
}

void PlayState::RecoveryBridge::closeSheet() { hub.notifySheetListeners(true); }

void PlayState::RecoveryBridge::skipFailedSong()
{
    const int rows = hub.queue().rowCount();
    if (rows > 0 && hub.cursor->currentRow() < rows - 1)
        hub.next(-1);
    else
        hub.music->endOfQueue();
}

bool PlayState::RecoveryBridge::resumeRadio(int errorCode)
{
    return hub.radio->resumeAfterError(errorCode);
}
// clang-format on
