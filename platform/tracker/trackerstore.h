#ifndef TRACKERSTORE_H
#define TRACKERSTORE_H

#include <QObject>
#include <QString>
#include <QVector>

typedef struct _TrackerSparqlConnection TrackerSparqlConnection;
typedef struct _TrackerNotifier TrackerNotifier;

class TrackerFileIndexer;

// One change the store reported: a resource (by its tracker:id) was created, deleted or
// updated. The store does not say of which class; the listeners look that up.
struct TrackerChangeEvent
{
    enum Type { Created = 0, Deleted = 1, Updated = 2 };
    Type type = Updated;
    qint64 id = 0;
    QString urn;
};

// The player's library store: an embedded Tracker 3 database on disk with the player's own
// ontology, one per process. Queries and updates may be sent from any thread on the shared
// connection; change notifications arrive on the thread that opened the store (the GUI thread,
// through Qt's GLib event loop).
class TrackerStore : public QObject
{
    Q_OBJECT

public:
    static TrackerStore* instance();
    // Closes the store and deletes the instance; the next instance() starts afresh.
    static void destroy();

    // Where the database lives: $XDG_DATA_HOME/parlovance/store. An open takes an exclusive lock
    // on that folder, kept until the instance goes; an open that finds it locked by another
    // process fails, with lastError() saying so.
    static QString storeDirectory();

    // Test hooks. An ontology directory replaces the built-in ontology (to create a store as an
    // older build would); failing makes every open report failure, as an unusable disk would.
    // The environment variable PARLOVANCE_STORE_FAIL=1 sets the failure at start-up too.
    static void setOntologyDirectory(const QString& directory);
    static void setFailOpenForTesting(bool fail);

    bool isOpen() const;
    // Opens the database without blocking; opened(bool) follows on a later loop turn.
    void openAsync();
    // Opens at once (waiting for an open under way); for benchmarks, tools and tests, on the
    // thread that runs the default GLib main context.
    bool openSync(QString* error = nullptr);
    // Releases the connection (running jobs keep their own reference until they end).
    void close();
    QString lastError() const;

    // The connection, with one reference added that the caller must drop with g_object_unref;
    // null while closed.
    TrackerSparqlConnection* acquireConnection() const;

    // The file indexer of the music folder, created on first use.
    TrackerFileIndexer* indexer();

signals:
    void opened(bool success);
    void changesNotified(const QVector<TrackerChangeEvent>& events);
    void closed();

private:
    explicit TrackerStore(QObject* parent = nullptr);
    ~TrackerStore() override;

    void adoptConnection(TrackerSparqlConnection* connection);
    bool lockDirectory();
    void unlockDirectory();
    static void openFinished(void* source, void* result, void* self);
    static void notifierEvents(TrackerNotifier* notifier, const char* service, const char* graph,
                               void* events, void* self);

    TrackerSparqlConnection* m_connection = nullptr;
    TrackerNotifier* m_notifier = nullptr;
    TrackerFileIndexer* m_indexer = nullptr;
    QString m_lastError;
    bool m_opening = false;
    // An unfinished database is made again once an open; one that fails again is reported.
    bool m_remadeUnfinished = false;
    void* m_cancellable = nullptr;
    int m_lockFd = -1;
    QString m_lockedDirectory;
};

Q_DECLARE_METATYPE(TrackerChangeEvent)

#endif // TRACKERSTORE_H
