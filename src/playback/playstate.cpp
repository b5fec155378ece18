#include "playstate.h"

#include "common/logging.h"
#include "data/contentmanager.h"
#include "data/contentmanagermodel.h"
#include "shell/errormessage.h"
#include "mafwregistry.h"
#include "mafwtrackermodel.h"
#include "shell/parlovanceapplicationservice.h"
#include "errorrecovery.h"
#include "massstoragewatch.h"
#include "musicbridge.h"
#include "musicplayback.h"
#include "playmodes.h"
#include "playqueue.h"
#include "queuecursor.h"
#include "radiobridge.h"
#include "recoverybridge.h"
#include "replaceditem.h"
#include "fastseek.h"
#include "positionmemory.h"
#include "radioplayback.h"
#include "sheetlistenerlist.h"
#include "shuffleproxymodel.h"
#include "songdata.h"
#include "streamdata.h"
#include "zelplaycontrols.h"

#include <QTimer>

#include <utility>

namespace {

const char* const RendererId = "mafw_gst_renderer";
const int ReleaseSheetDelayMs = 500;

} // namespace

PlayState* PlayState::s_instance = nullptr;

PlayState* PlayState::instance()
{
    if (!s_instance)
        s_instance = new PlayState(ZelPlayControls::instance());
    return s_instance;
}

PlayState* PlayState::createInstance(ZelPlayController* controller)
{
    if (s_instance) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- a hub exists already; it stays";
        return s_instance;
    }
    s_instance = new PlayState(controller);
    return s_instance;
}

void PlayState::destroyInstance()
{
    if (!s_instance)
        return;
    s_instance->savePlayPosition();
    delete s_instance;
    s_instance = nullptr;
}

