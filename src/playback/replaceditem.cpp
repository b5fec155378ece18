#include "replaceditem.h"

#include "playback/playmodes.h"

ReplacedItem ReplacedItem::of(const PlayModes& modes, PlaybackEnums::State liveState)
{
    ReplacedItem found;
    found.mode = modes.mode;
    switch (liveState) {
    case PlaybackEnums::Playing:
    // A radio playlist that connects is on its way to playing.
    case PlaybackEnums::Transitioning:
        found.state = PlaybackEnums::Playing;
        break;
    case PlaybackEnums::Paused:
        found.state = PlaybackEnums::Paused;
        break;
    default:
        found.state = PlaybackEnums::Stopped;
        break;
    }
    if (modes.mode == PlaybackEnums::RadioMode)
        found.stream = modes.live;
    found.resume = modes.radio;
    return found;
}
