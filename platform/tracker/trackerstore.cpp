// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <libtracker-sparql/tracker-sparql.h>

#include "trackerstore.h"

#include "trackerfileindexer.h"
#include "trackerlogging.h"
#include "trackerqueryrunner.h"
#include "trackerunfinishedstore.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#ifdef PARLOVANCE_ONTOLOGY_RESOURCE
extern "C" void parlovance_ontology_register_resource(void);
#endif

namespace {

TrackerStore* storeInstance = nullptr;
// The connection of a store that was closed, until the store library has let go of it: its
// change notifier may still be finishing work on it.
gpointer closingConnection = nullptr;

// SQLite counts every allocation under one process-wide lock unless told not to; the index
// writer and the list readers then queue on it (a first index runs a third faster without).
// Nothing here reads those counts. It can be said only before the first database opens.
void stopSqliteMemoryCounts()
{
    static bool said = false;
    if (said)
        return;
    said = true;
    if (sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK)
        qCDebug(lcStore) << Q_FUNC_INFO << "- SQLite was started before the store";
}

// A database must be closed before it is opened again in the same process.
void waitForClosedConnection()
{
    for (int i = 0; closingConnection && i < 5000; ++i) {
        while (g_main_context_iteration(nullptr, FALSE)) { }
        if (closingConnection)
            g_usleep(1000);
    }
    if (closingConnection)
        qCWarning(lcStore) << Q_FUNC_INFO << "- the previous store connection is still in use";
}
QString ontologyOverride;
bool failOpen = false;
bool failOpenFromEnvironmentRead = false;

bool openMustFail()
{
    if (!failOpenFromEnvironmentRead) {
        failOpenFromEnvironmentRead = true;
        if (qEnvironmentVariableIntValue("PARLOVANCE_STORE_FAIL") == 1)
            failOpen = true;
    }
    return failOpen;
}

GFile* ontologyLocation()
{
    if (!ontologyOverride.isEmpty())
        return g_file_new_for_path(QFile::encodeName(ontologyOverride).constData());
#ifdef PARLOVANCE_ONTOLOGY_RESOURCE
    static bool registered = false;
    if (!registered) {
        parlovance_ontology_register_resource();
        registered = true;
    }
    return g_file_new_for_uri("resource:///org/parlovance/ontology/");
#else
    return g_file_new_for_path(PARLOVANCE_ONTOLOGY_DIR);
#endif
}

const char* const InUseText = "another player is using the library store";

// The store library makes its database, tables and version in one transaction. A first start
// ended before it was written (a quit or a kill within the first tenth of a second) leaves a
// database without a table, which every later open refuses, so the player could never start
// again. Such a store never held a song or a playlist: it is cleared, so that the next open
// makes it again. Any other store that cannot be opened is left as it is, whatever SQLite reads
// of it (a few damaged bytes of its first page make it read no table, or a version of 0): it
// holds what the user made, and may open again once it is mended.
bool clearUnfinishedDatabase(const QString& directory)
{
    if (!TrackerUnfinishedStore::holdsNothing(directory))
        return false;
    qCWarning(lcStore).noquote() << Q_FUNC_INFO << "- the library store in" << directory
                                 << "holds nothing (its first start was cut off); it is made"
                                    " again";
    return TrackerUnfinishedStore::clear(directory);
}

} // namespace

bool TrackerStore::lockDirectory()
{
    const QString directory = storeDirectory();
    if (m_lockFd >= 0 && m_lockedDirectory == directory)
        return true;
    unlockDirectory();
    QDir().mkpath(directory);
    const int fd = ::open(QFile::encodeName(directory).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        m_lastError = QStringLiteral("cannot open the store's folder %1: %2")
                          .arg(directory, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Held until the store closes, by this process alone: two processes writing one database
    // each index the same new files and leave two songs for one file.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        m_lastError = error == EWOULDBLOCK
                          ? QStringLiteral("%1 (%2); close it first").arg(InUseText, directory)
                          : QStringLiteral("cannot lock the store's folder %1: %2")
                                .arg(directory, QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    m_lockFd = fd;
    m_lockedDirectory = directory;
    return true;
}

void TrackerStore::unlockDirectory()
{
    if (m_lockFd < 0)
        return;
    ::close(m_lockFd);
    m_lockFd = -1;
    m_lockedDirectory.clear();
}

TrackerStore* TrackerStore::instance()
{
    if (!storeInstance) {
        storeInstance = new TrackerStore;
        // The indexer's thread must not outlive the application object: it uses Qt's
        // process-wide services, which go with it.
        static bool routineAdded = false;
        if (!routineAdded && QCoreApplication::instance()) {
            routineAdded = true;
            qAddPostRoutine(&TrackerStore::destroy);
        }
    }
    return storeInstance;
}

void TrackerStore::destroy()
{
    delete storeInstance;
    storeInstance = nullptr;
}

QString TrackerStore::storeDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/parlovance/store");
}

void TrackerStore::setOntologyDirectory(const QString& directory)
{
    ontologyOverride = directory;
}

void TrackerStore::setFailOpenForTesting(bool fail)
{
    failOpenFromEnvironmentRead = true;
    failOpen = fail;
}

TrackerStore::TrackerStore(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<TrackerChangeEvent>();
    qRegisterMetaType<QVector<TrackerChangeEvent>>();
    // A scan or a write cut off by the end of the process could leave a half-written batch;
    // the store is left in order while the application object still exists.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (m_indexer)
                m_indexer->stop();
            TrackerQueryRunner::waitForIdle();
        });
    }
}

