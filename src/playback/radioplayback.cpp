#include "radioplayback.h"

#include "data/containermodel.h"
#include "data/contentmanager.h"
#include "shell/errormessage.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "shell/parlovanceapplicationservice.h"
#include "playlistfileprobe.h"
#include "radionetworksession.h"
#include "streamdata.h"
#include "zelplaycontrols.h"

#include <QFileInfo>
#include <QDebug>
#include <QTimer>

namespace {
const char* const RadioPlaylistMimeType = "audio/x-scpls";
}

RadioPlayback::RadioPlayback(PlayState& playState)
    : hub(playState)
{
}

void RadioPlayback::saveMusicSnapshot()
{
    hub.musicSnapshot.album = hub.liveAlbum;
    hub.musicSnapshot.albumId = hub.liveAlbumId;
    hub.musicSnapshot.artist = hub.liveArtist;
    hub.musicSnapshot.duration = hub.liveDuration;
    hub.musicSnapshot.genre = hub.genre;
    hub.musicSnapshot.songId = hub.liveSongId;
    hub.musicSnapshot.position = hub.livePosition;
    hub.musicSnapshot.index = hub.liveCurrentIndex;
    hub.musicSnapshot.title = hub.liveTitle;
    hub.musicSnapshot.songCount = hub.liveSongCount;
}

void RadioPlayback::saveRadioSnapshot()
{
    hub.radioSnapshot.contentType = hub.liveContentType;
    hub.radioSnapshot.album = hub.liveAlbum;
    hub.radioSnapshot.artist = hub.liveArtist;
    hub.radioSnapshot.genre = hub.genre;
    hub.radioSnapshot.title = hub.liveTitle;
    hub.radioSnapshot.streamArtPath = hub.liveStreamArtPath;
    hub.radioSnapshot.streamArtText = hub.liveStreamArtText;
    hub.radioSnapshot.duration = hub.liveDuration;
    hub.radioSnapshot.position = hub.livePosition;
    hub.radioSnapshot.seekable = hub.seekable;
}

void RadioPlayback::restoreRadioSnapshot()
{
    hub.liveContentType = hub.radioSnapshot.contentType;
    hub.liveAlbum = hub.radioSnapshot.album;
    hub.liveArtist = hub.radioSnapshot.artist;
    hub.genre = hub.radioSnapshot.genre;
    hub.liveTitle = hub.radioSnapshot.title;
    hub.liveStreamArtPath = hub.radioSnapshot.streamArtPath;
    hub.liveStreamArtText = hub.radioSnapshot.streamArtText;
    hub.livePosition = hub.radioSnapshot.position;
    hub.liveDuration = hub.radioSnapshot.duration;
    hub.seekable = hub.radioSnapshot.seekable;
    hub.liveStreamUrl = hub.radioSnapshot.streamUrl;
    hub.ignoreCompletion = true;
}

void RadioPlayback::restoreMusicPlaylist()
{
    hub.liveAlbum = hub.musicSnapshot.album;
    hub.liveAlbumId = hub.musicSnapshot.albumId;
    hub.liveArtist = hub.musicSnapshot.artist;
    hub.liveDuration = hub.musicSnapshot.duration;
    hub.genre = hub.musicSnapshot.genre;
    hub.livePosition = hub.musicSnapshot.position;
    hub.liveCurrentIndex = hub.musicSnapshot.index;
    hub.liveSongId = hub.musicSnapshot.songId;
    hub.liveTitle = hub.musicSnapshot.title;
    hub.liveSongCount = hub.musicSnapshot.songCount;
    hub.seekable = true;
    hub.liveContentType = PlayState::SongContent;
    hub.controls->stop();
    hub.controls->setPlaylist(hub.m_playlistId, false);
    hub.controls->setPlaylistIndex(hub.liveCurrentIndex);
    if (hub.pendingModel)
        hub.appendModel(hub.pendingModel, PlayState::ReplaceQueue, -1);
    hub.controls->pauseAt(hub.livePosition);
}

void RadioPlayback::clearMusicSnapshot()
{
    hub.musicSnapshot.title.clear();
    hub.musicSnapshot.artist.clear();
    hub.musicSnapshot.album.clear();
    hub.musicSnapshot.genre.clear();
    hub.musicSnapshot.index = -1;
    hub.musicSnapshot.songId = -1;
    hub.musicSnapshot.albumId = -1;
    hub.musicSnapshot.position = 0;
    hub.musicSnapshot.duration = 0;
    hub.musicSnapshot.songCount = 0;
}