PlayState::PlayState(ZelPlayController* controller)
    : QObject(nullptr)
    , controls(controller)
    , modes(new PlayModes)
    , positions(new PositionMemory([this]() {
        ensureContentManager();
        return contentManager->model();
    }))
    , cursor(new QueueCursor(*modes, controller, *positions, nullptr))
    , sheetListeners(new SheetListenerList)
{
    qRegisterMetaType<PlayState::State>("PlayState::State");
    qRegisterMetaType<PlayState::ContentType>("PlayState::ContentType");
    qRegisterMetaType<PlayState::SaveState>("PlayState::SaveState");
    qRegisterMetaType<PlayState::PlayingMode>("PlayState::PlayingMode");
    qRegisterMetaType<MafwRenderer::State>("MafwRenderer::State");
    qRegisterMetaType<MafwError>("MafwError");
    qRegisterMetaType<MafwMediaInfo>("MafwMediaInfo");
    qRegisterMetaType<MeeGo::QmUSBMode::Mode>("MeeGo::QmUSBMode::Mode");

    controls->init();

    radioBridge.reset(new RadioBridge(*this));
    radio.reset(new RadioPlayback(*modes, controls, queue().playlistId(), *radioBridge, nullptr));
    connect(radio.data(), &RadioPlayback::streamLoaded, this, &PlayState::followStream);
    connect(radio.data(), &RadioPlayback::resumePointChanged, this, &PlayState::followResumePoint);
    connect(radio.data(), &RadioPlayback::songChanged, this, &PlayState::songChanged);
    connect(radio.data(), &RadioPlayback::songCountChanged, this, &PlayState::songCountChanged);
    connect(radio.data(), &RadioPlayback::positionChanged, this, &PlayState::positionChanged);
    connect(radio.data(), &RadioPlayback::durationChanged, this, &PlayState::durationChanged);
    connect(radio.data(), &RadioPlayback::stateChanged, this, &PlayState::stateChanged);
    connect(radio.data(), &RadioPlayback::bufferingProgress, this, &PlayState::bufferingProgress);
    connect(radio.data(), &RadioPlayback::streamArtChanged, this, &PlayState::streamArtChanged);
    connect(radio.data(), &RadioPlayback::contentTypeChanged, this, &PlayState::contentTypeChanged);
    connect(radio.data(), &RadioPlayback::libraryFileStarted, this, &PlayState::libraryFileStarted);
    connect(radio.data(), &RadioPlayback::libraryFileMissing, this, &PlayState::libraryFileMissing);
    connect(radio.data(), &RadioPlayback::playbackCompleted, this, &PlayState::playbackCompleted);
    connect(radio.data(), &RadioPlayback::saveStateChanged, this, &PlayState::saveStateChanged);
    musicBridge.reset(new MusicBridge(*this));
    music.reset(new MusicPlayback(*modes, controls, *cursor, *positions, *musicBridge, nullptr));
    connect(music.data(), &MusicPlayback::songLoaded, this, &PlayState::followSong);
    connect(music.data(), &MusicPlayback::songChanged, this, &PlayState::songChanged);
    connect(music.data(), &MusicPlayback::positionChanged, this, &PlayState::positionChanged);
    connect(music.data(), &MusicPlayback::durationChanged, this, &PlayState::durationChanged);
    connect(music.data(), &MusicPlayback::contentTypeChanged, this, &PlayState::contentTypeChanged);
    connect(music.data(), &MusicPlayback::playbackCompleted, this, &PlayState::playbackCompleted);
    connect(music.data(), &MusicPlayback::favoriteState, this, &PlayState::favoriteState);
    connect(music.data(), &MusicPlayback::pendingSongQueued, radio.data(),
            &RadioPlayback::forgetSave);
    songDataHandler = new SongData(controls);
    controls->setMetadataHandler(songDataHandler, ZelPlayController::SongContent);

    errorMessage = new ErrorMessage(this);
    recoveryBridge.reset(new RecoveryBridge(*this));
    recovery = new ErrorRecovery(errorMessage, *recoveryBridge, this);
    rendererStateChangedSlot(controls->state());

    connect(controls, SIGNAL(stateChanged(MafwRenderer::State)), this,
            SLOT(rendererStateChangedSlot(MafwRenderer::State)));
    connect(controls, SIGNAL(playlistChanged(MafwPlaylist*)), this,
            SLOT(playlistChangedSlot(MafwPlaylist*)));
    connect(controls, SIGNAL(playlistContentsChanged(MafwPlaylist*)), this,
            SLOT(playlistContentsChangedSlot(MafwPlaylist*)));
    connect(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), this,
            SLOT(mediaChangedSlot(const ZelMetadataHandler*)));
    connect(controls, SIGNAL(metadataChanged(const ZelMetadataHandler*)), this,
            SLOT(metadataChangedSlot(const ZelMetadataHandler*)));
    connect(controls, SIGNAL(positionChanged(uint, int)), this,
            SLOT(positionChangedSlot(uint, int)));
    connect(controls, SIGNAL(bufferingChanged(float)), this, SLOT(bufferingChangedSlot(float)));
    connect(controls, SIGNAL(callActivated(bool)), this, SLOT(callActivatedSlot(bool)));
    connect(controls, SIGNAL(playbackCompleted()), this, SLOT(playbackCompletedSlot()));
    connect(controls, SIGNAL(error(const MafwError&)), this, SLOT(errorSlot(const MafwError&)));
    connect(controls, SIGNAL(contentTypeChanged()), this, SLOT(contentTypeChangedSlot()));
    connect(controls, SIGNAL(playbackAboutToStart()), this, SLOT(playbackAboutToStartSlot()));
    connect(controls, SIGNAL(aboutToPlayRadioStream()), this, SLOT(aboutToPlayRadioStreamSlot()));
    connect(controls, SIGNAL(rendererLost()), this, SLOT(rendererLostSlot()));
    connect(controls, SIGNAL(audioResourcesAvailable(bool)), this, SLOT(audioAvailableSlot(bool)));

    connect(cursor.data(), &QueueCursor::currentRowChanged, this, &PlayState::followQueueRow);
    connect(cursor.data(), &QueueCursor::currentSongChanged, this, &PlayState::emitSongChanged);
    connect(cursor.data(), &QueueCursor::queueSizeChanged, this, &PlayState::followQueueSize);
    connect(cursor.data(), &QueueCursor::songsAdded, this, &PlayState::songsAddedToPlaylist);
    connect(cursor.data(), &QueueCursor::controllerMoved, this, &PlayState::controllerMoved);
    connect(cursor.data(), &QueueCursor::queueing, this, [this]() {
        if (modes->mode == MusicMode)
            music->setSongContent();
        emit queueing();
    });
    connect(this, SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
            SLOT(sendPlayAction()));

    fastSeek = new FastSeek(this);
    connect(fastSeek, &FastSeek::positionChanged, this, &PlayState::followSeek);
    connect(fastSeek, &FastSeek::seekTo, controls, &ZelPlayController::setPosition);
    connect(fastSeek, &FastSeek::reachedBound, this, [this](bool backwards) {
        if (backwards)
            previous(-1, false);
        else
            next(-1);
    });

    massStorage = new MassStorageWatch(this);
    connect(massStorage, &MassStorageWatch::massStorageChanged, this, [this](bool lent) {
        // Nothing plays from storage lent to a computer.
        if (lent && rendererState != MafwRenderer::Stopped)
            stop(modes->mode);
        emit massStorageMode(lent);
    });
    massStorage->check();
}

