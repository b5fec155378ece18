#ifndef TRACKERTAGBATCH_H
#define TRACKERTAGBATCH_H

#include "trackertagreader.h"

#include <QAtomicInt>
#include <QByteArray>
#include <QString>
#include <QVector>

#include <atomic>

// Reads the tags of a batch of audio files on several threads at once, while the caller does
// something else (writes the batch before). Embedded covers go to the media-art cache as they
// are read and are not kept. The threads are plain ones kept by the process between batches:
// reading touches neither the store nor Qt's event loops, and an index reads hundreds of
// batches, each of which would otherwise start and end threads of its own (and give back
// their allocator caches).
class TrackerTagBatch
{
public:
    struct File
    {
        QString url;
        QByteArray path;
        bool ok = false;
        QString reason; // why it could not be read
        TrackerTrackInfo info;
    };

    // Starts at once; cancelled is polled before every file (files not read then stay !ok).
    TrackerTagBatch(const QVector<File>& files, const QAtomicInt* cancelled);
    ~TrackerTagBatch();
    TrackerTagBatch(const TrackerTagBatch&) = delete;
    TrackerTagBatch& operator=(const TrackerTagBatch&) = delete;

    // Waits until every file has been read and hands them over, in the order given.
    QVector<File> take();

private:
    class Readers;
    // Reads files until none is left (or the read is cancelled).
    void run();
    void wait();

    QVector<File> m_files;
    File* m_data; // m_files' elements, unshared, written by the readers
    const QAtomicInt* m_cancelled;
    std::atomic<int> m_next { 0 };
    // Guarded by the readers' lock.
    bool m_queued = false;
    int m_readers = 0; // readers at work on this batch
};

#endif // TRACKERTAGBATCH_H
