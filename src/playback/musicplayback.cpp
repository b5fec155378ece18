#include "musicplayback.h"

#include "activity/latestactivitycontroller.h"
#include "applicationactionmediator.h"
#include "common/constants.h"
#include "common/logging.h"
#include "data/containermodel.h"
#include "data/modelcolumns.h"
#include "mafwplaylist.h"
#include "musicapplicationactioncontent.h"
#include "playback/musichost.h"
#include "playback/playmodes.h"
#include "playback/playqueue.h"
#include "playback/positionmemory.h"
#include "playback/queuecursor.h"
#include "playback/songdata.h"
#include "zelplaycontroller.h"

MusicPlayback::MusicPlayback(const PlayModes& modes, ZelPlayController* controls,
                             QueueCursor& cursor, PositionMemory& positions, MusicHost& host,
                             QObject* parent)
    : QObject(parent)
    , modes(modes)
    , controls(controls)
    , cursor(cursor)
    , positions(positions)
    , host(host)
{
}

PlayQueue& MusicPlayback::queue() const
{
    return cursor.queue();
}

PlayItem MusicPlayback::musicItem() const
{
    return modes.item(PlaybackEnums::MusicMode);
}

int MusicPlayback::start(int index, PlaybackEnums::ModelOptions options)
{
    if (host.refusePlayback())
        return -1;
    if (modes.mode == PlaybackEnums::RadioMode) {
        host.saveLiveItem();
        controls->setPlaylist(queue().playlistId(), false);
    }
    host.setLiveMode(PlaybackEnums::MusicMode);
    PlayItem song = musicItem();
    song.streamUrl = QUrl();
    emit songLoaded(song);
    setSongContent();
    cursor.start(index, options);
    song = musicItem();
    song.position = 0;
    emit songLoaded(song);
    announceSong();
    host.ignoreNextCompletion(false);
    controls->setPositionUpdateInterval(1);
    return cursor.currentRow();
}

void MusicPlayback::startPendingSong(PlaybackEnums::ModelOptions options)
{
    const QSharedPointer<ContainerModel> pending = cursor.pendingSong();
    if (!pending)
        return;
    controls->setPlaylist(queue().playlistId(), false);
    const int remembered = cursor.currentRow();
    cursor.append(pending, PlaybackEnums::ReplaceQueue, -1, host.liveState());
    cursor.standAt(remembered);
    emit pendingSongQueued();
    if (queue().container()->rowCount() > 0)
        start(cursor.currentRow(), options);
}

void MusicPlayback::step(QueueStep step, bool backwards, int delayMs)
{
    switch (step) {
    case QueueStep::Restarts:
        host.restartLive();
        return;
    case QueueStep::PlaysPendingSong:
        startPendingSong(PlaybackEnums::PlayNow);
        return;
    case QueueStep::Stays:
        return;
    case QueueStep::Moves:
        break;
    }
    moved(backwards ? -1 : 1, delayMs);
}

void MusicPlayback::moved(int songs, int delayMs)
{
    previousDirection = songs < 0;
    m_trackNumber += songs;
    if (modes.mode == PlaybackEnums::MusicMode) {
        positions.saveToSettings(modes.live);
        announceSong();
    }
    PlayItem song = musicItem();
    song.position = 0;
    emit songLoaded(song);
    cursor.moveController(delayMs);
}

void MusicPlayback::announceSong()
{
    if (modes.mode == PlaybackEnums::RadioMode) {
        // The music snapshot keeps describing the song that resumes when music comes back.
        const int count = queue().rowCount();
        const int index = modes.music.index;
        const int row = index >= 0 && index < count ? index : (count > 0 ? 0 : -1);
        const PlayItem queued = queue().item(row);
        cursor.standAt(row);
        PlayItem waiting = musicItem();
        if (queued.songId != waiting.songId)
            waiting.position = 0;
        waiting.setSong(queued);
        emit songLoaded(waiting);
        emit songChanged(waiting.title, waiting.album, waiting.artist, waiting.index,
                         previousDirection);
        emit durationChanged(waiting.duration);
        emit positionChanged(waiting.position);
        return;
    }

    const PlayItem& live = modes.live;
    storePosition(int(live.position), live.songId);
    const PlayItem queued = queue().item(live.index);
    const PlaybackEnums::State state = host.liveState();
    PlayItem song = live;
    if (state == PlaybackEnums::NoState || state == PlaybackEnums::Stopped
        || queued.songId != song.songId)
        song.position = 0;
    const bool newDuration = queued.duration != song.duration;
    song.setSong(queued);
    emit songLoaded(song);
    positions.requestAfterStores(live);
    emit songChanged(live.title, live.album, live.artist, live.index, previousDirection);
    previousDirection = false;
    emit positionChanged(live.position);
    if (newDuration)
        emit durationChanged(live.duration);
}

