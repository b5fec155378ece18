#include "radioplayback.h"

#include "activity/latestactivitycontroller.h"
#include "common/logging.h"
#include "data/contentmanager.h"
#include "data/contentmanagermodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "mafwerror.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "playableurl.h"
#include "playback/playlistfileprobe.h"
#include "playback/playmodes.h"
#include "playback/radiohost.h"
#include "playback/radionetworksession.h"
#include "playback/streamdata.h"
#include "shell/parlovanceapplicationservice.h"
#include "zelplaycontroller.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <sys/vfs.h>

namespace {
const char* const RadioPlaylistMimeType = "audio/x-scpls";
// The file system type of user-space (FUSE) file systems, where files are not saved from.
const long FuseMagic = 0x65735546;
int s_saveTimeoutMs = 20000;
} // namespace

RadioPlayback::RadioPlayback(const PlayModes& modes, ZelPlayController* controls,
                             const QString& playlistId, RadioHost& host, QObject* parent)
    : QObject(parent)
    , modes(modes)
    , controls(controls)
    , playlistId(playlistId)
    , host(host)
    , playlistProbe(new PlaylistFileProbe)
    , streamData(new StreamData)
    , saveTimer(new QTimer(this))
{
    controls->setMetadataHandler(streamData.data(), ZelPlayController::StreamContent);
    saveTimer->setSingleShot(true);
    connect(saveTimer, &QTimer::timeout, this, &RadioPlayback::saveTimedOut);
}

// The controller keeps a guarded pointer to the stream handler; the hub stops the controller
// before this goes.
RadioPlayback::~RadioPlayback() = default;

bool RadioPlayback::switchMode(PlaybackEnums::PlayingMode target)
{
    if (target == modes.mode)
        return false;
    if (target == PlaybackEnums::MusicMode) {
        // Radio comes back to the stream it leaves, where it was left.
        host.returnToMusic(PlaybackEnums::Playing, modes.live.asRadioSnapshot());
        return true;
    }
    host.saveLiveItem();
    host.clearLiveItem();
    host.setLiveMode(PlaybackEnums::RadioMode);
    host.restoreLiveItem();
    host.ignoreNextCompletion(true);
    const QUrl url = modes.radio.streamUrl;
    playStream(url);
    return true;
}

void RadioPlayback::reopen(const PlayItem& stream, const PlayItem& resume,
                           PlaybackEnums::State state, int entry)
{
    const QUrl url = stream.streamUrl;
    const bool playlistFile = stream.contentType == PlaybackEnums::RadioPlaylistContent;
    emit resumePointChanged(resume);
    // It is live before the controller and the network session hear of it: what they report
    // on the way (a playlist file being read, a session that is up at once) is of this item,
    // not of the request that failed, which would be played again.
    emit streamLoaded(stream);
    host.ignoreNextCompletion(true);
    restorePositionOnPlay = false;
    streamNeedsReopen = false;
    streamData->clear();
    streamData->setUrl(url);
    // Moved before it has played a moment, it goes on where it was. A file that came back a
    // moment ago has not told again that it can seek; an entry is the one that told last.
    const uint at = stream.position > 0 && (stream.seekable || (!playlistFile && url.isLocalFile()))
                        ? stream.position
                        : 0;
    if (playlistFile && state != PlaybackEnums::Stopped) {
        // Its entry, where it was; one that waits paused needs no network until it is resumed.
        controls->playPlaylistFrom(url, entry, at, state == PlaybackEnums::Paused);
        if (state == PlaybackEnums::Playing)
            openNetworkSession();
    } else if (state == PlaybackEnums::Playing) {
        controls->play(url);
        if (at > 0)
            controls->setPosition(at);
    } else if (state == PlaybackEnums::Paused) {
        controls->play(url);
        controls->pauseAt(stream.position);
    } else {
        // Stopped: a resume opens it again.
        controls->stop();
        streamNeedsReopen = playlistFile;
        closeNetworkSession();
    }
    // The texts it had show again at once, over the bare address the controller announced as
    // it loaded it; its later reports only confirm them.
    emit streamLoaded(stream);
    host.notifySheet(false);
}

