// The program itself (build/src/parlovance) asked over the bus to play a file from outside the
// library whose tag is a flood, as a download or a memory card may bring it: on a private X
// display and a private session bus, with a library of 10 generated songs in a private home,
// the program starts, indexes the library (a later start finds it indexed) and goes quiet; then
// `play` names the file.
//   Arg 0 (Ordinary): an MP3 of 20 s behind a tag of a title and an artist.
//   Arg 1 (Flood): the same audio behind a 15.9 MiB ID3v2.3 tag of 1.39 million 12-byte title
//     frames.
//   Args 2 to 6: 20 s of Ogg Vorbis, Ogg Opus, Ogg Speex, Ogg FLAC and FLAC whose Vorbis comment
//     holds a title, 1.39 million tiny fields and an artist (some 16 MiB), which GStreamer reads
//     whole unless the player hands it bounded.
// Reported: the program's resident memory just before the call, its peak from the call until
// 5 s after the file plays (the peak is begun anew at the call, /proc/PID/clear_refs), what it
// holds then, the growth of both over the memory before the call, and whether the file plays.
//
// Run under nothing else, e.g.
//   build-bench/bench/shell/bench_tagflood
// BENCH_PROGRAM another build of the program (an older one, for a before-and-after);
// BENCH_DISPLAY an X display already running instead of a private Xvfb.

#include "../../tests/e2e/playerdriver.h"
#include "audiogenerator.h"
#include "id3tagbytes.h"
#include "kindfloods.h"
#include "processmemory.h"
#include "programbenchmarks.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

const int Songs = 10;
const int SongMs = 20000;
// 1.39 million frames of 12 bytes: a tag of 15.9 MiB.
const int FloodFrames = 1390000;
const int TimeoutMs = 120000;
const int PlayingMs = 5000;

using Bench = ProgramBenchmarks;

// The kinds of Args 2 to 6, by TagLib's names for them (kindFlood()).
const char* const CommentKinds[] = { "Ogg Vorbis", "Ogg Opus", "Ogg Speex", "Ogg FLAC", "FLAC" };
const char* const CommentSuffixes[] = { "ogg", "opus", "spx", "oga", "flac" };
const int CommentKindCount = int(sizeof(CommentKinds) / sizeof(CommentKinds[0]));

QString outsidePath(int flood)
{
    if (flood >= 2)
        return TestEnvironment::home()
               + QStringLiteral("/Downloads/flood.%1").arg(QLatin1String(CommentSuffixes[flood - 2]));
    return TestEnvironment::home()
           + (flood ? QStringLiteral("/Downloads/flood.mp3")
                    : QStringLiteral("/Downloads/ordinary.mp3"));
}