void RadioPlayback::clearRadioSnapshot()
{
    hub.radioSnapshot.contentType = PlayState::RadioPlaylistContent;
    hub.radioSnapshot.title.clear();
    hub.radioSnapshot.artist.clear();
    hub.radioSnapshot.album.clear();
    hub.radioSnapshot.genre.clear();
    hub.radioSnapshot.streamArtPath.clear();
    hub.radioSnapshot.streamArtText.clear();
    hub.radioSnapshot.position = 0;
    hub.radioSnapshot.duration = 0;
    hub.radioSnapshot.seekable = false;
}

void RadioPlayback::clearSongInfo()
{
    hub.livePosition = 0;
    hub.liveCurrentIndex = 0;
    hub.liveSongId = 0;
    hub.liveAlbumId = 0;
    hub.liveSongCount = 0;
    hub.liveDuration = 0;
    hub.liveContentType = PlayState::NoContent;
    hub.liveTitle.clear();
    hub.liveAlbum.clear();
    hub.liveArtist.clear();
    hub.genre.clear();
    hub.liveSongUri.clear();
    hub.liveStreamArtPath.clear();
    hub.liveStreamArtText.clear();
    hub.liveStreamUrl = QUrl();
    hub.seekable = false;
}

bool RadioPlayback::switchMode(PlayState::PlayingMode target)
{
    if (target == hub.liveMode)
        return false;
    if (target == PlayState::MusicMode) {
        saveRadioSnapshot();
        clearSongInfo();
        hub.setMode(PlayState::MusicMode);
        hub.resumeWhenPaused = true;
        restoreMusicPlaylist();
        emit hub.songChanged(hub.liveTitle, hub.liveAlbum, hub.liveArtist, hub.liveCurrentIndex, false);
        return true;
    }
    saveMusicSnapshot();
    clearSongInfo();
    hub.setMode(PlayState::RadioMode);
    restoreRadioSnapshot();
    playStream(hub.radioSnapshot.streamUrl);
    return true;
}

void RadioPlayback::playStream(const QUrl& url)
{
    if (hub.m_saveState == PlayState::Saving) {
        hub.pendingStreamUrl = url;
        return;
    }
    if (hub.contentManager)
        hub.contentManager->dismissSaveAsDialog();
    hub.storeLastPosition(int(hub.livePosition), hub.liveSongId);
    if (hub.isMassStorageMode() || hub.updatingLibrary) {
        if (hub.rendererState != MafwRenderer::Playing)
            hub.errorMessage->show(9);
        hub.controls->stop();
        hub.rendererStateChangedSlot(MafwRenderer::State(hub.rendererState));
        return;
    }
    if (hub.liveMode == PlayState::MusicMode) {
        saveMusicSnapshot();
        clearSongInfo();
    }
    hub.setMode(PlayState::RadioMode);
    const bool sameUrl = url == hub.liveStreamUrl;
    const bool playlistFile = hub.playlistProbe->isPlaylistFile(url);
    if (!sameUrl) {
        hub.liveCurrentIndex = -1;
        hub.liveTitle.clear();
        hub.liveAlbum.clear();
        hub.liveArtist.clear();
        hub.liveStreamArtText.clear();
        hub.liveStreamArtPath.clear();
        hub.liveDuration = 0;
        clearRadioSnapshot();
    }
    hub.liveStreamUrl = url;
    hub.radioSnapshot.streamUrl = url;
    hub.seekable = false;
    hub.ignoreCompletion = true;
    if (playlistFile) {
        hub.liveContentType = PlayState::RadioPlaylistContent;
        hub.radioSnapshot.contentType = PlayState::RadioPlaylistContent;
        hub.controls->playPlaylist(url, QLatin1String(RadioPlaylistMimeType));
        hub.streamDataHandler->setUrl(url);
        hub.mediaChangedSlot(hub.streamDataHandler);
        openNetworkSession();
    } else {
        hub.liveContentType = PlayState::UrlContent;
        hub.radioSnapshot.contentType = PlayState::UrlContent;
        // A local file brings no address of its own to the handler, which would otherwise keep
        // the last stream's and show the file as that stream.
        if (url.isLocalFile())
            hub.streamDataHandler->clear();
        hub.controls->play(url);
        hub.streamDataHandler->setUrl(url);
        hub.streamDataHandler->setDuration(hub.radioSnapshot.duration);
        hub.mediaChangedSlot(hub.streamDataHandler);
        if (hub.radioSnapshot.position > 0 && hub.radioSnapshot.duration > 0) {
            hub.livePosition = hub.radioSnapshot.position;
            hub.liveDuration = hub.radioSnapshot.duration;
            hub.restorePositionOnPlay = true;
        }
    }
    hub.controls->setPositionUpdateInterval(1);
    hub.notifySheetListeners(false);
}

