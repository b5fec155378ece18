#include "musicbridge.h"

#include "playback/playmodes.h"

PlayState::MusicBridge::MusicBridge(PlayState& hub)
    : hub(hub)
{
}

// One step of the hub each, one to a line.
// clang-format off
PlayState::State PlayState::MusicBridge::liveState() const { return hub.liveState; }
void PlayState::MusicBridge::saveLiveItem() { hub.saveLiveItem(); }
void PlayState::MusicBridge::setLiveMode(PlayingMode mode) { hub.setMode(mode); }
bool PlayState::MusicBridge::refusePlayback() { return hub.refusePlayback(); }
void PlayState::MusicBridge::restartLive() { hub.setPosition(0, hub.modes->mode); }
void PlayState::MusicBridge::ignoreNextCompletion(bool ignore) { hub.ignoreCompletion = ignore; }

bool PlayState::MusicBridge::takeIgnoredCompletion()
{
    const bool ignored = hub.ignoreCompletion;
    hub.ignoreCompletion = false;
    return ignored;
}
// clang-format on
