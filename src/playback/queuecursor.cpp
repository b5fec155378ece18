#include "queuecursor.h"

#include "common/constants.h"
#include "common/logging.h"
#include "data/containermodel.h"
#include "data/modelcolumns.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwgeneralsourceplaylist.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "playback/audiobookfilterproxymodel.h"
#include "playback/playmodes.h"
#include "playback/playqueue.h"
#include "playback/positionmemory.h"
#include "playback/shuffleproxymodel.h"
#include "zelplaycontroller.h"

#include <QTimer>

namespace {
// Bits of the last start's options that, together with a waiting one-song queue, make the end
// of the queue play it (repeat counts too).
const int PendingReplayStartBits = 2 | 4 | 16;
} // namespace

QueueCursor::QueueCursor(const PlayModes& modes, ZelPlayController* controls,
                         const PositionMemory& positions, QObject* parent)
    : QObject(parent)
    , modes(modes)
    , controls(controls)
    , positions(positions)
    , rows(new PlayQueue)
    , moveTimer(new QTimer(this))
{
    connect(moveTimer, &QTimer::timeout, this, &QueueCursor::moveControllerNow);
    followModel(rows->model());
    if (!settings.contains(Constants::RepeatOn)) {
        settings.setValue(Constants::RepeatOn, false);
    } else if (settings.value(Constants::RepeatOn, false).toBool()) {
        rows->playlist()->setRepeat(MafwPlaylist::RepeatAll);
        repeatOn = true;
    }
}

QueueCursor::~QueueCursor()
{
    disconnect(rows->model(), nullptr, this, nullptr);
}

PlayQueue& QueueCursor::queue() const
{
    return *rows;
}
int QueueCursor::currentRow() const
{
    return row;
}
int QueueCursor::songCount() const
{
    return pending ? pending->rowCount() : rows->rowCount();
}
PlaybackEnums::ModelOptions QueueCursor::flags() const
{
    PlaybackEnums::ModelOptions word = otherStartBits;
    word.setFlag(PlaybackEnums::ShuffleOn, shuffleOn);
    word.setFlag(PlaybackEnums::RepeatOn, repeatOn);
    return word;
}
bool QueueCursor::isShuffle() const
{
    return shuffleOn;
}
bool QueueCursor::isRepeat() const
{
    return repeatOn;
}
bool QueueCursor::allSongsQueue() const
{
    return m_allSongsQueue;
}
QSharedPointer<ContainerModel> QueueCursor::pendingSong() const
{
    return pending;
}

void QueueCursor::followModel(QAbstractItemModel* model)
{
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, model](const QModelIndex&, int first, int last) {
                if (model == rows->model())
                    rowsLeaving(first, last);
            });
    connect(model, &QAbstractItemModel::rowsInserted, this, &QueueCursor::followQueueChange);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &QueueCursor::followQueueChange);
    // A new order, or a reset (the queue's columns come and go with its first and last song
    // models, its rows staying for the moment), moves the entry but tells no new song count.
    connect(model, &QAbstractItemModel::layoutChanged, this, &QueueCursor::followRows);
    connect(model, &QAbstractItemModel::modelReset, this, &QueueCursor::followRows);
}

void QueueCursor::setRow(int to)
{
    QAbstractItemModel* model = rows->model();
    entry = !pending && model && to >= 0 ? QPersistentModelIndex(model->index(to, 0))
                                         : QPersistentModelIndex();
    if (to == row)
        return;
    row = to;
    emit currentRowChanged(row);
}

int QueueCursor::rowOfSong(int song) const
{
    const QSharedPointer<ShuffleProxyModel> proxy = rows->shuffleProxy();
    if (!proxy->isShuffled() || !proxy->sourceModel())
        return song;
    const QModelIndex at = proxy->mapFromSource(proxy->sourceModel()->index(song, 0));
    return at.isValid() ? at.row() : song;
}

int QueueCursor::songOfRow(int at) const
{
    const QSharedPointer<ShuffleProxyModel> proxy = rows->shuffleProxy();
    if (!proxy->isShuffled())
        return at;
    const QModelIndex song = proxy->mapToSource(proxy->index(at, 0));
    return song.isValid() ? song.row() : at;
}

