#ifndef MAFWERROR_H
#define MAFWERROR_H

#include <QMetaType>
#include <QString>

// A playback failure as the media framework reports it: a numeric code and a free text. The
// codes lie between 300 and 331; 0 means "no error". This framework raises 301 to 303, 308, 311,
// 312, 316, 317, 320, 325 and 331 itself, and the player raises 304 when its network goes; the
// others are named for what a renderer reports with them. The player decides which of them the
// user is told about.
class MafwError
{
public:
    enum Code {
        NoError = 0,
        FirstCode = 300,
        Notice = 300,              // a report that is no failure
        CannotConnect = 301,       // the server of a stream could not be reached
        ConnectionLost = 302,      // a stream broke off while it was being read
        ResourceNotFound = 303,    // the file or address does not exist or cannot be opened
        NetworkDown = 304,         // the network went away under a stream
        PlaybackRefused = 305,     // the system did not let the renderer play (e.g. a call)
        MetadataUnavailable = 306, // a tag could not be read
        CoverUnavailable = 307,    // the embedded cover could not be read
        UnsupportedFormat = 308,   // the data is not audio that can be recognised
        PositionUnavailable = 309, // the position could not be queried
        VolumeUnavailable = 310,   // the volume could not be queried or set
        CannotPlay = 311,          // any other failure of the renderer
        DrmProtected = 312,
        DecoderFailed = 313,       // the decoder stopped on broken data
        PropertyUnsupported = 314, // the renderer has no such property
        UnsupportedMediaType = 315,
        CorruptPlaylist = 316,
        CodecMissing = 317,
        EntrySkipped = 318, // an entry of a playlist could not be played and was passed
        CodecFailed = 319,  // a decoder is there but could not be started
        EmptyPlaylist = 320,
        BufferUnderrun = 321,  // the data came in slower than it was played
        AudioDeviceBusy = 322, // another program holds the audio output
        RendererBusy = 323,    // a request came while the renderer was changing state
        RequestIgnored = 324,  // a request that the current state has no use for
        SeekRefused = 325,
        InvalidRequest = 326,   // a request with arguments out of range
        RequestCancelled = 327, // a request overtaken by a later one
        RequestTimedOut = 328,  // a request that the renderer did not answer in time
        AudioDeviceLost = 329,  // the audio output went away
        InternalError = 330,    // the renderer failed inside
        OutOfMemory = 331,
        LastCode = 331
    };

    MafwError();
    MafwError(int code, const QString& message);

    int code() const;
    QString message() const;

private:
    int m_code;
    QString m_message;
};

Q_DECLARE_METATYPE(MafwError)

#endif // MAFWERROR_H
