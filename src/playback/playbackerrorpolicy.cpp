#include "playbackerrorpolicy.h"

namespace {

enum Banner {
    NoBanner = -1,
    UnableToConnect = 0,
    ConnectionLost = 1,
    ConnectionBroken = 2,
    FileNotFound = 3,
    CodecNotSupported = 4,
    FormatNotSupported = 5,
    MemoryNotAvailable = 6,
    PlaylistCorrupted = 7,
    EmptyPlaylist = 8,
    UnableToPlay = 9,
    UnableToSeek = 10,
    DrmNotSupported = 12
};

enum Content { SongContent = 0, UrlContent = 1, RadioPlaylistContent = 2 };

} // namespace

bool PlaybackErrorPolicy::isSilent(int code)
{
    switch (code) {
    case 300: case 306: case 307: case 309: case 310: case 314: case 318: case 321: case 323:
    case 324: case 326: case 327: case 328:
        return true;
    default:
        return false;
    }
}

int PlaybackErrorPolicy::banner(int code, int contentType)
{
    switch (code) {
    case 301:
        return UnableToConnect;
    case 302:
        return ConnectionBroken;
    case 303:
        if (contentType == SongContent || contentType == UrlContent)
            return FileNotFound;
        return contentType == RadioPlaylistContent ? EmptyPlaylist : NoBanner;
    case 304:
        return ConnectionLost;
    case 308: case 315:
        return FormatNotSupported;
    case 312:
        return DrmNotSupported;
    case 316:
        return contentType == RadioPlaylistContent ? EmptyPlaylist : PlaylistCorrupted;
    case 317: case 319:
        return CodecNotSupported;
    case 320:
        return EmptyPlaylist;
    case 325:
        return UnableToSeek;
    case 331:
        return MemoryNotAvailable;
    default:
        // 305, 311, 313, 322, 329, 330 and every code outside 300..331.
        return UnableToPlay;
    }
}
