#include "latestactivitycontroller.h"

#include "latestactivitymodel.h"

#include <QCoreApplication>

namespace {
// An album without a title is recorded under this text id rather than its translation, so the
// record reads the same in every language.
const char* const UnknownAlbumId = "qtn_musi_unknown_album";
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

QList<Activity> LatestActivityController::activities() const
{
    return activityModel->activities();
}

int LatestActivityController::activityCount() const
{
    return activityModel->activities().size();
}

void LatestActivityController::writeActivities()
{
    activityModel->writeActivities();
}

void LatestActivityController::setTrackNo(QString album, int trackNo)
{
    // The playback hub names such an album by the translated text.
    if (album == qtTrId(UnknownAlbumId))
        album = QLatin1String(UnknownAlbumId);
    activityModel->setTrackNo(album, trackNo);
}

void LatestActivityController::checkActivities()
{
    activityModel->checkModel();
}

void LatestActivityController::createCollages()
{
}

void LatestActivityController::startFollowingDeletionsFromOtherModels()
{
}
