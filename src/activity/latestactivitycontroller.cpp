#include "latestactivitycontroller.h"

#include "latestactivitymodel.h"
#include "playback/playstate.h"

#include <QCoreApplication>

namespace {
// An album without a title is recorded under this text id rather than its translation, so the
// record reads the same in every language.
const char* const UnknownAlbumId = "qtn_musi_unknown_album";

// The playback hub and the lists name such an album by the translated text.
QString recordedAlbumName(const QString& shown)
{
    return shown == qtTrId(UnknownAlbumId) ? QString::fromLatin1(UnknownAlbumId) : shown;
}
} // namespace

LatestActivityController* LatestActivityController::s_instance = nullptr;

LatestActivityController* LatestActivityController::instance()
{
    if (!s_instance)
        s_instance = new LatestActivityController;
    return s_instance;
}

LatestActivityController::LatestActivityController()
    : QObject(QCoreApplication::instance())
    , activityModel(new LatestActivityModel(this))
{
}

LatestActivityController::~LatestActivityController()
{
    if (s_instance == this)
        s_instance = nullptr;
}

LatestActivityModel* LatestActivityController::model() const
{
    return activityModel;
}

void LatestActivityController::addActivity(int type, QString name, bool shuffled,
                                           QString additionalParameter, int trackerId)
{
    activityModel->addActivity(Activity(Activity::typeFromValue(type), name, shuffled,
                                        additionalParameter, trackerId),
                               true);
}

void LatestActivityController::addAlbum(const QString& album, const QString& artist, int albumId,
                                        bool shuffled)
{
    addActivity(Activity::Album, recordedAlbumName(album), shuffled, artist, albumId);
}

QList<Activity> LatestActivityController::activities() const
{
    return activityModel->activities();
}

int LatestActivityController::activityCount() const
{
    return activityModel->activities().size();
}

int LatestActivityController::mainPageState() const
{
    const PlayState* playState = PlayState::instance();
    const PlayState::ContentType content = playState->contentType(PlayState::MusicMode);
    switch (playState->state(PlayState::MusicMode)) {
    case PlayState::Stopped:
        if (activityCount() == 0 && deviceEmptyResolved)
            return EmptyDevice;
        if (content == PlayState::RadioPlaylistContent)
            return NowPlayingFirst;
        if (playState->songCount(playState->mode()) < 1)
            return FullGrid;
        return NowPlayingAsFirst;
    case PlayState::Playing:
    case PlayState::Paused:
        return content == PlayState::SongContent ? NowPlayingAsFirst : NowPlayingFirst;
    case PlayState::Transitioning:
        return NowPlayingFirst;
    default:
        return FullGrid;
    }
}

void LatestActivityController::setDeviceEmptyResolved()
{
    deviceEmptyResolved = true;
}

void LatestActivityController::writeActivities()
{
    activityModel->writeActivities();
}

void LatestActivityController::setTrackNo(QString album, int trackNo)
{
    activityModel->setTrackNo(recordedAlbumName(album), trackNo);
}

void LatestActivityController::checkActivities()
{
    activityModel->connectTrackerChangeSignals();
    activityModel->checkModel();
}

void LatestActivityController::createCollages()
{
    activityModel->createCollages();
}

void LatestActivityController::startFollowingDeletionsFromOtherModels()
{
    activityModel->startFollowingDeletionsFromOtherModels();
}

void LatestActivityController::resetCollageModels()
{
    activityModel->resetCollageModels();
}