void RadioPlayback::openNetworkSession()
{
    if (!hub.networkSession) {
        hub.networkSession = new RadioNetworkSession(&hub);
        QObject::connect(hub.networkSession, SIGNAL(error(QNetworkSession::SessionError)), &hub,
                SLOT(networkSessionErrorSlot(QNetworkSession::SessionError)), Qt::UniqueConnection);
        QObject::connect(hub.networkSession, SIGNAL(stateChanged(QNetworkSession::State)), &hub,
                SLOT(networkSessionStateChanged(QNetworkSession::State)), Qt::UniqueConnection);
    }
    hub.networkSession->open();
}

void RadioPlayback::sessionStateChanged(QNetworkSession::State state)
{
    switch (state) {
    case QNetworkSession::Invalid:
    case QNetworkSession::NotAvailable:
        handleNetworkSessionState(0);
        break;
    case QNetworkSession::Connecting:
        if (hub.networkState != 1)
            handleNetworkSessionState(2);
        break;
    case QNetworkSession::Connected:
        handleNetworkSessionState(1);
        break;
    case QNetworkSession::Disconnected:
        if (hub.networkState == 1)
            handleNetworkSessionState(0);
        break;
    default:
        break;
    }
}

void RadioPlayback::sessionError(QNetworkSession::SessionError error)
{
    if (error == QNetworkSession::SessionAbortedError)
        handleNetworkSessionState(0);
}

void RadioPlayback::handleNetworkSessionState(int state)
{
    const int previous = hub.networkState;
    hub.networkState = state;
    switch (state) {
    case 1:
        if (hub.liveState != PlayState::Playing)
            hub.play(hub.liveMode);
        break;
    case 2:
        if (hub.rendererState != MafwRenderer::Transitioning)
            hub.setState(PlayState::Transitioning);
        break;
    case 0:
        if (previous != 1 && previous != 2)
            break;
        if (hub.liveState == PlayState::Stopped) {
            hub.streamNeedsReopen = true;
        } else if (hub.liveState == PlayState::Playing) {
            hub.errorSlot(MafwError(MafwError::NetworkDown, QString()));
            hub.streamNeedsReopen = true;
            hub.stop(hub.liveMode);
        }
        hub.setBuffering(false);
        break;
    default:
        break;
    }
}

void RadioPlayback::replayRadioPlaylist()
{
    hub.streamNeedsReopen = false;
    if (hub.liveStreamUrl.isEmpty())
        return;
    QObject::connect(hub.controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), &hub,
            SLOT(mediaChangedSlot(const ZelMetadataHandler*)), Qt::UniqueConnection);
    hub.controls->playPlaylist(hub.liveStreamUrl, QLatin1String(RadioPlaylistMimeType));
    if (StreamData* stream = qobject_cast<StreamData*>(hub.controls->mutableItem()))
        stream->setUrl(hub.liveStreamUrl);
}

void RadioPlayback::playLocalFile(const QString& path)
{
    if (path.isEmpty())
        return;
    hub.ensureContentManager();
    hub.playingLocalFile = true;
    hub.contentManager->querySongInTracker(path);
}

void RadioPlayback::songSaved(QString uri, int trackerId)
{
    Q_UNUSED(uri)
    hub.liveSongId = trackerId;
    if (!hub.pendingStreamUrl.isEmpty()) {
        const QUrl url = hub.pendingStreamUrl;
        hub.pendingStreamUrl = QUrl();
        playStream(url);
    } else {
        MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
        MafwTrackerModel* model =
            factory ? factory->getModel(MafwTrackerModel::OneSong, 0, trackerId) : nullptr;
        if (!model) {
            qWarning() << Q_FUNC_INFO << "- the song" << trackerId << "cannot be read";
            hub.m_saveState = PlayState::NotSaved;
            emit hub.saveStateChanged(PlayState::NotSaved);
            return;
        }
        if (hub.pendingModel)
            QObject::disconnect(hub.pendingModel.data(), nullptr, &hub, nullptr);
        hub.pendingModel = QSharedPointer<ContainerModel>(new ContainerModel);
        hub.pendingModel->append(QSharedPointer<QAbstractItemModel>(model));
        QObject::connect(hub.pendingModel.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), &hub,
                SLOT(rowsInsertedSlot(QModelIndex, int, int)), Qt::UniqueConnection);
        QObject::connect(hub.pendingModel.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), &hub,
                SLOT(rowsRemovedSlot(QModelIndex, int, int)), Qt::UniqueConnection);
        if (model->isCompleted())
            savedSongModelCompleted(model);
        else
            QObject::connect(model, SIGNAL(completed()), &hub, SLOT(savedSongModelCompleted()));
    }
    if (!hub.playingLocalFile) {
        hub.m_saveState = PlayState::Saved;
        emit hub.saveStateChanged(PlayState::Saved);
    }
}