void QueueCursor::rowsLeaving(int first, int last)
{
    // The cursor's own rearranging (a queue replaced or emptied, an order made again) is
    // followed by the cursor's own choice of row; only a removal made by someone else, the
    // library losing a song above all, moves it on.
    if (rearranging || pending || !entry.isValid() || currentGone)
        return;
    if (entry.row() < first || entry.row() > last)
        return;
    currentGone = true;
    QAbstractItemModel* model = rows->model();
    successor = QPersistentModelIndex(model->index(last + 1, 0));
    // A removal may come in several runs (a shuffled queue loses its rows one by one): the
    // cursor moves on once they are all through.
    QTimer::singleShot(0, this, &QueueCursor::currentLeft);
}

bool QueueCursor::append(QSharedPointer<QAbstractItemModel> model,
                         PlaybackEnums::ModelOptions options, int row,
                         PlaybackEnums::State liveState)
{
    // What joins the queue is settled first, so that a model that cannot be queued (a failed
    // copy above all) leaves the queue, and what plays, as they were.
    QSharedPointer<QAbstractItemModel> queued = model;
    MafwTrackerModel* copy = nullptr;
    if (options.testFlag(PlaybackEnums::CopyModel)) {
        const QSharedPointer<MafwTrackerModel> tracker = model.objectCast<MafwTrackerModel>();
        if (!tracker) {
            qCDebug(lcPlayback) << Q_FUNC_INFO << "- Invalid model!";
            return false;
        }
        MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
        copy = factory ? factory->copyModel(tracker, row) : nullptr;
        queued = QSharedPointer<QAbstractItemModel>(copy);
    }
    if (!queued) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- no model to queue; the queue stays as it is";
        return false;
    }

    m_allSongsQueue = options.testFlag(PlaybackEnums::AllSongsQueue);
    rearranging = true;
    ContainerModel* target = rows->container();
    if (!options.testFlag(PlaybackEnums::ReplaceQueue) && pending)
        target = pending.data();
    if (options.testFlag(PlaybackEnums::ReplaceQueue)) {
        rows->container()->clear();
        // The audiobook filter belongs to the shuffled queue being replaced; starting the new
        // one sets it again. Left on, it would hide a queue of audiobooks whole, and a page
        // waiting for the queue's first songs would wait for ever.
        rows->audiobookFilter()->setFilterEnabled(false);
        if (pending) {
            disconnect(pending.data(), nullptr, this, nullptr);
            pending.clear();
        }
    }
    MafwPlaylist* current = controls->playlist();
    if (!current || current->id() != rows->playlistId())
        controls->setPlaylist(rows->playlistId(), false);
    emit queueing();

    target->append(queued);
    if (copy) {
        if (!copy->isCompleted())
            connect(copy, &MafwTrackerModel::completed, this,
                    [this, copy]() { copyCompleted(copy); });
        else
            emit songsAdded(copy->rowCount());
    }

    rearranging = false;
    const int count = rows->shuffleProxy()->rowCount();
    emit queueSizeChanged(count);
    if (modes.mode == PlaybackEnums::MusicMode) {
        if (liveState == PlaybackEnums::NoState || liveState == PlaybackEnums::Stopped)
            setRow(0);
        else
            setRow(entry.isValid() ? entry.row() : currentRow());
    } else if (count < 1 || modes.music.index == -1) {
        setRow(0);
    } else {
        setRow(entry.isValid() ? entry.row() : currentRow());
    }
    emit currentSongChanged();
    return true;
}

void QueueCursor::copyCompleted(MafwTrackerModel* copy)
{
    disconnect(copy, &MafwTrackerModel::completed, this, nullptr);
    emit songsAdded(copy->rowCount());
}

