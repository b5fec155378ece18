#ifndef RECOVERYHOST_H
#define RECOVERYHOST_H

#include "mafwrenderer.h"
#include "playback/playbackenums.h"

struct ReplacedItem;

// What the error handling of the playback hub may ask of the hub: its state, the renderer's,
// and the few changes that follow an error, each one call.
class RecoveryHost
{
public:
    virtual ~RecoveryHost() = default;

    virtual PlaybackEnums::PlayingMode liveMode() const = 0;
    virtual PlaybackEnums::ContentType liveContent() const = 0;
    // The renderer's state as the hub took it last, and as the controller tells it now.
    virtual MafwRenderer::State rendererState() const = 0;
    virtual MafwRenderer::State controllerState() const = 0;
    // The hub takes the renderer's state again, as if the renderer reported it.
    virtual void followRenderer(MafwRenderer::State state) = 0;
    virtual bool isCallActive() const = 0;
    virtual bool isAudioFree() const = 0;
    // The controller's next report of a completed playback is not the end of the item.
    virtual void ignoreNextCompletion() = 0;

    // What a failed request replaced is live again, in one step, at its place and in its state.
    virtual void putBack(const ReplacedItem& found) = 0;
    // The player sheet's item has ended: the sheet closes.
    virtual void closeSheet() = 0;
    // After the banner of an error of a song: the song after it plays, or the queue ends.
    virtual void skipFailedSong() = 0;
    // After the banner of an error in radio mode: false when the error's resume is still to
    // come (the network comes back, or the error asks for none).
    virtual bool resumeRadio(int errorCode) = 0;
};

#endif // RECOVERYHOST_H