PlayState::~PlayState()
{
    disconnect(controls, nullptr, this, nullptr);
    controls->stop();
    cursor.reset();
    delete songDataHandler;
    if (s_instance == this)
        s_instance = nullptr;
}

void PlayState::setState(State state)
{
    if (state == liveState)
        return;
    liveState = state;
    emit stateChanged(state);
}

void PlayState::setMode(PlayingMode mode)
{
    if (mode == modes->mode)
        return;
    modes->mode = mode;
    // Music comes back to where the queue stands, whatever the other mode's item held.
    if (mode == MusicMode) {
        modes->live.index = cursor->currentRow();
        modes->live.songCount = cursor->songCount();
    }
    emit modeChanged(mode);
}

void PlayState::setBuffering(bool on)
{
    if (on == buffering)
        return;
    buffering = on;
    emit bufferingStateChanged(on);
}

PlayState::State PlayState::state(PlayingMode mode) const
{
    if (mode == modes->mode)
        return liveState;
    if (mode == MusicMode)
        return modes->music.songCount >= 1 && modes->music.index != -1 ? Paused : Stopped;
    return Stopped;
}

// The getters stay one to a line, as a table.
// clang-format off
uint PlayState::position(PlayingMode mode) const { return modes->item(mode).position; }
int PlayState::duration(PlayingMode mode) const { return modes->item(mode).duration; }
PlayState::ContentType PlayState::contentType(PlayingMode mode) const
{
    return modes->item(mode).contentType;
}
int PlayState::songCount(PlayingMode mode) const { return modes->item(mode).songCount; }

int PlayState::currentIndex(PlayingMode mode) const
{
    // A song waiting to become the queue is its first row.
    if (mode == modes->mode && cursor->pendingSong())
        return 0;
    return modes->item(mode).index;
}

int PlayState::songId(PlayingMode mode) const { return modes->item(mode).songId; }
int PlayState::albumId(PlayingMode mode) const { return modes->item(mode).albumId; }
QString PlayState::title(PlayingMode mode) const { return modes->item(mode).title; }
QString PlayState::album(PlayingMode mode) const { return modes->item(mode).album; }
QString PlayState::artist(PlayingMode mode) const { return modes->item(mode).artist; }
QString PlayState::streamArtPath(PlayingMode mode) const { return modes->item(mode).streamArtPath; }
QString PlayState::streamArtText(PlayingMode mode) const { return modes->item(mode).streamArtText; }
bool PlayState::isSeekable(PlayingMode mode) const { return modes->item(mode).seekable; }

bool PlayState::isBuffering(PlayingMode mode) const
{
    return mode == RadioMode && buffering;
}

PlayState::PlayingMode PlayState::mode() const { return modes->mode; }
QString PlayState::songUri() const { return modes->live.songUri; }
QUrl PlayState::streamUrl() const { return modes->live.streamUrl; }
PlayState::SaveState PlayState::saveState() const { return radio->saveState(); }
PlayState::ModelOptions PlayState::flags() const { return cursor->flags(); }
bool PlayState::isShuffle() const { return cursor->isShuffle(); }
bool PlayState::isRepeat() const { return cursor->isRepeat(); }
int PlayState::trackNumber() const { return music->trackNumber(); }
void PlayState::setTrackNumber(int trackNumber) { music->setTrackNumber(trackNumber); }
bool PlayState::isUpdatingLibrary() const { return updatingLibrary; }
void PlayState::setUpdatingLibrary(bool updating) { updatingLibrary = updating; }
bool PlayState::isAudioAvailable() const { return audioAvailable; }
void PlayState::setAudioAvailable(bool available) { audioAvailable = available; }
bool PlayState::isAudiobookOrPodcast() const
{
    return positions->isRemembered(modes->live.genre);
}
bool PlayState::allSongsQueue() const { return cursor->allSongsQueue(); }
bool PlayState::seekBoundReached() const { return fastSeek->boundReached(); }
void PlayState::clearSeekBoundReached() { fastSeek->clearBoundReached(); }
QStringList PlayState::rememberedGenres() const { return positions->genres(); }
QSharedPointer<ShuffleProxyModel> PlayState::shuffleProxyModel() const
{
    return queue().shuffleProxy();
}
QString PlayState::playlistId() const { return queue().playlistId(); }
PlayQueue& PlayState::queue() const { return cursor->queue(); }
// clang-format on

