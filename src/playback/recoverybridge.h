#ifndef RECOVERYBRIDGE_H
#define RECOVERYBRIDGE_H

#include "playback/playstate.h"
#include "playback/recoveryhost.h"

// The hub as its error handling sees it: each call is one step of the hub's own.
class PlayState::RecoveryBridge : public RecoveryHost
{
public:
    explicit RecoveryBridge(PlayState& hub);

    PlayingMode liveMode() const override;
    ContentType liveContent() const override;
    MafwRenderer::State rendererState() const override;
    MafwRenderer::State controllerState() const override;
    void followRenderer(MafwRenderer::State state) override;
    bool isCallActive() const override;
    bool isAudioFree() const override;
    void ignoreNextCompletion() override;
    void putBack(const ReplacedItem& found) override;
    void closeSheet() override;
    void skipFailedSong() override;
    bool resumeRadio(int errorCode) override;

private:
    PlayState& hub;
};

#endif // RECOVERYBRIDGE_H
