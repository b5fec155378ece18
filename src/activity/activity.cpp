#include "activity.h"

Activity::Activity()
    : Type(NoActivity)
    , TrackerId(0)
    , Shuffled(false)
    , TrackNo(-1)
{
}

Activity::Activity(ActivityType type, const QString& name, bool shuffled,
                   const QString& additionalParameter, int trackerId)
    : Type(type)
    , Name(name)
    , AdditionalParameter(additionalParameter)
    , TrackerId(trackerId)
    , Shuffled(shuffled)
    , Timestamp(QDateTime::currentDateTime())
    , TrackNo(-1)
{
}

void Activity::registerMetaTypes()
{
    qRegisterMetaType<Activity>("Activity");
    qRegisterMetaType<Activity::ActivityType>("Activity::ActivityType");
}
