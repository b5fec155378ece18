#ifndef REPLACEDITEM_H
#define REPLACEDITEM_H

#include "playback/playbackenums.h"
#include "playback/playitem.h"

struct PlayModes;

// What was live when a stream or a playlist file was asked for, as the user had it: should the
// request fail before its item plays, this comes back. A plain value.
struct ReplacedItem
{
    PlaybackEnums::PlayingMode mode = PlaybackEnums::MusicMode;
    // Playing, Paused or Stopped: where what was live was going (a song being resumed counts
    // as playing).
    PlaybackEnums::State state = PlaybackEnums::Stopped;
    // Radio's live item, when radio was live: the stream with its texts and its place.
    PlayItem stream = PlayItem::noStream(QUrl());
    // What radio came back to after music then (its snapshot, or its resume point).
    PlayItem resume = PlayItem::noStream(QUrl());
    // The entry of a playlist file that played (counted from 0, as the controller counts it);
    // -1 for any other item.
    int entry = -1;

    // What is live now, in liveState; playlistEntry: the controller's entry of a playlist file.
    static ReplacedItem of(const PlayModes& modes, PlaybackEnums::State liveState,
                           int playlistEntry);

    // Asked while the request is on its way: it comes back playing, paused (what cannot pause
    // stops, and what is stopped stays so) or stopped, as asked.
    void askFor(PlaybackEnums::State asked);
};

#endif // REPLACEDITEM_H
