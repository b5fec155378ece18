#ifndef PLAYITEM_H
#define PLAYITEM_H

#include "playback/playbackenums.h"

#include <QString>
#include <QUrl>

// What plays, or what a playing mode left behind: a song of the queue or a stream, with its
// texts, its place in the queue, how far it has played and the kind of content it is. A plain
// value: the hub's live state and the snapshots of both playing modes are each one PlayItem,
// so a mode switch copies whole items instead of field after field.
struct PlayItem
{
    PlaybackEnums::ContentType contentType = PlaybackEnums::NoContent;
    QString title;
    QString album;
    QString artist;
    QString genre;
    QString songUri;
    int songId = -1;
    int albumId = -1;
    QUrl streamUrl;
    QString streamArtPath;
    QString streamArtText;
    int index = 0;     // row in the queue, -1 for none
    int songCount = 0; // rows in the queue
    uint position = 0; // seconds played
    int duration = 0;  // seconds, 0 when unknown
    bool seekable = true;

    // The music mode's snapshot when no song waits there.
    static PlayItem noSong();
    // The radio mode's snapshot when no stream waits there; the stream's address stays, so
    // that switching to radio plays it again.
    static PlayItem noStream(const QUrl& streamUrl);
    // What is live for a moment while the playing mode changes.
    static PlayItem nothing();

    // This item as the music mode keeps it while radio is live: a song, without stream art.
    PlayItem asMusicSnapshot() const;
    // This item as the radio mode keeps it while music is live: no queue place or song.
    PlayItem asRadioSnapshot() const;

    // Takes the song of a queue row (texts, ids, address and length) and drops stream art;
    // the queue place, the position and the kind of content stay.
    void setSong(const PlayItem& song);
    // Takes the texts the player shows; true when any of them changed.
    bool setTexts(const QString& newTitle, const QString& newAlbum, const QString& newArtist);
};

#endif // PLAYITEM_H
