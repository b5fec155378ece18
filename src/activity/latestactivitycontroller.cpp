#include "latestactivitycontroller.h"

#include <QCoreApplication>

namespace {
const int MaximumActivities = 9;
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
{
    Activity::registerMetaTypes();
}

LatestActivityController::~LatestActivityController()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void LatestActivityController::addActivity(int type, QString name, bool shuffled,
                                           QString additionalParameter, int trackerId)
{
    list.prepend(Activity(Activity::ActivityType(type), name, shuffled, additionalParameter,
                          trackerId));
    while (list.size() > MaximumActivities)
        list.removeLast();
}

QList<Activity> LatestActivityController::activities() const
{
    return list;
}

int LatestActivityController::activityCount() const
{
    return list.size();
}

void LatestActivityController::writeActivities()
{
}

void LatestActivityController::setTrackNo(QString album, int trackNo)
{
    // The playback hub names such an album by the translated text.
    if (album == qtTrId(UnknownAlbumId))
        album = QLatin1String(UnknownAlbumId);
    for (Activity& activity : list) {
        if (activity.Type == Activity::Album && activity.Name == album) {
            activity.TrackNo = trackNo;
            return;
        }
    }
}

void LatestActivityController::checkActivities()
{
}

void LatestActivityController::createCollages()
{
}

void LatestActivityController::startFollowingDeletionsFromOtherModels()
{
}
