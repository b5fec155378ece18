#ifndef TRACKERINDEXWORKER_H
#define TRACKERINDEXWORKER_H

#include "trackerfolderwalker.h"
#include "trackermountpoints.h"

#include <QAtomicInt>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

typedef struct _TrackerSparqlConnection TrackerSparqlConnection;
typedef struct _TrackerBatch TrackerBatch;
struct TrackerTrackInfo;

// The file indexer's thread: compares the music folder with the store and writes the
// difference. Lives on its own thread; every call arrives queued.
class TrackerIndexWorker : public QObject
{
    Q_OBJECT

public:
    // mountMemory: the file that keeps the folders seen mounted below the music folder.
    explicit TrackerIndexWorker(const QString& mountMemory = QString());

    // May be called from any thread: the running scan stops at the next file.
    void cancel();

    // The update that writes one song (new when iri is unknown to the store). Public so that
    // tools and tests can build fixtures the way the indexer does. With written, the shared
    // resources it names (performers, albums, discs, publishers) are left out when an earlier
    // part of the same update writes them already, and those it writes are added.
    // A new song's update leaves the values the store already has of those resources (they
    // follow from the resource names) and is refused should one differ; with overwrite, it
    // replaces them, at about twice the cost.
    static QString songUpdate(const QString& iri, bool known, const QString& url,
                              const QString& fileName, qint64 size, const QString& modified,
                              const QString& added, const TrackerTrackInfo& info,
                              QSet<QString>* written = nullptr, bool overwrite = false);

    // A new song as songUpdate() writes it (known and overwrite false), added to a batch as
    // resources: the store stores the same, without a text to parse, which was most of the
    // cost of writing a new song.
    static void addNewSong(TrackerBatch* batch, const QString& iri, const QString& url,
                           const QString& fileName, qint64 size, const QString& modified,
                           const QString& added, const TrackerTrackInfo& info,
                           QSet<QString>* written = nullptr);

    // The update that removes discs, albums, artists and publishers left without songs.
    static QString orphanRemoval();

public slots:
    // The caller keeps the connection referenced until finished() has arrived.
    void scan(const QString& root, quintptr connection);

signals:
    void started(int changes);
    void progress(int remaining);
    void finished(int changes, const QStringList& folders);

private:
    using DiskFile = TrackerFoundFile;
    struct StoredFile
    {
        QString iri;
        bool playlist = false;
    };

    bool runUpdate(TrackerSparqlConnection* connection, const QString& sparql, const char* what);
    // Keeps one resource of each file named by several.
    void removeDoubles(TrackerSparqlConnection* connection, const QStringList& urls);
    // The store's resources of the given file URLs (those it has).
    QHash<QString, StoredFile> storedFiles(TrackerSparqlConnection* connection,
                                           const QStringList& urls, bool* ok);
    void removeVanished(TrackerSparqlConnection* connection,
                        const QHash<QString, StoredFile>& files, const QStringList& urls);
    // The URLs of the folders whose files may only seem gone: the music folder or a folder
    // mounted below it when it is missing or holds no song or playlist file, a folder that was
    // mounted before and is not now, and a folder that could not be read. remembered gets the
    // folders once mounted that are not mounted now.
    QStringList absentFolders(const QString& root, bool rootThere,
                              const QHash<QString, DiskFile>& disk,
                              const QStringList& unreadable, QStringList* remembered);
    // Marks files as there or not, keeping everything else the store holds of them.
    void setAvailable(TrackerSparqlConnection* connection, const QStringList& urls,
                      bool available);
    int writeSongs(TrackerSparqlConnection* connection, const QList<QString>& urls,
                   const QHash<QString, DiskFile>& disk, const QHash<QString, StoredFile>& stored,
                   int remaining);
    void writePlaylist(TrackerSparqlConnection* connection, const QString& url,
                       const DiskFile& file, const StoredFile* stored);
    // Removes a playlist file's entries and file state in short updates; false when stopped
    // or failed.
    bool removeEntries(TrackerSparqlConnection* connection, const QString& iri);
    void removeOrphans(TrackerSparqlConnection* connection);

    QAtomicInt m_cancelled;
    TrackerMountPoints m_mounts;
    // Files that could not be read, by URL, with the modification time then: they are not
    // tried (nor logged) again until they change.
    QHash<QString, qint64> m_unreadable;
    // Paths left out of the walk (pipes, devices, odd names) that have been logged once.
    QSet<QByteArray> m_reported;
};

#endif // TRACKERINDEXWORKER_H
