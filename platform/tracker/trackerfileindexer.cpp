#include "trackerfileindexer.h"

#include "trackerfolderwatch.h"
#include "trackerindexworker.h"
#include "trackerlogging.h"
#include "trackerqueryrunner.h"
#include "trackerstore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {
// Copying an album into the folder makes a burst of changes; one scan after it settles.
const int FolderSettleMs = 400;
// How long stop() waits for the worker to reach its next file. The program ends through
// stop() (on SIGTERM too), so this bounds its end whatever the worker is doing.
const int StopWaitMs = 1500;
} // namespace

TrackerFileIndexer::TrackerFileIndexer(TrackerStore* store)
    : QObject(store)
    , m_store(store)
{
    qRegisterMetaType<quintptr>("quintptr");
}

TrackerFileIndexer::~TrackerFileIndexer()
{
    stop();
}

QString TrackerFileIndexer::musicFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
}

void TrackerFileIndexer::ensureWorker()
{
    if (m_thread)
        return;
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("file indexer"));
    // The folders seen mounted below the music folder are kept beside the store they concern.
    m_worker = new TrackerIndexWorker(TrackerStore::storeDirectory()
                                      + QStringLiteral("/mount-points"));
    // The worker is deleted by stop(), never by its thread: a thread that ended early (it was
    // told to quit from elsewhere) would otherwise leave stop() a freed worker to cancel.
    m_worker->moveToThread(m_thread);
    connect(m_worker, &TrackerIndexWorker::started, this, &TrackerFileIndexer::workerStarted);
    connect(m_worker, &TrackerIndexWorker::progress, this, &TrackerFileIndexer::workerProgress);
    connect(m_worker, &TrackerIndexWorker::finished, this, &TrackerFileIndexer::workerFinished);
    m_thread->start(QThread::LowPriority);

    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(FolderSettleMs);
    connect(m_delay, &QTimer::timeout, this, &TrackerFileIndexer::runScan);
}

void TrackerFileIndexer::start()
{
    ensureWorker();
    if (!m_started) {
        m_started = true;
        m_watch = new TrackerFolderWatch(this);
        connect(m_watch, &TrackerFolderWatch::folderChanged, this,
                &TrackerFileIndexer::folderChanged);
        connect(m_watch, &TrackerFolderWatch::watching, this,
                &TrackerFileIndexer::folderWatchUpdated);
        runScan();
        return;
    }
    rescan();
}

void TrackerFileIndexer::stop()
{
    if (m_delay)
        m_delay->stop();
    delete m_watch;
    m_watch = nullptr;
    // A scan waiting for its folders to be watched ends below.
    ++m_watchTicket;
    m_started = false;
    m_scanAgain = false;
    m_scanWaiting = false;
    if (m_thread) {
        m_worker->cancel();
        m_thread->quit();
        if (m_thread->wait(StopWaitMs)) {
            delete m_worker;
            delete m_thread;
        } else {
            abandonWorker();
        }
        // What the stopped worker sent and has not arrived yet is about a scan that is over;
        // a late "finished" would otherwise release the connection of the next scan.
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
        m_thread = nullptr;
        m_worker = nullptr;
        delete m_delay;
        m_delay = nullptr;
    }
    releaseScanConnection();
    if (m_scanning)
        m_scansFinished = m_scansStarted;
    m_scanning = false;
    if (m_indexing) {
        m_indexing = false;
        emit indexingFinished();
    }
}

void TrackerFileIndexer::abandonWorker()
{
    // The worker is inside one file that does not answer (a dead network share, say). It is
    // left to end on its own, keeping its hold on the database until then; nothing of it
    // reaches this object again. Whichever comes first, its thread's end or the check below
    // (the thread may have ended since the wait gave up), cleans up, and only once.
    qCWarning(lcIndexer) << Q_FUNC_INFO << "- the file indexer did not stop within" << StopWaitMs
                         << "ms; it is left to end on its own";
    disconnect(m_worker, nullptr, this, nullptr);
    QThread* thread = m_thread;
    thread->setParent(nullptr);
    m_abandoned.append(thread);
    TrackerIndexWorker* worker = m_worker;
    TrackerSparqlConnection* connection = m_scanConnection;
    m_scanConnection = nullptr;
    auto cleanedUp = std::make_shared<std::atomic_bool>(false);
    auto cleanUp = [thread, worker, connection, cleanedUp] {
        if (cleanedUp->exchange(true))
            return;
        delete worker;
        TrackerQueryRunner::releaseConnection(connection);
        // The thread object belongs to this object's thread; it goes once its thread returned.
        QMetaObject::invokeMethod(
            thread,
            [thread] {
                thread->wait();
                thread->deleteLater();
            },
            Qt::QueuedConnection);
    };
    connect(thread, &QThread::finished, thread, cleanUp, Qt::DirectConnection);
    if (thread->isFinished())
        cleanUp();
}

