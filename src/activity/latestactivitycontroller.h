#ifndef LATESTACTIVITYCONTROLLER_H
#define LATESTACTIVITYCONTROLLER_H

#include "activity.h"

#include <QList>
#include <QObject>

class LatestActivityModel;

// The one way the rest of the program reaches the latest-activity list: pages record
// playbacks, the main window saves and checks the list, the playback hub stores resume points.
class LatestActivityController : public QObject
{
    Q_OBJECT

public:
    static LatestActivityController* instance();

    LatestActivityModel* model() const;

    // Records a playback started from a library page: a new entry first, a replay moved first.
    void addActivity(int type, QString name, bool shuffled, QString additionalParameter,
                     int trackerId);
    // A copy of the list, newest first.
    QList<Activity> activities() const;
    int activityCount() const;

    // Writes the latest activities to the settings file.
    void writeActivities();

    // The first album activity named album resumes at trackNo from the next write on. The album
    // without a title is found by its shown text as well as by its text id.
    void setTrackNo(QString album, int trackNo);

    // Starts following the recently added albums and playlists, which fill the list.
    void checkActivities();
    // Activity collages are not drawn yet.
    void createCollages();

public slots:
    void startFollowingDeletionsFromOtherModels();

private:
    LatestActivityController();
    ~LatestActivityController() override;

    static LatestActivityController* s_instance;

    LatestActivityModel* activityModel;
};

#endif // LATESTACTIVITYCONTROLLER_H
