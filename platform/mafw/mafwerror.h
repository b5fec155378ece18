#ifndef MAFWERROR_H
#define MAFWERROR_H

#include <QMetaType>
#include <QString>

// A playback failure as the media framework reports it: a numeric code and a free text. The
// codes the player reacts to lie between 300 and 331; 0 means "no error".
class MafwError
{
public:
    enum Code {
        NoError = 0,
        FirstCode = 300,
        CannotConnect = 301,     // the server of a stream could not be reached
        ConnectionLost = 302,    // a stream broke off while it was being read
        ResourceNotFound = 303,  // the file or address does not exist or cannot be opened
        NetworkDown = 304,       // the network went away under a stream
        UnsupportedFormat = 308, // the data is not audio that can be recognised
        CannotPlay = 311,        // any other failure of the renderer
        DrmProtected = 312,
        CorruptPlaylist = 316,
        CodecMissing = 317,
        EmptyPlaylist = 320,
        SeekRefused = 325,
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
