#ifndef PLAYABLEURL_H
#define PLAYABLEURL_H

#include <QString>

class QUrl;

// What the player may open, decided in one place for every way an address comes in: another
// program over the bus, an entry of a playlist file, a stream, a song of the queue. Allowed are
// a local file that is a regular file (a pipe would hold the reader in open() for good, a device
// never ends) and an address on an HTTP or HTTPS server. Every other scheme is refused, as
// GStreamer builds a source for many of them: udp listens on a port of every interface, v4l2
// opens a camera, multifile and pushfile read any set of files.
class PlayableUrl
{
public:
    // Why url is not played, or an empty text when it may be.
    static QString refusal(const QUrl& url);

    // True when url may be played; otherwise false, after one log line that names the caller,
    // the address and the reason.
    static bool check(const QUrl& url, const char* caller);
};

#endif // PLAYABLEURL_H
