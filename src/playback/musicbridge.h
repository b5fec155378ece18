#ifndef MUSICBRIDGE_H
#define MUSICBRIDGE_H

#include "playback/musichost.h"
#include "playback/playstate.h"

// The hub as its music side sees it: each call is one step of the hub's own.
class PlayState::MusicBridge : public MusicHost
{
public:
    explicit MusicBridge(PlayState& hub);

    State liveState() const override;
    void saveLiveItem() override;
    void setLiveMode(PlayingMode mode) override;
    bool refusePlayback() override;
    void restartLive() override;
    void ignoreNextCompletion(bool ignore) override;
    bool takeIgnoredCompletion() override;

private:
    PlayState& hub;
};

#endif // MUSICBRIDGE_H
