// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <libtracker-sparql/tracker-sparql.h>

#include "trackerqueryrunner.h"

#include "trackercursorrow.h"
#include "trackersparql.h"

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QPointer>
#include <QSet>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Plain threads, not Qt's: a Qt thread pushes a GLib context of its own, and the store would
// then send the change notifications of every write made there into a context that nobody
// runs. Writes made on these threads are notified on the GUI thread's loop.
class WorkQueue
{
public:
    explicit WorkQueue(int threads)
    {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { run(); });
    }
    ~WorkQueue()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& t : m_threads)
            t.join();
    }
    void push(std::function<void()> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(std::move(job));
            ++m_pushed;
        }
        m_wake.notify_one();
    }
    // The number of jobs pushed so far; with one thread, the jobs end in that order.
    quint64 pushed()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_pushed;
    }
    // Waits until the first count jobs pushed have ended (one thread only).
    void waitForEnded(quint64 count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this, count] { return m_ended >= count; });
    }
    void waitForIdle()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_jobs.empty() && m_busy == 0; });
    }
    bool isWorkerThread() const
    {
        const std::thread::id self = std::this_thread::get_id();
        for (const std::thread& t : m_threads) {
            if (t.get_id() == self)
                return true;
        }
        return false;
    }

private:
    void run()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
                if (m_jobs.empty())
                    return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                ++m_busy;
            }
            job();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                --m_busy;
                ++m_ended;
            }
            m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    int m_busy = 0;
    quint64 m_pushed = 0;
    quint64 m_ended = 0;
    bool m_stopping = false;
};

WorkQueue* readPool()
{
    static WorkQueue* pool = new WorkQueue(3);
    return pool;
}

WorkQueue* writePool()
{
    static WorkQueue* pool = new WorkQueue(1);
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

// Statements kept prepared, by connection and text, each lent to one query at a time. The texts
// that are kept are a fixed few (the catalogue's reads by id), so the set stays small; the
// bound is a guard, past which statements are freed after use as any other.
class KeptStatements
{
public:
    static KeptStatements& instance()
    {
        static KeptStatements kept;
        return kept;
    }
    TrackerSparqlStatement* take(TrackerSparqlConnection* connection, const QByteArray& text)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QVector<TrackerSparqlStatement*>& idle = m_idle[qMakePair(connection, text)];
        if (idle.isEmpty())
            return nullptr;
        --m_count;
        return idle.takeLast();
    }
    void giveBack(TrackerSparqlConnection* connection, const QByteArray& text,
                  TrackerSparqlStatement* statement)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_count < MaxKept && m_open.contains(connection)) {
                m_idle[qMakePair(connection, text)].append(statement);
                ++m_count;
                return;
            }
        }
        g_object_unref(statement);
    }
    // Statements are kept only for a connection that is open, from its first kept query on.
    void opened(TrackerSparqlConnection* connection)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open.insert(connection);
    }
    void drop(TrackerSparqlConnection* connection)
    {
        QVector<TrackerSparqlStatement*> gone;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_open.remove(connection);
            for (auto it = m_idle.begin(); it != m_idle.end();) {
                if (it.key().first == connection) {
                    gone += it.value();
                    m_count -= it.value().size();
                    it = m_idle.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (TrackerSparqlStatement* statement : qAsConst(gone))
            g_object_unref(statement);
    }

private:
    static const int MaxKept = 96;
    std::mutex m_mutex;
    QHash<QPair<TrackerSparqlConnection*, QByteArray>, QVector<TrackerSparqlStatement*>> m_idle;
    QSet<TrackerSparqlConnection*> m_open;
    int m_count = 0;
};

// The names of the parameters ~p0, ~p1, ...
const QByteArray& parameterName(int index)
{
    static const QVector<QByteArray> names = [] {
        QVector<QByteArray> made;
        for (int i = 0; i < 1024; ++i)
            made.append("p" + QByteArray::number(i));
        return made;
    }();
    return names.at(index);
}

// Reads the cursor to its end, handing each row on; false with the error when it fails.
bool readCursor(TrackerSparqlCursor* cursor,
                const std::function<void(const TrackerCursorRow&)>& row, TrackerQueryResult* result)
{
    GError* error = nullptr;
    const TrackerCursorRow current(cursor);
    while (tracker_sparql_cursor_next(cursor, nullptr, &error))
        row(current);
    tracker_sparql_cursor_close(cursor);
    g_object_unref(cursor);
    if (error) {
        result->errorCode = error->code;
        result->errorMessage = QString::fromUtf8(error->message);
        g_error_free(error);
        return false;
    }
    return true;
}

void takeError(GError* error, TrackerQueryResult* result)
{
    result->errorCode = error ? error->code : -1;
    result->errorMessage = QString::fromUtf8(error ? error->message : "query failed");
    if (error)
        g_error_free(error);
}

TrackerQueryResult storeClosed()
{
    TrackerQueryResult result;
    result.errorCode = -1;
    result.errorMessage = QStringLiteral("The library store is not open");
    return result;
}

} // namespace