// What the music and the radio side do alone, one call each.
// clang-format off
int PlayState::startPlayback(int index, QFlags<PlayState::ModelOption> options)
{
    recovery->dropResume();
    recovery->forget();
    // A queue started in place of a stream ends the stream's item, and the sheet that shows it
    // goes with it, as at the item's own end.
    const bool replacesStream = modes->mode == RadioMode;
    const int row = music->start(index, options);
    if (replacesStream && modes->mode == MusicMode)
        notifySheetListeners(true);
    return row;
}
void PlayState::playPendingModel()
{
    recovery->dropResume();
    recovery->forget();
    music->startPendingSong(PlayNow);
}
void PlayState::emitSongChanged() { music->announceSong(); }
void PlayState::sendPlayAction() { music->announcePlayAction(); }
void PlayState::storeLastPosition(int position, int songId)
{
    music->storePosition(position, songId);
}
void PlayState::updateLatestActivityTrack() { music->updateLatestActivityTrack(); }
void PlayState::toggleFavoriteState() { music->toggleFavorite(); }
void PlayState::checkFavoriteState() { music->checkFavorite(); }

void PlayState::bufferingChangedSlot(float percent) { radio->bufferingChanged(percent); }
void PlayState::playStream(const QUrl& url)
{
    recovery->dropResume();
    const ReplacedItem found = ReplacedItem::of(*modes, liveState, controls->playlistEntry());
    if (radio->playStream(url))
        recovery->hold(found);
}
void PlayState::askForReplacedItem(State state) { recovery->askFor(state); }
void PlayState::networkSessionStateChanged(QNetworkSession::State state)
{
    radio->sessionStateChanged(state);
}
void PlayState::networkSessionErrorSlot(QNetworkSession::SessionError error)
{
    radio->sessionError(error);
}
void PlayState::playLocalFile(const QString& path)
{
    recovery->dropResume();
    radio->playLocalFile(path);
}
void PlayState::saveCurrentStream() { radio->saveCurrentStream(); }
bool PlayState::saveAllowed() const { return radio->saveAllowed(); }
void PlayState::songSavedSlot(QString uri, int trackerId) { radio->songSaved(uri, trackerId); }
// clang-format on

void PlayState::contentTypeChangedSlot()
{
    ContentType type = modes->live.contentType;
    switch (controls->contentType()) {
    case ZelPlayController::SongContent:
        type = SongContent;
        modes->live.seekable = true;
        break;
    case ZelPlayController::StreamContent:
        type = modes->live.contentType == UrlContent ? UrlContent : RadioPlaylistContent;
        break;
    case ZelPlayController::NoContent:
        type = NoContent;
        break;
    default:
        break;
    }
    if (type == modes->live.contentType)
        return;
    modes->live.contentType = type;
    emit contentTypeChanged(type);
}

void PlayState::saveSongSelectedSlot(QString file)
{
    Q_UNUSED(file)
    radio->saveSelected();
}

bool PlayState::refusePlayback()
{
    if (!isMassStorageMode() && !updatingLibrary)
        return false;
    if (rendererState != MafwRenderer::Playing)
        errorMessage->show(ErrorMessage::UnableToPlaySong);
    controls->stop();
    rendererStateChangedSlot(MafwRenderer::State(rendererState));
    return true;
}

void PlayState::followMedia(bool follow)
{
    if (follow)
        connect(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), this,
                SLOT(mediaChangedSlot(const ZelMetadataHandler*)), Qt::UniqueConnection);
    else
        disconnect(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), this,
                   SLOT(mediaChangedSlot(const ZelMetadataHandler*)));
}

void PlayState::playlistChangedSlot(MafwPlaylist* changed)
{
    Q_UNUSED(changed)
}

void PlayState::playlistContentsChangedSlot(MafwPlaylist* changed)
{
    Q_UNUSED(changed)
}

void PlayState::appendModel(QSharedPointer<QAbstractItemModel> model,
                            QFlags<PlayState::ModelOption> options, int row)
{
    cursor->append(model, options, row, liveState);
}

void PlayState::handleSongsAddedToCopyModel()
{
    MafwTrackerModel* model = qobject_cast<MafwTrackerModel*>(sender());
    if (!model)
        return;
    disconnect(model, SIGNAL(completed()), this, SLOT(handleSongsAddedToCopyModel()));
    emit songsAddedToPlaylist(model->rowCount());
}

void PlayState::playIndex(int row)
{
    recovery->dropResume();
    recovery->forget();
    cursor->playRow(row);
}

