#ifndef TRACKERFILEINDEXER_H
#define TRACKERFILEINDEXER_H

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>

typedef struct _TrackerSparqlConnection TrackerSparqlConnection;

class QThread;
class QTimer;
class TrackerFolderWatch;
class TrackerIndexWorker;
class TrackerStore;

// Keeps the store in step with the music folder (QStandardPaths::MusicLocation): scans it on a
// worker thread when started and again whenever a folder below it changes, writes new and
// changed songs and playlist files, removes what vanished, and reports its progress. What a
// folder that is not there held (the music folder or a disk mounted below it, empty or
// missing) is kept as unavailable instead, with all the user gave it, until it is back.
class TrackerFileIndexer : public QObject
{
    Q_OBJECT

public:
    explicit TrackerFileIndexer(TrackerStore* store);
    ~TrackerFileIndexer() override;

    static QString musicFolder();

    // First scan and folder watching; a second call only asks for a new scan.
    void start();
    // Stops watching and waits for a running scan to stop at its next file, for a bounded
    // time: a worker stuck longer is left to end on its own. The next scan waits for it to
    // end, and goes on from what the stopped one had written.
    void stop();
    // Scans again soon; scans asked for while one runs are folded into one more.
    void rescan();
    // Scans at once (or right after the running scan) and returns the number of the scan that
    // will see the folder as it is now; finishedScans() reaches it when that scan has ended.
    int scanNow();
    int finishedScans() const;

    bool isStarted() const;
    // A scan is under way: the folder is being compared with the store, or its changes written.
    bool isScanning() const;
    // A scan found changes and is writing them (between indexingStarted and indexingFinished).
    bool isIndexing() const;

signals:
    // A scan found work: changes is the number of files to add, update or remove.
    void indexingStarted(int changes);
    // Files still to process.
    void indexingProgress(int remaining);
    // The work of a scan that found changes is done.
    void indexingFinished();
    // Every scan ends with this, with or without changes.
    void scanFinished(int changes);

private slots:
    void folderChanged();
    void runScan();
    void workerStarted(int changes);
    void workerProgress(int remaining);
    void workerFinished(int changes, const QStringList& folders);
    void folderWatchUpdated(int ticket);
    void handOverScan();

private:
    void ensureWorker();
    void abandonWorker();
    void releaseScanConnection();
    // The end of a scan, once the folders it found are watched.
    void finishScan(int changes);

    TrackerStore* m_store;
    QThread* m_thread = nullptr;
    TrackerIndexWorker* m_worker = nullptr;
    // Held from the moment a scan is handed to the worker until it has ended: a scan that the
    // worker's thread never gets to (it was stopped first) must not keep the database open.
    TrackerSparqlConnection* m_scanConnection = nullptr;
    TrackerFolderWatch* m_watch = nullptr;
    // The threads of workers left to end on their own, as long as they run.
    QVector<QPointer<QThread>> m_abandoned;
    // The scan whose folders are being put under watch, and what it changed.
    int m_watchTicket = 0;
    int m_watchedChanges = 0;
    QTimer* m_delay = nullptr;
    bool m_started = false;
    bool m_scanning = false;
    bool m_indexing = false;
    bool m_scanAgain = false;
    // The scan under way waits for a worker left to end on its own before it is handed over.
    bool m_scanWaiting = false;
    int m_scansStarted = 0;
    int m_scansFinished = 0;
};

#endif // TRACKERFILEINDEXER_H
