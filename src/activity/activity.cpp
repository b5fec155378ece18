#include "activity.h"

#include <QStringList>

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

QString albumArtistName(const QString& artists, QString* displayArtist)
{
    const QString unknown = qtTrId("qtn_musi_unknown_artist");
    QStringList names = artists.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
    names.removeDuplicates();
    if (names.size() < 2) {
        const QString only = names.value(0);
        if (displayArtist)
            *displayArtist = only;
        return only;
    }
    const QString various = qtTrId("qtn_musi_various_artist");
    if (displayArtist) {
        *displayArtist = various;
        for (const QString& name : names) {
            if (name != unknown) {
                *displayArtist = name;
                break;
            }
        }
    }
    return various;
}