void PlayState::clearPlayQueue()
{
    // The song playing from an emptied queue stops with it: it would otherwise play on, shown
    // nowhere, and the playback service would go on reporting it as playing.
    if (modes->mode == MusicMode && liveState != NoState && liveState != Stopped)
        controls->stop();
    cursor->clear();
}

void PlayState::rowsInsertedSlot(QModelIndex parent, int start, int end)
{
    Q_UNUSED(parent)
    Q_UNUSED(start)
    Q_UNUSED(end)
    cursor->followQueueChange();
}

void PlayState::rowsRemovedSlot(QModelIndex parent, int start, int end)
{
    Q_UNUSED(parent)
    Q_UNUSED(start)
    Q_UNUSED(end)
    cursor->followQueueChange();
}

void PlayState::saveLiveItem()
{
    if (modes->mode == MusicMode)
        modes->saveMusic();
    else
        modes->saveRadio();
}

void PlayState::endSheetItem()
{
    recovery->forget();
    if (modes->mode != RadioMode) {
        stop(RadioMode);
        return;
    }
    radio->closeNetworkSession();
    const PlayItem& music = modes->music;
    radioBridge->returnToMusic(music.songCount > 0 && music.index != -1 ? Paused : Stopped,
                               PlayItem::noStream(QUrl()));
}

void PlayState::followQueueRow(int row)
{
    // The queue's row is the music item's, live or waiting behind a stream.
    PlayItem& music = modes->mode == MusicMode ? modes->live : modes->music;
    music.index = row;
    queue().shuffleProxy()->setCurrentIndex(row);
}

void PlayState::followQueueSize(int count)
{
    // The queue's songs are the music item's, live or waiting behind a stream: a stream in
    // front holds none of them.
    PlayItem& music = modes->mode == MusicMode ? modes->live : modes->music;
    if (count == music.songCount)
        return;
    music.songCount = count;
    emit songCountChanged(count);
}

void PlayState::followSong(const PlayItem& song)
{
    (modes->mode == MusicMode ? modes->live : modes->music) = song;
}

void PlayState::followStream(const PlayItem& stream)
{
    (modes->mode == RadioMode ? modes->live : modes->radio) = stream;
}

void PlayState::followResumePoint(const PlayItem& stream)
{
    modes->radio = stream;
}

void PlayState::followSeek(uint position)
{
    modes->live.position = position;
    emit positionChanged(position);
}

bool PlayState::hasSeveralAlbums() const
{
    return modes->live.contentType == SongContent && queue().hasSeveralAlbums();
}

void PlayState::setShuffle(bool on)
{
    cursor->setShuffle(on);
}

void PlayState::setRepeat(bool on, bool userToggle)
{
    Q_UNUSED(userToggle)
    cursor->setRepeat(on);
}

void PlayState::savePlayPosition()
{
    if (modes->mode == MusicMode)
        positions->saveToSettings(modes->live);
}

void PlayState::ensureContentManager()
{
    if (contentManager)
        return;
    contentManager = new ContentManager(this);
    connect(contentManager, SIGNAL(saveSongSelected(QString)), this,
            SLOT(saveSongSelectedSlot(QString)), Qt::UniqueConnection);
    connect(contentManager, SIGNAL(songSaved(QString, int)), this,
            SLOT(songSavedSlot(QString, int)), Qt::UniqueConnection);
    connect(contentManager, &ContentManager::songNotInLibrary, radio.data(),
            &RadioPlayback::songNotInLibrary, Qt::UniqueConnection);
    ContentManagerModel* model = contentManager->model();
    connect(model, SIGNAL(favoriteState(QString, bool)), this, SIGNAL(favoriteState(QString, bool)),
            Qt::UniqueConnection);
    connect(model, SIGNAL(lastPosition(int, int)), this, SLOT(setPlayPosition(int, int)),
            Qt::UniqueConnection);
    connect(model, SIGNAL(setLastPlayedPositionCompleted()), this,
            SLOT(savePlayPositionRequestCompletedSlot()), Qt::UniqueConnection);
}

void PlayState::savePlayPositionRequestCompletedSlot()
{
    positions->storeCompleted(modes->live);
}

void PlayState::requestLastPosition()
{
    positions->request(modes->live);
}

void PlayState::setPlayPosition(int position, int songID)
{
    if (!positions->answer(modes->live, position, songID))
        return;
    modes->live.position = uint(qMax(0, position));
    // The answer may come after the song started: then it moves there at once.
    if (positions->takeReachedEnd() || rendererState == MafwRenderer::Playing)
        seekToStartingPosition();
}