void QueueCursor::start(int index, PlaybackEnums::ModelOptions options)
{
    if (!options.testFlag(PlaybackEnums::ShuffledStart)) {
        bool shuffle = false;
        const ContainerModel* container = rows->container();
        const int genreColumn = SongColumns().genre;
        const QString rowGenre = genreColumn >= container->columnCount() || index < 0
                                         || index >= container->rowCount()
                                     ? QString()
                                     : container->index(index, genreColumn).data().toString();
        if (positions.isRemembered(rowGenre)) {
            // Spoken word plays in order and leaves the user's shuffle choice alone.
            keepShuffleSetting = true;
        } else {
            keepShuffleSetting = false;
            shuffle = settings.value(Constants::ShuffleOn, false).toBool();
        }
        rows->audiobookFilter()->setFilterEnabled(false);
        // index counts the queue's songs in their own order; a shuffled queue shows that song
        // elsewhere.
        setRow(rowOfSong(index));
        // The order is made again even when shuffle stays as it was.
        if (isShuffle() == shuffle)
            shuffleOn = !shuffleOn;
        setShuffle(shuffle);
        if (!shuffle) {
            setRow(index);
            options &= ~PlaybackEnums::ModelOptions(PlaybackEnums::ShuffledStart);
        } else {
            options |= PlaybackEnums::ShuffledStart;
        }
    } else {
        keepShuffleSetting = true;
        shuffleOn = false;
        setRow(-1);
        setShuffle(true);
        setRow(0);
    }
    keepShuffleSetting = false;
    moveTimer->stop();
    if (options.testFlag(PlaybackEnums::PlayNow)) {
        options &= ~PlaybackEnums::ModelOptions(PlaybackEnums::PlayNow);
        controls->play(uint(qMax(0, row)));
    } else {
        controls->setPlaylistIndex(row);
    }

    // A start's options name the shuffle it started with; what else they hold is kept for
    // the callers that read the whole word, and repeat comes from the settings alone.
    shuffleOn = options.testFlag(PlaybackEnums::ShuffleOn);
    otherStartBits = options
                     & ~PlaybackEnums::ModelOptions(PlaybackEnums::ShuffleOn
                                                    | PlaybackEnums::RepeatOn);
    setRepeat(options.testFlag(PlaybackEnums::RepeatOn)
              || settings.value(Constants::RepeatOn, false).toBool());
}

void QueueCursor::playRow(int to)
{
    moveTimer->stop();
    setRow(to);
    controls->play(uint(qMax(0, to)));
    emit currentSongChanged();
}

QueueStep QueueCursor::stepForward()
{
    const PlayItem& live = modes.live;
    if (pending) {
        if (pending->rowCount() < 2)
            return QueueStep::Restarts;
        setRow(row + 1);
        return QueueStep::PlaysPendingSong;
    }
    // A stream or a single file is a queue of its own; the music queue's cursor stays.
    if (modes.mode == PlaybackEnums::RadioMode)
        return live.seekable ? QueueStep::Restarts : QueueStep::Stays;
    if (live.seekable && rows->playlist()->count() < 2)
        return QueueStep::Restarts;
    setRow(row + 1 >= rows->rowCount() ? 0 : row + 1);
    return QueueStep::Moves;
}

bool QueueCursor::restartsOnPrevious(bool force, bool fromStart) const
{
    const PlayItem& live = modes.live;
    return live.seekable && !force && !fromStart && live.position >= RestartAfterSeconds;
}

QueueStep QueueCursor::stepBack(bool force, bool fromStart)
{
    const PlayItem& live = modes.live;
    if (restartsOnPrevious(force, fromStart)
        || (live.seekable && !force && rows->playlist()->count() < 2))
        return QueueStep::Restarts;
    if (pending) {
        if (pending->rowCount() < 2)
            return QueueStep::Stays;
        setRow(pending->rowCount() - 1);
        return QueueStep::PlaysPendingSong;
    }
    if (rows->playlist()->count() < 2 || live.contentType != PlaybackEnums::SongContent)
        return QueueStep::Stays;
    setRow(row > 0 ? row - 1 : rows->rowCount() - 1);
    return QueueStep::Moves;
}

void QueueCursor::setShuffle(bool on)
{
    if (on == isShuffle())
        return;
    // A song change still waiting out its delay is made first, so the order is made again
    // around the song on display: a shuffle tapped right after a skip is never lost while its
    // button shows it on.
    if (moveTimer->isActive())
        moveControllerNow();
    shuffleOn = on;
    rearranging = true;
    // The order changes as a layout, so the entry, the controller's included, keeps its song.
    // Switching on, the proxy takes the current song by its row in the queue's own order.
    const int at = rows->shuffleProxy()->setShuffle(on, on ? songOfRow(row) : row);
    if (!keepShuffleSetting)
        settings.setValue(Constants::ShuffleOn, on ? 1 : 0);
    if (rows->audiobookFilter()->filterEnabled() != on) {
        rows->audiobookFilter()->setFilterEnabled(on);
    }
    rearranging = false;
    setRow(entry.isValid() ? entry.row() : at);
    emit currentSongChanged();
}

