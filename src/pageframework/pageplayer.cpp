#include "pageplayer.h"

#include "quintaveilpage.h"

#include "activity/latestactivitycontroller.h"
#include "common/logging.h"
#include "data/listmodel.h"
#include "mafwtrackermodel.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "mlocale.h"
#include "playback/playstate.h"

#include <QAbstractProxyModel>
#include <QPointer>
#include <QTimer>

namespace {

const char* const PlayAllSongsName = "qtn_musi_all_songs";
const char* const UnknownArtistId = "qtn_musi_unknown_artist";
const char* const EmptyListId = "qtn_musi_empty_playlist";

// The request that waits, of whichever page: a newer request of any page ends it.
QPointer<PagePlayer> waitingPlayer;

// The tracker model under a model and the proxies over it; null for a model of another kind.
const MafwTrackerModel* trackerOf(const QAbstractItemModel* model)
{
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model))
        model = proxy->sourceModel();
    return qobject_cast<const MafwTrackerModel*>(model);
}

// Whether the model holds what it will hold: a tracker model once it has read its query; a
// model of another kind is filled by whoever made it.
bool isLoaded(const QAbstractItemModel* model)
{
    const MafwTrackerModel* tracker = trackerOf(model);
    return !tracker || tracker->isComplete();
}

} // namespace

PagePlayer::PagePlayer(QuintaveilPage* owner)
    : QObject(owner)
    , page(owner)
    , hub(PlayState::instance())
{
}

PagePlayer::~PagePlayer() = default;

void PagePlayer::play(const QModelIndex& index, QSharedPointer<QAbstractItemModel> model,
                      const QString& playlistName, Activity::ActivityType activityType,
                      PlayOptions options, int activityTrackerId, int startPosition)
{
    if (!model)
        return;
    // A request that still waits, of this page or another, is replaced by this one.
    dropRequest();
    if (waitingPlayer)
        waitingPlayer->dropRequest();

    request = Request();
    request.index = index;
    request.indexGiven = index.isValid();
    request.list = model;
    request.options = options;
    request.activityType = activityType;
    request.activityTrackerId = activityTrackerId;
    request.playlistName = playlistName;
    request.startPosition = startPosition;

    // The queue is replaced only by songs: what plays goes on until there are some.
    if (model->rowCount() > 0)
        queueList();
    else if (isLoaded(model.data()))
        nothingToPlay();
    else
        waitForList();
}

void PagePlayer::followList()
{
    const QAbstractItemModel* list = request.list.data();
    if (!list)
        return;
    if (list->rowCount() > 0) {
        queueList();
    } else if (isLoaded(list)) {
        stopWaiting();
        nothingToPlay();
    }
}

void PagePlayer::queueList()
{
    stopWaiting();
    const QSharedPointer<QAbstractItemModel> list = request.list;
    request.list.reset();

    PlayState::ModelOptions flags(PlayState::ReplaceQueue);
    if (request.options.testFlag(PlayCopiedModel))
        flags |= PlayState::CopyModel;
    if (request.activityType == Activity::AllSongs)
        flags |= PlayState::AllSongsQueue;
    hub->appendModel(list, flags, -1);

    // A copy of the list reads its songs after it has joined the queue.
    if (hub->songCount(PlayState::MusicMode) == 0)
        waitForQueueRows();
    else
        setupPlayback();
}

void PagePlayer::nothingToPlay()
{
    qCInfo(lcPages) << Q_FUNC_INFO << "- the list has no song to play; the queue stays as it is";
    request.list.reset();
    QuintaveilPage::showInformationBanner(qtTrId(EmptyListId));
}

