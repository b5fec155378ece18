#ifndef PLAYMODES_H
#define PLAYMODES_H

#include "playback/playbackenums.h"
#include "playback/playitem.h"

// What plays in the two playing modes: the mode that is live with its item, and the snapshot
// that the other mode left behind, so that switching back resumes it.
struct PlayModes
{
    PlaybackEnums::PlayingMode mode = PlaybackEnums::MusicMode;
    PlayItem live;
    PlayItem music = PlayItem::noSong();
    PlayItem radio = PlayItem::noStream(QUrl());

    // The live item for the live mode, else that mode's snapshot.
    const PlayItem& item(PlaybackEnums::PlayingMode of) const;

    void saveMusic();
    void saveRadio();
    // Empties what is live before the other mode's snapshot comes back.
    void clearLive();
    void clearMusic();
    void clearRadio();
};

#endif // PLAYMODES_H
