#include "radioplayback.h"

#include "data/containermodel.h"
#include "data/contentmanager.h"
#include "shell/errormessage.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "shell/parlovanceapplicationservice.h"
#include "playlistfileprobe.h"
#include "fastseek.h"
#include "playmodes.h"
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

void RadioPlayback::restoreMusicPlaylist()
{
    hub.modes->live = hub.modes->music;
    hub.controls->stop();
    hub.controls->setPlaylist(hub.m_playlistId, false);
    hub.controls->setPlaylistIndex(hub.modes->live.index);
    if (hub.pendingModel)
        hub.appendModel(hub.pendingModel, PlayState::ReplaceQueue, -1);
    hub.controls->pauseAt(hub.modes->live.position);
}

bool RadioPlayback::switchMode(PlayState::PlayingMode target)
{
    if (target == hub.modes->mode)
        return false;
    if (target == PlayState::MusicMode) {
        hub.modes->saveRadio();
        hub.modes->clearLive();
        hub.setMode(PlayState::MusicMode);
        hub.resumeWhenPaused = true;
        restoreMusicPlaylist();
        emit hub.songChanged(hub.modes->live.title, hub.modes->live.album, hub.modes->live.artist, hub.modes->live.index, false);
        return true;
    }
    hub.modes->saveMusic();
    hub.modes->clearLive();
    hub.setMode(PlayState::RadioMode);
    hub.modes->live = hub.modes->radio;
    hub.ignoreCompletion = true;
    playStream(hub.modes->radio.streamUrl);
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
    hub.storeLastPosition(int(hub.modes->live.position), hub.modes->live.songId);
    if (hub.isMassStorageMode() || hub.updatingLibrary) {
        if (hub.rendererState != MafwRenderer::Playing)
            hub.errorMessage->show(ErrorMessage::UnableToPlaySong);
        hub.controls->stop();
        hub.rendererStateChangedSlot(MafwRenderer::State(hub.rendererState));
        return;
    }
    if (hub.modes->mode == PlayState::MusicMode) {
        hub.modes->saveMusic();
        hub.modes->clearLive();
    }
    hub.setMode(PlayState::RadioMode);
    const bool sameUrl = url == hub.modes->live.streamUrl;
    const bool playlistFile = hub.playlistProbe->isPlaylistFile(url);
    if (!sameUrl) {
        hub.modes->live.index = -1;
        hub.modes->live.title.clear();
        hub.modes->live.album.clear();
        hub.modes->live.artist.clear();
        hub.modes->live.streamArtText.clear();
        hub.modes->live.streamArtPath.clear();
        hub.modes->live.duration = 0;
        hub.modes->clearRadio();
    }
    hub.modes->live.streamUrl = url;
    hub.modes->radio.streamUrl = url;
    hub.modes->live.seekable = false;
    hub.ignoreCompletion = true;
    if (playlistFile) {
        hub.modes->live.contentType = PlayState::RadioPlaylistContent;
        hub.modes->radio.contentType = PlayState::RadioPlaylistContent;
        hub.controls->playPlaylist(url, QLatin1String(RadioPlaylistMimeType));
        hub.streamDataHandler->setUrl(url);
        hub.mediaChangedSlot(hub.streamDataHandler);
        openNetworkSession();
    } else {
        hub.modes->live.contentType = PlayState::UrlContent;
        hub.modes->radio.contentType = PlayState::UrlContent;
        // A local file brings no address of its own to the handler, which would otherwise keep
        // the last stream's and show the file as that stream.
        if (url.isLocalFile())
            hub.streamDataHandler->clear();
        hub.controls->play(url);
        hub.streamDataHandler->setUrl(url);
        hub.streamDataHandler->setDuration(hub.modes->radio.duration);
        hub.mediaChangedSlot(hub.streamDataHandler);
        if (hub.modes->radio.position > 0 && hub.modes->radio.duration > 0) {
            hub.modes->live.position = hub.modes->radio.position;
            hub.modes->live.duration = hub.modes->radio.duration;
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
            hub.play(hub.modes->mode);
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
            hub.stop(hub.modes->mode);
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
    if (hub.modes->live.streamUrl.isEmpty())
        return;
    QObject::connect(hub.controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), &hub,
            SLOT(mediaChangedSlot(const ZelMetadataHandler*)), Qt::UniqueConnection);
    hub.controls->playPlaylist(hub.modes->live.streamUrl, QLatin1String(RadioPlaylistMimeType));
    if (StreamData* stream = qobject_cast<StreamData*>(hub.controls->mutableItem()))
        stream->setUrl(hub.modes->live.streamUrl);
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
    hub.modes->live.songId = trackerId;
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
    if (hub.playingLocalFile && hub.modes->mode == PlayState::RadioMode)
        hub.modes->saveRadio();
    hub.setMode(PlayState::MusicMode);
    hub.setState(PlayState::Playing);
    hub.modes->live.index = 0;
    hub.modes->live.contentType = PlayState::SongContent;
    hub.modes->live.songCount = 1;
    if (hub.playingLocalFile) {
        hub.playPendingModel();
        return;
    }
    hub.modes->live.seekable = true;
    emit hub.contentTypeChanged(PlayState::SongContent);
    emit hub.songChanged(hub.modes->live.title, hub.modes->live.album, hub.modes->live.artist, 0, false);
    emit hub.songCountChanged(hub.modes->live.songCount);
    emit hub.positionChanged(hub.modes->live.position);
    emit hub.durationChanged(hub.modes->live.duration);
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
    if (stream->artUri() != hub.modes->live.streamArtPath || stream->displayTitle() != hub.modes->live.streamArtText) {
        hub.modes->live.streamArtPath = stream->artUri();
        hub.modes->live.streamArtText = stream->displayTitle();
        emit hub.streamArtChanged(hub.modes->live.streamArtPath, hub.modes->live.streamArtText);
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
    for (auto pair : { qMakePair(&hub.modes->live.title, &newTitle), qMakePair(&hub.modes->live.album, &newAlbum),
                       qMakePair(&hub.modes->live.artist, &newArtist) }) {
        if (*pair.first != *pair.second) {
            *pair.first = *pair.second;
            changed = true;
        }
    }
    if (hub.modes->live.genre != stream->genre()) {
        hub.modes->live.genre = stream->genre();
        changed = true;
    }
    if (hub.modes->live.seekable != stream->isSeekable()) {
        hub.modes->live.seekable = stream->isSeekable();
        changed = true;
    }
    if (!changed)
        return;
    hub.notifySheetListeners(false);
    if (hub.modes->live.contentType == PlayState::RadioPlaylistContent && hub.networkState == 2) {
        hub.streamNeedsReopen = true;
        hub.stop(hub.modes->mode);
        QObject::disconnect(hub.controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)), &hub,
                   SLOT(mediaChangedSlot(const ZelMetadataHandler*)));
    }
}

