#include "playbackerrorpolicy.h"

#include "mafwerror.h"
#include "shell/errormessage.h"

namespace {

const int NoBanner = -1;

enum Content { SongContent = 0, UrlContent = 1, RadioPlaylistContent = 2 };

} // namespace

bool PlaybackErrorPolicy::isSilent(int code)
{
    switch (code) {
    case MafwError::Notice:
    case MafwError::MetadataUnavailable:
    case MafwError::CoverUnavailable:
    case MafwError::PositionUnavailable:
    case MafwError::VolumeUnavailable:
    case MafwError::PropertyUnsupported:
    case MafwError::EntrySkipped:
    case MafwError::BufferUnderrun:
    case MafwError::RendererBusy:
    case MafwError::RequestIgnored:
    case MafwError::InvalidRequest:
    case MafwError::RequestCancelled:
    case MafwError::RequestTimedOut:
        return true;
    default:
        return false;
    }
}

int PlaybackErrorPolicy::banner(int code, int contentType)
{
    switch (code) {
    case MafwError::CannotConnect:
        return ErrorMessage::UnableToConnect;
    case MafwError::ConnectionLost:
        return ErrorMessage::ConnectionLost;
    case MafwError::ResourceNotFound:
        if (contentType == SongContent || contentType == UrlContent)
            return ErrorMessage::FileNotFound;
        return contentType == RadioPlaylistContent ? ErrorMessage::EmptyPlaylist : NoBanner;
    case MafwError::NetworkDown:
        return ErrorMessage::NetworkLost;
    case MafwError::UnsupportedFormat:
    case MafwError::UnsupportedMediaType:
        return ErrorMessage::FormatNotSupported;
    case MafwError::DrmProtected:
        return ErrorMessage::DrmNotSupported;
    case MafwError::CorruptPlaylist:
        return contentType == RadioPlaylistContent ? ErrorMessage::EmptyPlaylist
                                                   : ErrorMessage::PlaylistCorrupted;
    case MafwError::CodecMissing:
    case MafwError::CodecFailed:
        return ErrorMessage::CodecNotSupported;
    case MafwError::EmptyPlaylist:
        return ErrorMessage::EmptyPlaylist;
    case MafwError::SeekRefused:
        return ErrorMessage::UnableToSeek;
    case MafwError::OutOfMemory:
        return ErrorMessage::MemoryNotAvailable;
    default:
        // PlaybackRefused, CannotPlay, DecoderFailed, AudioDeviceBusy, AudioDeviceLost,
        // InternalError and every code outside the framework's range.
        return ErrorMessage::UnableToPlaySong;
    }
}

bool PlaybackErrorPolicy::resumesAfter(int code, int contentType, bool callActive,
                                       bool audioAvailable)
{
    switch (code) {
    case MafwError::ResourceNotFound:
        return contentType != SongContent;
    case MafwError::NetworkDown:
        return !callActive && audioAvailable;
    case MafwError::PlaybackRefused:
    case MafwError::AudioDeviceBusy:
    case MafwError::AudioDeviceLost:
        return !callActive;
    default:
        return true;
    }
}
