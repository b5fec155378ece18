#ifndef LATESTACTIVITYCONTROLLER_H
#define LATESTACTIVITYCONTROLLER_H

#include "activity.h"

#include <QList>
#include <QObject>

// Keeps the record of recent listening. For now the list lives in memory only: the calls the
// main window and the pages make.
class LatestActivityController : public QObject
{
    Q_OBJECT

public:
    static LatestActivityController* instance();

    // Records a playback started from a library page, newest first.
    void addActivity(int type, QString name, bool shuffled, QString additionalParameter,
                     int trackerId);
    // A copy of the list, newest first.
    QList<Activity> activities() const;
    int activityCount() const;

    // Writes the latest activities to the settings file.
    void writeActivities();

    // The first album activity named album resumes at trackNo from now on (in memory only). The
    // album without a title is found by its shown text as well as by its text id.
    void setTrackNo(QString album, int trackNo);

    // Checking the record against the library and the collages of its entries: nothing to do
    // while the record is kept in memory only and has no covers.
    void checkActivities();
    void createCollages();

public slots:
    void startFollowingDeletionsFromOtherModels();

private:
    LatestActivityController();
    ~LatestActivityController() override;

    static LatestActivityController* s_instance;

    QList<Activity> list;
};

#endif // LATESTACTIVITYCONTROLLER_H