void TrackerFileIndexer::rescan()
{
    ensureWorker();
    m_delay->start();
}

int TrackerFileIndexer::scanNow()
{
    ensureWorker();
    m_delay->stop();
    if (m_scanning) {
        m_scanAgain = true;
        return m_scansStarted + 1;
    }
    runScan();
    return m_scansStarted;
}

int TrackerFileIndexer::finishedScans() const
{
    return m_scansFinished;
}

bool TrackerFileIndexer::isStarted() const
{
    return m_started;
}

bool TrackerFileIndexer::isScanning() const
{
    return m_scanning;
}

bool TrackerFileIndexer::isIndexing() const
{
    return m_indexing;
}

void TrackerFileIndexer::folderChanged()
{
    if (m_delay)
        m_delay->start();
}

void TrackerFileIndexer::runScan()
{
    if (m_scanning) {
        m_scanAgain = true;
        return;
    }
    TrackerSparqlConnection* connection = m_store->acquireConnection();
    if (!connection) {
        qCWarning(lcIndexer) << Q_FUNC_INFO << "- the library store is not open; nothing indexed";
        m_scansFinished = ++m_scansStarted;
        emit scanFinished(0);
        return;
    }
    m_scanning = true;
    m_scanAgain = false;
    ++m_scansStarted;
    m_scanConnection = connection;
    m_scanWaiting = true;
    handOverScan();
}

void TrackerFileIndexer::handOverScan()
{
    if (!m_scanWaiting || !m_scanning || !m_scanConnection || !m_worker)
        return;
    // A worker left to end on its own may still be writing what it had read (a batch of songs
    // waits for the store): a scan reading the store before that is written would write
    // those songs a second time. It waits for the worker's end.
    for (const QPointer<QThread>& thread : qAsConst(m_abandoned)) {
        if (!thread)
            continue;
        // Connected before it is asked, so an end in between is not missed.
        connect(thread.data(), &QThread::finished, this, &TrackerFileIndexer::handOverScan,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
        if (!thread->isFinished()) {
            qCInfo(lcIndexer) << Q_FUNC_INFO
                              << "- the scan waits for the stopped file indexer to end";
            return;
        }
        disconnect(thread.data(), &QThread::finished, this, &TrackerFileIndexer::handOverScan);
    }
    m_abandoned.clear();
    m_scanWaiting = false;
    QMetaObject::invokeMethod(m_worker, "scan", Qt::QueuedConnection, Q_ARG(QString, musicFolder()),
                              Q_ARG(quintptr, reinterpret_cast<quintptr>(m_scanConnection)));
}

void TrackerFileIndexer::releaseScanConnection()
{
    TrackerQueryRunner::releaseConnection(m_scanConnection);
    m_scanConnection = nullptr;
}

void TrackerFileIndexer::workerStarted(int changes)
{
    m_indexing = true;
    emit indexingStarted(changes);
}

void TrackerFileIndexer::workerProgress(int remaining)
{
    emit indexingProgress(remaining);
}

void TrackerFileIndexer::workerFinished(int changes, const QStringList& folders)
{
    releaseScanConnection();
    if (!m_watch) {
        finishScan(changes);
        return;
    }
    // The scan ends once its folders are watched, so that a change made after its end is
    // seen; the watching itself is done away from this thread.
    m_watchedChanges = changes;
    m_watch->watch(folders, ++m_watchTicket);
}

void TrackerFileIndexer::folderWatchUpdated(int ticket)
{
    if (ticket != m_watchTicket || !m_scanning)
        return;
    finishScan(m_watchedChanges);
}

void TrackerFileIndexer::finishScan(int changes)
{
    m_scanning = false;
    m_scansFinished = m_scansStarted;
    if (m_indexing) {
        m_indexing = false;
        emit indexingFinished();
    }
    emit scanFinished(changes);
    if (m_scanAgain)
        runScan();
}
