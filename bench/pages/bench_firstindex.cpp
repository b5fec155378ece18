// A first index as the user meets it: the program itself (build/src/parlovance, started as a
// process of its own with a private home) opens on an empty store over a music folder of
// generated, tagged files, and indexes it while its window shows the main page. The clock runs
// from the start until the program has gone quiet (the index written, the window's lists
// caught up, the covers thumbnailed); the figures are read from /proc as the program runs:
// wall, processor time of the whole process and of each of its threads by name, peak RSS.
//
// The floor beside them: the same files' tags read on one thread by the tag reader alone,
// what any player has to spend to know the files.
//
// FirstIndexOfTagFloods, the memory of a first index over files whose tag is a flood: a music
// folder of 20 generated songs and 0, 1 or 5 MP3 files behind a 15.9 MiB ID3v2.3 tag of 1.39
// million 12-byte title frames, as a download or a memory card may bring them. Reported: the
// program's peak RSS over the index and the RSS it holds once quiet, and their growth over the
// folder without such files. FirstIndexOfTagFloodsOfOtherKinds: the same 20 songs and five files
// of other kinds, each behind some 16 MiB of tiny fields in its usual tag: a WMA file's ASF
// descriptors (930,000), a WAV file's ID3v2 chunk (1.39 million frames), an Ogg Speex and an Ogg
// FLAC file's Vorbis comment (1.39 million fields), an MP4 file's ilst (670,000 items).
//
// Run under a private session bus, pinned, e.g.
//   dbus-run-session -- taskset -c 4-7 build-bench/bench/pages/bench_firstindex
//       --benchmark_repetitions=5 --benchmark_filter=FirstIndex/50000
// BENCH_TRACE=1 prints each run's per-thread figures. BENCH_MUSIC_DIR=DIR keeps the generated
// libraries in DIR/<files> for the next run of the benchmark (writing 50,000 files takes
// minutes); without it they go with the private home. BENCH_PROGRAM runs another build of the
// program (an older one, for a before-and-after).

#include "audiogenerator.h"
#include "fixturelibrary.h"
#include "id3tagbytes.h"
#include "kindfloods.h"
#include "testenvironment.h"
#include "trackertagreader.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

const char* const Words[] = { "Morning", "Echo",   "Falling", "Satellite", "Lanterns", "Drift",
                              "Horizon", "Embers", "Ärger",   "Ökonom",    "Утро",     "Эхо",
                              "夜明け",  "ירח",    "Ñandú",   "Zebra" };
const int WordCount = int(sizeof(Words) / sizeof(*Words));

QString musicDir;

// The frames of a flood's tag: 1.39 million of 12 bytes, 15.9 MiB.
const int FloodFrames = 1390000;

// The song's file in the music folder: 14 songs an album, 70 an artist.
QString songPath(int i)
{
    return QStringLiteral("%1/Artist %2/Album %3/%4.ogg")
        .arg(musicDir)
        .arg(i / 70)
        .arg(i / 14)
        .arg(i % 14);
}