void PagePlayer::waitForList()
{
    // The list is looked at once its own report is through: taking it into the queue may let
    // go of the last hold on it (the queue takes a copy).
    const auto once = Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection);
    const QAbstractItemModel* list = request.list.data();
    connect(list, &QAbstractItemModel::rowsInserted, this, &PagePlayer::followList, once);
    if (const MafwTrackerModel* tracker = trackerOf(list))
        connect(tracker, &MafwTrackerModel::completed, this, &PagePlayer::followList, once);
    endWaitingOnChange();
}

void PagePlayer::waitForQueueRows()
{
    connect(hub, &PlayState::songCountChanged, this, &PagePlayer::handleQueueSongCount,
            Qt::UniqueConnection);
    connect(hub, &PlayState::songsAddedToPlaylist, this, &PagePlayer::handleQueueCopyFilled,
            Qt::UniqueConnection);
    endWaitingOnChange();
}

void PagePlayer::endWaitingOnChange()
{
    // The user has moved on: whatever the list brings later is not what was asked for now.
    waitingPlayer = this;
    connect(hub, &PlayState::queueing, this, &PagePlayer::dropRequest, Qt::UniqueConnection);
    if (!pageChange) {
        if (MApplicationWindow* window = MApplication::activeApplicationWindow())
            pageChange = connect(window, &MApplicationWindow::pageChanged, this,
                                 &PagePlayer::dropRequest);
    }
}

void PagePlayer::stopWaiting()
{
    if (waitingPlayer == this)
        waitingPlayer.clear();
    if (const QAbstractItemModel* list = request.list.data()) {
        disconnect(list, &QAbstractItemModel::rowsInserted, this, &PagePlayer::followList);
        if (const MafwTrackerModel* tracker = trackerOf(list))
            disconnect(tracker, &MafwTrackerModel::completed, this, &PagePlayer::followList);
    }
    disconnect(hub, &PlayState::songCountChanged, this, &PagePlayer::handleQueueSongCount);
    disconnect(hub, &PlayState::songsAddedToPlaylist, this, &PagePlayer::handleQueueCopyFilled);
    disconnect(hub, &PlayState::queueing, this, &PagePlayer::dropRequest);
    disconnect(pageChange);
    pageChange = QMetaObject::Connection();
}

void PagePlayer::dropRequest()
{
    if (waitingPlayer == this)
        qCDebug(lcPages) << Q_FUNC_INFO << "- the waiting request is dropped";
    stopWaiting();
    request.list.reset();
}

void PagePlayer::handleQueueSongCount(int count)
{
    // Emptying the queue is no answer.
    if (count < 1)
        return;
    setupPlayback();
}

void PagePlayer::handleQueueCopyFilled()
{
    // The queue's copy of the list has read its songs and brought none.
    if (hub->songCount(PlayState::MusicMode) > 0)
        return;
    stopWaiting();
    nothingToPlay();
}

void PagePlayer::setupPlayback()
{
    stopWaiting();

    int row = 0;
    if (request.indexGiven) {
        // A row that went away while waiting must not start another song in its place.
        if (!request.index.isValid() || !page->listAdapter()) {
            qCWarning(lcPages) << Q_FUNC_INFO << "- the row to play is gone";
            return;
        }
        row = page->listAdapter()->mapToSourceRow(request.index);
    } else if (request.startPosition >= 1) {
        row = request.startPosition;
        hub->setTrackNumber(request.startPosition);
    }

    const bool stayOnPage = request.options.testFlag(PlayWithoutPlayerView);
    PlayState::ModelOptions flags;
    if (request.options.testFlag(PlayShuffled))
        flags |= PlayState::ShuffledStart;
    if (stayOnPage)
        flags |= PlayState::PlayNow;
    request.playRow = hub->startPlayback(row, flags);

    if (stayOnPage) {
        startSongPlayback();
        return;
    }
    // Playback begins once the page has gone.
    MApplicationWindow* window = MApplication::activeApplicationWindow();
    if (window && window->currentPage() == page)
        connect(page, &MSceneWindow::disappeared, page, &QuintaveilPage::startSongPlayback,
                Qt::UniqueConnection);
    else
        QTimer::singleShot(0, page, &QuintaveilPage::startSongPlayback);
    emit playerWanted();
}

