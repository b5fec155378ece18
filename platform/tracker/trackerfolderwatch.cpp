#include "trackerfolderwatch.h"

#include <QFileSystemWatcher>
#include <QSet>
#include <QThread>

TrackerFolderWatch::TrackerFolderWatch(QObject* parent)
    : QObject(parent)
    , m_thread(new QThread)
    , m_watcher(new QFileSystemWatcher)
{
    m_thread->setObjectName(QStringLiteral("folder watch"));
    m_watcher->moveToThread(m_thread);
    // The watcher goes on its own thread, as its notifier must.
    connect(m_thread, &QThread::finished, m_watcher, &QObject::deleteLater);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &TrackerFolderWatch::folderChanged);
    // At the thread's normal priority: a scan ends, and a start announces the library, only
    // once the folders it found are watched.
    m_thread->start();
}

TrackerFolderWatch::~TrackerFolderWatch()
{
    disconnect(m_watcher, nullptr, this, nullptr);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void TrackerFolderWatch::watch(const QStringList& folders, int ticket)
{
    QFileSystemWatcher* watcher = m_watcher;
    QMetaObject::invokeMethod(
        m_watcher,
        [this, watcher, folders, ticket] {
            // Sets, not lists: the folders are compared after every scan.
            const QStringList watchedList = watcher->directories();
            const QSet<QString> watched(watchedList.cbegin(), watchedList.cend());
            const QSet<QString> found(folders.cbegin(), folders.cend());
            QStringList gone;
            for (const QString& folder : watchedList) {
                if (!found.contains(folder))
                    gone.append(folder);
            }
            if (!gone.isEmpty())
                watcher->removePaths(gone);
            QStringList fresh;
            for (const QString& folder : folders) {
                if (!watched.contains(folder))
                    fresh.append(folder);
            }
            if (!fresh.isEmpty())
                watcher->addPaths(fresh);
            // Queued to this object's thread; this object outlives the watch thread.
            emit watching(ticket);
        },
        Qt::QueuedConnection);
}