void PlayState::seekToStartingPosition()
{
    const uint start = positions->takeStartingPosition(modes->live);
    if (start == 0)
        return;
    disconnect(controls, SIGNAL(positionChanged(uint, int)), this,
               SLOT(positionChangedSlot(uint, int)));
    setPosition(start, modes->mode);
    connect(controls, SIGNAL(positionChanged(uint, int)), this,
            SLOT(positionChangedSlot(uint, int)));
}

// clang-format off
bool PlayState::isMassStorageMode() { return massStorage->isMassStorage(); }
bool PlayState::isUsbSyncMode() { return massStorage->isSyncMode(); }
void PlayState::checkUsbMode() { massStorage->check(); }
void PlayState::usbModeChanged(MeeGo::QmUSBMode::Mode mode) { massStorage->takeMode(mode); }
// clang-format on

void PlayState::registerSheetListener(QObject* object, const char* slot)
{
    const SheetListenerList::Result result = sheetListeners->add(object, slot);
    if (result == SheetListenerList::AlreadyListed)
        qCDebug(lcPlayback) << Q_FUNC_INFO << "- listener already registered!";
    else if (result == SheetListenerList::Refused)
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- no listener or no such slot:" << slot;
}

void PlayState::unregisterSheetListener(QObject* object)
{
    sheetListeners->remove(object);
}

void PlayState::notifySheetListeners(bool value)
{
    sheetListeners->notify(value);
}

void PlayState::releaseSheet()
{
    disconnect(ParlovanceApplicationService::instance(), SIGNAL(playerViewAppeared()), this,
               SLOT(releaseSheet()));
    QTimer::singleShot(ReleaseSheetDelayMs, this, SLOT(reallyReleaseSheet()));
}

void PlayState::reallyReleaseSheet()
{
    ParlovanceApplicationService::instance()->dismissSheet();
}

bool PlayState::isCallActive() const
{
    return controls->isCallActive();
}

void PlayState::callActivatedSlot(bool enabled)
{
    if (enabled) {
        audioAvailable = false;
        emit callStateChanged(true);
        return;
    }
    emit callStateChanged(!audioAvailable);
}

void PlayState::audioAvailableSlot(bool state)
{
    audioAvailable = state;
    emit callStateChanged(controls->isCallActive() ? true : !state);
}

void PlayState::setPositionUpdateInterval(unsigned int interval)
{
    controls->setPositionUpdateInterval(interval);
}

void PlayState::play(PlayingMode mode)
{
    controls->setPositionUpdateInterval(1);
    // Radio's stream opened again replaces what is live, as a stream asked for does.
    const ReplacedItem found = ReplacedItem::of(*modes, liveState, controls->playlistEntry());
    if (radio->switchMode(mode)) {
        if (mode == RadioMode)
            recovery->hold(found);
        else
            recovery->forget();
        return;
    }
    if (fastSeek->isActive()) {
        // The end of a fast seek: playback goes on from where the seek got to.
        fastSeek->stop();
        controls->setPosition(modes->live.position);
        return;
    }
    // A song that plays goes on to where the skips landed once their delay is over; a paused
    // or stopped one would be resumed in their place.
    if (liveState != Playing && liveState != Transitioning)
        landSkips();
    if (modes->live.contentType == RadioPlaylistContent) {
        radio->playRadioPlaylist();
        return;
    }
    // What plays goes on where it is: a resume asked while it plays (or while a pause is on
    // its way to the controller) neither restarts it nor loads it again.
    const ZelPlayController::ContentType liveKind = modes->mode == MusicMode
                                                        ? ZelPlayController::SongContent
                                                        : ZelPlayController::StreamContent;
    const bool plays = rendererState == MafwRenderer::Playing
                       && controls->contentType() == liveKind;
    // A stream that stopped (one that cannot pause stops) is opened again, and so is a file
    // played from outside the queue.
    const QUrl& stream = modes->live.streamUrl;
    const bool stoppedStream = modes->live.songUri.isEmpty() && !stream.isEmpty()
                               && (modes->mode == RadioMode || stream.isLocalFile());
    if (liveState == Paused || plays)
        controls->resume();
    else if (stoppedStream)
        radio->playStream(stream);
    else
        controls->play(uint(qMax(0, cursor->currentRow())));
    requestMediaInfo();
}

void PlayState::pause()
{
    recovery->settle();
    resumeWhenPaused = false;
    controls->pause();
    setState(Paused);
    rendererStateChangedSlot(MafwRenderer::State(rendererState));
}