bool RadioPlayback::playStream(const QUrl& requested)
{
    // A copy: the caller may name the live item's own address, which clearing the live item
    // below would empty.
    const QUrl url = requested;
    if (!PlayableUrl::check(url, Q_FUNC_INFO))
        return false;
    if (m_saveState == PlaybackEnums::Saving) {
        pendingStreamUrl = url;
        return false;
    }
    // A new item may be saved again.
    if (m_saveState == PlaybackEnums::Saved)
        setSaveState(PlaybackEnums::NotSaved);
    if (ContentManager* manager = host.contentManager(false))
        manager->dismissSaveAsDialog();
    host.leaveLiveSong();
    if (host.refusePlayback())
        return false;
    if (modes.mode == PlaybackEnums::MusicMode) {
        host.saveLiveItem();
        host.clearLiveItem();
    }
    host.setLiveMode(PlaybackEnums::RadioMode);
    PlayItem stream = modes.live;
    // What radio mode comes back to after music: this stream, and where it was left.
    PlayItem resume = modes.radio;
    const bool sameUrl = url == stream.streamUrl;
    const bool playlistFile = playlistProbe->isPlaylistFile(url);
    if (!sameUrl) {
        stream.index = -1;
        stream.title.clear();
        stream.album.clear();
        stream.artist.clear();
        stream.streamArtText.clear();
        stream.streamArtPath.clear();
        stream.duration = 0;
        resume = PlayItem::noStream(url);
    }
    stream.streamUrl = url;
    resume.streamUrl = url;
    stream.seekable = false;
    stream.contentType = playlistFile ? PlaybackEnums::RadioPlaylistContent
                                      : PlaybackEnums::UrlContent;
    resume.contentType = stream.contentType;
    emit resumePointChanged(resume);
    emit streamLoaded(stream);
    host.ignoreNextCompletion(true);
    // The handler keeps the texts of the last item until the controller announces the new one:
    // a playlist file that never gets that far, or a local file (which brings no address of
    // its own), would show as that item.
    if (!sameUrl || url.isLocalFile())
        streamData->clear();
    if (playlistFile) {
        controls->playPlaylist(url, QLatin1String(RadioPlaylistMimeType));
        streamData->setUrl(url);
        host.takeMedia(streamData.data());
        openNetworkSession();
    } else {
        controls->play(url);
        streamData->setUrl(url);
        streamData->setDuration(modes.radio.duration);
        host.takeMedia(streamData.data());
        if (modes.radio.position > 0 && modes.radio.duration > 0) {
            stream = modes.live;
            stream.position = modes.radio.position;
            stream.duration = modes.radio.duration;
            emit streamLoaded(stream);
            restorePositionOnPlay = true;
        }
    }
    controls->setPositionUpdateInterval(1);
    host.notifySheet(false);
    return true;
}

void RadioPlayback::playRadioPlaylist()
{
    switch (networkState) {
    case NoNetwork:
        openNetworkSession();
        break;
    case NetworkConnected:
        if (host.rendererState() == MafwRenderer::Paused) {
            host.setLiveState(PlaybackEnums::Transitioning);
            controls->resume();
        } else if (streamNeedsReopen || host.rendererState() == MafwRenderer::Stopped) {
            replayRadioPlaylist();
        }
        break;
    default:
        break;
    }
}

void RadioPlayback::rendererPlaying()
{
    if (!restorePositionOnPlay)
        return;
    restorePositionOnPlay = false;
    controls->setPosition(modes.radio.position);
}

bool RadioPlayback::isConnecting() const
{
    return networkState == NetworkConnecting;
}

void RadioPlayback::closeNetworkSession()
{
    if (networkSession)
        networkSession->close();
}

void RadioPlayback::openNetworkSession()
{
    if (!networkSession) {
        networkSession = new RadioNetworkSession(this);
        connect(networkSession, &RadioNetworkSession::error, this, &RadioPlayback::sessionError);
        connect(networkSession, &RadioNetworkSession::stateChanged, this,
                &RadioPlayback::sessionStateChanged);
    }
    networkSession->open();
}

