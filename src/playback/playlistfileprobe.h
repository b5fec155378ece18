#ifndef PLAYLISTFILEPROBE_H
#define PLAYLISTFILEPROBE_H

class QUrl;

// Tells a playlist file (a text file: PLS, M3U) from an audio file: a local file by its content,
// with the system's file type database (a file it cannot tell is no playlist); a file on a web
// server by the extension of its path (.pls, .m3u, .m3u8), as a station publishes its playlist.
// Anything else is no playlist file.
class PlaylistFileProbe
{
public:
    PlaylistFileProbe();
    ~PlaylistFileProbe();

    bool isPlaylistFile(const QUrl& url);

private:
    PlaylistFileProbe(const PlaylistFileProbe&) = delete;
    PlaylistFileProbe& operator=(const PlaylistFileProbe&) = delete;

    void* cookie;
    // Opening the database failed once: it is not tried again.
    bool failed;
};

#endif // PLAYLISTFILEPROBE_H
