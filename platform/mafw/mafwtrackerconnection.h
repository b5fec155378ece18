#ifndef MAFWTRACKERCONNECTION_H
#define MAFWTRACKERCONNECTION_H

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariant>

struct MafwStoreChanges;

// The asynchronous SPARQL connection to the library store, and the store's change reports.
//
// asyncQuery() runs the text away from the GUI thread and, later (never inside the call),
// invokes exactly one slot of the receiver, on the GUI thread:
//   result slot (QList<QStringList> rows, bool complete, const QVariant& cookie): one string per
//     column, an unbound cell as a null QString; updates answer with no rows; complete is true;
//   failure slot queryFailed(int code, QString message, const QVariant& cookie).
// Slots are named in the SLOT() form ("1name(args)"); the cookie comes back as given. Each text
// sent is logged at debug level ("sent to the store:" and the text on one line).
class MafwTrackerConnection : public QObject
{
    Q_OBJECT

public:
    explicit MafwTrackerConnection(QObject* parent = nullptr);
    ~MafwTrackerConnection() override;

    void asyncQuery(const QString& sparql, int columns, QObject* receiver, const char* resultSlot,
                    const char* failureSlot, const QVariant& cookie);

    // Whether an indexing run is under way, so that indexing reports (trackerIndexing) are to
    // come: the file indexer writes changes it found, or scans the folder for changes.
    bool isIndexingReportAvailable() const;

    // Switches the indexing reports on (the default) or off.
    void setIndexingNotification(bool on);
    bool isIndexingNotificationOn() const;

    // Counts one more play of the song and stamps its last access; musicAccessed follows.
    void songPlayed(int songId);
    // The same for a song known by its file URL (what the play controller plays).
    void songPlayedByUrl(const QString& url);

    // The connection of the open library, if any: the play controller counts plays through it.
    static MafwTrackerConnection* current();

    // Test hook: reports indexing as the file indexer would (subject to the switch).
    void reportIndexing(bool active, int changes, bool restart);

signals:
    // Indexing of the music folder: (true, files to process, false) at the start and as it
    // goes, (false, 0, false) at the end.
    void trackerIndexing(bool active, int changes, bool restart);
    void musicAdded(const QSet<int>& ids);
    void musicDeleted(const QSet<int>& ids);
    void musicAccessed(const QSet<int>& ids);
    void musicUnfavorited(const QSet<int>& ids);
    void albumsDeleted(const QSet<int>& ids);
    void playlistsDeleted(const QSet<int>& ids);

public slots:
    // Relays a catalogue change as the signals above.
    void relayChanges(const MafwStoreChanges& changes);

private slots:
    void indexingStarted(int changes);
    void indexingProgress(int remaining);
    void indexingFinished();

private:
    bool m_notify = true;
};

#endif // MAFWTRACKERCONNECTION_H
