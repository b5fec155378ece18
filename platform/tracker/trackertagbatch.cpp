#include "trackertagbatch.h"

#include "trackermediaart.h"

#include <QThread>

#include <algorithm>

namespace {

// Reading is mostly waiting for the disk and decoding frames: a few threads are enough, and
// the store's writer keeps one processor busy besides.
const int MostThreads = 4;

} // namespace

TrackerTagBatch::TrackerTagBatch(const QVector<File>& files, const QAtomicInt* cancelled)
    : m_files(files)
    , m_cancelled(cancelled)
{
    const int threads = std::max(1, std::min({ QThread::idealThreadCount(), MostThreads,
                                               int(m_files.size()) }));
    m_data = m_files.data();
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { run(); });
}

TrackerTagBatch::~TrackerTagBatch()
{
    for (std::thread& t : m_threads) {
        if (t.joinable())
            t.join();
    }
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
    for (std::thread& t : m_threads) {
        if (t.joinable())
            t.join();
    }
    return std::move(m_files);
}
