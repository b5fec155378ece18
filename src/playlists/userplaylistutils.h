#ifndef USERPLAYLISTUTILS_H
#define USERPLAYLISTUTILS_H

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

class MafwTrackerModel;
class QTimer;

// The three changes a user makes to own playlists: create one under a name with its first
// items, add items to one, remove entries from one. Each request is one worker without parent
// that does its asynchronous work against the store and deletes itself when done:
//  - creation checks the user playlists with entries for one of the same name (any case): when
//    none exists, or every namesake lists only files that are gone (those namesakes are then
//    deleted from the store), the name is used as given; otherwise the first free "name N",
//    N from 2, is. Files may only be away: while the music folder is missing or unreadable no
//    namesake is taken for stale, nor one that lists a song the store still keeps (the store
//    keeps the songs of a folder or disk that is not there as unavailable), so nothing of
//    theirs is deleted and "name N" is used. The name is the user's text and stays text all
//    the way into the store.
//  - adding waits until the playlist's model holds all its rows, inserts the items and, given
//    a playlist name, shows the songs-added banner with the count of the insertion;
//  - removal removes exactly the entries at the given rows of the model (a song listed twice
//    loses only the entry chosen).
// A request that can change nothing (no items, no rows) ends at once, and a worker whose
// answer never comes ends after WorkerTimeoutMs, so no worker outlives its purpose.
class UserPlaylistUtils : public QObject
{
    Q_OBJECT

public:
    // The longest a worker waits for the store or the model.
    static const int WorkerTimeoutMs = 30000;

    static void createPlaylist(const QString& name, int itemType, QList<int> ids);
    // model: the playlist's songs (a query type 15 model); not null.
    static void addSongs(QSharedPointer<MafwTrackerModel> model, int itemType, QList<int> ids,
                         const QString& playlistName);
    static void removeSongs(QSharedPointer<MafwTrackerModel> model, QList<int> rows);

    // The workers alive now, and how long a new one waits at most; for tests.
    static int liveWorkers();
    static void setWorkerTimeoutForTesting(int ms);

    ~UserPlaylistUtils() override;

private slots:
    void modelCompleted();
    void rowsInserted(QModelIndex parent, int start, int end);
    void rowsRemoved();
    void createNewPlaylist(QList<QStringList> rows, bool end, QVariant userData);
    void queryFailed(int code, QString string, QVariant userData);
    void timedOut();

private:
    UserPlaylistUtils(QSharedPointer<MafwTrackerModel> model, int itemType, QList<int> ids,
                      bool remove, bool create, QString name);
    void runCheckQuery();
    void makeUniqueName(const QList<QStringList>& rows);
    void create(const QString& playlistName);
    void finish();

    QSharedPointer<MafwTrackerModel> model;
    int itemType;
    QList<int> ids;
    QString name;
    bool remove;
    bool creating;
    // Stale namesakes still to delete before the creation.
    QStringList staleIds;
    // The user playlists of the name check, for a unique name should a namesake prove live.
    QList<QStringList> checkedRows;
    QTimer* timeout;
};

#endif // USERPLAYLISTUTILS_H
