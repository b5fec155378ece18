#ifndef LATESTACTIVITYCONTROLLER_H
#define LATESTACTIVITYCONTROLLER_H

#include "activity.h"

#include <QList>
#include <QObject>
#include <QString>

class LatestActivityModel;

// The one way the rest of the program reaches the latest-activity list: pages record
// playbacks, the main window saves and checks the list, the playback hub stores resume points,
// and the main page's grid reads the list and asks which layout it needs.
class LatestActivityController : public QObject
{
    Q_OBJECT

public:
    // The layouts of the main page's grid (mainPageState()).
    enum MainPageState {
        EmptyDevice = 0,       // no music: only the fill-your-device text
        NowPlayingFirst = 1,   // the now-playing label beside entries 0 to 4
        NowPlayingAsFirst = 2, // the now-playing label stands for entry 0, beside entries 1 to 5
        FullGrid = 3           // nine entries
    };

    static LatestActivityController* instance();

    LatestActivityModel* model() const;

    // Records a playback started from a library page: a new entry first, a replay moved first.
    void addActivity(int type, QString name, bool shuffled, QString additionalParameter,
                     int trackerId);
    // Records the album of the library song that plays now, as its page records it: album is
    // the shown title (the album without a title by its shown text), artist the song's.
    void addAlbum(const QString& album, const QString& artist, int albumId, bool shuffled);
    // A copy of the list, newest first.
    QList<Activity> activities() const;
    int activityCount() const;

    // The layout the main page needs, from the playback state and the list.
    int mainPageState() const;
    // The start-up query has told whether the device holds music; until then an empty list
    // does not mean an empty device.
    void setDeviceEmptyResolved();

    // Writes the latest activities to the settings file.
    void writeActivities();

    // The first album activity named album resumes at trackNo from the next write on. The album
    // without a title is found by its shown text as well as by its text id.
    void setTrackNo(QString album, int trackNo);

    // Follows the store's deletions and checks every entry against the store; starts following
    // the recently added albums and playlists, which fill the list.
    void checkActivities();
    // Gives every all-songs and playlist entry its collage.
    void createCollages();

public slots:
    void startFollowingDeletionsFromOtherModels();
    // The library was indexed anew: the collages are made from the new song lists.
    void resetCollageModels();

private:
    LatestActivityController();
    ~LatestActivityController() override;

    static LatestActivityController* s_instance;

    LatestActivityModel* activityModel;
    bool deviceEmptyResolved = false;
};

#endif // LATESTACTIVITYCONTROLLER_H
