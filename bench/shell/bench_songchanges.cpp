// The program itself (build/src/parlovance) through song changes, as another program steers
// it: on a private X display and a private session bus, with a library of 20,000 generated songs
// in a private home, the playback service's `next` is called again and again. Two benchmarks:
//
// SongChangesOverTheBus, the program's memory: the Songs page's Shuffle row is tapped and
// `next` is called 22,000 times, each once the service has announced the song before. Every
// 1,000 changes the program's memory is read: its resident memory, and, through gdb, what its
// allocator holds in use (malloc_stats) and its resident memory once the allocator has given
// back its free pages (malloc_trim). Resident memory alone also counts the free pieces the
// allocator keeps between the ones in use, which come and go with the order of frees; what is
// in use is what the program keeps.
// Reported: each figure after the first 2,000 changes (by then the caches of the store, the
// covers and GStreamer have grown to their working size) and at the end, and the growth per
// change over the 20,000 after them: end to end, and as the slope through every sample.
//
// ProcessorTimePerSongChange, what a change costs the processors: the Songs page's first song
// is tapped (the whole library queued in title order), and once the start's work is done (the
// window and the store idle), `next` is called every 300 ms for 60 s, as a listener skipping
// through a list does. The program's processor time over those 60 s and the 2 s after the
// last call is read from /proc and reported per change: the whole process, its window (main)
// thread, and the store's threads (the store's readers and its writer, the program's threads
// that carry no name of their own; GStreamer's, Qt's and the other libraries' threads are
// named). Only the song that plays decodes meanwhile, the same in every build, and belongs to
// neither the window nor the store.
//
// Run under nothing else, e.g.
//   build-bench/bench/shell/bench_songchanges --benchmark_filter=ProcessorTime
// BENCH_SONGS and BENCH_CHANGES change the library's size and the number of changes (22,000
// and 200 unless set); BENCH_PAUSE_MS the time left to each song after its announcement (20 ms:
// the song's pipeline starts before the next change); BENCH_INTERVAL_MS the time between two
// calls of the processor time benchmark (300 ms); BENCH_PROGRAM another build of the program
// (an older one, for a before-and-after); BENCH_DISPLAY an X display already running instead
// of a private Xvfb; BENCH_GDB=0 reads resident memory only; BENCH_TRACE=1 prints every sample
// and the processor time of each of the program's threads.

#include "../../tests/e2e/playerdriver.h"
#include "fixturelibrary.h"
#include "processmemory.h"
#include "programbenchmarks.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

