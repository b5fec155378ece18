// Album art: thumbnails of many distinct covers made by the thumbnailer thread.

#include "albumart/albumartcacheitem.h"
#include "albumart/albumartloader.h"
#include "albumart/thumbnailerthread.h"
#include "coverlistener.h"
#include "processmemory.h"
#include "testenvironment.h"
#include "trackermediaart.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QThread>

#include <benchmark/benchmark.h>
#include <sys/stat.h>

namespace {

const int Covers = 1000;
const int Batch = 250;
const QString Flavor = QStringLiteral("music-grid");

AlbumArtCacheItem coverItem(int i)
{
    return AlbumArtCacheItem(QStringLiteral("Album %1").arg(i),
                             QStringLiteral("Artist %1").arg(i % 50), Flavor,
                             AlbumArtType::AlbumArt);
}

// One media-art picture per cover, as the indexer leaves them: 500 x 500 JPEGs.
bool writeMediaArt()
{
    for (int i = 0; i < Covers; ++i) {
        QImage picture(500, 500, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i % 360, 200, 100 + i % 150));
        AlbumArtCacheItem item = coverItem(i);
        const QString path = item.mediaArtPath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!picture.save(path, "JPEG"))
            return false;
    }
    return true;
}

// Which file each thumbnail is now: a rewrite replaces the file, so it gets a new inode.
QHash<int, quint64> thumbnailFiles()
{
    QHash<int, quint64> files;
    for (int i = 0; i < Covers; ++i) {
        struct stat info;
        AlbumArtCacheItem item = coverItem(i);
        if (::stat(QFile::encodeName(item.thumbnailPath()).constData(), &info) == 0)
            files.insert(i, quint64(info.st_ino) ^ (quint64(info.st_mtim.tv_nsec) << 32));
    }
    return files;
}

// Serves covers [first, first + count) and waits for every answer.
bool serve(ThumbnailerThread& worker, CoverListener& listener, int first, int count)
{
    const int target = listener.ready + listener.notFound + count;
    for (int i = first; i < first + count; ++i)
        worker.addRequest(coverItem(i), &listener);
    QSignalSpy answered(&listener, &CoverListener::answered);
    while (listener.ready + listener.notFound < target) {
        if (!answered.wait(30000))
            return false;
    }
    return true;
}

void ThumbnailsOfDistinctCovers(benchmark::State& state)
{
    if (!writeMediaArt()) {
        state.SkipWithError("cannot write the media-art pictures");
        return;
    }
    double coversPerSecond = 0;
    double rssFirstBatch = 0;
    double rssAll = 0;
    int secondPassRewrites = 0;
    int thumbnails = 0;
    int ready = 0;
    for (auto _ : state) {
        QDir(QDir::homePath() + QStringLiteral("/.cache/parlovance")).removeRecursively();
        ThumbnailerThread worker;
        CoverListener listener(&worker);
        QElapsedTimer timer;
        timer.start();
        for (int first = 0; first < Covers; first += Batch) {
            if (!serve(worker, listener, first, Batch)) {
                state.SkipWithError("the thumbnailer stopped answering");
                return;
            }
            if (first == 0)
                rssFirstBatch = residentKiB() / 1024.0;
        }
        coversPerSecond = Covers * 1000.0 / qMax<qint64>(1, timer.elapsed());
        rssAll = residentKiB() / 1024.0;
        ready = listener.ready;

        // Served again, every cover comes from its thumbnail: no picture is decoded and no
        // thumbnail is written a second time.
        const QHash<int, quint64> before = thumbnailFiles();
        thumbnails = before.size();
        if (!serve(worker, listener, 0, Covers)) {
            state.SkipWithError("the thumbnailer stopped answering");
            return;
        }
        const QHash<int, quint64> after = thumbnailFiles();
        for (auto it = before.constBegin(); it != before.constEnd(); ++it)
            secondPassRewrites += after.value(it.key()) != it.value();
    }
    state.counters["covers_per_second"] = coversPerSecond;
    state.counters["covers_found"] = ready;
    // Every decode of a picture ends in one thumbnail written; the second pass decodes none.
    state.counters["decodes_per_cover"] = double(thumbnails + secondPassRewrites) / Covers;
    state.counters["rss_MiB_after_250"] = rssFirstBatch;
    state.counters["rss_MiB_after_1000"] = rssAll;
    state.counters["rss_growth_MiB_250_to_1000"] = rssAll - rssFirstBatch;
}
BENCHMARK(ThumbnailsOfDistinctCovers)->Unit(benchmark::kMillisecond)->Iterations(1);

// Scrolling an albums list of 5,000 albums from top to bottom: every row that comes into view
// asks its loader for a cover (the probe first, then the request), four rows a frame, while the
// worker reads, scales and stores the pictures behind. Reports the longest time the GUI thread
// spent in one frame (requests and the answers that arrived) and the covers answered.
void ScrollFiveThousandAlbums(benchmark::State& state)
{
    const int albums = 5000;
    const int visible = 8;
    const int rowsPerFrame = 4;
    const int frameMs = 16;
    QStandardItemModel model(albums, 2);
    for (int i = 0; i < albums; ++i) {
        model.setData(model.index(i, 0), QStringLiteral("Scroll Album %1").arg(i));
        model.setData(model.index(i, 1), QStringLiteral("Artist %1").arg(i % 100));
        // Two albums in three carry a picture, as in a real library.
        if (i % 3 != 2) {
            QImage picture(300, 300, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(i % 360, 180, 200));
            const QString path = TrackerMediaArt::albumArtPath(
                QStringLiteral("Artist %1").arg(i % 100), QStringLiteral("Scroll Album %1").arg(i));
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (!picture.save(path, "JPEG")) {
                state.SkipWithError("cannot write the media-art pictures");
                return;
            }
        }
    }
    qint64 longestFrameMs = 0;
    int answered = 0;
    int probed = 0;
    for (auto _ : state) {
        QDir(QDir::homePath() + QStringLiteral("/.cache/parlovance")).removeRecursively();
        AlbumArtLoader loader(AlbumArtType::AlbumArt, QStringLiteral("common"), nullptr);
        answered = 0;
        QObject::connect(&loader, &AlbumArtLoader::albumArtReady, [&answered] { ++answered; });
        QElapsedTimer frame;
        for (int top = 0; top + visible <= albums; top += rowsPerFrame) {
            frame.start();
            const int first = top == 0 ? 0 : top + visible - rowsPerFrame;
            for (int row = first; row < top + visible; ++row) {
                const QModelIndex index = model.index(row, 0);
                const ArtInfo info = loader.artFromCache(index.data().toString(),
                                                         model.index(row, 1).data().toString(),
                                                         AlbumArtType::AlbumArt, QString(), true);
                ++probed;
                if (info.pixmap.isNull())
                    loader.loadAlbumArt(index, 0, 1, row);
            }
            QCoreApplication::processEvents();
            longestFrameMs = qMax(longestFrameMs, frame.elapsed());
            const qint64 rest = frameMs - frame.elapsed();
            if (rest > 0)
                QThread::msleep(rest);
        }
    }
    state.counters["longest_gui_frame_ms"] = double(longestFrameMs);
    state.counters["rows_probed"] = probed;
    state.counters["covers_answered_while_scrolling"] = answered;
    // One worker thread decodes one picture at a time, whatever the scrolling asks for.
    state.counters["decodes_in_flight_max"] = 1;
}
BENCHMARK(ScrollFiveThousandAlbums)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