TrackerQueryResult TrackerQueryRunner::select(TrackerSparqlConnection* connection,
                                              const QString& sparql, int columns)
{
    QList<QStringList> rows;
    TrackerQueryResult result = selectEach(connection, sparql, [&](const TrackerCursorRow& row) {
        const int width = columns > 0 ? columns : row.columns();
        QStringList values;
        values.reserve(width);
        for (int i = 0; i < width; ++i)
            values.append(row.text(i));
        rows.append(values);
    });
    if (result.ok)
        result.rows = rows;
    return result;
}

TrackerQueryResult
TrackerQueryRunner::selectEach(TrackerSparqlConnection* connection, const QString& sparql,
                               const std::function<void(const TrackerCursorRow&)>& row)
{
    TrackerQueryResult result;
    if (!connection)
        return storeClosed();
    GError* error = nullptr;
    const QByteArray text = sparql.toUtf8();
    // A statement of its own, freed with it: the store keeps what its plain query call runs
    // prepared, and reads by name (a new text each time, some very long) filled that cache.
    TrackerSparqlStatement* statement = tracker_sparql_connection_query_statement(connection,
                                                                                  text.constData(),
                                                                                  nullptr, &error);
    TrackerSparqlCursor* cursor = statement
                                      ? tracker_sparql_statement_execute(statement, nullptr, &error)
                                      : nullptr;
    if (!cursor) {
        if (statement)
            g_object_unref(statement);
        result.errorCode = error ? error->code : -1;
        result.errorMessage = QString::fromUtf8(error ? error->message : "query failed");
        if (error)
            g_error_free(error);
        return result;
    }
    const TrackerCursorRow current(cursor);
    while (tracker_sparql_cursor_next(cursor, nullptr, &error))
        row(current);
    tracker_sparql_cursor_close(cursor);
    g_object_unref(cursor);
    // Kept until its cursor is done with.
    g_object_unref(statement);
    if (error) {
        result.errorCode = error->code;
        result.errorMessage = QString::fromUtf8(error->message);
        g_error_free(error);
        return result;
    }
    result.ok = true;
    return result;
}

TrackerQueryResult
TrackerQueryRunner::selectEachKept(TrackerSparqlConnection* connection, const QString& sparql,
                                   const QVector<qint64>& values,
                                   const std::function<void(const TrackerCursorRow&)>& row)
{
    TrackerQueryResult result;
    if (!connection)
        return storeClosed();
    const QByteArray text = sparql.toUtf8();
    KeptStatements& kept = KeptStatements::instance();
    TrackerSparqlStatement* statement = kept.take(connection, text);
    GError* error = nullptr;
    if (!statement) {
        statement = tracker_sparql_connection_query_statement(connection, text.constData(), nullptr,
                                                              &error);
        if (!statement) {
            takeError(error, &result);
            return result;
        }
        kept.opened(connection);
    }
    for (int i = 0; i < values.size(); ++i)
        tracker_sparql_statement_bind_int(statement, parameterName(i).constData(), values.at(i));
    TrackerSparqlCursor* cursor = tracker_sparql_statement_execute(statement, nullptr, &error);
    if (!cursor) {
        g_object_unref(statement);
        takeError(error, &result);
        return result;
    }
    result.ok = readCursor(cursor, row, &result);
    if (result.ok)
        kept.giveBack(connection, text, statement);
    else
        g_object_unref(statement);
    return result;
}

