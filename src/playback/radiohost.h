#ifndef RADIOHOST_H
#define RADIOHOST_H

#include "mafwrenderer.h"
#include "playback/playbackenums.h"

class ContentManager;
struct PlayItem;
class MafwTrackerModel;
class ZelMetadataHandler;

// What the radio side of the playback hub may ask of the hub: the hub's state, its transport
// and the few changes that are the hub's to make, the switch of the playing mode among them.
// Everything else the radio side needs is the play controller, and the items of the playing
// modes, which it reads directly and changes through its reports.
class RadioHost
{
public:
    virtual ~RadioHost() = default;

    virtual PlaybackEnums::State liveState() const = 0;
    virtual void setLiveState(PlaybackEnums::State state) = 0;
    virtual void setLiveMode(PlaybackEnums::PlayingMode mode) = 0;
    // Music is live again, in one step: the queue's song where it was left, in state (playing,
    // paused or stopped), announced; radio comes back to radioSnapshot after it.
    virtual void returnToMusic(PlaybackEnums::State state, const PlayItem& radioSnapshot) = 0;
    // The live item is kept as its mode's snapshot, which that mode comes back to.
    virtual void saveLiveItem() = 0;
    // Nothing is live for a moment while the playing mode changes.
    virtual void clearLiveItem() = 0;
    // The live mode's snapshot is live again.
    virtual void restoreLiveItem() = 0;
    virtual void setLiveBuffering(bool buffering) = 0;
    virtual MafwRenderer::State rendererState() const = 0;
    virtual bool isFastSeeking() const = 0;
    virtual bool isAudioFree() const = 0;

    // True (after telling the user) when nothing may play now: mass storage or a library
    // update.
    virtual bool refusePlayback() = 0;
    // The live song is being left: its position is remembered.
    virtual void leaveLiveSong() = 0;
    // New media or texts of the live item, as the controller would report them.
    virtual void takeMedia(const ZelMetadataHandler* handler) = 0;
    // Whether the hub follows the controller's reports of new media.
    virtual void followMedia(bool follow) = 0;

    virtual void playLive() = 0;
    virtual void stopLive() = 0;
    virtual void pauseOrStopLive() = 0;
    virtual void reportError(int code) = 0;
    virtual void completePlayback() = 0;
    // The controller's next report of a completed playback is not the end of the queue.
    virtual void ignoreNextCompletion(bool ignore) = 0;
    virtual void resumeOnPause(bool resume) = 0;
    virtual void notifySheet(bool value) = 0;
    virtual void releaseSheetOnPlayerView() = 0;

    // The hub's content manager, made on first use when create is set; else null until then.
    virtual ContentManager* contentManager(bool create) = 0;

    // A song from outside the queue (a saved stream, a local file) waits to become the queue.
    virtual void setPendingSong(MafwTrackerModel* model) = 0;
    // The queue will stand at this row of the waiting song once it becomes the queue, and
    // the live item is that song's from now on: a library song, alone in the queue.
    virtual void enterPendingSong(int row) = 0;
    // The waiting song, if any, becomes the queue again (music comes back).
    virtual void requeuePendingSong() = 0;
    // start: it plays at once; else it waits at its start.
    virtual void playPendingSong(bool start) = 0;
};

#endif // RADIOHOST_H