// Points the program at the music folder of this size, writing the library there unless it
// has been written whole before; every third album has a cover in its first song, as the
// thumbnailer meets them in a real library.
bool writeLibrary(int files)
{
    const QString kept = qEnvironmentVariable("BENCH_MUSIC_DIR");
    musicDir = kept.isEmpty() ? TestEnvironment::home() + QStringLiteral("/library")
                              : QDir(kept).absolutePath();
    musicDir += QLatin1Char('/') + QString::number(files);
    QFile dirs(TestEnvironment::configHome() + QStringLiteral("/user-dirs.dirs"));
    if (!dirs.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    dirs.write("XDG_MUSIC_DIR=\"" + QFile::encodeName(musicDir) + "\"\n");
    dirs.close();
    const QString complete = musicDir + QStringLiteral(".complete");
    if (QFile::exists(complete))
        return true;
    QDir(musicDir).removeRecursively();
    for (int i = 0; i < files; ++i) {
        const int k = int((i * 7919LL) % files);
        AudioTags tags;
        tags.title = QStringLiteral("%1 %2 %3")
                         .arg(QString::fromUtf8(Words[k % WordCount]),
                              QString::fromUtf8(Words[(k / WordCount) % WordCount]))
                         .arg(k);
        tags.artist = QStringLiteral("Artist %1").arg(i / 70);
        tags.album = QStringLiteral("Album %1").arg(i / 14);
        tags.albumArtist = tags.artist;
        tags.genre = QStringLiteral("Pop");
        tags.trackNumber = i % 14 + 1;
        tags.year = 1980 + i % 40;
        if (i % 14 == 0 && (i / 14) % 3 == 0)
            tags.cover = AudioGenerator::coverImage(QColor::fromHsv((i / 14) % 360, 200, 220));
        if (FixtureLibrary::addSong(songPath(i), tags, 1000).isEmpty())
            return false;
    }
    QFile mark(complete);
    return mark.open(QIODevice::WriteOnly);
}

// Points the program's music folder at the floods' folder of the given name.
bool pointAtFloods(const QString& name)
{
    musicDir = TestEnvironment::home() + QStringLiteral("/floods/") + name;
    QFile dirs(TestEnvironment::configHome() + QStringLiteral("/user-dirs.dirs"));
    if (!dirs.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    dirs.write("XDG_MUSIC_DIR=\"" + QFile::encodeName(musicDir) + "\"\n");
    return true;
}

// Points the program at a folder of 20 generated songs and `floods` MP3 files behind a tag of
// 1.39 million tiny frames, written the first time it is asked for.
bool writeFloodLibrary(int floods)
{
    if (!pointAtFloods(QString::number(floods)))
        return false;
    if (QDir(musicDir).exists())
        return true;
    QDir().mkpath(musicDir);
    for (int i = 0; i < 20; ++i) {
        AudioTags tags;
        tags.title = QStringLiteral("Song %1").arg(i);
        tags.artist = QStringLiteral("Artist %1").arg(i / 10);
        tags.album = QStringLiteral("Album %1").arg(i / 5);
        tags.trackNumber = i % 5 + 1;
        if (!AudioGenerator::write(musicDir + QStringLiteral("/song %1.ogg").arg(i), tags, 1000))
            return false;
    }
    QFile audio(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 20000));
    if (!audio.open(QIODevice::ReadOnly))
        return false;
    const QByteArray frames = withoutId3v2(audio.readAll());
    for (int i = 0; i < floods; ++i) {
        const QByteArray tag = id3v2ManyFrames({ { "TIT2", 0, "Flood" } }, FloodFrames,
                                               { { "TPE1", 0, "Flood Artist" } });
        QFile file(musicDir + QStringLiteral("/flood %1.mp3").arg(i));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(tag + frames) != tag.size() + frames.size())
            return false;
    }
    return true;
}

