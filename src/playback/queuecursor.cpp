#include "queuecursor.h"

#include "common/constants.h"
#include "common/logging.h"
#include "data/containermodel.h"
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
// Flags values that, together with a waiting one-song queue, make the end of the queue play it.
const int PendingReplayFlags = 2 | 4 | 8 | 16;
} // namespace

QueueCursor::QueueCursor(PlayModes& modes, ZelPlayController* controls,
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
        m_flags |= PlayState::RepeatOn;
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
PlayState::ModelOptions QueueCursor::flags() const
{
    return m_flags;
}
bool QueueCursor::isShuffle() const
{
    return m_flags.testFlag(PlayState::ShuffleOn);
}
bool QueueCursor::isRepeat() const
{
    return m_flags.testFlag(PlayState::RepeatOn);
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
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int start, int end) { rowsInserted(start, end); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int start, int end) { rowsRemoved(start, end); });
}

bool QueueCursor::append(QSharedPointer<QAbstractItemModel> model, PlayState::ModelOptions options,
                         int row, PlayState::State liveState)
{
    // What joins the queue is settled first, so that a model that cannot be queued (a failed
    // copy above all) leaves the queue, and what plays, as they were.
    QSharedPointer<QAbstractItemModel> queued = model;
    MafwTrackerModel* copy = nullptr;
    if (options.testFlag(PlayState::CopyModel)) {
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

    m_allSongsQueue = options.testFlag(PlayState::AllSongsQueue);
    ContainerModel* target = rows->container();
    if (!options.testFlag(PlayState::ReplaceQueue) && pending)
        target = pending.data();
    if (options.testFlag(PlayState::ReplaceQueue)) {
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

    PlayItem& live = modes.live;
    live.songCount = rows->shuffleProxy()->rowCount();
    modes.music.songCount = live.songCount;
    if (modes.mode == PlayState::MusicMode) {
        if (liveState == PlayState::NoState || liveState == PlayState::Stopped)
            live.index = 0;
        else if (liveState == PlayState::Playing && isShuffle())
            shuffleSwitched = true;
    } else if (live.songCount < 1 || modes.music.index == -1) {
        live.index = 0;
    }
    emit currentSongChanged();
    return true;
}

void QueueCursor::copyCompleted(MafwTrackerModel* copy)
{
    disconnect(copy, &MafwTrackerModel::completed, this, nullptr);
    emit songsAdded(copy->rowCount());
}

void QueueCursor::start(int index, PlayState::ModelOptions options)
{
    PlayItem& live = modes.live;
    if (!options.testFlag(PlayState::ShuffledStart)) {
        bool shuffle = false;
        const ContainerModel* container = rows->container();
        const int genreColumn = rows->findColumn(Constants::Genre);
        const QString rowGenre = genreColumn < 0 || index < 0 || index >= container->rowCount()
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
        live.index = index;
        // The order is made again even when shuffle stays as it was.
        if (isShuffle() == shuffle)
            m_flags ^= PlayState::ShuffleOn;
        setShuffle(shuffle);
        if (!shuffle) {
            live.index = index;
            options &= ~PlayState::ModelOptions(PlayState::ShuffledStart);
        } else {
            options |= PlayState::ShuffledStart;
        }
    } else {
        keepShuffleSetting = true;
        m_flags &= ~PlayState::ModelOptions(PlayState::ShuffleOn);
        live.index = -1;
        setShuffle(true);
        live.index = 0;
    }
    keepShuffleSetting = false;
    settle();
    rows->shuffleProxy()->setCurrentIndex(live.index);
    if (options.testFlag(PlayState::PlayNow)) {
        options &= ~PlayState::ModelOptions(PlayState::PlayNow);
        controls->play(uint(qMax(0, live.index)));
    } else {
        controls->setPlaylistIndex(live.index);
    }

    m_flags = options;
    if (settings.value(Constants::RepeatOn, false).toBool())
        m_flags |= PlayState::RepeatOn;
    setRepeat(m_flags.testFlag(PlayState::RepeatOn));
}

void QueueCursor::playRow(int row)
{
    settle();
    modes.live.index = row;
    rows->shuffleProxy()->setCurrentIndex(row);
    controls->play(uint(qMax(0, row)));
    emit currentSongChanged();
}

QueueStep QueueCursor::stepForward()
{
    PlayItem& live = modes.live;
    if (pending) {
        if (pending->rowCount() < 2)
            return QueueStep::Restarts;
        ++live.index;
        return QueueStep::PlaysPendingSong;
    }
    // A stream or a single file is a queue of its own; the music queue's cursor stays.
    if (modes.mode == PlayState::RadioMode)
        return live.seekable ? QueueStep::Restarts : QueueStep::Stays;
    if (live.seekable && rows->playlist()->count() < 2)
        return QueueStep::Restarts;
    ++live.index;
    if (live.index >= rows->rowCount())
        live.index = 0;
    settle();
    return QueueStep::Moves;
}

QueueStep QueueCursor::stepBack(bool force)
{
    PlayItem& live = modes.live;
    if (live.seekable && !force && (rows->playlist()->count() < 2 || live.position >= 4))
        return QueueStep::Restarts;
    if (pending) {
        if (pending->rowCount() < 2)
            return QueueStep::Stays;
        live.index = pending->rowCount() - 1;
        return QueueStep::PlaysPendingSong;
    }
    if (rows->playlist()->count() < 2 || live.contentType != PlayState::SongContent)
        return QueueStep::Stays;
    --live.index;
    if (live.index < 0)
        live.index = rows->rowCount() - 1;
    settle();
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
    if (on)
        m_flags |= PlayState::ShuffleOn;
    else
        m_flags &= ~PlayState::ModelOptions(PlayState::ShuffleOn);
    shuffleSwitched = true;
    rearranging = true;
    ignoreMediaChange = true;
    modes.live.index = rows->shuffleProxy()->setShuffle(on, modes.live.index);
    if (!keepShuffleSetting)
        settings.setValue(Constants::ShuffleOn, on ? 1 : 0);
    if (rows->audiobookFilter()->filterEnabled() != on) {
        // The controller may have reported the reordering already.
        ignoreMediaChange = true;
        rows->audiobookFilter()->setFilterEnabled(on);
    }
    rearranging = false;
    emit currentSongChanged();
}

void QueueCursor::setRepeat(bool on)
{
    int repeatMode = MafwPlaylist::RepeatOff;
    if (!on) {
        settings.setValue(Constants::RepeatOn, false);
        m_flags &= ~PlayState::ModelOptions(PlayState::RepeatOn);
    } else {
        m_flags |= PlayState::RepeatOn;
        settings.setValue(Constants::RepeatOn, true);
        repeatMode = MafwPlaylist::RepeatAll;
    }
    if (modes.live.contentType != PlayState::UrlContent)
        rows->playlist()->setRepeat(repeatMode);
}

void QueueCursor::clear()
{
    rows->container()->clear();
}

void QueueCursor::rewind()
{
    modes.live.index = 0;
    rows->shuffleProxy()->setCurrentIndex(0);
    settle();
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
    rows->shuffleProxy()->setCurrentIndex(modes.live.index);
    controls->setPlaylistIndex(modes.live.index);
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
    return pending && ((int(m_flags) & PendingReplayFlags) || pending->rowCount() > 1);
}

bool QueueCursor::playOnAfterShuffleSwitch()
{
    if (!shuffleSwitched || !isShuffle())
        return false;
    shuffleSwitched = false;
    PlayItem& live = modes.live;
    ++live.index;
    if (live.index >= rows->rowCount())
        return false;
    controls->play(uint(live.index));
    rows->shuffleProxy()->setCurrentIndex(live.index);
    emit currentSongChanged();
    return true;
}

bool QueueCursor::takeIgnoredMediaChange()
{
    if (ignoreMediaChange) {
        ignoreMediaChange = false;
        return true;
    }
    return rearranging;
}

bool QueueCursor::chooseRowAfterShuffleSwitch()
{
    if (!shuffleSwitched)
        return false;
    shuffleSwitched = false;
    PlayItem& live = modes.live;
    bool chosen = false;
    if (live.index >= live.songCount - 1) {
        if (isRepeat()) {
            live.index = 0;
            chosen = true;
        }
    } else {
        ++live.index;
        chosen = true;
    }
    if (chosen) {
        controls->setPlaylistIndex(live.index);
        rows->shuffleProxy()->setCurrentIndex(live.index);
        emit currentSongChanged();
    }
    return true;
}

bool QueueCursor::followControllerRow(int row)
{
    if (row == modes.live.index)
        return false;
    modes.live.index = row;
    rows->shuffleProxy()->setCurrentIndex(row);
    return true;
}

void QueueCursor::settle()
{
    shuffleSwitched = false;
    ignoreMediaChange = false;
}

QAbstractItemModel* QueueCursor::currentSongModel() const
{
    if (pending)
        return pending.data();
    if (isShuffle())
        return rows->shuffleProxy().data();
    if (modes.item(PlayState::MusicMode).contentType == PlayState::SongContent)
        return rows->container();
    return nullptr;
}

void QueueCursor::rowsInserted(int start, int end)
{
    if (rearranging && start <= modes.live.index)
        modes.live.index += end - start + 1;
    followQueueChange();
}

void QueueCursor::rowsRemoved(int start, int end)
{
    if (rearranging && start <= modes.live.index)
        modes.live.index -= end - start + 1;
    followQueueChange();
}

void QueueCursor::followQueueChange()
{
    const int count = pending ? pending->rowCount() : rows->rowCount();
    if (count != modes.live.songCount) {
        modes.live.songCount = count;
        modes.music.songCount = count;
        emit songCountChanged(count);
    }
    if (!rearranging)
        emit currentSongChanged();
}