void RadioPlayback::bufferingChanged(float percent)
{
    if (hub.fastSeek->isActive())
        return;
    // Only a radio playlist has a network session. A single URL (or a song) reports buffering
    // while it connects and fills, which says nothing about the network going away.
    if (hub.networkState != 0 || hub.modes->live.contentType != PlayState::RadioPlaylistContent) {
        if (hub.liveState != PlayState::Transitioning
            && hub.rendererState != MafwRenderer::Playing)
            return;
        hub.setBuffering(percent < 100.0f);
        emit hub.bufferingProgress(percent);
        return;
    }
    hub.pauseOrStop(hub.modes->mode);
    hub.setBuffering(false);
    hub.errorSlot(MafwError(MafwError::NetworkDown, QString()));
}

void RadioPlayback::resumeAfterError()
{
    const int code = hub.lastError.code();
    if (code == MafwError::SeekRefused)
        return;
    if (code == MafwError::NetworkDown && !hub.controls->isCallActive() && hub.audioAvailable) {
        hub.play(hub.modes->mode);
        return;
    }
    if (hub.modes->music.songCount > 0 && hub.modes->music.index != -1) {
        hub.resumeWhenPaused = false;
        switchMode(PlayState::MusicMode);
        emit hub.playbackCompleted();
    } else {
        hub.ignoreCompletion = false;
        hub.playbackCompletedSlot();
    }
    hub.resumeAfterError = false;
}
