#ifndef MUSICHOST_H
#define MUSICHOST_H

#include "playback/playbackenums.h"

// What the music side of the playback hub may ask of the hub: its state, the switch of the
// playing mode and the snapshot the mode left behind, the transport's restart and the
// controller's completion reports, which the hub shares with the radio side.
class MusicHost
{
public:
    virtual ~MusicHost() = default;

    virtual PlaybackEnums::State liveState() const = 0;
    // The live item is kept as its mode's snapshot, which that mode comes back to.
    virtual void saveLiveItem() = 0;
    virtual void setLiveMode(PlaybackEnums::PlayingMode mode) = 0;
    // True (after telling the user) when nothing may play now: mass storage or a library
    // update.
    virtual bool refusePlayback() = 0;
    // The live item plays again from its start.
    virtual void restartLive() = 0;
    // The controller's next report of a completed playback is not the end of the queue.
    virtual void ignoreNextCompletion(bool ignore) = 0;
    // Whether a completion was to be ignored; it is not any more.
    virtual bool takeIgnoredCompletion() = 0;
};

#endif // MUSICHOST_H