void RadioPlayback::savedSongModelCompleted(MafwTrackerModel* model)
{
    if (model)
        QObject::disconnect(model, SIGNAL(completed()), &hub, SLOT(savedSongModelCompleted()));
    if (hub.playingLocalFile && hub.liveMode == PlayState::RadioMode)
        saveRadioSnapshot();
    hub.setMode(PlayState::MusicMode);
    hub.setState(PlayState::Playing);
    hub.liveCurrentIndex = 0;
    hub.liveContentType = PlayState::SongContent;
    hub.liveSongCount = 1;
    if (hub.playingLocalFile) {
        hub.playPendingModel();
        return;
    }
    hub.seekable = true;
    emit hub.contentTypeChanged(PlayState::SongContent);
    emit hub.songChanged(hub.liveTitle, hub.liveAlbum, hub.liveArtist, 0, false);
    emit hub.songCountChanged(hub.liveSongCount);
    emit hub.positionChanged(hub.livePosition);
    emit hub.durationChanged(hub.liveDuration);
    emit hub.stateChanged(hub.liveState);
    ParlovanceApplicationService* service = ParlovanceApplicationService::instance();
    QObject::connect(service, SIGNAL(playerViewAppeared()), &hub, SLOT(releaseSheet()), Qt::UniqueConnection);
    service->showMainWindow(Parlovance::PageNowPlaying, true);
}

void RadioPlayback::streamMediaChanged(const StreamData* stream)
{
    if (!stream)
        return;
    bool changed = false;
    if (stream->artUri() != hub.liveStreamArtPath || stream->displayTitle() != hub.liveStreamArtText) {
        hub.liveStreamArtPath = stream->artUri();
        hub.liveStreamArtText = stream->displayTitle();
        emit hub.streamArtChanged(hub.liveStreamArtPath, hub.liveStreamArtText);
        changed = true;
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
        newArtist = stream->artist().isEmpty() ? qtTrId("qtn_musi_unknown_artist") : stream->artist();
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
    for (auto pair : { qMakePair(&hub.liveTitle, &newTitle), qMakePair(&hub.liveAlbum, &newAlbum),
                       qMakePair(&hub.liveArtist, &newArtist) }) {
        if (*pair.first != *pair.second) {
            *pair.first = *pair.second;
            changed = true;
        }
    }
    if (hub.genre != stream->genre()) {
        hub.genre = stream->genre();
        changed = true;
    }
    if (hub.seekable != stream->isSeekable()) {
        hub.seekable = stream->isSeekable();
        changed = true;
    }
    if (!changed)
        return;
    hub.notifySheetListeners(false);
    if (hub.liveContentType == PlayState::RadioPlaylistContent && hub.networkState == 2) {
        hub.streamNeedsReopen = true;
        hub.stop(hub.liveMode);
        QObject::disconnect(hub.controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), &hub,
                   SLOT(mediaChangedSlot(const ZelMetadataHandler*)));
    }
}

void RadioPlayback::bufferingChanged(float percent)
{
    if (hub.seekTimer->isActive())
        return;
    // Only a radio playlist has a network session. A single URL (or a song) reports buffering
    // while it connects and fills, which says nothing about the network going away.
    if (hub.networkState != 0 || hub.liveContentType != PlayState::RadioPlaylistContent) {
        if (hub.liveState != PlayState::Transitioning
            && hub.rendererState != MafwRenderer::Playing)
            return;
        hub.setBuffering(percent < 100.0f);
        emit hub.bufferingProgress(percent);
        return;
    }
    hub.pauseOrStop(hub.liveMode);
    hub.setBuffering(false);
    hub.errorSlot(MafwError(MafwError::NetworkDown, QString()));
}

void RadioPlayback::resumeAfterError()
{
    const int code = hub.lastError.code();
    if (code == MafwError::SeekRefused)
        return;
    if (code == MafwError::NetworkDown && !hub.controls->isCallActive() && hub.audioAvailable) {
        hub.play(hub.liveMode);
        return;
    }
    if (hub.musicSnapshot.songCount > 0 && hub.musicSnapshot.index != -1) {
        hub.resumeWhenPaused = false;
        switchMode(PlayState::MusicMode);
        emit hub.playbackCompleted();
    } else {
        hub.ignoreCompletion = false;
        hub.playbackCompletedSlot();
    }
    hub.resumeAfterError = false;
}

void RadioPlayback::queueChangedUnderRadio(int row, const QString& title, const QString& album,
                                           const QString& artist, int length, int songId,
                                           int albumId, const QString& genre)
{
    PlayState::MusicSnapshot& music = hub.musicSnapshot;
    if (songId != music.songId)
        music.position = 0;
    music.index = row;
    music.album = album;
    music.albumId = albumId;
    music.artist = artist;
    music.duration = length;
    music.genre = genre;
    music.songId = songId;
    music.title = title;
    emit hub.songChanged(music.title, music.album, music.artist, music.index, hub.previousDirection);
    emit hub.durationChanged(music.duration);
    emit hub.positionChanged(music.position);
}