// Points the program at a folder of the same 20 songs and five files of other kinds behind
// floods of tiny fields, written the first time it is asked for.
bool writeKindFloodLibrary()
{
    if (!writeFloodLibrary(0))
        return false;
    const QString plain = musicDir;
    if (!pointAtFloods(QStringLiteral("kinds")))
        return false;
    if (QDir(musicDir).exists())
        return true;
    QDir().mkpath(musicDir);
    for (int i = 0; i < 20; ++i) {
        const QString name = QStringLiteral("/song %1.ogg").arg(i);
        if (!QFile::copy(plain + name, musicDir + name))
            return false;
    }
    QHash<QString, QByteArray> encoded;
    for (const char* suffix : { "spx", "oga" }) {
        QFile audio(AudioGenerator::untaggedTemplate(QLatin1String(suffix), 20000));
        if (!audio.open(QIODevice::ReadOnly))
            return false;
        encoded.insert(QLatin1String(suffix), audio.readAll());
    }
    const struct
    {
        const char* kind;
        int fields;
    } floods[] = { { "ASF", 930000 },
                   { "WAV", FloodFrames },
                   { "Ogg Speex", FloodFrames },
                   { "Ogg FLAC", FloodFrames },
                   { "MP4", 670000 } };
    for (const auto& flood : floods) {
        QString name;
        const QByteArray bytes = kindFlood(QLatin1String(flood.kind), flood.fields, encoded, &name);
        QFile file(musicDir + QStringLiteral("/flood ") + name);
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly)
            || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

// Processor seconds of the tag reader alone over the library, on this thread.
double taglibFloorSeconds(int files)
{
    static QHash<int, double> floors;
    if (floors.contains(files))
        return floors.value(files);
    timespec before, after;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    for (int i = 0; i < files; ++i) {
        TrackerTrackInfo info;
        QString reason;
        TrackerTagReader::read(FixtureLibrary::pathOf(songPath(i)), &info, &reason);
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    const double seconds = (after.tv_sec - before.tv_sec) + (after.tv_nsec - before.tv_nsec) / 1e9;
    floors.insert(files, seconds);
    return seconds;
}

// Everything the program wrote at its last run goes; the music folder stays.
void freshProgramState()
{
    for (const QString& dir : { TestEnvironment::dataHome(), TestEnvironment::cacheHome() })
        QDir(dir).removeRecursively();
    QDir config(TestEnvironment::configHome());
    for (const QFileInfo& entry : config.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry.fileName() == QLatin1String("user-dirs.dirs"))
            continue;
        if (entry.isDir())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
    for (const QString& dir : { TestEnvironment::dataHome(), TestEnvironment::cacheHome() })
        QDir().mkpath(dir);
}

// Processor seconds (user and system) of a /proc stat line, after the command's parenthesis.
double statSeconds(const QByteArray& stat, QByteArray* name = nullptr)
{
    const int open = stat.indexOf('(');
    const int close = stat.lastIndexOf(')');
    if (open < 0 || close < 0)
        return -1;
    if (name)
        *name = stat.mid(open + 1, close - open - 1);
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // utime and stime are the 14th and 15th fields; the rest begins with the 3rd.
    if (fields.size() < 13)
        return -1;
    static const double ticks = double(sysconf(_SC_CLK_TCK));
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) / ticks;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double statusMiB(qint64 pid, const char* key)
{
    for (const QByteArray& line :
         readFile(QStringLiteral("/proc/%1/status").arg(pid)).split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// The figures of one run of the program, taken from /proc while it runs.
struct ProgramRun
{
    double wallSeconds = 0;   // start -> the last moment the program was busy
    double cpuSeconds = 0;    // the whole process, threads that ended included
    double windowSeconds = 0; // the window's (main) thread
    double peakMiB = 0;
    double heldMiB = 0;               // resident once quiet
    QHash<QByteArray, double> byName; // threads by their name, the largest figure each had
};

// Starts the program, samples its threads until it has been quiet for a while, ends it.
bool runProgram(const QString& program, ProgramRun* run)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    // Its warnings show; the debug lines of every cover and folder would swamp them.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false"));
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    if (!process.waitForStarted(30000))
        return false;
    const qint64 pid = process.processId();
    const QString taskDir = QStringLiteral("/proc/%1/task").arg(pid);
    QHash<QByteArray, QPair<QByteArray, double>> threads; // tid -> name, seconds
    double lastCpu = 0;
    qint64 lastBusyMs = 0;
    // Quiet: less than 30 ms of processor time in the last two seconds, which no index,
    // list or thumbnailer at work stays under.
    const qint64 QuietMs = 2000;
    QList<QPair<qint64, double>> samples;
    while (process.state() == QProcess::Running && clock.elapsed() < 1800000) {
        QThread::msleep(50);
        const qint64 now = clock.elapsed();
        const double cpu = statSeconds(readFile(QStringLiteral("/proc/%1/stat").arg(pid)));
        if (cpu < 0)
            break;
        for (const QString& tid : QDir(taskDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QByteArray name;
            const double seconds = statSeconds(readFile(taskDir + '/' + tid
                                                        + QStringLiteral("/stat")),
                                               &name);
            if (seconds >= 0)
                threads.insert(tid.toLatin1(), { name, seconds });
        }
        run->peakMiB = qMax(run->peakMiB, statusMiB(pid, "VmHWM:"));
        if (cpu > lastCpu + 0.005)
            lastBusyMs = now;
        lastCpu = cpu;
        samples.append({ now, cpu });
        while (samples.size() > 1 && samples.first().first < now - QuietMs)
            samples.removeFirst();
        if (now > 5000 && now - samples.first().first >= QuietMs - 100
            && cpu - samples.first().second < 0.03)
            break;
    }
    const bool quiet = process.state() == QProcess::Running;
    run->heldMiB = statusMiB(pid, "VmRSS:");
    run->wallSeconds = lastBusyMs / 1000.0;
    run->cpuSeconds = lastCpu;
    for (auto it = threads.cbegin(); it != threads.cend(); ++it) {
        if (it.key() == QByteArray::number(pid))
            run->windowSeconds = it.value().second;
        else
            run->byName[it.value().first] += it.value().second;
    }
    process.terminate();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    return quiet;
}

QString programPath()
{
    const QString other = qEnvironmentVariable("BENCH_PROGRAM");
    return other.isEmpty() ? TestEnvironment::binaryDir() + QStringLiteral("/src/parlovance")
                           : other;
}

void FirstIndex(benchmark::State& state)
{
    const int files = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        if (!writeLibrary(files)) {
            state.SkipWithError("cannot write the audio files");
            return;
        }
        const double floor = taglibFloorSeconds(files);
        freshProgramState();
        ProgramRun run;
        state.ResumeTiming();
        const bool quiet = runProgram(programPath(), &run);
        state.PauseTiming();
        if (!quiet) {
            state.SkipWithError("the program ended or did not go quiet");
            return;
        }
        state.counters["seconds"] = run.wallSeconds;
        state.counters["cpu_seconds"] = run.cpuSeconds;
        state.counters["window_thread_cpu_seconds"] = run.windowSeconds;
        state.counters["peak_rss_MiB"] = run.peakMiB;
        state.counters["taglib_floor_cpu_seconds"] = floor;
        state.counters["cpu_over_taglib_floor"] = run.cpuSeconds / floor;
        state.counters["seconds_over_taglib_floor"] = run.wallSeconds / floor;
        double named = run.windowSeconds;
        for (auto it = run.byName.cbegin(); it != run.byName.cend(); ++it)
            named += it.value();
        if (qEnvironmentVariableIsSet("BENCH_TRACE")) {
            std::printf("files %d: wall %.2f s, cpu %.2f s, window thread %.2f s\n", files,
                        run.wallSeconds, run.cpuSeconds, run.windowSeconds);
            for (auto it = run.byName.cbegin(); it != run.byName.cend(); ++it)
                std::printf("  thread %-16s %.2f s\n", it.key().constData(), it.value());
            std::printf("  threads that ended %.2f s\n", run.cpuSeconds - named);
            std::fflush(stdout);
        }
        state.ResumeTiming();
    }
}
BENCHMARK(FirstIndex)
    ->Arg(20000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The run over the folder without floods, which comes first.
ProgramRun plainFloodRun;

void FirstIndexOfTagFloods(benchmark::State& state)
{
    const int floods = int(state.range(0));
    // -1: the floods of other kinds.
    const bool kinds = floods < 0;
    ProgramRun& plain = plainFloodRun;
    for (auto _ : state) {
        state.PauseTiming();
        if (!(kinds ? writeKindFloodLibrary() : writeFloodLibrary(floods))) {
            state.SkipWithError("cannot write the audio files");
            return;
        }
        freshProgramState();
        ProgramRun run;
        state.ResumeTiming();
        const bool quiet = runProgram(programPath(), &run);
        state.PauseTiming();
        if (!quiet) {
            state.SkipWithError("the program ended or did not go quiet");
            return;
        }
        state.counters["seconds"] = run.wallSeconds;
        state.counters["peak_rss_MiB"] = run.peakMiB;
        state.counters["held_rss_MiB"] = run.heldMiB;
        if (floods == 0) {
            plain = run;
        } else if (plain.peakMiB > 0) {
            state.counters["peak_added_MiB"] = run.peakMiB - plain.peakMiB;
            state.counters["held_added_MiB"] = run.heldMiB - plain.heldMiB;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(FirstIndexOfTagFloods)
    ->Arg(0)
    ->Arg(1)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

void FirstIndexOfTagFloodsOfOtherKinds(benchmark::State& state)
{
    FirstIndexOfTagFloods(state);
}
BENCHMARK(FirstIndexOfTagFloodsOfOtherKinds)
    ->Arg(-1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!QFile::exists(programPath())) {
        std::fprintf(stderr, "no program at %s: build it first\n", qPrintable(programPath()));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