void PlayState::pauseOrStop(PlayingMode mode)
{
    const bool canPause = mode == modes->mode ? modes->live.seekable
                                              : (modes->mode == RadioMode || modes->radio.seekable);
    if (canPause)
        pause();
    else
        stop(mode);
}

void PlayState::stop(PlayingMode mode)
{
    if (mode != modes->mode) {
        if (mode == MusicMode)
            modes->clearMusic();
        else
            modes->clearRadio();
        return;
    }
    recovery->settle();
    controls->stop();
    setState(Stopped);
    if (modes->live.contentType == RadioPlaylistContent)
        radio->closeNetworkSession();
}

void PlayState::next(int delayMs)
{
    skip({ 1 }, delayMs, false);
}

void PlayState::previous(int delayMs, bool force)
{
    skip({ -1 }, delayMs, force);
}

bool PlayState::isSettling() const
{
    return modes->mode == MusicMode && cursor->isMovingController();
}

void PlayState::landSkips()
{
    if (modes->mode == MusicMode && cursor->isMovingController())
        cursor->moveControllerNow();
}

void PlayState::skip(const QVector<int>& moves, int delayMs, bool force)
{
    recovery->skipped();
    // Each call takes its step on the cursor alone, which costs nothing; what the steps come
    // to is carried out once. After the first step the song stands at its start.
    int songs = 0;
    bool moved = false;
    bool restart = false;
    bool fromStart = false;
    bool entryMoved = false;
    // How many entries of a playlist file the steps have moved, loaded once they are through.
    int entries = 0;
    for (const int run : moves) {
        const bool back = run < 0;
        for (int i = qAbs(run); i > 0; --i) {
            // A playlist file is a queue of its own: its next entry, not the same one again;
            // an entry heard for a while starts again, as a song does.
            const int entry = entries + (back ? -1 : 1);
            if (modes->mode == RadioMode
                && (!back || !cursor->restartsOnPrevious(force, fromStart))
                && controls->hasEntry(entry)) {
                entries = entry;
                fromStart = entryMoved = true;
                continue;
            }
            const QueueStep step = back ? cursor->stepBack(force, fromStart)
                                        : cursor->stepForward();
            switch (step) {
            case QueueStep::Moves:
                songs += back ? -1 : 1;
                moved = true;
                break;
            case QueueStep::Restarts:
                restart = true;
                break;
            case QueueStep::PlaysPendingSong:
                // The waiting song becomes the queue and plays; the steps after it move on
                // through that queue.
                music->step(step, back, delayMs);
                restart = false;
                break;
            case QueueStep::Stays:
                continue;
            }
            fromStart = true;
        }
    }
    if (moved)
        music->moved(songs, delayMs);
    else if (entryMoved)
        // The entry landed on plays from its start, the one left too when the steps came back
        // to it; a restart among the steps has nothing more to do.
        controls->playEntry(entries);
    else if (restart)
        setPosition(0, modes->mode);
    // The entry moved to starts at its start, also when a pause stops it before it reports.
    if (entryMoved && std::exchange(modes->live.position, 0u) != 0)
        emit positionChanged(0);
}

void PlayState::delayedNextPrev()
{
    cursor->moveControllerNow();
}

void PlayState::controllerMoved()
{
    if (recovery->takeResumeOnMove(MafwRenderer::State(rendererState))) {
        play(MusicMode);
    } else {
        requestMediaInfo();
    }
}

void PlayState::setPosition(uint seconds, PlayingMode mode)
{
    if (mode != modes->mode) {
        if (mode == MusicMode)
            modes->music.position = seconds;
        else
            modes->radio.position = seconds;
        return;
    }
    landSkips();
    // Only what waits paused or stopped is loaded paused at the place; an item on its way to
    // play (a playlist file's entry, a stream that connects) is moved where it stands and plays
    // on, as one that plays already.
    if (liveState != Playing && liveState != Transitioning) {
        modes->live.position = seconds;
        controls->pauseAt(seconds);
        emit positionChanged(modes->live.position);
        return;
    }
    if (seconds == 0)
        storeLastPosition(int(modes->live.position), modes->live.songId);
    modes->live.position = seconds;
    controls->setPosition(seconds);
    emit positionChanged(modes->live.position);
}

void PlayState::startRewinding(int stepMs)
{
    startFastSeek(true, stepMs);
}

void PlayState::startForwarding(int stepMs)
{
    startFastSeek(false, stepMs);
}

void PlayState::startFastSeek(bool backwards, int stepMs)
{
    if (modes->live.contentType == RadioPlaylistContent && !modes->live.seekable)
        return;
    landSkips();
    fastSeek->start(backwards, stepMs, modes->live.position, modes->live.duration);
}

