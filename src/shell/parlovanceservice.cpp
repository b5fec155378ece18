#include "parlovanceservice.h"

#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/storequeries.h"
#include "busconnectionlimits.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "parlovanceapplicationservice.h"
#include "parlovanceinterfaceadaptor.h"
#include "playback/playlistfileprobe.h"
#include "playback/playstate.h"
#include "playableurl.h"
#include "trackersparql.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

const char* const ParlovanceService::ServiceName = "com.vaspe.lurno.meegotouch.ParlovanceService";

ParlovanceService* ParlovanceService::s_instance = nullptr;

namespace {

// Longer texts are no URI or path a program means to hand over; they are refused unread.
const int MaxUriLength = 8192;

} // namespace

ParlovanceService* ParlovanceService::instance()
{
    if (!s_instance)
        s_instance = new ParlovanceService;
    return s_instance;
}

void ParlovanceService::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

ParlovanceService::ParlovanceService()
    : QObject(nullptr)
    , playState(PlayState::instance())
    , factoryInstance(nullptr)
    , interfaceAdaptor(nullptr)
    // The folder the library is indexed from: a file below it is a library song, any other
    // file is played as a stream.
    , storageRoot(QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::MusicLocation)))
    // The program's own folders, should the music folder hold them (a music folder that is
    // the home folder): a file there is the program's, never a library song.
    , excludedFolders(
          { QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                            + QStringLiteral("/parlovance")),
            QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                            + QStringLiteral("/parlovance")) })
    , fileProbe(new PlaylistFileProbe)
{
    setObjectName(QStringLiteral("ParlovanceService"));
    interfaceAdaptor = new ParlovanceInterfaceAdaptor(this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    BusConnectionLimits::apply(bus);
    // Another player may hold the name already; say so, as other programs will not reach us.
    if (!bus.registerService(QLatin1String(ServiceName)))
        qCWarning(lcShell) << Q_FUNC_INFO << "- cannot take the bus name" << ServiceName << ":"
                           << bus.lastError().message();
    bus.registerObject(QStringLiteral("/"), this, QDBusConnection::ExportAdaptors);
    connectPlayStateSignals();
}

ParlovanceService::~ParlovanceService()
{
    playState->unregisterSheetListener(this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QStringLiteral("/"));
    BusConnectionLimits::releaseName(bus, QLatin1String(ServiceName));
    if (s_instance == this)
        s_instance = nullptr;
}

void ParlovanceService::connectPlayStateSignals()
{
    connect(playState, SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
            SLOT(currentMedia()), Qt::UniqueConnection);
    connect(playState, SIGNAL(stateChanged(PlayState::State)), this,
            SLOT(handlePlaybackStateChanged()), Qt::UniqueConnection);
    connect(playState, SIGNAL(modeChanged(PlayState::PlayingMode)), this, SLOT(updateSheetState()),
            Qt::UniqueConnection);
    playState->registerSheetListener(this, SLOT(updateSheetState()));
    connect(playState, &PlayState::itemPlaying, this, &ParlovanceService::liveItemPlays,
            Qt::UniqueConnection);
    // A file of the library asked for: it has started, or the store does not hold it yet.
    connect(playState, &PlayState::libraryFileStarted, this, [this]() {
        if (onItsWay.stage() == RequestOnItsWay::Stage::FindingFile)
            requestArrived();
    });
    connect(playState, &PlayState::libraryFileMissing, this, [this]() {
        if (onItsWay.stage() == RequestOnItsWay::Stage::FindingFile)
            requestLost();
    });
    connect(playState, &PlayState::replacedItemBack, this, [this]() {
        onItsWay.replacedCameBack();
        announceLater();
    });
}

bool ParlovanceService::acceptable(const QStringList& uriList, const char* function)
{
    if (uriList.isEmpty()) {
        qCDebug(lcShell) << function << "- an empty list: nothing to play";
        return false;
    }
    const QString& uri = uriList.first();
    if (uri.isEmpty() || uri.size() > MaxUriLength || uri.contains(QChar(0))) {
        qCDebug(lcShell) << function << "- Cannot play: a URI of" << uri.size()
                         << "characters is refused";
        return false;
    }
    return true;
}

bool ParlovanceService::isMusicOrPlaylist(const QUrl& url, const char* function)
{
    const QString type = fileProbe->unplayableType(url);
    if (type.isEmpty())
        return true;
    qCWarning(lcShell).nospace().noquote()
        << function << " - refused " << url.toString(QUrl::FullyEncoded)
        << ": neither audio nor a playlist (" << type << ")";
    return false;
}

// A path of an existing file becomes a file URL as it stands, whatever its characters; any
// other text is taken as a URL, already encoded when `encoded` is set.
QUrl ParlovanceService::urlOf(const QString& uri, bool encoded)
{
    if (QFile::exists(uri) && !uri.contains(QLatin1String("://")))
        return QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(uri)));
    return encoded ? QUrl::fromEncoded(uri.toUtf8()) : QUrl(uri);
}

