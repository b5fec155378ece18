// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <libtracker-sparql/tracker-sparql.h>

#include "trackerqueryrunner.h"

#include "trackersparql.h"

#include <QPointer>
#include <QRunnable>
#include <QThreadPool>

namespace {

QThreadPool* readPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(3);
        p->setExpiryTimeout(30000);
        return p;
    }();
    return pool;
}

QThreadPool* writePool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        p->setExpiryTimeout(30000);
        return p;
    }();
    return pool;
}

// Results are posted to a helper object of the sending thread, which then checks that the
// receiver still exists: the receiver itself may be deleted while the job runs.
QObject* relayOfThisThread()
{
    static thread_local QObject* relay = nullptr;
    if (!relay)
        relay = new QObject;
    return relay;
}

void deliver(QObject* relay, const QPointer<QObject>& guard, const TrackerQueryRunner::Done& done,
             const TrackerQueryResult& result)
{
    if (!done)
        return;
    QMetaObject::invokeMethod(
        relay,
        [guard, done, result] {
            if (guard)
                done(result);
        },
        Qt::QueuedConnection);
}

} // namespace

TrackerQueryResult TrackerQueryRunner::select(TrackerSparqlConnection* connection,
                                              const QString& sparql, int columns)
{
    TrackerQueryResult result;
    if (!connection) {
        result.errorCode = -1;
        result.errorMessage = QStringLiteral("The library store is not open");
        return result;
    }
    GError* error = nullptr;
    const QByteArray text = sparql.toUtf8();
    TrackerSparqlCursor* cursor
        = tracker_sparql_connection_query(connection, text.constData(), nullptr, &error);
    if (!cursor) {
        result.errorCode = error ? error->code : -1;
        result.errorMessage = QString::fromUtf8(error ? error->message : "query failed");
        if (error)
            g_error_free(error);
        return result;
    }
    const int width = columns > 0 ? columns : tracker_sparql_cursor_get_n_columns(cursor);
    while (tracker_sparql_cursor_next(cursor, nullptr, &error)) {
        const int available = tracker_sparql_cursor_get_n_columns(cursor);
        QStringList row;
        row.reserve(width);
        for (int i = 0; i < width; ++i) {
            const char* value = i < available ? tracker_sparql_cursor_get_string(cursor, i, nullptr)
                                              : nullptr;
            if (!value)
                row.append(QString());
            else if (!*value)
                row.append(QLatin1String(""));
            else
                row.append(QString::fromUtf8(value));
        }
        result.rows.append(row);
    }
    tracker_sparql_cursor_close(cursor);
    g_object_unref(cursor);
    if (error) {
        result.errorCode = error->code;
        result.errorMessage = QString::fromUtf8(error->message);
        g_error_free(error);
        result.rows.clear();
        return result;
    }
    result.ok = true;
    return result;
}

TrackerQueryResult TrackerQueryRunner::update(TrackerSparqlConnection* connection,
                                              const QString& sparql)
{
    TrackerQueryResult result;
    if (!connection) {
        result.errorCode = -1;
        result.errorMessage = QStringLiteral("The library store is not open");
        return result;
    }
    GError* error = nullptr;
    const QByteArray text = sparql.toUtf8();
    tracker_sparql_connection_update(connection, text.constData(), nullptr, &error);
    if (error) {
        result.errorCode = error->code;
        result.errorMessage = QString::fromUtf8(error->message);
        g_error_free(error);
        return result;
    }
    result.ok = true;
    return result;
}

void TrackerQueryRunner::post(TrackerSparqlConnection* connection, const QString& sparql,
                              int columns, QObject* context, Done done)
{
    if (connection)
        g_object_ref(connection);
    const bool query = TrackerSparql::isQuery(sparql);
    QThreadPool* pool = query ? readPool() : writePool();
    QObject* relay = relayOfThisThread();
    const QPointer<QObject> guard(context);
    pool->start(QRunnable::create([connection, sparql, columns, relay, guard, done, query] {
        const TrackerQueryResult result
            = query ? select(connection, sparql, columns) : update(connection, sparql);
        if (connection)
            g_object_unref(connection);
        deliver(relay, guard, done, result);
    }));
}

void TrackerQueryRunner::postWrite(QObject* context, std::function<TrackerQueryResult()> work,
                                   Done done)
{
    QObject* relay = relayOfThisThread();
    const QPointer<QObject> guard(context);
    writePool()->start(
        QRunnable::create([relay, guard, work, done] { deliver(relay, guard, done, work()); }));
}

void TrackerQueryRunner::postRead(QObject* context, std::function<void()> work,
                                  std::function<void()> done)
{
    QObject* relay = relayOfThisThread();
    const QPointer<QObject> guard(context);
    readPool()->start(QRunnable::create([relay, guard, work, done] {
        work();
        QMetaObject::invokeMethod(
            relay,
            [guard, done] {
                if (guard && done)
                    done();
            },
            Qt::QueuedConnection);
    }));
}

void TrackerQueryRunner::releaseConnection(TrackerSparqlConnection* connection)
{
    if (connection)
        g_object_unref(connection);
}

void TrackerQueryRunner::waitForIdle()
{
    writePool()->waitForDone();
    readPool()->waitForDone();
}