void RadioPlayback::sessionStateChanged(QNetworkSession::State state)
{
    switch (state) {
    case QNetworkSession::Invalid:
    case QNetworkSession::NotAvailable:
        handleNetworkState(NoNetwork);
        break;
    case QNetworkSession::Connecting:
        if (networkState != NetworkConnected)
            handleNetworkState(NetworkConnecting);
        break;
    case QNetworkSession::Connected:
        handleNetworkState(NetworkConnected);
        break;
    case QNetworkSession::Disconnected:
        if (networkState == NetworkConnected)
            handleNetworkState(NoNetwork);
        break;
    default:
        break;
    }
}

void RadioPlayback::sessionError(QNetworkSession::SessionError error)
{
    if (error == QNetworkSession::SessionAbortedError)
        handleNetworkState(NoNetwork);
}

void RadioPlayback::handleNetworkState(NetworkState state)
{
    const NetworkState previous = networkState;
    networkState = state;
    // The session is a radio playlist's: one that failed, or was left for music, may report
    // late, and then changes nothing of the music that plays or waits paused.
    if (modes.mode != PlaybackEnums::RadioMode)
        return;
    switch (state) {
    case NetworkConnected:
        if (host.liveState() != PlaybackEnums::Playing)
            host.playLive();
        break;
    case NetworkConnecting:
        if (host.rendererState() != MafwRenderer::Transitioning)
            host.setLiveState(PlaybackEnums::Transitioning);
        break;
    case NoNetwork:
        if (previous == NoNetwork)
            break;
        if (host.liveState() == PlaybackEnums::Stopped) {
            streamNeedsReopen = true;
        } else if (host.liveState() == PlaybackEnums::Playing) {
            host.reportError(MafwError::NetworkDown);
            streamNeedsReopen = true;
            host.stopLive();
        }
        host.setLiveBuffering(false);
        break;
    }
}

void RadioPlayback::replayRadioPlaylist()
{
    streamNeedsReopen = false;
    if (modes.live.streamUrl.isEmpty())
        return;
    // The hub stopped following the controller's items while the network was connecting.
    host.followMedia(true);
    controls->playPlaylist(modes.live.streamUrl, QLatin1String(RadioPlaylistMimeType));
    if (StreamData* stream = qobject_cast<StreamData*>(controls->mutableItem()))
        stream->setUrl(modes.live.streamUrl);
}

void RadioPlayback::playLocalFile(const QString& path)
{
    if (path.isEmpty())
        return;
    playingLocalFile = true;
    host.contentManager(true)->querySongInTracker(path);
}

bool RadioPlayback::saveAllowed() const
{
    const QString path = modes.live.streamUrl.toLocalFile();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    struct statfs fileSystem;
    if (statfs(QFile::encodeName(path).constData(), &fileSystem) != 0) {
        qCWarning(lcPlayback, "%s: Call to \"statfs\" failed on file %s.", Q_FUNC_INFO,
                  qPrintable(path));
        return true;
    }
    return long(fileSystem.f_type) != FuseMagic;
}

void RadioPlayback::saveCurrentStream()
{
    if (modes.live.contentType != PlaybackEnums::UrlContent)
        return;
    if (!saveAllowed()) {
        qCDebug(lcPlayback) << Q_FUNC_INFO << "-" << modes.live.streamUrl << "cannot be saved";
        return;
    }
    ContentManager* manager = host.contentManager(true);
    playingLocalFile = false;
    manager->saveSong(modes.live.streamUrl.toLocalFile());
}

PlaybackEnums::SaveState RadioPlayback::saveState() const
{
    return m_saveState;
}

void RadioPlayback::setSaveState(PlaybackEnums::SaveState state)
{
    m_saveState = state;
    emit saveStateChanged(state);
}

void RadioPlayback::saveSelected()
{
    setSaveState(PlaybackEnums::Saving);
    saveTimer->start(s_saveTimeoutMs);
}

void RadioPlayback::forgetSave()
{
    saveTimer->stop();
    m_saveState = PlaybackEnums::NotSaved;
}

void RadioPlayback::setSaveTimeoutForTesting(int ms)
{
    s_saveTimeoutMs = ms;
}

