#include "activity.h"

#include <QStringList>

namespace {
// Every activity carries this many album/artist pairs, written and read as they are.
const int CollagePairs = 4;

AlbumArtistPairs emptyPairs()
{
    AlbumArtistPairs pairs;
    for (int i = 0; i < CollagePairs; ++i)
        pairs << qMakePair(QString(), QString());
    return pairs;
}
} // namespace

Activity::Activity()
    : Type(NoActivity)
    , TrackerId(0)
    , Shuffled(false)
    , TrackNo(-1)
    , AlbumArtistPairs(emptyPairs())
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
    , AlbumArtistPairs(emptyPairs())
{
}

bool Activity::operator==(const Activity& other) const
{
    if (Type != other.Type || Name != other.Name || AdditionalParameter != other.AdditionalParameter
        || TrackerId != other.TrackerId || Shuffled != other.Shuffled
        || Timestamp != other.Timestamp || AlbumArtistPairs.size() != other.AlbumArtistPairs.size())
        return false;
    for (const auto& pair : other.AlbumArtistPairs) {
        if (!AlbumArtistPairs.contains(pair))
            return false;
    }
    return true;
}

bool Activity::hasCollage() const
{
    return Type == AllSongs || Type == Playlist || Type == UserPlaylist;
}

Activity::ActivityType Activity::typeFromValue(int value)
{
    return value >= NoActivity && value <= UserPlaylist ? ActivityType(value) : NoActivity;
}

QString collageId(const QString& name, int number)
{
    if (number == 0)
        return name;
    return QStringLiteral("%1_%2").arg(name).arg(number);
}

void Activity::registerMetaTypes()
{
    qRegisterMetaType<::AlbumArtistPairs>("AlbumArtistPairs");
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
