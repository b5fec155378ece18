#ifndef MUSICPLAYBACK_H
#define MUSICPLAYBACK_H

#include "playback/playbackenums.h"

#include <QObject>

class MusicHost;
class PlayQueue;
struct PlayItem;
class PositionMemory;
class QueueCursor;
class ZelMetadataHandler;
class ZelPlayController;
enum class QueueStep;
struct PlayModes;

// The music side of the playback hub: the start of the queue, the steps through it, what the
// player's views are told of the song at the cursor or of a song the controller reports, the
// end of the queue, and the playing song's favourite mark, announcement and place in the
// latest activities. It reads the items of the playing modes and works on the queue's cursor,
// the position memory and the play controller; what it loads into the music item it reports
// by songLoaded(), which the hub applies, and it asks the rest of the hub through MusicHost.
// Its other signals are the hub's.
class MusicPlayback : public QObject
{
    Q_OBJECT

public:
    MusicPlayback(const PlayModes& modes, ZelPlayController* controls, QueueCursor& cursor,
                  PositionMemory& positions, MusicHost& host, QObject* parent);

    // startPlayback(): music becomes live and the cursor goes to index. The row that plays,
    // or -1 when playback is refused.
    int start(int index, PlaybackEnums::ModelOptions options);
    // The song waiting to become the queue becomes it; options as start()'s.
    void startPendingSong(PlaybackEnums::ModelOptions options);
    // Carries out a step of next() (backwards false) or previous(): when the cursor moved, the
    // song is announced and the controller follows, at once (delayMs < 0) or after delayMs.
    void step(QueueStep step, bool backwards, int delayMs);
    // The cursor has moved songs rows in all (negative backwards; 0 when it came back to the
    // song it left), as one change: the song it stands on is announced and the controller
    // follows, as after step().
    void moved(int songs, int delayMs);
    // emitSongChanged(): the song at the cursor, or the music snapshot's while radio is live.
    void announceSong();
    // The controller reports the media of a song of the queue.
    void songMediaChanged(const ZelMetadataHandler* handler);
    // The controller has played the queue's last song.
    void endOfQueue();
    // The live item is a song of the queue.
    void setSongContent();

    int trackNumber() const;
    void setTrackNumber(int trackNumber);
    // Stores the position of a spoken-word song that is left (PositionMemory::store()).
    void storePosition(int position, int songId);
    void updateLatestActivityTrack();
    void toggleFavorite();
    void checkFavorite();
    // Tells other applications what music plays.
    void announcePlayAction();

signals:
    // The music item is now song: the live item while music plays, else the snapshot that
    // waits behind a stream. Reported at once after each change, so that what is read back
    // through the items is the change.
    void songLoaded(const PlayItem& song);
    void songChanged(QString title, QString album, QString artist, int songIndex, bool previous);
    void positionChanged(uint position);
    void durationChanged(int duration);
    void contentTypeChanged(PlaybackEnums::ContentType newContentType);
    void playbackCompleted();
    void favoriteState(QString uri, bool isFavorite);
    // The song waiting to become the queue is the queue now.
    void pendingSongQueued();

private:
    PlayQueue& queue() const;
    // The music item as it stands now, to change and report.
    PlayItem musicItem() const;

    const PlayModes& modes;
    ZelPlayController* controls;
    QueueCursor& cursor;
    PositionMemory& positions;
    MusicHost& host;
    bool previousDirection = false;
    int m_trackNumber = 0;
};

#endif // MUSICPLAYBACK_H