void RadioPlayback::saveTimedOut()
{
    if (m_saveState != PlaybackEnums::Saving)
        return;
    // The copy never reached the library (not music, a failed copy, a folder not indexed):
    // the save ends unfinished rather than hold every later stream.
    qCWarning(lcPlayback) << "the saved file did not reach the library within" << s_saveTimeoutMs
                          << "ms; the save is given up";
    if (ContentManager* manager = host.contentManager(false))
        manager->model()->disconnectSongAddedSignal();
    setSaveState(PlaybackEnums::NotSaved);
    playPendingStream();
}

void RadioPlayback::playPendingStream()
{
    if (pendingStreamUrl.isEmpty())
        return;
    const QUrl url = pendingStreamUrl;
    pendingStreamUrl = QUrl();
    playStream(url);
}

void RadioPlayback::songSaved(const QString& uri, int trackerId)
{
    Q_UNUSED(uri)
    saveTimer->stop();
    PlayItem stream = modes.item(PlaybackEnums::RadioMode);
    stream.songId = trackerId;
    emit streamLoaded(stream);
    if (!pendingStreamUrl.isEmpty()) {
        // The save is over before the stream that waited for it plays.
        if (!playingLocalFile)
            setSaveState(PlaybackEnums::Saved);
        playPendingStream();
        return;
    }
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerModel* model = factory ? factory->getModel(MafwTrackerModel::OneSong, 0, trackerId)
                                      : nullptr;
    if (!model) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- the song" << trackerId << "cannot be read";
        setSaveState(PlaybackEnums::NotSaved);
        if (playingLocalFile)
            emit libraryFileMissing();
        return;
    }
    host.setPendingSong(model);
    if (model->isCompleted())
        savedSongModelCompleted(model);
    else
        connect(model, SIGNAL(completed()), this, SLOT(savedSongCompleted()));
    if (!playingLocalFile)
        setSaveState(PlaybackEnums::Saved);
}

void RadioPlayback::songNotInLibrary()
{
    if (playingLocalFile)
        emit libraryFileMissing();
}

void RadioPlayback::savedSongCompleted()
{
    savedSongModelCompleted(qobject_cast<MafwTrackerModel*>(sender()));
}

void RadioPlayback::savedSongModelCompleted(MafwTrackerModel* model)
{
    if (model)
        disconnect(model, SIGNAL(completed()), this, SLOT(savedSongCompleted()));
    // A library file asked for while a stream plays takes the stream's place; a saved stream
    // goes on as the library's song instead.
    const bool replacesStream = playingLocalFile && modes.mode == PlaybackEnums::RadioMode;
    if (replacesStream)
        host.saveLiveItem();
    // A saved file may have played to its end while the library took the copy.
    const bool saveStillPlays = host.rendererState() == MafwRenderer::Playing;
    host.setLiveMode(PlaybackEnums::MusicMode);
    if (playingLocalFile || saveStillPlays)
        host.setLiveState(PlaybackEnums::Playing);
    host.enterPendingSong(0);
    if (playingLocalFile) {
        host.playPendingSong(true);
        emit libraryFileStarted();
        // The stream's item has ended, and the sheet that shows it goes with it, as at the
        // item's own end.
        if (replacesStream)
            host.notifySheet(true);
        return;
    }
    // The saved song is the queue from now on: the play queue shows it alone. One that no
    // longer plays waits there at its start; one that plays goes on.
    if (!saveStillPlays && host.rendererState() != MafwRenderer::Paused) {
        host.playPendingSong(false);
    } else {
        host.requeuePendingSong();
        // What plays is the library's song from now on, counted as its plays are.
        controls->continueAsRow(0);
    }
    recordSavedSongsAlbum(model);
    const PlayItem& live = modes.live;
    emit contentTypeChanged(PlaybackEnums::SongContent);
    emit songChanged(live.title, live.album, live.artist, 0, false);
    emit songCountChanged(live.songCount);
    emit positionChanged(live.position);
    emit durationChanged(live.duration);
    emit stateChanged(host.liveState());
    host.releaseSheetOnPlayerView();
    ParlovanceApplicationService::instance()->showMainWindow(Parlovance::PageNowPlaying, true);
}