TrackerStore::~TrackerStore()
{
    delete m_indexer;
    m_indexer = nullptr;
    if (m_cancellable) {
        g_cancellable_cancel(G_CANCELLABLE(m_cancellable));
        g_object_unref(m_cancellable);
    }
    close();
    unlockDirectory();
    if (storeInstance == this)
        storeInstance = nullptr;
}

bool TrackerStore::isOpen() const
{
    return m_connection != nullptr;
}

QString TrackerStore::lastError() const
{
    return m_lastError;
}

TrackerSparqlConnection* TrackerStore::acquireConnection() const
{
    if (!m_connection)
        return nullptr;
    return TRACKER_SPARQL_CONNECTION(g_object_ref(m_connection));
}

void TrackerStore::openAsync()
{
    if (m_connection) {
        QMetaObject::invokeMethod(this, "opened", Qt::QueuedConnection, Q_ARG(bool, true));
        return;
    }
    if (m_opening)
        return;
    if (openMustFail()) {
        m_lastError = QStringLiteral("the store was told to fail");
        qCWarning(lcStore) << Q_FUNC_INFO << "- cannot open the library store:" << m_lastError;
        QMetaObject::invokeMethod(this, "opened", Qt::QueuedConnection, Q_ARG(bool, false));
        return;
    }
    if (!lockDirectory()) {
        qCWarning(lcStore).noquote()
            << Q_FUNC_INFO << "- cannot open the library store:" << m_lastError;
        QMetaObject::invokeMethod(this, "opened", Qt::QueuedConnection, Q_ARG(bool, false));
        return;
    }
    m_opening = true;
    stopSqliteMemoryCounts();
    waitForClosedConnection();
    GFile* store = g_file_new_for_path(QFile::encodeName(storeDirectory()).constData());
    GFile* ontology = ontologyLocation();
    if (!m_cancellable)
        m_cancellable = g_cancellable_new();
    tracker_sparql_connection_new_async(
        TRACKER_SPARQL_CONNECTION_FLAGS_NONE, store, ontology, G_CANCELLABLE(m_cancellable),
        reinterpret_cast<GAsyncReadyCallback>(&TrackerStore::openFinished), this);
    g_object_unref(store);
    g_object_unref(ontology);
}

void TrackerStore::openFinished(void* source, void* result, void* self)
{
    GError* error = nullptr;
    TrackerSparqlConnection* connection = tracker_sparql_connection_new_finish(G_ASYNC_RESULT(
                                                                                   result),
                                                                               &error);
    if (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
        // The store object is gone; nothing may be touched.
        g_error_free(error);
        return;
    }
    Q_UNUSED(source)
    auto* store = static_cast<TrackerStore*>(self);
    store->m_opening = false;
    if (!connection && !store->m_remadeUnfinished
        && clearUnfinishedDatabase(store->m_lockedDirectory)) {
        store->m_remadeUnfinished = true;
        if (error)
            g_error_free(error);
        store->openAsync();
        return;
    }
    if (!connection) {
        store->m_lastError = QString::fromUtf8(error ? error->message : "unknown error");
        qCWarning(lcStore).noquote()
            << Q_FUNC_INFO << "- cannot open the library store in" << store->m_lockedDirectory
            << "(it is left as it is):" << store->m_lastError;
        if (error)
            g_error_free(error);
        emit store->opened(false);
        return;
    }
    store->adoptConnection(connection);
    emit store->opened(true);
}

