#ifndef ACTIVITY_H
#define ACTIVITY_H

#include "albumart/albumartistpairs.h"

#include <QDateTime>
#include <QMetaType>
#include <QPixmap>
#include <QString>
#include <QVariant>

// One entry of the latest-activity list: something the user played from the library and may
// resume from the main page.
class Activity
{
public:
    // The numbers are stored and passed with every play request, so they are fixed.
    enum ActivityType {
        NoActivity = 0, // also a filtered all-songs list: never recorded
        AllSongs = 1,
        Album = 2,
        Artist = 3,
        Playlist = 4, // a playlist file or an automatic playlist
        UserPlaylist = 5
    };

    Activity();
    Activity(ActivityType type, const QString& name, bool shuffled,
             const QString& additionalParameter, int trackerId);

    ActivityType Type;
    QString Name;                // a text id for all songs and the unknown album or artist
    QString AdditionalParameter; // the artist of an album, the album of an artist
    int TrackerId;               // minus the query type for an automatic playlist
    bool Shuffled;
    QDateTime Timestamp;
    QVariant userData;                   // matches an existence check's answer; never stored
    QPixmap pixmap;                      // the collage of all songs or a playlist; never stored
    int TrackNo;                         // the track to resume in an album; -1 none
    ::AlbumArtistPairs AlbumArtistPairs; // always four pairs

    // Equal in what is stored, the pairs in any order; userData, pixmap and TrackNo do not count.
    bool operator==(const Activity& other) const;
    bool operator!=(const Activity& other) const { return !(*this == other); }

    // The kinds whose tile shows a collage of several albums.
    bool hasCollage() const;

    // The kind a stored or passed number names; NoActivity for a number that names none.
    // Numbers from files and callers go through here: any other value in an ActivityType is
    // undefined behaviour.
    static ActivityType typeFromValue(int value);

    static void registerMetaTypes();
};

// The name of a collage: "name_number", or name alone when number is 0.
QString collageId(const QString& name, int number);

// The album-artist text of an album whose songs have the given artists (tab-separated, as the
// store gives them): the one artist, or the various-artists text. displayArtist, when given,
// receives one artist to name the album by: the first that is not the unknown-artist text.
QString albumArtistName(const QString& artists, QString* displayArtist = nullptr);

Q_DECLARE_METATYPE(Activity)
Q_DECLARE_METATYPE(Activity::ActivityType)

#endif // ACTIVITY_H
