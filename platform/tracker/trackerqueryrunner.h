#ifndef TRACKERQUERYRUNNER_H
#define TRACKERQUERYRUNNER_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <future>

typedef struct _TrackerSparqlConnection TrackerSparqlConnection;
typedef struct _TrackerBatch TrackerBatch;
class TrackerCursorRow;

// The outcome of one SPARQL text: rows for a query (an unbound cell is a null string), or an
// error code and message.
struct TrackerQueryResult
{
    bool ok = false;
    int errorCode = 0;
    QString errorMessage;
    QList<QStringList> rows;
};

// Runs SPARQL on the store away from the GUI thread. Reads share a small pool of threads;
// updates go through one thread in the order they were sent, so a later write never
// overtakes an earlier one. Each cursor is read to its end and released before the result is
// handed on.
class TrackerQueryRunner
{
public:
    using Done = std::function<void(const TrackerQueryResult&)>;

    // Blocking forms, for worker threads. columns <= 0 takes the cursor's own width.
    static TrackerQueryResult select(TrackerSparqlConnection* connection, const QString& sparql,
                                     int columns = 0);
    static TrackerQueryResult update(TrackerSparqlConnection* connection, const QString& sparql);
    // Writes a batch (resources and texts, in the order they were added) in one transaction
    // on the write thread, after every update sent before it. The batch stays the caller's.
    static TrackerQueryResult update(TrackerBatch* batch);
    // As update(batch), without waiting for it; the batch must stay until the result is in.
    static std::future<TrackerQueryResult> send(TrackerBatch* batch);
    // Hands each row of a query to row() as the cursor reaches it, keeping none (the result's
    // rows stay empty): for reading a whole library without holding it twice.
    static TrackerQueryResult selectEach(TrackerSparqlConnection* connection, const QString& sparql,
                                         const std::function<void(const TrackerCursorRow&)>& row);

    // As selectEach(), for one of the few texts that are run again and again with other values:
    // the values are bound to the text's parameters ~p0, ~p1, ... in order, and the statement
    // is kept prepared for the next run instead of compiled anew each time.
    static TrackerQueryResult
    selectEachKept(TrackerSparqlConnection* connection, const QString& sparql,
                   const QVector<qint64>& values,
                   const std::function<void(const TrackerCursorRow&)>& row);
    // Lets go of the statements kept for a connection that is being closed.
    static void dropKeptStatements(TrackerSparqlConnection* connection);

    // Runs the text on a worker thread (query or update by its first keyword) and calls done
    // on the thread of context, through its event loop, unless context is gone by then. The
    // connection is referenced for the length of the job. A query runs once the updates sent
    // before it, from any thread, have been written.
    static void post(TrackerSparqlConnection* connection, const QString& sparql, int columns,
                     QObject* context, Done done);
    // Runs any blocking work on the write thread, after every update sent before it.
    static void postWrite(QObject* context, std::function<TrackerQueryResult()> work, Done done);
    // Runs blocking reads on a read thread; done is called as for post().
    static void postRead(QObject* context, std::function<void()> work, std::function<void()> done);

    // Drops a reference taken with TrackerStore::acquireConnection().
    static void releaseConnection(TrackerSparqlConnection* connection);

    // Waits until every job sent so far has ended (tests and shutdown).
    static void waitForIdle();
};

#endif // TRACKERQUERYRUNNER_H
