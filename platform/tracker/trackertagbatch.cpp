#include "trackertagbatch.h"

#include "trackermediaart.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <pthread.h>

namespace {

// Reading is mostly waiting for the disk and decoding frames: a few threads are enough, and
// the store's writer keeps one processor busy besides.
const int MostThreads = 4;
// A reader with nothing to read for this long ends; the next index starts it again.
const auto IdleLife = std::chrono::seconds(10);

} // namespace

// The reader threads of the process and the batches waiting for them. Never destroyed: a
// reader still waiting for work when the process exits must find its lock where it was.
// Every batch is waited for by its owner, so no reader is inside a batch then.
class TrackerTagBatch::Readers
{
public:
    static Readers& instance()
    {
        static Readers* readers = new Readers;
        return *readers;
    }

    void start(TrackerTagBatch* batch)
    {
        const int wanted = std::max(1, std::min({ QThread::idealThreadCount(), MostThreads,
                                                  int(batch->m_files.size()) }));
        std::lock_guard<std::mutex> lock(m_mutex);
        batch->m_queued = true;
        m_queue.push_back(batch);
        for (; m_threads < wanted; ++m_threads) {
            // Named here rather than by itself: until it first runs, a new thread would show
            // its starter's name to anyone listing the process's threads.
            std::thread reader([this] { serve(); });
            pthread_setname_np(reader.native_handle(), "tag reader");
            reader.detach();
        }
        m_work.notify_all();
    }

    void wait(TrackerTagBatch* batch)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [batch] { return !batch->m_queued && batch->m_readers == 0; });
    }

private:
    void serve()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (m_queue.empty()) {
                if (!m_work.wait_for(lock, IdleLife, [this] { return !m_queue.empty(); })) {
                    --m_threads;
                    return;
                }
            }
            TrackerTagBatch* batch = m_queue.front();
            ++batch->m_readers;
            lock.unlock();
            batch->run();
            lock.lock();
            // run() came back: no file of the batch is left to start on.
            if (batch->m_queued) {
                batch->m_queued = false;
                m_queue.erase(std::find(m_queue.begin(), m_queue.end(), batch));
            }
            if (--batch->m_readers == 0)
                m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_done;
    std::deque<TrackerTagBatch*> m_queue;
    int m_threads = 0;
};

TrackerTagBatch::TrackerTagBatch(const QVector<File>& files, const QAtomicInt* cancelled)
    : m_files(files)
    , m_cancelled(cancelled)
{
    m_data = m_files.data();
    if (!m_files.isEmpty())
        Readers::instance().start(this);
}

TrackerTagBatch::~TrackerTagBatch()
{
    wait();
}

void TrackerTagBatch::wait()
{
    if (!m_files.isEmpty())
        Readers::instance().wait(this);
}

void TrackerTagBatch::run()
{
    for (;;) {
        const int i = m_next.fetch_add(1);
        if (i >= m_files.size() || m_cancelled->loadAcquire())
            return;
        File& file = m_data[i];
        file.ok = TrackerTagReader::read(file.path, &file.info, &file.reason);
        TrackerTrackInfo& info = file.info;
        if (file.ok && !info.cover.isEmpty() && !info.album.isEmpty()) {
            if (!info.artist.isEmpty())
                TrackerMediaArt::writeAlbumArt(info.artist, info.album, info.cover);
            if (!info.albumArtist.isEmpty() && info.albumArtist != info.artist)
                TrackerMediaArt::writeAlbumArt(info.albumArtist, info.album, info.cover);
            if (info.artist.isEmpty() && info.albumArtist.isEmpty())
                TrackerMediaArt::writeAlbumArt(QString(), info.album, info.cover);
        }
        info.cover.clear();
    }
}

QVector<TrackerTagBatch::File> TrackerTagBatch::take()
{
    wait();
    QVector<File> files = std::move(m_files);
    m_files.clear();
    return files;
}
