#ifndef AUTOMATICPLAYLISTSMODEL_H
#define AUTOMATICPLAYLISTSMODEL_H

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

#include "automaticplaylistentry.h"

class MafwTrackerModel;
class MafwTrackerModelFactoryInstance;
class QTimer;

// The six automatic playlists (recently added, recently played, most played, favourites,
// recently downloaded, never played), one row per playlist that has songs at the moment, in
// the collation order of their upper-cased text ids. A playlist whose model loses its last row
// leaves the table; it comes back at its sorted place when rows arrive again.
//
// Columns (display role only): 0 the playlist id (minus the query type), 1 the text id
// (untranslated), 2 nothing, 3 the song count, 4 the total length in seconds. While the
// never-played or recently-downloaded model has not completed, its count and length are the
// answer of a count query over the songs of the store whose files are there, instead of the
// model's partial rows (never fewer than those). A change of the model or of the library's songs
// that can change a count has it counted again: songs added or gone, both counts; a song played,
// the never-played count only. Changes are counted together: those of one turn of the event loop
// once, after it; those that come while a count is on its way once it is answered; and while the
// library keeps changing (songs skipped through one after another), at most once a second. Only
// the answer to the latest query counts.
//
// instance() creates the model with the application object as parent; deleting it clears the
// singleton, and the next instance() makes a new one. Nothing is requested until
// requestModels().
class AutomaticPlaylistsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static AutomaticPlaylistsModel* instance();

    // Requests the pending playlists' models now, or once the tracker model factory reports
    // its initialisation (whatever its outcome).
    void requestModels();
    // Starts again from scratch: every model released, all six requested anew.
    void reload();
    // True once all six have been requested (not necessarily answered).
    bool allModelsRequested() const;
    // The model of the shown playlist with that id (and, with includeEmpty, of one that has
    // been requested but has no rows now). False leaves model untouched.
    bool playlistModel(int playlistId, QSharedPointer<MafwTrackerModel>& model,
                       bool includeEmpty) const;
    // The row of the shown playlist of that query type, -1 when it is not shown.
    int rowForType(int queryType) const;

    ~AutomaticPlaylistsModel() override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    // After every handled change of a playlist's model.
    void modelUpdated();
    // Once all six models have been requested, again after every reload.
    void completed();

private slots:
    void requestNextModel();
    void rowsInsertedSlot(const QModelIndex& parent, int start, int end);
    void rowsRemovedSlot(const QModelIndex& parent, int start, int end);
    void completedSlot();
    void songsAddedOrRemovedSlot();
    void songsPlayedSlot();
    void neverPlayedCountSlot(QList<QStringList> rows, bool end, QVariant userData);
    void downloadedCountSlot(QList<QStringList> rows, bool end, QVariant userData);
    void queryFailed(int errCode, QString errStr, QVariant userData);

private:
    // A count and summed length over the store, the serial of the query whose answer counts,
    // and whether it is to be counted again or being counted.
    struct StoreCount
    {
        int count = 0;
        int length = 0;
        int serial = 0;
        bool due = false; // changed since the query on its way, or since the last answer
        int onItsWay = 0; // the serial of the query sent and not yet answered; 0 none
    };

    AutomaticPlaylistsModel();
    void init();
    int insertPosition(int queryType) const;
    int indexOfModel(MafwTrackerModel* model, bool inEmptyList) const;
    void handleModelChange(MafwTrackerModel* model);
    // Has the store count the playlist again, while its model is incomplete: once the changes
    // of this turn are in, or once the answer on its way is.
    void recount(const AutomaticPlaylistEntry& entry);
    void recountType(int queryType);
    // Sends the queries of the counts that are due and have none on its way, in a later turn
    // and a second after the last was sent at the earliest.
    void postDueCounts();
    void sendDueCounts();
    void runNeverPlayedCountQuery();
    void runDownloadedCountQuery();
    void runCountQuery(const char* sparql, const char* resultSlot, StoreCount& figures);
    // An answer or a failure of the query with this serial has come.
    void countAnswered(int serial);
    void takeCountAnswer(int queryType, StoreCount& figures, const QList<QStringList>& rows,
                         bool end, const QVariant& userData);
    // Whether the store counts the playlist's songs while its model holds only the first ones.
    static bool storeCounted(int queryType);
    // The count query of a type whose model is still incomplete, or null.
    StoreCount* storeCountWhileIncomplete(const AutomaticPlaylistEntry& entry);
    const StoreCount* storeCountWhileIncomplete(const AutomaticPlaylistEntry& entry) const;
    void connectModel(MafwTrackerModel* model);
    void disconnectModels(const QList<AutomaticPlaylistEntry>& entries);

    static AutomaticPlaylistsModel* s_instance;

    QList<AutomaticPlaylistEntry> shownPlaylists;
    QList<AutomaticPlaylistEntry> emptyPlaylists;
    QList<int> pendingTypes;
    QHash<int, QString> logicalIds;
    MafwTrackerModelFactoryInstance* factory = nullptr;
    StoreCount neverPlayed;
    StoreCount downloaded;
    bool allRequested = false;
    QTimer* countTimer = nullptr; // runs sendDueCounts()
    QElapsedTimer sinceCountSent;
    int lastSerial = 0;
};

#endif // AUTOMATICPLAYLISTSMODEL_H
