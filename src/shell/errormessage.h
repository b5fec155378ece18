#ifndef ERRORMESSAGE_H
#define ERRORMESSAGE_H

#include <QObject>
#include <QPointer>
#include <QStringList>

class MBanner;

// Turns an error code into an information banner on the active window. Codes 0 to 13 each have
// a text (1 and 2 share one); any other code shows a banner without a title.
class ErrorMessage : public QObject
{
    Q_OBJECT

public:
    enum Code {
        UnableToConnect = 0,
        NetworkLost = 1,    // the network went away under a stream
        ConnectionLost = 2, // the stream itself broke off; same text as NetworkLost
        FileNotFound = 3,
        CodecNotSupported = 4,
        FormatNotSupported = 5,
        MemoryNotAvailable = 6,
        PlaylistCorrupted = 7,
        EmptyPlaylist = 8,
        UnableToPlaySong = 9,
        UnableToSeek = 10,
        NoPlayDuringCall = 11,
        DrmNotSupported = 12,
        AppNotResponding = 13
    };

    explicit ErrorMessage(QObject* parent);
    ~ErrorMessage() override;

    // Shows one banner; several may be up at once. disappeared() follows for each of them,
    // also when there is no window to show it on.
    void show(int code);

signals:
    void disappeared();

private:
    // The banner title of a code; empty for codes without a text.
    QString text(int code) const;

    QPointer<MBanner> banner;
    QStringList texts;
};

#endif // ERRORMESSAGE_H