void RadioPlayback::recordSavedSongsAlbum(const MafwTrackerModel* model)
{
    // The queue is the saved song now, and the main page shows it on the now-playing tile in
    // place of the newest activity: its album is that activity, as if its page had played it.
    // The album is new to the library, most often, and the rows of recently added albums would
    // otherwise bring it in behind the album heard before, beside the tile that shows it.
    if (!model || model->rowCount() < 1)
        return;
    const SongColumns columns;
    const auto cell = [model](int column) { return model->index(0, column).data(); };
    LatestActivityController::instance()->addAlbum(cell(columns.album).toString(),
                                                   cell(columns.artist).toString(),
                                                   cell(columns.albumId).toInt(), false);
}

void RadioPlayback::streamMediaChanged(const StreamData* stream)
{
    if (!stream)
        return;
    PlayItem item = modes.item(PlaybackEnums::RadioMode);
    bool changed = false;
    if (stream->artUri() != item.streamArtPath || stream->displayTitle() != item.streamArtText) {
        item.streamArtPath = stream->artUri();
        item.streamArtText = stream->displayTitle();
        emit streamLoaded(item);
        emit streamArtChanged(item.streamArtPath, item.streamArtText);
        changed = true;
        item = modes.item(PlaybackEnums::RadioMode);
    }
    QString newTitle;
    QString newAlbum;
    QString newArtist;
    if (stream->uri().isEmpty() && stream->url().scheme() == QLatin1String("file")) {
        // A file URL has no authority to show; an untagged file goes by its name, as the
        // library shows untagged songs.
        newTitle = stream->title().isEmpty()
                       ? QFileInfo(stream->url().toLocalFile()).completeBaseName()
                       : stream->title();
        newAlbum = stream->album().isEmpty() ? qtTrId("qtn_musi_unknown_album") : stream->album();
        newArtist = stream->artist().isEmpty() ? qtTrId("qtn_musi_unknown_artist")
                                               : stream->artist();
    } else {
        newTitle = stream->organization();
        if (newTitle.isEmpty()) {
            newTitle = QUrl(stream->uri())
                           .toString(QUrl::RemoveScheme | QUrl::RemoveUserInfo)
                           .section(QLatin1Char('/'), 2);
        }
        newArtist = stream->title();
        newAlbum = stream->genre();
    }
    if (item.setTexts(newTitle, newAlbum, newArtist))
        changed = true;
    if (item.genre != stream->genre()) {
        item.genre = stream->genre();
        changed = true;
    }
    if (item.seekable != stream->isSeekable()) {
        item.seekable = stream->isSeekable();
        changed = true;
    }
    if (!changed)
        return;
    emit streamLoaded(item);
    host.notifySheet(false);
    if (modes.live.contentType == PlaybackEnums::RadioPlaylistContent
        && networkState == NetworkConnecting) {
        streamNeedsReopen = true;
        host.stopLive();
        host.followMedia(false);
    }
}

void RadioPlayback::bufferingChanged(float percent)
{
    if (host.isFastSeeking())
        return;
    // Only a radio playlist has a network session. A single URL (or a song) reports buffering
    // while it connects and fills, which says nothing about the network going away.
    if (networkState != NoNetwork
        || modes.live.contentType != PlaybackEnums::RadioPlaylistContent) {
        if (host.liveState() != PlaybackEnums::Transitioning
            && host.rendererState() != MafwRenderer::Playing)
            return;
        host.setLiveBuffering(percent < 100.0f);
        emit bufferingProgress(percent);
        return;
    }
    host.pauseOrStopLive();
    host.setLiveBuffering(false);
    host.reportError(MafwError::NetworkDown);
}

bool RadioPlayback::resumeAfterError(int errorCode)
{
    if (errorCode == MafwError::SeekRefused)
        return false;
    if (errorCode == MafwError::NetworkDown && !controls->isCallActive() && host.isAudioFree()) {
        host.playLive();
        return false;
    }
    if (modes.music.songCount > 0 && modes.music.index != -1) {
        host.resumeOnPause(false);
        switchMode(PlaybackEnums::MusicMode);
        emit playbackCompleted();
    } else {
        host.ignoreNextCompletion(false);
        host.completePlayback();
    }
    return true;
}