void ParlovanceService::play(QStringList uriList)
{
    playList(uriList, false, Q_FUNC_INFO);
}

void ParlovanceService::playList(const QStringList& uriList, bool temporary, const char* function)
{
    if (!acceptable(uriList, function))
        return;
    onItsWay.keepList(uriList, temporary);
    const QString uri = uriList.first();
    const QUrl url = urlOf(uri, true);

    if (url.scheme() == QLatin1String("urn")) {
        if (!TrackerSparql::isSafeIri(uri)) {
            qCDebug(lcShell) << function << "- Cannot play: " << uri << " Invalid URI";
            return;
        }
        request({ PlayRequest::LibrarySong, uri, QUrl() });
        return;
    }
    if (!url.isValid() || url.scheme().isEmpty()) {
        qCDebug(lcShell) << function << "- Cannot play: " << url << " Invalid URI";
        return;
    }
    if (!PlayableUrl::check(url, function) || !isMusicOrPlaylist(url, function))
        return;

    const QString path = url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
    if (!temporary && !path.isEmpty() && isBelowStorageRoot(path)
        && !isInExcludedDirectory(path)) {
        request({ PlayRequest::LibraryFile, url.toString(QUrl::FullyEncoded), QUrl() });
        return;
    }
    request({ PlayRequest::Stream, QString(), url });
}

void ParlovanceService::request(const PlayRequest& next)
{
    onItsWay.take();
    burst.play(next);
    carryOutLater();
}

void ParlovanceService::record(void (TransportBurst::*call)())
{
    (burst.*call)();
    carryOutLater();
}

void ParlovanceService::carryOutLater()
{
    // A burst of calls is answered in the order it came, and each call is quick to answer: what
    // they ask waits until the calls already received are through, and is carried out once.
    if (burstQueued)
        return;
    burstQueued = true;
    QMetaObject::invokeMethod(this, &ParlovanceService::carryOutBurst, Qt::QueuedConnection);
}

void ParlovanceService::carryOutWaitingBurst()
{
    if (burstQueued)
        carryOutBurst();
}

void ParlovanceService::carryOutBurst()
{
    burstQueued = false;
    const TransportBurst calls = burst;
    burst = TransportBurst();
    // A question carried the burst out before it was due.
    if (calls.calls() == 0)
        return;
    if (calls.calls() > 1)
        qCDebug(lcShell) << Q_FUNC_INFO << "- a burst of" << calls.calls()
                         << "calls is carried out as one";
    const PlayRequest& next = calls.request();
    TransportSteps steps = calls.steps();
    // Skips asked before a stream move what it replaces, which comes back where they left it
    // should the stream fail: the queue that waits behind it (the controller only keeps it as
    // its row while the stream is its item), or the entry of a playlist file. A library song
    // replaces the queue.
    if (next.kind != PlayRequest::None && next.kind != PlayRequest::Stream)
        steps.dropMoves();
    const TransportSteps::Hold held = steps.carryOut(
        *playState, [&]() { startRequest(next); },
        [this](TransportSteps::Hold hold) { return holdWaitsForRequest(hold); });
    if (held != TransportSteps::Hold::None)
        onItsWay.handOver(stateOnItsWay(held));
}

int ParlovanceService::stateOnItsWay(TransportSteps::Hold held) const
{
    // What plays pauses, or plays on, once its renderer has the command: the hub tells the
    // state the renderer is in until then.
    const PlayState::State now = playState->state(playState->mode());
    if (held == TransportSteps::Hold::Pause && now == PlayState::Playing)
        return BusPaused;
    if (held == TransportSteps::Hold::Play && now == PlayState::Paused)
        return BusPlaying;
    if (held == TransportSteps::Hold::Stop
        && (now == PlayState::Playing || now == PlayState::Paused))
        return stateOf(PlayState::Stopped);
    return -1;
}

