#ifndef QUEUECURSOR_H
#define QUEUECURSOR_H

#include "common/parlovancesettings.h"
#include "playback/playbackenums.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QScopedPointer>
#include <QSharedPointer>

class ContainerModel;
class MafwTrackerModel;
class PlayQueue;
class PositionMemory;
class QAbstractItemModel;
class QTimer;
class ZelPlayController;
struct PlayModes;

// What a step to the next or the previous song comes to.
enum class QueueStep {
    Stays,            // nothing changes
    Restarts,         // the song plays again from its start
    PlaysPendingSong, // the song waiting to become the queue plays, at the cursor's row
    Moves             // the cursor is on another row; the controller is still to follow
};

// The play queue and its cursor: what joins the queue (the models a page hands over, and a song
// from outside that waits to become the queue), the row that plays, the order the rows play in
// (shuffle) and whether the queue starts over at its end (repeat, kept in the settings file).
//
// The cursor holds the entry that plays as a persistent index of the queue's rows, so that
// songs arriving or leaving the library, and shuffle switched either way, move it with its
// song instead of putting another song under it. Every change of its row is told once by
// currentRowChanged(); the hub copies the row into what it shows from there, and nobody else
// writes it. The controller's playlist keeps its own entry the same way, so a change of the
// rows never needs the controller to be moved. When the entry itself leaves the queue, the
// cursor moves on to the song that took its place (playing it when the gone one played), or
// stops at the end of the queue.
//
// The number of songs in the queue is told the same way, by queueSizeChanged(), after every
// change of the rows and when a model joins; the hub copies it into the music item, live or
// waiting behind a stream, and nobody else writes it. The cursor reads what plays, never
// writes it.
//
// It also tells the hub when the song at the cursor changes (currentSongChanged) and when the
// controller has been moved to the row (controllerMoved); the hub announces those to the
// player's views.
class QueueCursor : public QObject
{
    Q_OBJECT

public:
    QueueCursor(const PlayModes& modes, ZelPlayController* controls,
                const PositionMemory& positions, QObject* parent);
    ~QueueCursor() override;

    PlayQueue& queue() const;
    // The row that plays: a row of the queue, or of the waiting song while there is one.
    int currentRow() const;
    // The songs of the queue, or of the waiting song while there is one.
    int songCount() const;
    PlaybackEnums::ModelOptions flags() const;
    bool isShuffle() const;
    bool isRepeat() const;
    bool allSongsQueue() const;

    // appendModel(): the model (or a copy of it) joins the queue, or replaces it. False when the
    // model cannot be queued; the queue is then as it was.
    // liveState is the hub's: a stopped queue starts over at its first row.
    bool append(QSharedPointer<QAbstractItemModel> model, PlaybackEnums::ModelOptions options,
                int row, PlaybackEnums::State liveState);
    // startPlayback() after the hub has made music live: the cursor goes to index (or to a
    // shuffled start), shuffle and repeat follow the settings, and the controller plays the row
    // (PlayNow) or is only moved there.
    void start(int index, PlaybackEnums::ModelOptions options);
    void playRow(int row);
    // How long a song (or an entry of a playlist file) plays before a previous() starts it
    // again instead of going to the one before it.
    static constexpr uint RestartAfterSeconds = 4;
    // Whether a previous() starts what plays again because of how long it has played: it can
    // seek and has played RestartAfterSeconds or more. Never when forced, nor when fromStart:
    // a previous() that follows a step of the same burst, which left what plays at its start
    // whatever its position says.
    bool restartsOnPrevious(bool force, bool fromStart) const;
    // next(): the row after the cursor, the first after the last. A seekable song alone in
    // the queue, or a seekable stream or file, starts again.
    QueueStep stepForward();
    // previous(): the row before the cursor, the last before the first. A song that
    // restartsOnPrevious(), or a seekable song alone in the queue unless forced, starts again.
    QueueStep stepBack(bool force, bool fromStart = false);
    void setShuffle(bool on);
    void setRepeat(bool on);
    // The queue's songs go; the cursor stays where it is until rewind().
    void clear();
    // Back to the first row.
    void rewind();

    // Moves the controller to the cursor's row, at once (delayMs < 0) or once the delay has
    // passed since the last call; controllerMoved() follows. Wherever the controller is told a
    // row otherwise (a start, a row played, the queue emptied), a move still waiting goes.
    void moveController(int delayMs);
    void moveControllerNow();
    bool isMovingController() const;

    // A song from outside the queue (a saved stream, a local file) waiting to become the queue.
    void setPendingSong(MafwTrackerModel* model);
    QSharedPointer<ContainerModel> pendingSong() const;
    // At the end of the queue the waiting song is played rather than the end reported.
    bool replaysPendingSongAtEnd() const;

    // Puts the cursor on row: the first or second song of the waiting song's queue, or the
    // row that the music waiting behind a stream resumes at.
    void standAt(int row);
    // The controller reports a new item: true when the report comes from the cursor's own
    // reordering of the rows, so the hub takes nothing from it.
    bool takeIgnoredMediaChange();
    // The controller plays row, as a song of the queue reports it. False when the cursor is
    // there already.
    bool followControllerRow(int row);

    // The model that holds the song at the cursor, to read and mark it a favourite; null when
    // no library song is at the cursor.
    QAbstractItemModel* currentSongModel() const;

    // The rows of the queue changed: the cursor's row follows them, and the song count is told.
    void followQueueChange();

signals:
    // The one report of a new row; the song at it may be the same one, moved.
    void currentRowChanged(int row);
    void currentSongChanged();
    // The one report of the number of songs; it may be the number told before.
    void queueSizeChanged(int count);
    // A copy of a model that was queued has read its songs.
    void songsAdded(int count);
    // A model is about to join the queue (the queue holds songs from now on).
    void queueing();
    void controllerMoved();

private:
    void copyCompleted(MafwTrackerModel* copy);
    void followModel(QAbstractItemModel* model);
    // The one writer of the row. A row of the queue is held as a persistent index from now on.
    void setRow(int row);
    // A song's row in the queue's own order (the audiobook filter's rows) and its row in the
    // order it plays in, the one way and the other.
    int rowOfSong(int song) const;
    int songOfRow(int row) const;
    // The entry moved with its rows: the cursor's row follows it.
    void followRows();
    // The rows first..last are about to leave the queue's model.
    void rowsLeaving(int first, int last);
    // The playing entry has left the queue: the cursor moves on to the song after it.
    void currentLeft();

    const PlayModes& modes;
    ZelPlayController* controls;
    const PositionMemory& positions;
    QScopedPointer<PlayQueue> rows;
    QSharedPointer<ContainerModel> pending;
    ParlovanceSettings settings;
    QTimer* moveTimer;
    // The play modes in named state; flags() builds the hub's word from them at its edge.
    bool shuffleOn = false;
    bool repeatOn = false;
    // The bits of the last start's options other than shuffle and repeat.
    PlaybackEnums::ModelOptions otherStartBits;
    bool m_allSongsQueue = false;
    // Where the cursor stands: the entry of the queue, and its row (also while the entry is
    // not there yet, or is a row of the waiting song).
    QPersistentModelIndex entry;
    int row = 0;
    // The playing entry was removed by someone else; the song after it, if any.
    bool currentGone = false;
    QPersistentModelIndex successor;
    // The rows are being reordered: the row changes they report are the cursor's own.
    bool rearranging = false;
    // Spoken word is played in order without touching the user's shuffle setting.
    bool keepShuffleSetting = false;
};

#endif // QUEUECURSOR_H