bool TrackerStore::openSync(QString* errorText)
{
    if (m_connection)
        return true;
    if (openMustFail()) {
        m_lastError = QStringLiteral("the store was told to fail");
        if (errorText)
            *errorText = m_lastError;
        return false;
    }
    if (m_opening) {
        // A second connection made while the first is still creating the database would find
        // it without its version and fail: the open under way answers for both.
        while (m_opening)
            g_main_context_iteration(nullptr, TRUE);
        if (errorText && !m_connection)
            *errorText = m_lastError;
        return m_connection != nullptr;
    }
    if (!lockDirectory()) {
        qCWarning(lcStore).noquote()
            << Q_FUNC_INFO << "- cannot open the library store:" << m_lastError;
        if (errorText)
            *errorText = m_lastError;
        return false;
    }
    stopSqliteMemoryCounts();
    waitForClosedConnection();
    GFile* store = g_file_new_for_path(QFile::encodeName(storeDirectory()).constData());
    GFile* ontology = ontologyLocation();
    GError* error = nullptr;
    TrackerSparqlConnection* connection = tracker_sparql_connection_new(
        TRACKER_SPARQL_CONNECTION_FLAGS_NONE, store, ontology, nullptr, &error);
    if (!connection && clearUnfinishedDatabase(m_lockedDirectory)) {
        g_clear_error(&error);
        connection = tracker_sparql_connection_new(TRACKER_SPARQL_CONNECTION_FLAGS_NONE, store,
                                                   ontology, nullptr, &error);
    }
    g_object_unref(store);
    g_object_unref(ontology);
    if (!connection) {
        m_lastError = QString::fromUtf8(error ? error->message : "unknown error");
        qCWarning(lcStore).noquote()
            << Q_FUNC_INFO << "- cannot open the library store in" << m_lockedDirectory
            << "(it is left as it is):" << m_lastError;
        if (error)
            g_error_free(error);
        if (errorText)
            *errorText = m_lastError;
        return false;
    }
    adoptConnection(connection);
    return true;
}

void TrackerStore::adoptConnection(TrackerSparqlConnection* connection)
{
    m_connection = connection;
    m_lastError.clear();
    m_remadeUnfinished = false;
    m_notifier = tracker_sparql_connection_create_notifier(m_connection);
    if (m_notifier)
        g_signal_connect(m_notifier, "events", G_CALLBACK(&TrackerStore::notifierEvents), this);
}

void TrackerStore::close()
{
    if (m_indexer)
        m_indexer->stop();
    if (m_notifier) {
        g_signal_handlers_disconnect_by_data(m_notifier, this);
        g_object_unref(m_notifier);
        m_notifier = nullptr;
    }
    if (m_connection) {
        TrackerSparqlConnection* connection = m_connection;
        m_connection = nullptr;
        // Jobs hold their own references; once they have ended, this is the last one and the
        // database closes with it. Closing under a running query would pull the database from
        // beneath it.
        TrackerQueryRunner::waitForIdle();
        // Kept statements hold the connection too.
        TrackerQueryRunner::dropKeptStatements(connection);
        closingConnection = connection;
        g_object_add_weak_pointer(G_OBJECT(connection), &closingConnection);
        g_object_unref(connection);
        emit closed();
    }
}

void TrackerStore::notifierEvents(TrackerNotifier* notifier, const char* service, const char* graph,
                                  void* events, void* self)
{
    Q_UNUSED(notifier)
    Q_UNUSED(service)
    Q_UNUSED(graph)
    auto* array = static_cast<GPtrArray*>(events);
    QVector<TrackerChangeEvent> changes;
    changes.reserve(int(array->len));
    for (guint i = 0; i < array->len; ++i) {
        auto* event = static_cast<TrackerNotifierEvent*>(g_ptr_array_index(array, i));
        TrackerChangeEvent change;
        switch (tracker_notifier_event_get_event_type(event)) {
        case TRACKER_NOTIFIER_EVENT_CREATE:
            change.type = TrackerChangeEvent::Created;
            break;
        case TRACKER_NOTIFIER_EVENT_DELETE:
            change.type = TrackerChangeEvent::Deleted;
            break;
        default:
            change.type = TrackerChangeEvent::Updated;
            break;
        }
        change.id = tracker_notifier_event_get_id(event);
        change.urn = QString::fromUtf8(tracker_notifier_event_get_urn(event));
        changes.append(change);
    }
    if (!changes.isEmpty())
        emit static_cast<TrackerStore*>(self)->changesNotified(changes);
}

TrackerFileIndexer* TrackerStore::indexer()
{
    if (!m_indexer)
        m_indexer = new TrackerFileIndexer(this);
    return m_indexer;
}
