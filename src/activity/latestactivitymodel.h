#ifndef LATESTACTIVITYMODEL_H
#define LATESTACTIVITYMODEL_H

#include "activity.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QVariant>

#include "mafwtrackermodel.h"

class CollageImageWidget;
class QTimer;

// The list of latest activities, most recent first, at most nine, kept in the settings file.
//
// Playbacks started from a page enter it (a replay moves its entry to the front); recently
// added albums and playlists and the songs without album fill it. While the main page shows
// the playing entry beside the grid (its controller's main-page state 2), entries that do not
// come from a page go behind it, at index 1.
//
// The list follows the library: every entry is checked with an existence query, deletions
// reported by the store remove their entries, rows leaving the artists, playlist and automatic
// playlist lists have theirs checked, and the list is then refilled from the recently added
// albums. What the store keeps as unavailable (the songs of a folder or disk that is away)
// has not vanished: its entry stays. Answers and removals name an entry, not a position: a
// list that changed meanwhile never loses another entry.
//
// All songs and playlists get a hidden collage widget each, whose saved picture and albums
// are kept with the entry.
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

    // Existence checks against the store.
    void checkActivity(int index);
    void checkAllActivities();
    void connectTrackerChangeSignals();
    void followRecentAlbums();
    void followRecentPlaylists();
    void followModel(MafwTrackerModel* model);
    void releaseFollowedModels();

    void createCollage(const Activity& activity);
    void removeCollage(const Activity& activity);
    void resetCollageModels();
    // The hidden collage widget of an entry's tracker id, or null.
    CollageImageWidget* collageWidget(int trackerId) const;

    QDateTime lastWritten() const;

public slots:
    void writeActivities();
    void readActivities();
    void checkModel();
    void checkRecentAlbums(const QModelIndex& parent, int start, int end);
    void checkRecentPlaylists(const QModelIndex& parent, int start, int end);
    void handleUnknownAlbumCountChange(bool unknownAlbums);
    void addUnknownAlbum(QList<QStringList> rows, bool end, QVariant userData);
    void removeAllActivities();
    void removeQueuedActivities();
    void createCollages();
    void startFollowingDeletionsFromOtherModels();

    void existsSlot(QList<QStringList> rows, bool end, QVariant userData);
    void queryFailed(int errCode, QString errStr, QVariant userData);
    void albumsDeletedSlot(const QSet<int>& ids);
    void playlistsDeleted(const QSet<int>& ids);
    void musicDeletedSlot(const QSet<int>& ids);
    void musicAccessedSlot(const QSet<int>& ids);
    void musicUnfavoritedSlot(const QSet<int>& ids);
    void handleRowsAboutToBeRemoved(const QModelIndex& parent, int start, int end);
    void connectRowsAboutToBeRemovedSignal();
    void handleFollowedModelReCreated(MafwTrackerModel::QueryType type);
    void imageReadySlot(const QPixmap& image, const AlbumArtistPairs& albumsArtists, int collageId);

signals:
    void activityAdded(Activity activity);
    void activityMoved(int oldIndex);
    void activityRemoved(int index);
    void lastAddedAlbumsQueryFinished();
    void allActivitiesRemoved();
    void collageReady();

private slots:
    void followAutomaticPlaylists();
    void automaticPlaylistsGone();
    void giveCollagesTheirAutomaticModels();

private:
    // What a queued removal names: the entry itself, not the position it had when queued, so
    // that entries moved or added meanwhile are not hit.
    struct RemovalKey
    {
        int type;
        QString name;
        int trackerId;
    };

    int insertionPosition(bool fromPage) const;
    int matchingIndex(const Activity& activity) const;
    Activity albumFromRow(int row) const;
    void queueRemoval(int index);
    void queueRemovalOfIds(const QSet<int>& ids);
    void startRemovalTimer();
    void startWriteTimer();
    void checkFirstWithId(int trackerId);
    // The songs an entry's collage is made of; null when it has none.
    QSharedPointer<QAbstractItemModel> collageModel(const Activity& activity,
                                                    bool requestAutomatic) const;
    void clearCollages();

    QList<Activity> list;
    QTimer* writeTimer;
    QTimer* removalTimer;
    QList<RemovalKey> removalQueue;
    QList<Activity> pendingList;
    QMap<int, CollageImageWidget*> collages;
    QDateTime lastWrittenTime;
    // When an earlier run last wrote the list: albums added before are not new to it.
    QDateTime writtenBeforeThisRun;
    MafwTrackerModel* recentAlbumsModel = nullptr;
    MafwTrackerModel* recentPlaylistsModel = nullptr;
    QList<int> followedQueryTypes;
    // Numbers the existence queries; an entry keeps the number of its latest one in userData,
    // so a late answer to an earlier query matches nothing.
    int lastToken = 0;
};

#endif // LATESTACTIVITYMODEL_H
