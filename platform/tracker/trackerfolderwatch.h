#ifndef TRACKERFOLDERWATCH_H
#define TRACKERFOLDERWATCH_H

#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QThread;

// Watches the folders of the music folder from a thread of its own. A large library has
// thousands of folders, and the system watcher takes a list of them in time that grows with the
// square of its length: on the thread of the window that would stall the first screen.
class TrackerFolderWatch : public QObject
{
    Q_OBJECT

public:
    explicit TrackerFolderWatch(QObject* parent = nullptr);
    // Stops the thread; nothing is reported after.
    ~TrackerFolderWatch() override;

    // Watches exactly the given folders from now on; watching() follows with the ticket once
    // they are watched.
    void watch(const QStringList& folders, int ticket);

signals:
    void folderChanged();
    void watching(int ticket);

private:
    QThread* m_thread;
    QFileSystemWatcher* m_watcher;
};

#endif // TRACKERFOLDERWATCH_H
