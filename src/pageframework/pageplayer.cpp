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

#include <QTimer>

namespace {

const char* const PlayAllSongsName = "qtn_musi_all_songs";
const char* const UnknownAlbumId = "qtn_musi_unknown_album";
const char* const UnknownArtistId = "qtn_musi_unknown_artist";

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

    PlayState::ModelOptions flags(PlayState::ReplaceQueue);
    if (options.testFlag(PlayCopiedModel))
        flags |= PlayState::CopyModel;
    if (activityType == Activity::AllSongs)
        flags |= PlayState::AllSongsQueue;
    // A request that still waits for its rows is replaced by this one.
    stopWaitingForQueueRows();
    hub->appendModel(model, flags, -1);

    request = Request();
    request.index = index;
    request.indexGiven = index.isValid();
    request.model = model;
    request.options = options;
    request.activityType = activityType;
    request.activityTrackerId = activityTrackerId;
    request.playlistName = playlistName;
    request.startPosition = startPosition;

    if (hub->songCount(PlayState::MusicMode) == 0)
        waitForQueueRows();
    else
        setupPlayback();
}

void PagePlayer::waitForQueueRows()
{
    connect(hub, &PlayState::songCountChanged, this, &PagePlayer::handleQueueSongCount,
            Qt::UniqueConnection);
}

void PagePlayer::stopWaitingForQueueRows()
{
    disconnect(hub, &PlayState::songCountChanged, this, &PagePlayer::handleQueueSongCount);
}

void PagePlayer::handleQueueSongCount(int count)
{
    // Emptying the queue is no answer; rows of someone else's queue are not ours to start:
    // a shared model that still has no rows cannot have filled the queue. A copy fills the
    // queue by itself, whether its original is still held by anyone or not.
    if (count < 1)
        return;
    const QSharedPointer<QAbstractItemModel> model = request.model.toStrongRef();
    const bool copied = request.options.testFlag(PlayCopiedModel);
    if (!copied && (!model || model->rowCount() < 1)) {
        qCWarning(lcPages) << Q_FUNC_INFO
                           << "- the play queue was replaced, the waiting request is dropped";
        stopWaitingForQueueRows();
        return;
    }
    setupPlayback();
}

void PagePlayer::setupPlayback()
{
    stopWaitingForQueueRows();

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

    QString additional;
    int trackerId = 0;
    switch (request.activityType) {
    case Activity::Album:
        additional = hub->artist(PlayState::MusicMode);
        trackerId = hub->albumId(PlayState::MusicMode);
        break;
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
                                                      request.options.testFlag(PlayShuffled),
                                                      additional, trackerId);
}

QString PagePlayer::activityName() const
{
    switch (request.activityType) {
    case Activity::AllSongs:
        return QLatin1String(PlayAllSongsName);
    case Activity::Album: {
        const QString album = hub->album(PlayState::MusicMode);
        return album == qtTrId(UnknownAlbumId) ? QLatin1String(UnknownAlbumId) : album;
    }
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
