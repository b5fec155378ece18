// The library store: indexing a music folder, and the all-songs model over a large library.

#include "fixturelibrary.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "testenvironment.h"
#include "trackerfileindexer.h"
#include "trackerindexworker.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"
#include "trackertagreader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <ctime>

namespace {

// Resident memory figures of this process in MiB: the peak since the last reset, and now.
double statusMiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void freshStore()
{
    TrackerStore::destroy();
    TestEnvironment::wipeHome();
}

// Processor seconds this process has used so far, every thread counted.
double cpuSeconds()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor seconds of this thread: the models' work, which runs on it as on the program's
// window thread.
double threadCpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Runs the event loop until done() holds, sleeping between events: the processor time the
// benchmarks report is then the program's own, not a waiting loop's.
template <typename Done>
bool waitFor(Done done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// A library of the given size written the way the indexer writes it, in a fresh store that
// is then closed: titles in several scripts, 14 songs an album, 70 songs an artist.
bool writeStoreOf(int songs)
{
    static const char* const words[] = { "Morning",  "Echo",   "Falling", "Satellite",
                                         "Lanterns", "Drift",  "Horizon", "Embers",
                                         "Ärger",    "Ökonom", "Утро",    "Эхо",
                                         "夜明け",   "ירח",    "Ñandú",   "Zebra" };
    freshStore();
    if (!FixtureLibrary::openStore())
        return false;
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
    bool ok = true;
    for (int first = 0; first < songs && ok; first += 500) {
        QStringList batch;
        for (int i = first; i < qMin(songs, first + 500); ++i) {
            const int k = int((i * 7919LL) % songs);
            TrackerTrackInfo info;
            info.title = QStringLiteral("%1 %2 %3")
                             .arg(QString::fromUtf8(words[k % 16]),
                                  QString::fromUtf8(words[(k / 16) % 16]))
                             .arg(k);
            info.artist = QStringLiteral("Artist %1").arg(i / 70);
            info.album = QStringLiteral("Album %1").arg(i / 14);
            info.genre = QStringLiteral("Pop");
            info.trackNumber = i % 14 + 1;
            info.year = 1980 + i % 40;
            info.durationSeconds = 180 + i % 60;
            const QString url = QStringLiteral("file:///music/Artist%1/Album%2/%3.ogg")
                                    .arg(i / 70)
                                    .arg(i / 14)
                                    .arg(i);
            batch << TrackerIndexWorker::songUpdate(TrackerSparql::newIri(), false, url,
                                                    QStringLiteral("%1.ogg").arg(i), 4096, added,
                                                    added, info);
        }
        ok = TrackerQueryRunner::update(connection, batch.join(QStringLiteral(" ;\n"))).ok;
    }
    TrackerQueryRunner::releaseConnection(connection);
    // The store's notices of these writes are let through first: a program starting on an
    // indexed library has none waiting.
    QElapsedTimer quiet;
    quiet.start();
    QObject guard;
    QObject::connect(TrackerStore::instance(), &TrackerStore::changesNotified, &guard,
                     [&quiet] { quiet.restart(); });
    while (quiet.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    TrackerStore::destroy();
    return ok;
}

// The models the program holds once it has started: the shared lists of every page.
QVector<QSharedPointer<MafwTrackerModel>> startingModels(MafwTrackerModelFactory* factory)
{
    QVector<QSharedPointer<MafwTrackerModel>> models;
    for (auto type : { MafwTrackerModel::AllAlbums, MafwTrackerModel::AllArtists,
                       MafwTrackerModel::PlaylistFiles, MafwTrackerModel::UserPlaylists }) {
        models << QSharedPointer<MafwTrackerModel>(factory->getModel(type, 50, 0));
        models.last()->fetchRemainingRows();
    }
    return models;
}

double rssPerSongBaseline = -1; // MiB held after a start on an empty store

// The factory as the program makes it at its start.
MafwTrackerModelFactory* startFactory()
{
    auto* factory = new MafwTrackerModelFactory(QStringLiteral("Unknown album"),
                                                QStringLiteral("Unknown artist"), 2000);
    factory->init();
    return factory;
}

// Indexing a music folder of 5,000 generated songs (250 albums by 50 artists), from nothing.
void IndexFiveThousandFiles(benchmark::State& state)
{
    const int files = 5000;
    for (auto _ : state) {
        state.PauseTiming();
        freshStore();
        for (int i = 0; i < files; ++i) {
            AudioTags tags;
            tags.title = QStringLiteral("Song %1").arg(i);
            tags.artist = QStringLiteral("Artist %1").arg(i % 50);
            tags.album = QStringLiteral("Album %1").arg(i / 20);
            tags.genre = QStringLiteral("Pop");
            tags.trackNumber = i % 20 + 1;
            tags.year = 1990 + i % 30;
            const QString path = QStringLiteral("Artist %1/Album %2/%3.%4")
                                     .arg(i % 50)
                                     .arg(i / 20)
                                     .arg(i % 20)
                                     .arg(i % 10 == 0 ? "mp3" : "ogg");
            if (FixtureLibrary::addSong(path, tags, 1000).isEmpty()) {
                state.SkipWithError("cannot write the audio files");
                return;
            }
        }
        if (!FixtureLibrary::openStore()) {
            state.SkipWithError("cannot open the store");
            return;
        }
        resetPeakMemory();
        const double before = statusMiB("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        state.ResumeTiming();
        const bool ok = FixtureLibrary::index(600000);
        state.PauseTiming();
        const double seconds = timer.elapsed() / 1000.0;
        if (!ok) {
            state.SkipWithError("indexing timed out");
            return;
        }
        state.counters["files_per_second"] = files / seconds;
        state.counters["peak_rss_MiB"] = statusMiB("VmHWM:");
        state.counters["rss_growth_MiB"] = statusMiB("VmRSS:") - before;
        state.ResumeTiming();
    }
}
BENCHMARK(IndexFiveThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(1);

// A library of 20,000 songs (written as the indexer writes them), then the all-songs model:
// its first 50 rows and all of its rows, as the all-songs page asks for them.
void AllSongsModelOfTwentyThousand(benchmark::State& state)
{
    const int songs = 20000;
    freshStore();
    if (!FixtureLibrary::openStore()) {
        state.SkipWithError("cannot open the store");
        return;
    }
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
    for (int first = 0; first < songs; first += 500) {
        QStringList batch;
        for (int i = first; i < first + 500; ++i) {
            TrackerTrackInfo info;
            info.title = QStringLiteral("Song %1").arg((i * 7919) % songs);
            info.artist = QStringLiteral("Artist %1").arg(i % 500);
            info.album = QStringLiteral("Album %1").arg(i % 2000);
            info.genre = QStringLiteral("Pop");
            info.trackNumber = i % 12 + 1;
            info.year = 2000 + i % 20;
            info.durationSeconds = 180 + i % 60;
            const QString url = QStringLiteral("file:///music/%1.ogg").arg(i);
            batch << TrackerIndexWorker::songUpdate(TrackerSparql::newIri(), false, url,
                                                    QStringLiteral("%1.ogg").arg(i), 4096, added,
                                                    added, info);
        }
        if (!TrackerQueryRunner::update(connection, batch.join(QStringLiteral(" ;\n"))).ok) {
            state.SkipWithError("cannot write the library");
            TrackerQueryRunner::releaseConnection(connection);
            return;
        }
    }
    TrackerQueryRunner::releaseConnection(connection);

    resetPeakMemory();
    MafwTrackerModelFactory::setIndexerEnabled(false);
    MafwTrackerModelFactory factory(QStringLiteral("Unknown album"),
                                    QStringLiteral("Unknown artist"), 2000);
    QSignalSpy init(&factory, SIGNAL(initCompleted(bool)));
    QElapsedTimer start;
    start.start();
    factory.init();
    if (!init.wait(120000) || !init.first().first().toBool()) {
        state.SkipWithError("the factory did not start");
        return;
    }
    const double startMs = start.elapsed();

    double firstTotal = 0, allTotal = 0, firstWorst = 0, allWorst = 0;
    int runs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QScopedPointer<MafwTrackerModel> model(factory.getModel(MafwTrackerModel::AllSongs, 50, 0));
        while (model->rowCount() < 50)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double first = timer.nsecsElapsed() / 1e6;
        QSignalSpy completed(model.data(), SIGNAL(completed()));
        model->fetchRemainingRows();
        while (completed.isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double all = timer.nsecsElapsed() / 1e6;
        if (model->rowCount() != songs) {
            state.SkipWithError("the model lacks rows");
            return;
        }
        firstTotal += first;
        allTotal += all;
        firstWorst = qMax(firstWorst, first);
        allWorst = qMax(allWorst, all);
        ++runs;
    }
    state.counters["factory_start_ms"] = startMs;
    state.counters["first_50_rows_ms"] = firstTotal / runs;
    state.counters["first_50_rows_worst_ms"] = firstWorst;
    state.counters["all_rows_ms"] = allTotal / runs;
    state.counters["all_rows_worst_ms"] = allWorst;
    state.counters["peak_rss_MiB"] = statusMiB("VmHWM:");
}
BENCHMARK(AllSongsModelOfTwentyThousand)->Unit(benchmark::kMillisecond)->Iterations(5);

// A playlist file of 5,000, 20,000 and 80,000 entries indexed into an empty store, then the
// same file written again after a change. Linear writing keeps the time per 1,000 entries
// flat across the three sizes.
void PlaylistFileEntries(benchmark::State& state)
{
    const int entries = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        freshStore();
        QStringList files;
        files.reserve(entries);
        for (int i = 0; i < entries; ++i)
            files.append(
                QStringLiteral("Artist %1/Album %2/%3.ogg").arg(i % 50).arg(i / 20).arg(i % 20));
        const QString path = FixtureLibrary::addPlaylist(QStringLiteral("long.m3u"), files);
        if (path.isEmpty() || !FixtureLibrary::openStore()) {
            state.SkipWithError("cannot write the playlist file or open the store");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        state.ResumeTiming();
        bool ok = FixtureLibrary::index(1200000);
        state.PauseTiming();
        const double first = timer.elapsed();
        QFile file(path);
        ok = ok && file.open(QIODevice::ReadWrite)
             && file.setFileTime(QDateTime::currentDateTime().addSecs(10),
                                 QFileDevice::FileModificationTime);
        file.close();
        timer.restart();
        state.ResumeTiming();
        ok = ok && FixtureLibrary::index(1200000);
        state.PauseTiming();
        const double again = timer.elapsed();
        if (!ok) {
            state.SkipWithError("indexing timed out");
            return;
        }
        state.counters["first_ms"] = first;
        state.counters["first_ms_per_1k_entries"] = first * 1000.0 / entries;
        state.counters["rewrite_ms"] = again;
        state.counters["rewrite_ms_per_1k_entries"] = again * 1000.0 / entries;
        state.ResumeTiming();
    }
}
BENCHMARK(PlaylistFileEntries)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A start on an indexed store, as the program starts: the store is opened, the factory
// reports that it is ready, the shared all-songs model shows its first 50 rows and then all of
// them, and the other shared lists of the pages load. The clock starts when the store is asked
// to open; nothing of the library is in the process before (run 0 first: it gives the memory
// the program holds without songs).
void ColdStart(benchmark::State& state)
{
    const int songs = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        if (!writeStoreOf(songs)) {
            state.SkipWithError("cannot write the library");
            return;
        }
        MafwTrackerModelFactory::setIndexerEnabled(false);
        QCoreApplication::processEvents();
        const double rssBefore = statusMiB("VmRSS:");
        resetPeakMemory();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        MafwTrackerModelFactory* factory = startFactory();
        QSharedPointer<MafwTrackerModel> model;
        QVector<QSharedPointer<MafwTrackerModel>> others;
        const bool first = waitFor(
            [&] {
                if (!model && factory->isReady())
                    model.reset(factory->getModel(MafwTrackerModel::AllSongs, 50, 0));
                return model && model->rowCount() >= qMin(50, songs)
                       && (songs > 0 || model->isComplete());
            },
            120000);
        const double firstMs = timer.nsecsElapsed() / 1e6;
        if (first) {
            model->fetchRemainingRows();
            others = startingModels(factory);
        }
        const bool all = first && waitFor([&] { return model->isComplete(); }, 300000);
        const double allMs = timer.nsecsElapsed() / 1e6;
        const bool rest = all
                          && waitFor(
                              [&] {
                                  for (const auto& m : others) {
                                      if (!m->isComplete())
                                          return false;
                                  }
                                  return true;
                              },
                              300000);
        state.PauseTiming();
        if (!rest || model->rowCount() != songs) {
            state.SkipWithError("the models did not load the library");
            return;
        }
        QCoreApplication::processEvents();
        const double held = statusMiB("VmRSS:") - rssBefore;
        state.counters["first_50_rows_ms"] = firstMs;
        state.counters["all_rows_ms"] = allMs;
        state.counters["rss_held_MiB"] = held;
        state.counters["peak_rss_MiB"] = statusMiB("VmHWM:");
        if (songs == 0)
            rssPerSongBaseline = held;
        else if (rssPerSongBaseline >= 0)
            state.counters["held_KiB_per_song"] = (held - rssPerSongBaseline) * 1024.0 / songs;
        others.clear();
        model.reset();
        delete factory;
        TrackerStore::destroy();
        state.ResumeTiming();
    }
}
BENCHMARK(ColdStart)->Arg(0)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A first index of a music folder the program's way: the factory starts the indexer, and the
// all-songs, albums, artists and playlist lists follow it as the pages hold them. Then a scan
// of the same folder with nothing changed. Linear indexing keeps files_per_second flat across
// the sizes.
void IndexTheProgramsWay(benchmark::State& state)
{
    const int files = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        freshStore();
        for (int i = 0; i < files; ++i) {
            AudioTags tags;
            tags.title = QStringLiteral("Song %1").arg((i * 7919LL) % files);
            tags.artist = QStringLiteral("Artist %1").arg(i / 70);
            tags.album = QStringLiteral("Album %1").arg(i / 14);
            tags.albumArtist = tags.artist;
            tags.genre = QStringLiteral("Pop");
            tags.trackNumber = i % 14 + 1;
            tags.year = 1980 + i % 40;
            const QString path
                = QStringLiteral("Artist %1/Album %2/%3.ogg").arg(i / 70).arg(i / 14).arg(i % 14);
            if (FixtureLibrary::addSong(path, tags, 1000).isEmpty()) {
                state.SkipWithError("cannot write the audio files");
                return;
            }
        }
        TrackerStore::destroy();
        MafwTrackerModelFactory::setIndexerEnabled(true);
        QCoreApplication::processEvents();
        resetPeakMemory();
        const double cpuBefore = cpuSeconds();
        const double modelsCpuBefore = threadCpuSeconds();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        MafwTrackerModelFactory* factory = startFactory();
        QSharedPointer<MafwTrackerModel> songs;
        QVector<QSharedPointer<MafwTrackerModel>> others;
        const bool done = waitFor(
            [&] {
                if (!songs && factory->isReady()) {
                    songs.reset(factory->getModel(MafwTrackerModel::AllSongs, 50, 0));
                    songs->fetchRemainingRows();
                    others = startingModels(factory);
                }
                TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
                return songs && indexer->finishedScans() > 0 && !indexer->isIndexing()
                       && songs->rowCount() == files;
            },
            1800000);
        state.PauseTiming();
        const double seconds = timer.elapsed() / 1000.0;
        const double cpu = cpuSeconds() - cpuBefore;
        const double modelsCpu = threadCpuSeconds() - modelsCpuBefore;
        if (!done) {
            state.SkipWithError("indexing did not end with every song in the list");
            return;
        }
        state.counters["seconds"] = seconds;
        state.counters["files_per_second"] = files / seconds;
        state.counters["cpu_seconds"] = cpu;
        state.counters["models_thread_cpu_seconds"] = modelsCpu;
        state.counters["peak_rss_MiB"] = statusMiB("VmHWM:");

        // The floor: the tags of every file read on one thread by the tag reader alone, what
        // any player has to spend to know the files.
        const double floorBefore = threadCpuSeconds();
        for (int i = 0; i < files; ++i) {
            TrackerTrackInfo info;
            QString reason;
            TrackerTagReader::read(FixtureLibrary::pathOf(
                                       QStringLiteral("Artist %1/Album %2/%3.ogg")
                                           .arg(i / 70)
                                           .arg(i / 14)
                                           .arg(i % 14)),
                                   &info, &reason);
        }
        const double floor = threadCpuSeconds() - floorBefore;
        state.counters["taglib_floor_cpu_seconds"] = floor;
        state.counters["cpu_over_taglib_floor"] = cpu / floor;
        state.counters["seconds_over_taglib_floor"] = seconds / floor;

        // Nothing changed: the scan finds nothing to write.
        QCoreApplication::processEvents();
        resetPeakMemory();
        const double rssBefore = statusMiB("VmRSS:");
        const double rescanCpu = cpuSeconds();
        timer.restart();
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        const int ticket = indexer->scanNow();
        const bool rescanned = waitFor([&] { return indexer->finishedScans() >= ticket; }, 600000);
        state.counters["rescan_cpu_seconds"] = cpuSeconds() - rescanCpu;
        state.counters["rescan_ms"] = timer.elapsed();
        state.counters["rescan_peak_over_rss_MiB"] = statusMiB("VmHWM:") - rssBefore;
        if (!rescanned)
            state.SkipWithError("the rescan did not end");
        others.clear();
        songs.reset();
        delete factory;
        TrackerStore::destroy();
        state.ResumeTiming();
    }
}
BENCHMARK(IndexTheProgramsWay)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TrackerStore::destroy();
    return 0;
}