void MusicPlayback::songMediaChanged(const ZelMetadataHandler* handler)
{
    // While a skip waits out its delay the controller still holds the song being left: a late
    // word of it would take the cursor and the texts back there, and the skips would be lost.
    if (cursor.isMovingController())
        return;
    const SongData* song = qobject_cast<const SongData*>(handler);
    MafwPlaylist* current = controls->playlist();
    if (song && current && song->queuePosition() - 1 != current->currentIndex())
        return;
    setSongContent();
    if (!song)
        return;
    PlayItem item = musicItem();
    bool changed = item.setTexts(song->title(), song->album(), song->artist());
    emit songLoaded(item);
    if (cursor.followControllerRow(song->queuePosition() - 1))
        changed = true;
    item = musicItem();
    item.genre = song->genre();
    const bool newSong = song->songId() != item.songId;
    if (newSong) {
        item.songId = song->songId();
        // The controller moved on by itself: the position reported last was the old song's.
        item.position = 0;
    }
    item.albumId = song->albumId();
    item.songUri = song->uri();
    emit songLoaded(item);
    if (newSong)
        positions.request(modes.live);
    if (changed)
        emit songChanged(modes.live.title, modes.live.album, modes.live.artist, modes.live.index,
                         false);
    emit positionChanged(modes.live.position);
}

void MusicPlayback::endOfQueue()
{
    cursor.clear();
    cursor.rewind();
    PlayItem song = musicItem();
    song.songId = -1;
    song.albumId = -1;
    song.songCount = 0;
    song.position = 0;
    song.duration = 0;
    emit songLoaded(song);
    if (cursor.replaysPendingSongAtEnd()) {
        cursor.standAt(cursor.pendingSong()->rowCount() > 1 ? 1 : 0);
        startPendingSong(PlaybackEnums::PlayNow);
        return;
    }
    if (host.takeIgnoredCompletion())
        return;
    if (host.liveState() == PlaybackEnums::Transitioning)
        return;
    emit playbackCompleted();
    controls->stop();
    controls->setPlaylist(queue().playlistId(), false);
    song = musicItem();
    song.contentType = PlaybackEnums::SongContent;
    song.seekable = true;
    emit songLoaded(song);
    emit contentTypeChanged(PlaybackEnums::SongContent);
}

void MusicPlayback::setSongContent()
{
    PlayItem song = musicItem();
    if (song.contentType == PlaybackEnums::SongContent)
        return;
    song.contentType = PlaybackEnums::SongContent;
    song.seekable = true;
    emit songLoaded(song);
    emit contentTypeChanged(PlaybackEnums::SongContent);
}

int MusicPlayback::trackNumber() const
{
    return m_trackNumber;
}

void MusicPlayback::setTrackNumber(int trackNumber)
{
    m_trackNumber = trackNumber;
}

void MusicPlayback::storePosition(int position, int songId)
{
    if (positions.store(modes.live, position, songId))
        updateLatestActivityTrack();
}

void MusicPlayback::updateLatestActivityTrack()
{
    if (positions.isRemembered(modes.live.genre))
        LatestActivityController::instance()->setTrackNo(modes.live.album, m_trackNumber);
}

void MusicPlayback::toggleFavorite()
{
    QAbstractItemModel* model = cursor.currentSongModel();
    if (!model) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- Failed, not tracker song";
        return;
    }
    const QModelIndex cell = model->index(modes.live.index, SongColumns().favorited);
    if (!cell.isValid())
        return;
    const bool favourite = !cell.data(Qt::DisplayRole).toBool();
    if (model->setData(cell, favourite, Qt::EditRole))
        emit favoriteState(modes.live.songUri, favourite);
}

void MusicPlayback::checkFavorite()
{
    QAbstractItemModel* model = cursor.currentSongModel();
    if (!model) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- Can't get favorite status (is not tracker song)";
        return;
    }
    const QModelIndex cell = model->index(modes.live.index, SongColumns().favorited);
    if (cell.isValid())
        emit favoriteState(modes.live.songUri, cell.data(Qt::DisplayRole).toBool());
}

void MusicPlayback::announcePlayAction()
{
    const PlayItem& music = modes.item(PlaybackEnums::MusicMode);
    MusicApplicationActionContent content(this);
    content.setValue(QLatin1String(MusicApplicationActionContent::SongField), music.title);
    content.setValue(QLatin1String(MusicApplicationActionContent::ArtistField), music.artist);
    content.setValue(QLatin1String(MusicApplicationActionContent::AlbumField), music.album);
    content.setValue(QLatin1String(MusicApplicationActionContent::GenreField), music.genre);
    content.setType(0);
    ApplicationActionMediator::instance()->announcePlayAction(&content);
}