namespace {

const int WarmChanges = 2000;
const int SampleEvery = 1000;
const int SongMs = 5000;
const int TimeoutMs = 120000;

using Bench = ProgramBenchmarks;

struct Sample
{
    int changes = 0;
    double residentMiB = 0;
    double inUseMiB = 0;   // what the allocator holds in use; 0 without gdb
    double trimmedMiB = 0; // resident once the allocator gave back its free pages
};

// Asks the program's allocator, through gdb, for its figures (printed on the program's error
// output, which the driver keeps) and to give back its free pages.
Sample sample(PlayerDriver& player, int changes, bool useGdb)
{
    Sample s;
    s.changes = changes;
    const qint64 pid = player.processId();
    s.residentMiB = residentKiB(pid) / 1024.0;
    if (!useGdb)
        return s;
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start(QStringLiteral("gdb"),
              { QStringLiteral("/proc/%1/exe").arg(pid), QStringLiteral("-p"), QString::number(pid),
                QStringLiteral("-batch"), QStringLiteral("-ex"),
                QStringLiteral("call (void)malloc_stats()"), QStringLiteral("-ex"),
                QStringLiteral("call (int)malloc_trim(0)") });
    if (!gdb.waitForFinished(60000))
        return s;
    // The totals come last: "Total (incl. mmap):", then "in use bytes = N".
    QString log;
    if (!QTest::qWaitFor(
            [&] {
                return (log = player.log()).lastIndexOf(QStringLiteral("max mmap bytes"))
                       > log.lastIndexOf(QStringLiteral("Total (incl. mmap)"));
            },
            10000))
        return s;
    const int total = log.lastIndexOf(QStringLiteral("Total (incl. mmap)"));
    static const QRegularExpression inUse(QStringLiteral("in use bytes\\s*=\\s*(\\d+)"));
    const QRegularExpressionMatch match = inUse.match(log, total);
    if (total >= 0 && match.hasMatch())
        s.inUseMiB = match.captured(1).toDouble() / (1024.0 * 1024.0);
    s.trimmedMiB = residentKiB(pid) / 1024.0;
    return s;
}

// Songs of unique titles, so that each change is announced: ten an album, five albums an
// artist, and every third album with a cover of its own in its songs.
bool writeLibrary(int songs)
{
    for (int i = 0; i < songs; ++i) {
        const int album = i / 10;
        AudioTags tags;
        tags.title = QStringLiteral("Song %1").arg(i, 5, 10, QLatin1Char('0'));
        tags.artist = QStringLiteral("Artist %1").arg(album / 5);
        tags.albumArtist = tags.artist;
        tags.album = QStringLiteral("Album %1").arg(album);
        tags.genre = QStringLiteral("Pop");
        tags.trackNumber = i % 10 + 1;
        if (album % 3 == 0)
            tags.cover = AudioGenerator::coverImage(QColor::fromHsv(album % 360, 200, 220), 200);
        const QString path = QStringLiteral("%1/%2/%3.ogg")
                                 .arg(tags.artist, tags.album, tags.title);
        if (FixtureLibrary::addSong(path, tags, SongMs).isEmpty())
            return false;
    }
    return true;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = TimeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

// The queue's counter under the cover ("1/20,000"): the number after the slash.
int queueSize(const PlayerDriver& player)
{
    static const QRegularExpression counter(QStringLiteral("^\\d+/([\\d,. ]+)$"));
    for (const PlayerDriver::ShownText& shown : player.shownTexts()) {
        const QRegularExpressionMatch match = counter.match(shown.text);
        if (match.hasMatch())
            return match.captured(1).remove(QRegularExpression(QStringLiteral("\\D"))).toInt();
    }
    return 0;
}

// Least-squares slope of a figure (MiB) over changes, in KiB a change, from the warm-up on.
double slopeKiB(const QVector<Sample>& samples, double Sample::*figure)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0, n = 0;
    for (const Sample& p : samples) {
        if (p.changes < WarmChanges)
            continue;
        sx += p.changes;
        sy += p.*figure;
        sxx += double(p.changes) * p.changes;
        sxy += p.changes * (p.*figure);
        ++n;
    }
    return n < 2 ? 0 : (n * sxy - sx * sy) / (n * sxx - sx * sx) * 1024.0;
}

// A figure's growth per change from the warm-up to the end, in KiB.
double growthKiB(const QVector<Sample>& samples, double Sample::*figure)
{
    for (const Sample& p : samples) {
        if (p.changes == WarmChanges)
            return (samples.last().*figure - p.*figure) * 1024.0
                   / (samples.last().changes - WarmChanges);
    }
    return 0;
}

void SongChangesOverTheBus(benchmark::State& state)
{
    const int songs = Bench::setting("BENCH_SONGS", 20000);
    const int changes = qMax(Bench::setting("BENCH_CHANGES", 22000), WarmChanges + SampleEvery);
    const int pauseMs = Bench::setting("BENCH_PAUSE_MS", 20);
    const bool trace = qEnvironmentVariableIsSet("BENCH_TRACE");
    const bool useGdb = Bench::setting("BENCH_GDB", 1) != 0;
    if (!writeLibrary(songs)) {
        state.SkipWithError("the library could not be written");
        return;
    }
    for (auto _ : state) {
        PlayerDriver player(Bench::programPath());
        if (!player.start()) {
            state.SkipWithError("the program did not start");
            return;
        }
        // The first start indexes the library; the whole library is queued once it is read.
        bool seen = false;
        const bool indexed = Bench::waitForIndexing(player, TimeoutMs, &seen);
        if (!seen)
            std::fprintf(stderr, "the indexing notice was not seen\n");
        if (!indexed || !Bench::tapText(player, QStringLiteral("Songs"), TimeoutMs)
            || !Bench::tapText(player, QStringLiteral("Shuffle"), TimeoutMs)
            || !waitFor([&] { return queueSize(player) == songs; })) {
            state.SkipWithError("the library's songs do not play");
            return;
        }
        QVector<Sample> samples;
        samples.append(sample(player, 0, useGdb));
        int unannounced = 0;
        for (int change = 1; change <= changes; ++change) {
            const QStringList before = player.media();
            player.call(QStringLiteral("next"));
            if (!waitFor([&] { return player.media() != before; }, 2000))
                ++unannounced;
            if (pauseMs > 0)
                QTest::qWait(pauseMs);
            if (change % SampleEvery == 0) {
                samples.append(sample(player, change, useGdb));
                const Sample& s = samples.last();
                if (trace)
                    std::fprintf(stderr,
                                 "%d changes: %.1f MiB resident, %.1f MiB in use, %.1f MiB "
                                 "resident after a trim\n",
                                 change, s.residentMiB, s.inUseMiB, s.trimmedMiB);
            }
            if (!player.isRunning()) {
                state.SkipWithError("the program ended");
                return;
            }
        }
        const Sample& warm = samples.at(WarmChanges / SampleEvery);
        const Sample& last = samples.last();
        state.counters["rss_warm_MiB"] = warm.residentMiB;
        state.counters["rss_last_MiB"] = last.residentMiB;
        state.counters["rss_growth_KiB_per_change"] = growthKiB(samples, &Sample::residentMiB);
        state.counters["rss_slope_KiB_per_change"] = slopeKiB(samples, &Sample::residentMiB);
        if (useGdb) {
            state.counters["in_use_warm_MiB"] = warm.inUseMiB;
            state.counters["in_use_last_MiB"] = last.inUseMiB;
            state.counters["in_use_growth_KiB_per_change"] = growthKiB(samples, &Sample::inUseMiB);
            state.counters["in_use_slope_KiB_per_change"] = slopeKiB(samples, &Sample::inUseMiB);
            state.counters["trimmed_rss_slope_KiB_per_change"] = slopeKiB(samples,
                                                                          &Sample::trimmedMiB);
        }
        state.counters["unannounced"] = unannounced;
        player.stop();
    }
}
BENCHMARK(SongChangesOverTheBus)->Unit(benchmark::kSecond)->Iterations(1);

// The program's processor time, in seconds, from /proc.
struct ProcessorTime
{
    double process = 0; // every thread, those that ended included
    double window = 0;  // the main thread
    double store = 0;   // the threads that carry the program's own name, but the main one
    QHash<qint64, double> threads; // each thread alive, by id
    QHash<qint64, QByteArray> names;
};

// User and system seconds of a /proc stat line, and the thread's name.
double statSeconds(const QByteArray& stat, QByteArray* name)
{
    const int open = stat.indexOf('(');
    const int close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return -1;
    *name = stat.mid(open + 1, close - open - 1);
    // utime and stime are the 14th and 15th fields; what follows the name begins with the 3rd.
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    static const double ticks = double(sysconf(_SC_CLK_TCK));
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) / ticks;
}