void PagePlayer::startSongPlayback()
{
    disconnect(page, &MSceneWindow::disappeared, page, &QuintaveilPage::startSongPlayback);

    // The hub refused to start (mass storage, the library being indexed) and said so itself:
    // nothing was played, so nothing is recorded.
    if (request.playRow < 0) {
        qCWarning(lcPages) << Q_FUNC_INFO << "- playback was refused, no activity recorded";
        return;
    }
    if (!request.options.testFlag(PlayWithoutPlayerView))
        hub->play(PlayState::MusicMode);
    if (request.activityType == Activity::NoActivity)
        return;
    const bool shuffled = request.options.testFlag(PlayShuffled);
    if (request.activityType == Activity::Album) {
        LatestActivityController::instance()->addAlbum(hub->album(PlayState::MusicMode),
                                                       hub->artist(PlayState::MusicMode),
                                                       hub->albumId(PlayState::MusicMode),
                                                       shuffled);
        return;
    }

    QString additional;
    int trackerId = 0;
    switch (request.activityType) {
    case Activity::Artist:
        additional = hub->album(PlayState::MusicMode);
        trackerId = request.activityTrackerId;
        break;
    case Activity::Playlist:
    case Activity::UserPlaylist:
        trackerId = request.activityTrackerId;
        break;
    default:
        break;
    }
    LatestActivityController::instance()->addActivity(request.activityType, activityName(),
                                                      shuffled, additional, trackerId);
}

QString PagePlayer::activityName() const
{
    switch (request.activityType) {
    case Activity::AllSongs:
        return QLatin1String(PlayAllSongsName);
    case Activity::Artist: {
        const QString artist = hub->artist(PlayState::MusicMode);
        return artist == qtTrId(UnknownArtistId) ? QLatin1String(UnknownArtistId) : artist;
    }
    case Activity::Playlist:
    case Activity::UserPlaylist:
        return request.playlistName;
    default:
        return QString();
    }
}

void PagePlayer::appendToQueue(QSharedPointer<MafwTrackerModel> model, bool createCopy, int row)
{
    if (!model)
        return;
    hub->appendModel(model,
                     createCopy ? PlayState::ModelOptions(PlayState::CopyModel)
                                : PlayState::ModelOptions(),
                     row);
    const int count = row >= 0 ? 1 : model->rowCount();
    if (model->isComplete()) {
        showSongsAddedBanner(count);
    } else if (!createCopy) {
        connect(model.data(), &MafwTrackerModel::completed, this,
                &PagePlayer::showAddToQueueBannerAfterModelIsCompleted, Qt::UniqueConnection);
    } else {
        connect(hub, &PlayState::songsAddedToPlaylist, this,
                &PagePlayer::handleSongsAddedToPlaylist, Qt::UniqueConnection);
    }
}

void PagePlayer::showAddToQueueBannerAfterModelIsCompleted()
{
    auto* model = qobject_cast<MafwTrackerModel*>(sender());
    if (!model)
        return;
    showSongsAddedBanner(model->rowCount());
    disconnect(model, &MafwTrackerModel::completed, this,
               &PagePlayer::showAddToQueueBannerAfterModelIsCompleted);
}

void PagePlayer::handleSongsAddedToPlaylist(int count)
{
    disconnect(hub, &PlayState::songsAddedToPlaylist, this,
               &PagePlayer::handleSongsAddedToPlaylist);
    showSongsAddedBanner(count);
}

void PagePlayer::showSongsAddedBanner(int count)
{
    if (count <= 0)
        return;
    QuintaveilPage::showInformationBanner(
        qtTrId("qtn_musi_songsadded", count)
            .arg(MLocale().formatNumber(count), 0, QLatin1Char(' ')));
}