void PlayState::seekSlot()
{
    fastSeek->step();
}

void PlayState::positionChangedSlot(uint position, int duration)
{
    if (fastSeek->isActive() || cursor->isMovingController()
        || rendererState == MafwRenderer::Stopped)
        return;
    if (duration >= 0 && duration != modes->live.duration) {
        modes->live.duration = duration;
        emit durationChanged(duration);
    }
    if (position == modes->live.position)
        return;
    if (int(position) == modes->live.duration || int(position) == modes->live.duration - 1) {
        storeLastPosition(int(position), modes->live.songId);
        positions->markReachedEnd();
    } else if (position == 0) {
        storeLastPosition(int(modes->live.position), modes->live.songId);
    }
    modes->live.position = position;
    updateLatestActivityTrack();
    emit positionChanged(modes->live.position);
}

void PlayState::rendererStateChangedSlot(MafwRenderer::State state)
{
    rendererState = state;
    recovery->rendererReached(state);
    switch (state) {
    case MafwRenderer::Stopped:
        if (!radio->isConnecting()) {
            setState(Stopped);
            setBuffering(false);
        }
        storeLastPosition(int(modes->live.position), modes->live.songId);
        if (modes->mode == MusicMode)
            emit positionChanged(modes->live.position);
        break;
    case MafwRenderer::Playing:
        // A completion from now on is the playing item's own, not one of the item it replaced.
        ignoreCompletion = false;
        setState(Playing);
        emit itemPlaying();
        seekToStartingPosition();
        radio->rendererPlaying();
        break;
    case MafwRenderer::Paused:
        setState(Paused);
        setBuffering(false);
        radio->closeNetworkSession();
        if (resumeWhenPaused) {
            resumeWhenPaused = false;
            play(modes->mode);
        }
        break;
    case MafwRenderer::Transitioning:
        if (modes->live.contentType == RadioPlaylistContent)
            setState(Transitioning);
        break;
    case MafwRenderer::Invalid:
        setState(NoState);
        setBuffering(false);
        break;
    default:
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- Unknown state!";
        break;
    }
}

void PlayState::playbackCompletedSlot()
{
    if (ignoreCompletion) {
        ignoreCompletion = false;
        return;
    }
    if (modes->mode == RadioMode) {
        notifySheetListeners(true);
        return;
    }
    music->endOfQueue();
}

void PlayState::metadataChangedSlot(const ZelMetadataHandler* handler)
{
    mediaChangedSlot(handler);
}

void PlayState::mediaChangedSlot(const ZelMetadataHandler* handler)
{
    // A report that follows the cursor's own reordering of the rows brings no new song.
    if (cursor->takeIgnoredMediaChange())
        return;

    if (controls->contentType() == ZelPlayController::SongContent) {
        music->songMediaChanged(handler);
        return;
    }
    if (controls->contentType() == ZelPlayController::StreamContent)
        radio->streamMediaChanged(qobject_cast<const StreamData*>(handler));
}

// The error handling's own, one call each.
// clang-format off
void PlayState::errorSlot(const MafwError& error) { recovery->handle(error); }
void PlayState::resumePlaybackAfterErrorSlot() { recovery->resumeAfterBanner(); }
void PlayState::rendererLostSlot() { recovery->rendererLost(); }
void PlayState::exitSlot() { recovery->exitAfterBanner(); }
// clang-format on

void PlayState::playbackAboutToStartSlot()
{
    qCDebug(lcPlayback) << Q_FUNC_INFO;
}

void PlayState::aboutToPlayRadioStreamSlot()
{
    qCDebug(lcPlayback) << Q_FUNC_INFO;
}

void PlayState::requestMediaInfo()
{
    MafwRenderer* renderer = MafwRegistry::instance()->renderer(QLatin1String(RendererId));
    if (renderer)
        renderer->getCurrentMediaInfo(this, SLOT(storeTrackNumber(MafwMediaInfo)), QString());
}

void PlayState::storeTrackNumber(MafwMediaInfo info)
{
    // The track number is kept as the song's row in its album, as the pages that start an
    // album set it and the latest-activity tile replays it; the tag counts from 1.
    const QList<QVariant> track = info.metaData(QStringLiteral("track"));
    const int tag = track.isEmpty() ? 0 : track.first().toInt();
    if (tag > 0)
        music->setTrackNumber(tag - 1);
}

void PlayState::savedSongModelCompleted()
{
    radio->savedSongModelCompleted(qobject_cast<MafwTrackerModel*>(sender()));
}