void QueueCursor::setRepeat(bool on)
{
    int repeatMode = MafwPlaylist::RepeatOff;
    if (!on) {
        settings.setValue(Constants::RepeatOn, false);
        repeatOn = false;
    } else {
        repeatOn = true;
        settings.setValue(Constants::RepeatOn, true);
        repeatMode = MafwPlaylist::RepeatAll;
    }
    if (modes.live.contentType != PlaybackEnums::UrlContent)
        rows->playlist()->setRepeat(repeatMode);
}

void QueueCursor::clear()
{
    moveTimer->stop();
    rearranging = true;
    rows->container()->clear();
    rearranging = false;
    emit currentSongChanged();
}

void QueueCursor::rewind()
{
    setRow(0);
}

void QueueCursor::moveController(int delayMs)
{
    if (delayMs < 0)
        moveControllerNow();
    else
        moveTimer->start(delayMs);
}

void QueueCursor::moveControllerNow()
{
    moveTimer->stop();
    controls->setPlaylistIndex(row);
    emit controllerMoved();
}

bool QueueCursor::isMovingController() const
{
    return moveTimer->isActive();
}

void QueueCursor::setPendingSong(MafwTrackerModel* model)
{
    if (!model)
        return;
    if (pending)
        disconnect(pending.data(), nullptr, this, nullptr);
    pending = QSharedPointer<ContainerModel>(new ContainerModel);
    pending->append(QSharedPointer<QAbstractItemModel>(model));
    followModel(pending.data());
}

bool QueueCursor::replaysPendingSongAtEnd() const
{
    return pending
           && (repeatOn || (int(otherStartBits) & PendingReplayStartBits)
               || pending->rowCount() > 1);
}

void QueueCursor::standAt(int to)
{
    const int before = row;
    setRow(to);
    // The items that copy the row may hold another one (a mode's snapshot): told again.
    if (row == before)
        emit currentRowChanged(row);
}

bool QueueCursor::takeIgnoredMediaChange()
{
    // A new order is a layout change that the controller follows without a report of its own,
    // so only a report sent while the rows are being rearranged is not news.
    return rearranging;
}

bool QueueCursor::followControllerRow(int to)
{
    // A report of no row (a song handler cleared) moves nothing.
    if (to < 0 || to == row)
        return false;
    setRow(to);
    return true;
}

QAbstractItemModel* QueueCursor::currentSongModel() const
{
    if (pending)
        return pending.data();
    if (isShuffle())
        return rows->shuffleProxy().data();
    if (modes.item(PlaybackEnums::MusicMode).contentType == PlaybackEnums::SongContent)
        return rows->container();
    return nullptr;
}

void QueueCursor::followQueueChange()
{
    emit queueSizeChanged(songCount());
    followRows();
}

void QueueCursor::followRows()
{
    if (rearranging || currentGone)
        return;
    // A moved entry takes its row along; one not held yet (its rows still coming, or a reset)
    // is taken at the row the cursor keeps.
    const int before = row;
    setRow(entry.isValid() ? entry.row() : row);
    if (row != before)
        emit currentSongChanged();
}

void QueueCursor::currentLeft()
{
    if (!currentGone)
        return;
    currentGone = false;
    const int count = rows->rowCount();
    const int at = successor.isValid() ? successor.row() : count;
    successor = QPersistentModelIndex();
    moveTimer->stop();
    const MafwRenderer::State state = controls->state();
    const bool sounding = state == MafwRenderer::Playing || state == MafwRenderer::Transitioning;
    if (count == 0) {
        // Nothing is left to play: what played stops, and the cursor waits at the start.
        controls->stop();
        setRow(0);
    } else if (at < count || isRepeat()) {
        // The song that took its place plays on in its stead, or waits as the gone one did.
        setRow(at < count ? at : 0);
        if (sounding)
            controls->play(uint(row));
        else
            controls->setPlaylistIndex(row);
    } else {
        // The last song went: the queue has played to its end.
        controls->stop();
        setRow(0);
        controls->setPlaylistIndex(0);
    }
    emit currentSongChanged();
}
