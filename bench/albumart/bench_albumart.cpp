// Album art: thumbnails of many distinct covers made by the thumbnailer thread.

#include "albumart/albumartcacheitem.h"
#include "albumart/thumbnailerthread.h"
#include "coverlistener.h"
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

#include <benchmark/benchmark.h>
#include <sys/stat.h>

namespace
{

const int Covers = 1000;
const int Batch = 250;
const QString Flavor = QStringLiteral("music-grid");

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

AlbumArtCacheItem coverItem(int i)
{
    return AlbumArtCacheItem(QStringLiteral("Album %1").arg(i),
        QStringLiteral("Artist %1").arg(i % 50), Flavor, AlbumArtType::AlbumArt);
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
                rssFirstBatch = residentMiB();
        }
        coversPerSecond = Covers * 1000.0 / qMax<qint64>(1, timer.elapsed());
        rssAll = residentMiB();
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
