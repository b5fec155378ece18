#ifndef QUEUECURSOR_H
#define QUEUECURSOR_H

#include "common/parlovancesettings.h"
#include "playback/playstate.h"

#include <QObject>
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
// The row that plays is the music mode's index in the playing modes' items. The cursor moves
// it together with the queue's models and the controller, and tells the hub when the song at
// the cursor changes (currentSongChanged), when the number of queued songs does
// (songCountChanged) and when the controller has been moved to the row (controllerMoved); the
// hub announces those to the player's views.
//
// A shuffle switched on while a song plays leaves the controller's idea of the next song stale:
// the cursor remembers the switch until the song changes (settle()), and chooses the next row
// itself when the controller moves on meanwhile.
class QueueCursor : public QObject
{
    Q_OBJECT

public:
    QueueCursor(PlayModes& modes, ZelPlayController* controls, const PositionMemory& positions,
                QObject* parent);
    ~QueueCursor() override;

    PlayQueue& queue() const;
    PlayState::ModelOptions flags() const;
    bool isShuffle() const;
    bool isRepeat() const;
    bool allSongsQueue() const;

    // appendModel(): the model (or a copy of it) joins the queue, or replaces it. False when the
    // model cannot be queued; the queue is then as it was.
    // liveState is the hub's: a stopped queue starts over at its first row.
    bool append(QSharedPointer<QAbstractItemModel> model, PlayState::ModelOptions options, int row,
                PlayState::State liveState);
    // startPlayback() after the hub has made music live: the cursor goes to index (or to a
    // shuffled start), shuffle and repeat follow the settings, and the controller plays the row
    // (PlayNow) or is only moved there.
    void start(int index, PlayState::ModelOptions options);
    void playRow(int row);
    // next(): the row after the cursor, the first after the last. A seekable song alone in
    // the queue, or a seekable stream or file, starts again.
    QueueStep stepForward();
    // previous(): the row before the cursor, the last before the first. Unless forced, a
    // seekable song that has played 4 seconds or more, or is alone, starts again.
    QueueStep stepBack(bool force);
    void setShuffle(bool on);
    void setRepeat(bool on);
    // The queue's songs go; the cursor stays where it is until rewind().
    void clear();
    // Back to the first row, with no shuffle switch pending.
    void rewind();

    // Moves the controller to the cursor's row, at once (delayMs < 0) or once the delay has
    // passed since the last call; controllerMoved() follows.
    void moveController(int delayMs);
    void moveControllerNow();
    bool isMovingController() const;

    // A song from outside the queue (a saved stream, a local file) waiting to become the queue.
    void setPendingSong(MafwTrackerModel* model);
    QSharedPointer<ContainerModel> pendingSong() const;
    // At the end of the queue the waiting song is played rather than the end reported.
    bool replaysPendingSongAtEnd() const;

    // The queue's song ended while shuffle had been switched on during it: the next row plays.
    // False when shuffle was not switched, or the queue has no row after the current one.
    bool playOnAfterShuffleSwitch();
    // The controller reports a new item: true when the report comes from the cursor's own
    // reordering of the rows, so the hub takes nothing from it.
    bool takeIgnoredMediaChange();
    // The controller moved to a new song while a shuffle switch was pending: the cursor chooses
    // the next row of the new order itself. False when no switch was pending.
    bool chooseRowAfterShuffleSwitch();
    // The controller plays row, as a song of the queue reports it. False when the cursor is
    // there already.
    bool followControllerRow(int row);
    // A user's move (next, previous, pause, stop...) replaces any pending shuffle switch.
    void settle();

    // The model that holds the song at the cursor, to read and mark it a favourite; null when
    // no library song is at the cursor.
    QAbstractItemModel* currentSongModel() const;

    void rowsInserted(int start, int end);
    void rowsRemoved(int start, int end);

signals:
    void currentSongChanged();
    void songCountChanged(int count);
    // A copy of a model that was queued has read its songs.
    void songsAdded(int count);
    // A model is about to join the queue (the queue holds songs from now on).
    void queueing();
    void controllerMoved();

private:
    void copyCompleted(MafwTrackerModel* copy);
    void followQueueChange();
    void followModel(QAbstractItemModel* model);

    PlayModes& modes;
    ZelPlayController* controls;
    const PositionMemory& positions;
    QScopedPointer<PlayQueue> rows;
    QSharedPointer<ContainerModel> pending;
    ParlovanceSettings settings;
    QTimer* moveTimer;
    PlayState::ModelOptions m_flags;
    bool m_allSongsQueue = false;
    // Shuffle was switched on while the playing song plays.
    bool shuffleSwitched = false;
    // The rows are being reordered: the row changes they report are the cursor's own.
    bool rearranging = false;
    // The controller's next item report comes from a reordering, not a new song.
    bool ignoreMediaChange = false;
    // Spoken word is played in order without touching the user's shuffle setting.
    bool keepShuffleSetting = false;
};

#endif // QUEUECURSOR_H