QByteArray readProc(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's processor time now, of the whole and of each thread alive.
ProcessorTime processorTime(qint64 pid)
{
    ProcessorTime t;
    QByteArray programName;
    t.process = statSeconds(readProc(QStringLiteral("/proc/%1/stat").arg(pid)), &programName);
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& entry : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QByteArray name;
        const double seconds = statSeconds(readProc(tasks + QLatin1Char('/') + entry
                                                    + QStringLiteral("/stat")),
                                           &name);
        if (seconds < 0)
            continue;
        const qint64 tid = entry.toLongLong();
        t.threads.insert(tid, seconds);
        t.names.insert(tid, name);
        if (tid == pid)
            t.window = seconds;
        else if (name == programName)
            t.store += seconds;
    }
    return t;
}

// The store's threads' time between two readings, thread by thread (one that began in between
// counts from nothing).
double storeSeconds(const ProcessorTime& from, const ProcessorTime& to, qint64 pid)
{
    const QByteArray programName = to.names.value(pid);
    double seconds = 0;
    for (auto it = to.threads.cbegin(); it != to.threads.cend(); ++it) {
        if (it.key() != pid && to.names.value(it.key()) == programName)
            seconds += it.value() - from.threads.value(it.key());
    }
    return seconds;
}

// Waits until the window and the store have been idle for a while (under 20 ms of processor
// time in 2 s): the start's reads, lists and covers done.
bool waitUntilIdle(qint64 pid, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QList<QPair<qint64, double>> samples;
    while (clock.elapsed() < timeoutMs) {
        QTest::qWait(200);
        const ProcessorTime now = processorTime(pid);
        samples.append({ clock.elapsed(), now.window + now.store });
        while (samples.size() > 1 && samples.first().first < clock.elapsed() - 2000)
            samples.removeFirst();
        if (clock.elapsed() - samples.first().first >= 1800
            && samples.last().second - samples.first().second < 0.02)
            return true;
    }
    return false;
}

