#include "radiobridge.h"

#include "data/containermodel.h"
#include "playback/fastseek.h"
#include "playback/musicplayback.h"
#include "playback/playmodes.h"
#include "playback/playqueue.h"
#include "playback/queuecursor.h"
#include "shell/parlovanceapplicationservice.h"
#include "zelplaycontroller.h"

PlayState::RadioBridge::RadioBridge(PlayState& hub)
    : hub(hub)
{
}

// One step of the hub each, one to a line.
// clang-format off
PlayState::State PlayState::RadioBridge::liveState() const { return hub.liveState; }
void PlayState::RadioBridge::setLiveState(State state) { hub.setState(state); }
void PlayState::RadioBridge::setLiveMode(PlayingMode mode) { hub.setMode(mode); }

void PlayState::RadioBridge::returnToMusic(State state, const PlayItem& radioSnapshot)
{
    hub.modes->radio = radioSnapshot;
    if (hub.modes->mode == RadioMode)
        hub.modes->live = hub.modes->music;
    hub.setMode(MusicMode);
    const PlayItem& live = hub.modes->live;
    const bool song = live.songCount > 0 && live.index >= 0;
    // The controller leaves what it played for the queue's song, which waits where it was left
    // until the controller reports it paused there (and then plays on, when it played). With
    // no song, no pause is reported, and nothing is to play on once one is.
    hub.resumeWhenPaused = state == Playing && song;
    hub.controls->stop();
    hub.controls->setPlaylist(hub.queue().playlistId(), false);
    if (song)
        hub.controls->setPlaylistIndex(live.index);
    requeuePendingSong();
    if (song && state != Stopped)
        hub.controls->pauseAt(live.position);
    emit hub.songChanged(live.title, live.album, live.artist, live.index, false);
}

void PlayState::RadioBridge::saveLiveItem() { hub.saveLiveItem(); }
void PlayState::RadioBridge::clearLiveItem() { hub.modes->clearLive(); }

void PlayState::RadioBridge::restoreLiveItem()
{
    hub.modes->live = hub.modes->mode == MusicMode ? hub.modes->music : hub.modes->radio;
}

void PlayState::RadioBridge::setLiveBuffering(bool buffering) { hub.setBuffering(buffering); }

MafwRenderer::State PlayState::RadioBridge::rendererState() const
{
    return MafwRenderer::State(hub.rendererState);
}

bool PlayState::RadioBridge::isFastSeeking() const { return hub.fastSeek->isActive(); }
bool PlayState::RadioBridge::isAudioFree() const { return hub.audioAvailable; }
bool PlayState::RadioBridge::refusePlayback() { return hub.refusePlayback(); }

void PlayState::RadioBridge::leaveLiveSong()
{
    hub.storeLastPosition(int(hub.modes->live.position), hub.modes->live.songId);
}

void PlayState::RadioBridge::takeMedia(const ZelMetadataHandler* handler)
{
    hub.mediaChangedSlot(handler);
}

void PlayState::RadioBridge::followMedia(bool follow) { hub.followMedia(follow); }
void PlayState::RadioBridge::playLive() { hub.play(hub.modes->mode); }
void PlayState::RadioBridge::stopLive() { hub.stop(hub.modes->mode); }
void PlayState::RadioBridge::pauseOrStopLive() { hub.pauseOrStop(hub.modes->mode); }
void PlayState::RadioBridge::reportError(int code) { hub.errorSlot(MafwError(code, QString())); }
void PlayState::RadioBridge::completePlayback() { hub.playbackCompletedSlot(); }
void PlayState::RadioBridge::ignoreNextCompletion(bool ignore) { hub.ignoreCompletion = ignore; }
void PlayState::RadioBridge::resumeOnPause(bool resume) { hub.resumeWhenPaused = resume; }
void PlayState::RadioBridge::notifySheet(bool value) { hub.notifySheetListeners(value); }

void PlayState::RadioBridge::releaseSheetOnPlayerView()
{
    // A player that shows already does not appear again.
    if (ParlovanceApplicationService::instance()->showsPlayerView()) {
        hub.releaseSheet();
        return;
    }
    QObject::connect(ParlovanceApplicationService::instance(), SIGNAL(playerViewAppeared()), &hub,
                     SLOT(releaseSheet()), Qt::UniqueConnection);
}

ContentManager* PlayState::RadioBridge::contentManager(bool create)
{
    if (create)
        hub.ensureContentManager();
    return hub.contentManager;
}

void PlayState::RadioBridge::setPendingSong(MafwTrackerModel* model)
{
    hub.cursor->setPendingSong(model);
}

void PlayState::RadioBridge::enterPendingSong(int row)
{
    hub.cursor->standAt(row);
    PlayItem& live = hub.modes->live;
    live.contentType = SongContent;
    live.songCount = 1;
    live.seekable = true;
}

void PlayState::RadioBridge::requeuePendingSong()
{
    if (const QSharedPointer<ContainerModel> pending = hub.cursor->pendingSong())
        hub.appendModel(pending, ReplaceQueue, -1);
}

void PlayState::RadioBridge::playPendingSong(bool start)
{
    hub.music->startPendingSong(start ? ModelOptions(PlayNow) : ModelOptions());
}
// clang-format on
