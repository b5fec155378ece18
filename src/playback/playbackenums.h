#ifndef PLAYBACKENUMS_H
#define PLAYBACKENUMS_H

#include <QFlags>
#include <QObject>

// The words the playback hub and its parts share: the state of playback, the kind of content
// that plays, the state of a save, the playing mode and how a model joins the queue. PlayState
// takes them over (PlayState::Playing is PlaybackEnums::Playing), so that its users name them
// through the hub, while its parts include only this header and not the hub.
class PlaybackEnums
{
    Q_GADGET

public:
    enum State { NoState = -1, Stopped = 0, Playing = 1, Paused = 2, Transitioning = 3 };
    Q_ENUM(State)

    enum ContentType { NoContent = -1, SongContent = 0, UrlContent = 1, RadioPlaylistContent = 2 };
    Q_ENUM(ContentType)

    enum SaveState { NotSaved = -1, Saving = 0, Saved = 1 };
    Q_ENUM(SaveState)

    enum PlayingMode { MusicMode = 0, RadioMode = 1 };
    Q_ENUM(PlayingMode)

    // The bits mean different things to appendModel(), startPlayback() and the flags word.
    enum ModelOption {
        ReplaceQueue = 1, // appendModel: clear first; startPlayback: shuffled start; flags: shuffle
        CopyModel = 2,    // appendModel: queue a copy of a tracker model
        AllSongsQueue = 4, // appendModel: an all-songs activity; startPlayback: play at once
        RepeatOn = 8,      // flags: repeat
        ShuffledStart = ReplaceQueue,
        ShuffleOn = ReplaceQueue,
        PlayNow = AllSongsQueue
    };
    Q_DECLARE_FLAGS(ModelOptions, ModelOption)
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PlaybackEnums::ModelOptions)

#endif // PLAYBACKENUMS_H