void ParlovanceService::startRequest(const PlayRequest& next)
{
    switch (next.kind) {
    case PlayRequest::LibrarySong:
        onItsWay.start(lookUpSong(next.uri));
        break;
    case PlayRequest::LibraryFile:
        onItsWay.start(RequestOnItsWay::Stage::FindingFile);
        playState->playLocalFile(next.uri);
        ParlovanceApplicationService::instance()->showMainWindow(Parlovance::PageNowPlaying, true);
        break;
    case PlayRequest::Stream:
        onItsWay.start(RequestOnItsWay::Stage::StreamStarting);
        playState->playStream(next.url);
        ParlovanceApplicationService::instance()->showPlayerSheet();
        break;
    case PlayRequest::None:
        return;
    }
    // A question for the media that waited for a song looked up is answered by what replaced
    // it, unless that is looked up in turn.
    if (!onItsWay.isAskingTheLibrary())
        answerWaitingQuestion();
}

bool ParlovanceService::holdWaitsForRequest(TransportSteps::Hold hold)
{
    // A request on its way is paused, stopped or left playing once it plays: a song being
    // looked up is not there yet, and a stream that does not play yet cannot tell whether it
    // pauses or stops. The last one asked holds.
    if (!onItsWay.isOnItsWay())
        return false;
    onItsWay.hold(hold);
    // Should the stream fail, what it replaced comes back as the user asked meanwhile.
    if (onItsWay.stage() == RequestOnItsWay::Stage::StreamStarting) {
        playState->askForReplacedItem(hold == TransportSteps::Hold::Play    ? PlayState::Playing
                                      : hold == TransportSteps::Hold::Pause ? PlayState::Paused
                                                                            : PlayState::Stopped);
    }
    return true;
}

void ParlovanceService::requestArrived()
{
    const PlayState::PlayingMode mode = playState->mode();
    switch (onItsWay.arrived()) {
    case TransportSteps::Hold::Pause:
        // A file pauses, though it may not have told yet whether it can seek; a stream from the
        // network that cannot seek stops.
        if (mode == PlayState::RadioMode && playState->streamUrl().isLocalFile())
            playState->pause();
        else
            playState->pauseOrStop(mode);
        onItsWay.handOver(stateOnItsWay(TransportSteps::Hold::Pause));
        break;
    case TransportSteps::Hold::Stop:
        playState->stop(mode);
        break;
    default:
        // It plays, as a play asked behind it wants.
        break;
    }
    answerWaitingQuestion();
}

void ParlovanceService::requestLost()
{
    const bool lookedUp = onItsWay.isAskingTheLibrary();
    const TransportSteps::Hold held = onItsWay.lost();
    // A song the library does not hold changes nothing: what was asked behind it acts on what
    // plays, as if asked alone. (What a stream that failed replaced comes back, in the hub, in
    // the state asked.)
    if (lookedUp && held != TransportSteps::Hold::None) {
        TransportSteps::carryOutHold(*playState, held);
        onItsWay.handOver(stateOnItsWay(held));
    }
    answerWaitingQuestion();
}

void ParlovanceService::answerWaitingQuestion()
{
    if (onItsWay.takeMediaQuestion())
        answerMedia();
}

RequestOnItsWay::Stage ParlovanceService::lookUpSong(const QString& urn)
{
    if (!factoryInstance)
        factoryInstance = MafwTrackerModelFactoryInstance::instance();
    if (!factoryInstance->isReady()) {
        // One completion answers every parked request once, with the newest list.
        connect(factoryInstance, SIGNAL(completed(bool)), this, SLOT(instanceCompletedSlot(bool)),
                Qt::UniqueConnection);
        return RequestOnItsWay::Stage::WaitingForLibrary;
    }
    MafwTrackerModelFactory* factory = factoryInstance->factory();
    MafwTrackerConnection* connection = factory ? factory->trackerConnection() : nullptr;
    if (!connection)
        return RequestOnItsWay::Stage::None;
    connection->asyncQuery(QString::fromLatin1(StoreQueries::SongByUrn).arg(urn), 1, this,
                           SLOT(queryReady(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)),
                           QVariant(onItsWay.serial()));
    return RequestOnItsWay::Stage::LookingUp;
}

void ParlovanceService::playTempFile(QStringList uriList)
{
    playList(uriList, true, Q_FUNC_INFO);
}

