#ifndef PLAYBACKERRORPOLICY_H
#define PLAYBACKERRORPOLICY_H

// Which error banner a media framework error code shows, by the kind of content that failed.
class PlaybackErrorPolicy
{
public:
    // Codes the user is never told about: handling them ends at once.
    static bool isSilent(int code);
    // The banner code (ErrorMessage) of a code that is not silent; -1 for none.
    // contentType: -1 nothing, 0 library song, 1 single URL, 2 radio playlist.
    static int banner(int code, int contentType);
    // Whether playback goes on (the next song, or the stream again) once the banner of a code
    // that is not silent has gone: not for a library song that is missing, nor while a call
    // (or, for a lost network, another application) holds the audio.
    static bool resumesAfter(int code, int contentType, bool callActive, bool audioAvailable);
};

#endif // PLAYBACKERRORPOLICY_H
