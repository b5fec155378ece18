#include "replaceditem.h"

#include "playback/playmodes.h"

ReplacedItem ReplacedItem::of(const PlayModes& modes, PlaybackEnums::State liveState,
                              int playlistEntry)
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
    if (modes.mode == PlaybackEnums::RadioMode) {
        found.stream = modes.live;
        if (found.stream.contentType == PlaybackEnums::RadioPlaylistContent)
            found.entry = playlistEntry;
    }
    found.resume = modes.radio;
    return found;
}

void ReplacedItem::askFor(PlaybackEnums::State asked)
{
    switch (asked) {
    case PlaybackEnums::Playing:
        // A stream with no address has nothing to play; music plays its queue's song, if any.
        if (mode == PlaybackEnums::MusicMode || !stream.streamUrl.isEmpty())
            state = PlaybackEnums::Playing;
        break;
    case PlaybackEnums::Paused: {
        if (state != PlaybackEnums::Playing)
            break;
        // As a pause would find it: a song or a file pauses (a file before it has told that it
        // can seek), a stream from the network that cannot seek stops.
        const bool file = stream.contentType == PlaybackEnums::UrlContent
                          && stream.streamUrl.isLocalFile();
        const bool canPause = mode == PlaybackEnums::MusicMode || stream.seekable || file;
        state = canPause ? PlaybackEnums::Paused : PlaybackEnums::Stopped;
        break;
    }
    default:
        state = PlaybackEnums::Stopped;
        break;
    }
}
