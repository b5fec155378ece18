#ifndef PLAYLISTFILEPROBE_H
#define PLAYLISTFILEPROBE_H

#include <QString>

class QUrl;

// Tells a playlist file (a text file: PLS, M3U) from an audio file: a local file by its content,
// with the system's file type database (a file it cannot tell is no playlist); a file on a web
// server by the extension of its path (.pls, .m3u, .m3u8), as a station publishes its playlist.
// Anything else is no playlist file.
//
// It also tells a local file that is neither: a text that no playlist reader takes (a
// configuration file, a note), a picture, a program, an empty file. Audio and video of every
// kind pass, and so does data the database cannot name, which a decoder may still take.
//
// Only the head of a local file is read (64 KiB), where the signatures lie and a playlist's
// first entry: a check costs under a millisecond, however large the file. A text is taken for a
// playlist by the rule of the player's playlist reader, whatever kind of text the database would
// call it.
class PlaylistFileProbe
{
public:
    PlaylistFileProbe();
    ~PlaylistFileProbe();

    bool isPlaylistFile(const QUrl& url);
    // The type of a local file that is neither audio nor a playlist; an empty text for any
    // other file or address, and when the type cannot be told.
    QString unplayableType(const QUrl& url);

private:
    PlaylistFileProbe(const PlaylistFileProbe&) = delete;
    PlaylistFileProbe& operator=(const PlaylistFileProbe&) = delete;

    // The MIME type of a file by its first bytes: what a signature names, else "text/plain" for
    // a text and "application/octet-stream" for other data; empty when it cannot be told.
    QString typeOf(const QByteArray& head);
    // The file type database, opened on first use; null when it cannot be opened.
    void* openDatabase();

    void* cookie;
    // Opening the database failed once: it is not tried again.
    bool failed;
};

#endif // PLAYLISTFILEPROBE_H