void ParlovanceService::playPlaylist(QStringList uriList)
{
    if (!acceptable(uriList, Q_FUNC_INFO))
        return;
    const QUrl url = urlOf(uriList.first(), false);
    if (!url.isValid() || url.scheme().isEmpty()) {
        qCDebug(lcShell) << Q_FUNC_INFO << "- Cannot play: " << url << " Invalid URI";
        return;
    }
    if (!PlayableUrl::check(url, Q_FUNC_INFO) || !isMusicOrPlaylist(url, Q_FUNC_INFO))
        return;
    request({ PlayRequest::Stream, QString(), url });
}

bool ParlovanceService::isBelowStorageRoot(const QString& path) const
{
    return !storageRoot.isEmpty()
           && (path == storageRoot || path.startsWith(storageRoot + QLatin1Char('/')));
}

bool ParlovanceService::isInExcludedDirectory(const QString& path) const
{
    for (const QString& folder : excludedFolders) {
        if (path == folder || path.startsWith(folder + QLatin1Char('/')))
            return true;
    }
    return false;
}

void ParlovanceService::resumePlayback()
{
    record(&TransportBurst::resume);
}

void ParlovanceService::pausePlayback()
{
    record(&TransportBurst::pause);
}

void ParlovanceService::stopPlaybackForTesting()
{
    record(&TransportBurst::stop);
}

void ParlovanceService::next()
{
    record(&TransportBurst::next);
}

void ParlovanceService::previous()
{
    record(&TransportBurst::previous);
}

int ParlovanceService::playbackState()
{
    carryOutWaitingBurst();
    // A library song or file asked of the store is not known to play until the store has
    // answered: the state is the one that stands, with the play, pause or stop asked behind
    // it, which acts on what is live either way (on the song once it has come, else on what
    // plays now).
    if (onItsWay.isAskingTheLibrary()) {
        const int asked = stateOnItsWay(onItsWay.held());
        return asked >= 0 ? asked : reportedState();
    }
    if (onItsWay.stateHandedOver() >= 0)
        return onItsWay.stateHandedOver();
    return reportedState();
}

int ParlovanceService::reportedState() const
{
    const PlayState::PlayingMode mode = playState->mode();
    const PlayState::State state = playState->state(mode);
    // A stream on its way is no stream that plays, nor a loaded one that waits.
    if (mode == PlayState::RadioMode && !onItsWay.streamHasPlayed())
        return state == PlayState::Transitioning ? BusTransitioning : BusStopped;
    return stateOf(state);
}

int ParlovanceService::stateOf(PlaybackEnums::State state) const
{
    const PlayState::PlayingMode mode = playState->mode();
    switch (state) {
    case PlayState::Playing:
    case PlayState::Paused:
    case PlayState::Transitioning:
        return state;
    case PlayState::Stopped: {
        const PlayState::ContentType content = playState->contentType(mode);
        if (playState->isMassStorageMode() || playState->isUpdatingLibrary()
            || content == PlayState::NoContent)
            return BusStopped;
        // A loaded but stopped queue or radio playlist counts as paused.
        if (content == PlayState::RadioPlaylistContent || playState->songCount(mode) > 0)
            return BusPaused;
        return BusStopped;
    }
    default:
        return BusOther;
    }
}

void ParlovanceService::liveItemPlays()
{
    onItsWay.hubReported();
    if (playState->mode() != PlayState::RadioMode || !onItsWay.streamPlays())
        return;
    announceLater();
    requestArrived();
}

void ParlovanceService::handlePlaybackStateChanged()
{
    onItsWay.hubReported();
    const PlayState::State state = playState->state(PlayState::RadioMode);
    if (playState->mode() == PlayState::RadioMode && !onItsWay.streamHasPlayed()) {
        if (state == PlayState::Playing || state == PlayState::Paused) {
            onItsWay.streamPlays();
            requestArrived();
        } else if (state == PlayState::Stopped || state == PlayState::NoState) {
            // A stream that failed on its way: a pause waiting for it has nothing to pause.
            requestLost();
        }
    }
    announceLater();
}

void ParlovanceService::updateSheetState()
{
    announceLater();
}

void ParlovanceService::currentMedia()
{
    // The hub's report of a new song is announced with the rest of its burst; a caller on the
    // bus asking for the media is answered as soon as the calls it sent before are carried
    // out, and a library song among them has been looked up (a stream is not what plays
    // before it plays).
    if (sender() == playState) {
        onItsWay.hubReported();
        announceLater();
        return;
    }
    carryOutWaitingBurst();
    if (onItsWay.isAskingTheLibrary())
        onItsWay.holdMediaQuestion();
    else
        answerMedia();
}

