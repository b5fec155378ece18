#ifndef PLAYOPTIONS_H
#define PLAYOPTIONS_H

#include <QFlags>

// How a page asks for playback. The numbers are passed by callers, so they are fixed.
enum PlayOption {
    PlayShuffled = 1,         // start shuffled; the activity is recorded as shuffled
    PlayCopiedModel = 2,      // queue a copy of the model (automatic playlists)
    PlayWithoutPlayerView = 4 // start at once and stay on the page
};
Q_DECLARE_FLAGS(PlayOptions, PlayOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(PlayOptions)

#endif // PLAYOPTIONS_H