double loadAverage()
{
    return readProc(QStringLiteral("/proc/loadavg")).split(' ').value(0).toDouble();
}

void ProcessorTimePerSongChange(benchmark::State& state)
{
    const int songs = Bench::setting("BENCH_SONGS", 20000);
    const int changes = Bench::setting("BENCH_CHANGES", 200, 1);
    const int intervalMs = Bench::setting("BENCH_INTERVAL_MS", 300, 1);
    // After the last call: its change done, well before the song it started ends by itself.
    const int TailMs = 2000;
    if (!writeLibrary(songs)) {
        state.SkipWithError("the library could not be written");
        return;
    }
    for (auto _ : state) {
        PlayerDriver player(Bench::programPath());
        if (!player.start()) {
            state.SkipWithError("the program did not start");
            return;
        }
        const qint64 pid = player.processId();
        Bench::waitForIndexing(player, TimeoutMs);
        if (!Bench::tapText(player, QStringLiteral("Songs"), TimeoutMs)) {
            state.SkipWithError("the Songs page did not open");
            return;
        }
        const QString first = QStringLiteral("Song %1").arg(0, 5, 10, QLatin1Char('0'));
        // A tap the moment the page has opened is not taken (by the older builds neither): the
        // song is tapped again until it plays (BENCH_TRACE tells how many taps it took).
        const bool trace = qEnvironmentVariableIsSet("BENCH_TRACE");
        bool playing = false;
        int taps = 0;
        while (taps < 5 && !playing) {
            ++taps;
            playing = Bench::tapText(player, first, TimeoutMs)
                      && waitFor([&] { return queueSize(player) == songs; }, 10000);
        }
        if (trace)
            std::fprintf(stderr, "the first song plays after %d tap(s)\n", taps);
        if (!playing) {
            state.SkipWithError("the library's songs do not play");
            return;
        }
        if (!waitUntilIdle(pid, TimeoutMs))
            std::fprintf(stderr, "the program did not go idle before the changes\n");
        if (trace)
            std::fprintf(stderr, "the changes begin (the program's pid %lld)\n", pid);
        const double loadBefore = loadAverage();
        const ProcessorTime before = processorTime(pid);
        QElapsedTimer clock;
        clock.start();
        int unannounced = 0;
        QStringList announced = player.media();
        for (int change = 0; change < changes; ++change) {
            const qint64 due = qint64(change) * intervalMs;
            if (clock.elapsed() < due)
                QTest::qWait(int(due - clock.elapsed()));
            if (change > 0 && player.media() == announced)
                ++unannounced;
            announced = player.media();
            player.call(QStringLiteral("next"));
        }
        QTest::qWait(TailMs);
        if (player.media() == announced)
            ++unannounced;
        const ProcessorTime after = processorTime(pid);
        const double seconds = clock.elapsed() / 1000.0;
        if (!player.isRunning()) {
            state.SkipWithError("the program ended");
            return;
        }
        const double process = after.process - before.process;
        const double window = after.window - before.window;
        const double store = storeSeconds(before, after, pid);
        const double perChange = 1000.0 / changes;
        state.counters["changes"] = changes;
        state.counters["seconds"] = seconds;
        state.counters["cpu_seconds"] = process;
        state.counters["cpu_ms_per_change"] = process * perChange;
        state.counters["window_thread_ms_per_change"] = window * perChange;
        state.counters["store_threads_ms_per_change"] = store * perChange;
        state.counters["other_threads_ms_per_change"] = (process - window - store) * perChange;
        state.counters["unannounced"] = unannounced;
        state.counters["load_before"] = loadBefore;
        state.counters["load_after"] = loadAverage();
        if (trace) {
            for (auto it = after.threads.cbegin(); it != after.threads.cend(); ++it) {
                const double spent = it.value() - before.threads.value(it.key());
                if (spent > 0)
                    std::fprintf(stderr, "thread %lld (%s): %.2f s\n", it.key(),
                                 after.names.value(it.key()).constData(), spent);
            }
        }
        player.stop();
    }
}
BENCHMARK(ProcessorTimePerSongChange)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return ProgramBenchmarks::run(argc, argv);
}
