#ifndef LATESTACTIVITYMODEL_H
#define LATESTACTIVITYMODEL_H

#include "activity.h"

#include <QDateTime>
#include <QList>
#include <QModelIndex>
#include <QObject>

class MafwTrackerModel;
class QTimer;

// The list of latest activities, most recent first, at most nine, kept in the settings file.
// Playbacks started from a page enter it (a replay moves its entry to the front); recently added
// albums and playlists fill it when there is room.
class LatestActivityModel : public QObject
{
    Q_OBJECT

public:
    explicit LatestActivityModel(QObject* parent = nullptr);
    ~LatestActivityModel() override;

    // The one way in for new and replayed entries; fromPage is true for a playback started
    // from a library page.
    void addActivity(const Activity& activity, bool fromPage);
    void removeActivity(int index);
    // The first album entry named albumName resumes at trackNo (stored with the next write).
    void setTrackNo(const QString& albumName, int trackNo);
    QList<Activity> activities() const;
    bool hasActivity(int type, int trackerId) const;
    void addPendingAlbums();

    // Creates the models of recently added albums and playlists, whose rows fill the list.
    void checkModel();
    void followRecentAlbums();
    void followRecentPlaylists();
    void releaseFollowedModels();

    QDateTime lastWritten() const;

public slots:
    void writeActivities();
    void readActivities();
    void checkRecentAlbums(const QModelIndex& parent, int start, int end);
    void checkRecentPlaylists(const QModelIndex& parent, int start, int end);
    void removeAllActivities();
    void removeQueuedActivities();

signals:
    void activityAdded(Activity activity);
    void activityMoved(int oldIndex);
    void activityRemoved(int index);
    void lastAddedAlbumsQueryFinished();
    void allActivitiesRemoved();

private:
    // What a queued removal names: the entry itself, not the position it had when queued, so
    // that entries moved or added meanwhile are not hit.
    struct RemovalKey
    {
        int type;
        QString name;
        int trackerId;
    };

    int matchingIndex(const Activity& activity) const;
    Activity albumFromRow(int row) const;
    void queueRemoval(int index);
    void startWriteTimer();

    QList<Activity> list;
    QTimer* writeTimer;
    QTimer* removalTimer;
    QList<RemovalKey> removalQueue;
    QList<Activity> pendingList;
    QDateTime lastWrittenTime;
    MafwTrackerModel* recentAlbumsModel = nullptr;
    MafwTrackerModel* recentPlaylistsModel = nullptr;
};

#endif // LATESTACTIVITYMODEL_H
