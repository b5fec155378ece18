#ifndef RADIOBRIDGE_H
#define RADIOBRIDGE_H

#include "playback/playstate.h"
#include "playback/radiohost.h"

// The hub as its radio side sees it: each call is one step of the hub's own.
class PlayState::RadioBridge : public RadioHost
{
public:
    explicit RadioBridge(PlayState& hub);

    State liveState() const override;
    void setLiveState(State state) override;
    void setLiveMode(PlayingMode mode) override;
    void returnToMusic(State state, const PlayItem& radioSnapshot) override;
    void saveLiveItem() override;
    void clearLiveItem() override;
    void restoreLiveItem() override;
    void setLiveBuffering(bool buffering) override;
    MafwRenderer::State rendererState() const override;
    bool isFastSeeking() const override;
    bool isAudioFree() const override;
    bool refusePlayback() override;
    void leaveLiveSong() override;
    void takeMedia(const ZelMetadataHandler* handler) override;
    void followMedia(bool follow) override;
    void playLive() override;
    void stopLive() override;
    void pauseOrStopLive() override;
    void reportError(int code) override;
    void completePlayback() override;
    void ignoreNextCompletion(bool ignore) override;
    void resumeOnPause(bool resume) override;
    void notifySheet(bool value) override;
    void releaseSheetOnPlayerView() override;
    ContentManager* contentManager(bool create) override;
    void setPendingSong(MafwTrackerModel* model) override;
    void enterPendingSong(int row) override;
    void requeuePendingSong() override;
    void playPendingSong(bool start) override;

private:
    PlayState& hub;
};

#endif // RADIOBRIDGE_H