bool writeFiles()
{
    for (int i = 0; i < Songs; ++i) {
        AudioTags tags;
        tags.title = QStringLiteral("Song %1").arg(i);
        tags.artist = QStringLiteral("Artist %1").arg(i / 5);
        tags.album = QStringLiteral("Album %1").arg(i / 5);
        tags.trackNumber = i % 5 + 1;
        if (!AudioGenerator::write(TestEnvironment::musicDir() + QStringLiteral("/%1.ogg").arg(i),
                                   tags, SongMs))
            return false;
    }
    QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), SongMs));
    if (!audio.open(QIODevice::ReadOnly))
        return false;
    const QByteArray frames = withoutId3v2(audio.readAll());
    const QByteArray tags[] = { id3v2(3, { { "TIT2", 0, "Ordinary" }, { "TPE1", 0, "Outside" } }),
                                id3v2ManyFrames({ { "TIT2", 0, "Flood" } }, FloodFrames,
                                                { { "TPE1", 0, "Outside" } }) };
    QDir().mkpath(TestEnvironment::home() + QStringLiteral("/Downloads"));
    for (int flood = 0; flood < 2; ++flood) {
        QFile file(outsidePath(flood));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(tags[flood] + frames) != tags[flood].size() + frames.size())
            return false;
    }
    QHash<QString, QByteArray> encoded;
    for (const char* suffix : { "ogg", "opus", "spx", "oga", "flac" }) {
        QFile template_(AudioGenerator::untaggedTemplate(QLatin1String(suffix), SongMs));
        if (!template_.open(QIODevice::ReadOnly))
            return false;
        encoded.insert(QLatin1String(suffix), template_.readAll());
    }
    for (int k = 0; k < CommentKindCount; ++k) {
        QString name;
        const QByteArray bytes = kindFlood(QLatin1String(CommentKinds[k]), FloodFrames, encoded,
                                           &name);
        QFile file(outsidePath(k + 2));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

QByteArray readProc(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double statusMiB(qint64 pid, const char* key)
{
    return statusKiB(key, pid) / 1024.0;
}

// User and system seconds of the whole process.
double processorSeconds(qint64 pid)
{
    const QByteArray stat = readProc(pid, "stat");
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    static const double ticks = double(sysconf(_SC_CLK_TCK));
    return fields.size() < 13 ? -1 : (fields.at(11).toDouble() + fields.at(12).toDouble()) / ticks;
}

// Waits until the program has spent under 30 ms of processor time in 2 s: its start, index and
// lists done.
bool waitUntilQuiet(qint64 pid)
{
    QElapsedTimer clock;
    clock.start();
    QList<QPair<qint64, double>> samples;
    while (clock.elapsed() < TimeoutMs) {
        QTest::qWait(200);
        const double seconds = processorSeconds(pid);
        if (seconds < 0)
            return false;
        samples.append({ clock.elapsed(), seconds });
        while (samples.size() > 1 && samples.first().first < clock.elapsed() - 2000)
            samples.removeFirst();
        if (clock.elapsed() - samples.first().first >= 1800
            && samples.last().second - samples.first().second < 0.03)
            return true;
    }
    return false;
}

void PlayOverTheBus(benchmark::State& state)
{
    const int flood = int(state.range(0));
    static const bool written = writeFiles();
    if (!written) {
        state.SkipWithError("the files could not be written");
        return;
    }
    for (auto _ : state) {
        PlayerDriver player(Bench::programPath());
        if (!player.start()) {
            state.SkipWithError("the program did not start");
            return;
        }
        const qint64 pid = player.processId();
        // The first start indexes the library; a later one finds it indexed.
        static bool indexedBefore = false;
        if (!Bench::waitForIndexing(player, indexedBefore ? 5000 : TimeoutMs)
            || !waitUntilQuiet(pid)) {
            state.SkipWithError("the program did not go quiet after its start");
            return;
        }
        indexedBefore = true;
        const double before = statusMiB(pid, "VmRSS:");
        QFile clear(QStringLiteral("/proc/%1/clear_refs").arg(pid));
        if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
            state.SkipWithError("the program's peak memory cannot be begun anew");
            return;
        }
        clear.close();
        player.call(QStringLiteral("play"), { QStringList { outsidePath(flood) } });
        const bool plays = QTest::qWaitFor([&] { return player.playbackState() == 1; }, TimeoutMs);
        QTest::qWait(PlayingMs);
        const double peak = statusMiB(pid, "VmHWM:");
        const double held = statusMiB(pid, "VmRSS:");
        state.counters["rss_before_MiB"] = before;
        state.counters["peak_MiB"] = peak;
        state.counters["held_MiB"] = held;
        state.counters["peak_added_MiB"] = peak - before;
        state.counters["held_added_MiB"] = held - before;
        state.counters["plays"] = plays ? 1 : 0;
        if (!player.isRunning()) {
            state.SkipWithError("the program ended");
            return;
        }
        player.stop();
    }
}
BENCHMARK(PlayOverTheBus)->DenseRange(0, 1 + CommentKindCount)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return ProgramBenchmarks::run(argc, argv);
}