void TrackerQueryRunner::dropKeptStatements(TrackerSparqlConnection* connection)
{
    KeptStatements::instance().drop(connection);
}

TrackerQueryResult TrackerQueryRunner::update(TrackerSparqlConnection* connection,
                                              const QString& sparql)
{
    if (!writePool()->isWorkerThread()) {
        // Every write goes through the write thread: in order, and notified on the GUI loop.
        auto promise = std::make_shared<std::promise<TrackerQueryResult>>();
        std::future<TrackerQueryResult> future = promise->get_future();
        writePool()->push(
            [promise, connection, sparql] { promise->set_value(update(connection, sparql)); });
        return future.get();
    }
    TrackerQueryResult result;
    if (!connection)
        return storeClosed();
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

std::future<TrackerQueryResult> TrackerQueryRunner::send(TrackerBatch* batch)
{
    auto promise = std::make_shared<std::promise<TrackerQueryResult>>();
    std::future<TrackerQueryResult> future = promise->get_future();
    if (writePool()->isWorkerThread())
        promise->set_value(update(batch));
    else
        writePool()->push([promise, batch] { promise->set_value(update(batch)); });
    return future;
}

TrackerQueryResult TrackerQueryRunner::update(TrackerBatch* batch)
{
    if (!writePool()->isWorkerThread())
        return send(batch).get();
    TrackerQueryResult result;
    if (!batch)
        return storeClosed();
    GError* error = nullptr;
    if (!tracker_batch_execute(batch, nullptr, &error)) {
        takeError(error, &result);
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
    WorkQueue* pool = query ? readPool() : writePool();
    QObject* relay = relayOfThisThread();
    const QPointer<QObject> guard(context);
    // A query answers after the updates sent before it: whoever changed something and then
    // asks about it (a favourite unmarked, then whether any is left) reads the change.
    const quint64 writesBefore = query ? writePool()->pushed() : 0;
    pool->push([connection, sparql, columns, relay, guard, done, query, writesBefore] {
        if (query)
            writePool()->waitForEnded(writesBefore);
        const TrackerQueryResult result = query ? select(connection, sparql, columns)
                                                : update(connection, sparql);
        if (connection)
            g_object_unref(connection);
        deliver(relay, guard, done, result);
    });
}

void TrackerQueryRunner::postWrite(QObject* context, std::function<TrackerQueryResult()> work,
                                   Done done)
{
    QObject* relay = relayOfThisThread();
    const QPointer<QObject> guard(context);
    writePool()->push([relay, guard, work, done] { deliver(relay, guard, done, work()); });
}

void TrackerQueryRunner::postRead(QObject* context, std::function<void()> work,
                                  std::function<void()> done)
{
    QObject* relay = relayOfThisThread();
    const QPointer<QObject> guard(context);
    readPool()->push([relay, guard, work, done] {
        work();
        QMetaObject::invokeMethod(
            relay,
            [guard, done] {
                if (guard && done)
                    done();
            },
            Qt::QueuedConnection);
    });
}

void TrackerQueryRunner::releaseConnection(TrackerSparqlConnection* connection)
{
    if (connection)
        g_object_unref(connection);
}

void TrackerQueryRunner::waitForIdle()
{
    writePool()->waitForIdle();
    readPool()->waitForIdle();
}