void ParlovanceService::answerMedia()
{
    announcedMedia = media();
    emit mediaChanged(announcedMedia);
}

void ParlovanceService::announceLater()
{
    // One change of the player reaches the hub as a burst of reports (a pause passes through
    // the renderer's last state, a new song is told by the queue and by the controller):
    // listeners are told once the burst is through, of what changed, with its final value.
    if (announcePending)
        return;
    announcePending = true;
    QTimer::singleShot(0, this, [this]() {
        announcePending = false;
        const int state = reportedState();
        if (state != announcedState) {
            announcedState = state;
            emit playbackStateChanged(state);
        }
        const QStringList now = media();
        if (now != announcedMedia) {
            announcedMedia = now;
            emit mediaChanged(now);
        }
    });
}

QStringList ParlovanceService::media() const
{
    const PlayState::PlayingMode mode = playState->mode();
    QStringList media;
    switch (playState->contentType(mode)) {
    case PlayState::SongContent:
        // A queue that was emptied, or played to its end, keeps the kind of its songs but
        // holds none: nothing is loaded, as the state reported beside it says.
        if (playState->songCount(mode) < 1) {
            media << QStringLiteral("2");
            break;
        }
        media << QStringLiteral("0") << playState->title(mode) << playState->artist(mode);
        break;
    case PlayState::UrlContent:
    case PlayState::RadioPlaylistContent:
        if (!onItsWay.streamHasPlayed()) {
            media << QStringLiteral("2");
            break;
        }
        media << QStringLiteral("1") << playState->title(mode) << playState->artist(mode);
        break;
    default:
        media << QStringLiteral("2");
        break;
    }
    return media;
}

void ParlovanceService::queryReady(QList<QStringList> rows, bool end, QVariant userData)
{
    // The answer to a request that a newer one replaced meanwhile.
    if (userData.toULongLong() != onItsWay.serial())
        return;
    if (!end)
        return;
    bool ok = false;
    const int id = rows.isEmpty() || rows.first().isEmpty() ? 0
                                                            : rows.first().first().toInt(&ok, 10);
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerModel* model = ok && factory ? factory->getModel(MafwTrackerModel::OneSong, 0, id)
                                            : nullptr;
    if (!model) {
        requestLost();
        return;
    }
    // The model re-reads itself when the library changes: only its first fill may start
    // playback, and a request replaced by a newer one never does.
    if (onItsWay.model())
        disconnect(onItsWay.model().data(), nullptr, this, nullptr);
    onItsWay.setModel(QSharedPointer<QAbstractItemModel>(model));
    if (model->rowCount(QModelIndex()) > 0)
        startModelPlayback();
    else
        connect(model, SIGNAL(completed()), this, SLOT(startModelPlayback()));
}

void ParlovanceService::startModelPlayback()
{
    const QSharedPointer<QAbstractItemModel> model = onItsWay.model();
    if (!model)
        return;
    disconnect(model.data(), nullptr, this, nullptr);
    if (!onItsWay.modelIsNewest())
        return;
    if (model->rowCount(QModelIndex()) == 0) {
        requestLost();
        return;
    }
    playState->appendModel(model, PlayState::ReplaceQueue, -1);
    playState->startPlayback(0, PlayState::AllSongsQueue);
    ParlovanceApplicationService::instance()->showMainWindow(Parlovance::PageNowPlaying, true);
    // The song is the queue's and loading: a pause stops it where it is.
    requestArrived();
}

void ParlovanceService::queryFailed(int errCode, QString errStr, QVariant userData)
{
    qCDebug(lcShell) << Q_FUNC_INFO << " - code: " << errCode << " reason: " << errStr;
    if (userData.toULongLong() == onItsWay.serial())
        requestLost();
}

void ParlovanceService::instanceCompletedSlot(bool succeeded)
{
    if (factoryInstance)
        disconnect(factoryInstance, SIGNAL(completed(bool)), this,
                   SLOT(instanceCompletedSlot(bool)));
    if (succeeded) {
        // The list is played again as it was asked for.
        playList(onItsWay.listToReplay(), onItsWay.replaysAsTemporary(), Q_FUNC_INFO);
    } else {
        qCDebug(lcShell) << Q_FUNC_INFO << " - failed to initialize Mafw factory instance!";
    }
}
