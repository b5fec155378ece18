// Other programs calling the playback service over and over: 10,000 calls in a row on a real
// private session bus, with the player playing a real library. Reports the calls per second,
// the memory held after them compared with after the first 1,000, and how long the service
// then takes to answer.
//
// PlayFlood: a program that floods the service with play requests, 1,000 a second for 30 s
// (BENCH_FLOOD_SECONDS to change it), while another program asks for the playback state every
// 100 ms. The requests name files from outside the library (argument 0: each one a stream for
// the player sheet), library songs by URN (1) or library files by path (2). Reports the longest
// wait for an answer during the flood, how long after the flood's end a question asked then is
// answered, how many items the player started, and the memory held.
//
// FileCheck: the check of a local file that every play, playTempFile and playPlaylist makes
// (PlaylistFileProbe), on the window's thread, of large and small files of each kind: the time
// per check, and the verdict (refused or not). LargeFileFlood: 20 calls a second for 30 s
// (BENCH_FLOOD_SECONDS) naming 100 MB files, play, playTempFile and playPlaylist in turn, while
// another program asks for the playback state every 100 ms: the texts, which are refused
// (argument 0), or data, which a decoder is given to try (1). Reports the answers' waits as
// PlayFlood does. The files are written once into the benchmark's home (some 350 MB).

#include "../../tests/playback/hubtestlibrary.h"
#include "benchmarkbus.h"
#include "busflooder.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "playback/playlistfileprobe.h"
#include "playback/playstate.h"
#include "processmemory.h"
#include "shell/parlovanceapplicationservice.h"
#include "shell/parlovanceservice.h"
#include "stateprober.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QUrl>

#include <benchmark/benchmark.h>

namespace {

const int Calls = 10000;
const int Warmup = 1000;
const int Batch = 100;
const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");

QDBusMessage message(int i)
{
    // What a busy or hostile peer sends: state and media questions, transport, and requests
    // that must be refused.
    static const char* const methods[] = { "playbackState", "currentMedia",     "play",
                                           "playTempFile",  "openUlkMusicLink", "playbackState",
                                           "pausePlayback", "resumePlayback" };
    const QString method = QLatin1String(methods[i % 8]);
    QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), Interface,
                                                    method);
    if (method == QLatin1String("play"))
        m.setArguments({ QStringList { QStringLiteral("urn:x> || true ) } #%1").arg(i) } });
    else if (method == QLatin1String("playTempFile"))
        m.setArguments({ QStringList() });
    else if (method == QLatin1String("openUlkMusicLink"))
        m.setArguments({ QStringList { QString(1024, QLatin1Char('x')) } });
    return m;
}

bool send(QDBusConnection& caller, int from, int count)
{
    QList<QDBusPendingCall> pending;
    for (int i = from; i < from + count; ++i)
        pending << caller.asyncCall(message(i), 20000);
    QElapsedTimer waited;
    waited.start();
    while (!pending.last().isFinished() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return pending.last().isFinished();
}

void ServiceCallsInARow(benchmark::State& state)
{
    if (!HubTestLibrary::build()) {
        state.SkipWithError("the library could not be built");
        return;
    }
    PlayState* hub = PlayState::instance();
    QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    hub->appendModel(seven.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(0, PlayState::AllSongsQueue);
    ParlovanceService::instance();
    QDBusConnection caller = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                           QStringLiteral("bench-caller"));
    for (auto _ : state) {
        if (!send(caller, 0, Warmup)) {
            state.SkipWithError("the service stopped answering");
            return;
        }
        const double afterWarmup = residentKiB();
        QElapsedTimer timer;
        timer.start();
        for (int i = Warmup; i < Calls; i += Batch) {
            if (!send(caller, i, Batch)) {
                state.SkipWithError("the service stopped answering");
                return;
            }
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double afterAll = residentKiB();

        QElapsedTimer answer;
        answer.start();
        send(caller, 0, 1);
        state.counters["calls_per_s"] = (Calls - Warmup) / seconds;
        state.counters["rss_growth_kib"] = afterAll - afterWarmup;
        state.counters["rss_kib"] = afterAll;
        state.counters["answer_after_ms"] = answer.nsecsElapsed() / 1e6;
        state.counters["still_playing"] = hub->state(hub->mode()) == PlayState::Playing
                                          || hub->state(hub->mode()) == PlayState::Paused;
    }
    ParlovanceService::destroyInstance();
    QDBusConnection::disconnectFromBus(QStringLiteral("bench-caller"));
}
BENCHMARK(ServiceCallsInARow)->Unit(benchmark::kMillisecond)->Iterations(1);

const int FloodRate = 1000;
// The flood cycles through three songs of the library, or copies of them.
const int FloodSongs = 3;
const char* const FloodTitles[FloodSongs] = { "One", "Two", "Three" };
const char* const FloodFiles[FloodSongs] = { "Kim/Seven/1.ogg", "Kim/Seven/2.ogg",
                                             "Kim/Seven/3.ogg" };
const int ProbeIntervalMs = 100;
// A question unanswered this long counts as never answered.
const int ProbeTimeoutMs = 180000;

QList<QStringList> floodLists(int kind)
{
    QList<QStringList> lists;
    if (kind == 1) {
        for (const char* title : FloodTitles)
            lists << QStringList { HubTestLibrary::firstCell(
                QStringLiteral("SELECT ?s WHERE { ?s a nmm:MusicPiece ; nie:title \"%1\" }")
                    .arg(QLatin1String(title))) };
        return lists;
    }
    for (const char* song : FloodFiles) {
        const QString path = FixtureLibrary::pathOf(QLatin1String(song));
        if (kind == 2) {
            lists << QStringList { path };
            continue;
        }
        const QString outside = TestEnvironment::home() + QStringLiteral("/Downloads/")
                                + QFileInfo(path).fileName();
        QDir().mkpath(QFileInfo(outside).absolutePath());
        QFile::copy(path, outside);
        lists << QStringList { outside };
    }
    return lists;
}

void PlayFlood(benchmark::State& state)
{
    static const bool built = HubTestLibrary::build();
    if (!built) {
        state.SkipWithError("the library could not be built");
        return;
    }
    const QList<QStringList> lists = floodLists(int(state.range(0)));
    for (const QStringList& list : lists) {
        if (list.first().isEmpty()) {
            state.SkipWithError("a song of the library was not found");
            return;
        }
    }
    const int seconds = qEnvironmentVariableIsSet("BENCH_FLOOD_SECONDS")
                            ? qEnvironmentVariableIntValue("BENCH_FLOOD_SECONDS")
                            : 30;
    PlayState* hub = PlayState::instance();
    ParlovanceService::instance();
    int starts = 0;
    QObject counter;
    QObject::connect(ZelPlayControls::instance(), &ZelPlayController::playbackAboutToStart,
                     &counter, [&starts]() { ++starts; });
    for (auto _ : state) {
        const double before = residentKiB();
        BusFlooder flooder(
            [&lists](qint64 i) {
                QDBusMessage m = QDBusMessage::createMethodCall(Service, QStringLiteral("/"),
                                                                Interface, QStringLiteral("play"));
                m.setArguments({ lists.at(int(i % lists.size())) });
                return m;
            },
            FloodRate, seconds);
        StateProber prober(flooder, ProbeIntervalMs, ProbeTimeoutMs);
        flooder.clock.start();
        flooder.start();
        prober.start();
        while (!prober.isFinished() || !flooder.isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // What was asked last is what plays.
        const QString last = FloodTitles[(flooder.sent - 1) % FloodSongs];
        QElapsedTimer settle;
        settle.start();
        while (
            settle.elapsed() < 30000
            && (hub->state(hub->mode()) != PlayState::Playing || hub->title(hub->mode()) != last))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        state.counters["answer_longest_during_ms"] = prober.longestDuringMs;
        state.counters["answer_after_end_ms"] = prober.answerAfterEndMs;
        state.counters["unanswered"] = prober.unanswered;
        state.counters["requests"] = double(seconds) * FloodRate;
        state.counters["items_started"] = starts;
        state.counters["rss_kib"] = residentKiB();
        state.counters["rss_growth_kib"] = residentKiB() - before;
        state.counters["last_request_plays"] = hub->state(hub->mode()) == PlayState::Playing
                                               && hub->title(hub->mode()) == last;
    }
    hub->stop(hub->mode());
    ParlovanceService::destroyInstance();
    ParlovanceApplicationService::instance()->dismissSheet();
    QDBusConnection::disconnectFromBus(QStringLiteral("flooder"));
    QDBusConnection::disconnectFromBus(QStringLiteral("prober"));
}
BENCHMARK(PlayFlood)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

// Files of each kind, large and small, made once for the benchmarks that name them.
struct CheckedFile
{
    const char* name;
    bool refused; // the verdict the check gives
};
const CheckedFile CheckedFiles[] = {
    { "one line.txt", true },    // 100 MB, one line of text
    { "notes.txt", true },       // 20 MB of text in lines
    { "data.bin", false },       // 100 MB of data the type database cannot name
    { "song list.txt", false },  // 100 MB of lines naming songs' files: a playlist
    { "short note.txt", true },  // a line of text
    { "mix.m3u", false },
    { "stations.pls", false },
    { "song.ogg", false },
};
const int CheckedFileCount = int(sizeof(CheckedFiles) / sizeof(CheckedFiles[0]));

bool writeRepeated(const QString& path, const QByteArray& piece, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk;
    while (chunk.size() < 1024 * 1024)
        chunk += piece;
    for (qint64 written = 0; written < size; written += chunk.size()) {
        const QByteArray part = chunk.left(int(qMin<qint64>(chunk.size(), size - written)));
        if (file.write(part) != part.size())
            return false;
    }
    return true;
}

// The path of each of CheckedFiles; empty when they cannot be made.
QStringList checkedFiles()
{
    static QStringList paths;
    if (!paths.isEmpty())
        return paths;
    static const bool built = HubTestLibrary::build();
    if (!built)
        return QStringList();
    const QString folder = TestEnvironment::home() + QStringLiteral("/Downloads/checked");
    QDir().mkpath(folder);
    const QString song = FixtureLibrary::pathOf(QStringLiteral("Kim/Seven/1.ogg"));
    QByteArray noise(1024 * 1024, Qt::Uninitialized);
    QRandomGenerator draw(0x5eed);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char(draw.generate());
    const qint64 large = 100 * 1000 * 1000;
    const QByteArray contents[] = {
        QByteArray(1, 'a'),
        QByteArray("A line of prose as a note holds it and another line after it\n"),
        noise,
        QFile::encodeName(song) + '\n',
        QByteArray("milk\nbread\n"),
        "#EXTM3U\n#EXTINF:30,Kim - One\n" + QFile::encodeName(song) + '\n',
        "[playlist]\nFile1=" + QFile::encodeName(song) + "\nNumberOfEntries=1\n",
    };
    const qint64 sizes[] = { large, 20 * 1000 * 1000, large, large, 0, 0, 0 };
    for (int i = 0; i < CheckedFileCount; ++i) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(CheckedFiles[i].name);
        const bool made = i == CheckedFileCount - 1
                              ? QFile::exists(path) || QFile::copy(song, path)
                              : sizes[i] > 0 ? writeRepeated(path, contents[i], sizes[i])
                                             : writeRepeated(path, contents[i],
                                                             contents[i].size());
        if (!made)
            return QStringList();
        paths << path;
    }
    return paths;
}

void FileCheck(benchmark::State& state)
{
    const QStringList paths = checkedFiles();
    if (paths.isEmpty()) {
        state.SkipWithError("the files could not be written");
        return;
    }
    const CheckedFile& file = CheckedFiles[state.range(0)];
    const QUrl url = QUrl::fromLocalFile(paths.at(int(state.range(0))));
    PlaylistFileProbe probe;
    // The database is opened by the first check, once for the program.
    const bool refused = !probe.unplayableType(url).isEmpty();
    for (auto _ : state)
        benchmark::DoNotOptimize(probe.unplayableType(url));
    state.SetLabel(file.name);
    state.counters["refused"] = refused;
    state.counters["verdict_as_expected"] = refused == file.refused;
}
BENCHMARK(FileCheck)->DenseRange(0, CheckedFileCount - 1)->Unit(benchmark::kMicrosecond);

const int LargeFileRate = 20;

void LargeFileFlood(benchmark::State& state)
{
    const QStringList paths = checkedFiles();
    if (paths.isEmpty()) {
        state.SkipWithError("the files could not be written");
        return;
    }
    // The texts of 100 and 20 MB, or the 100 MB of data.
    const QStringList named = state.range(0) == 0 ? QStringList { paths.at(0), paths.at(1) }
                                                  : QStringList { paths.at(2) };
    const int seconds = qEnvironmentVariableIsSet("BENCH_FLOOD_SECONDS")
                            ? qEnvironmentVariableIntValue("BENCH_FLOOD_SECONDS")
                            : 30;
    PlayState* hub = PlayState::instance();
    QSharedPointer<MafwTrackerModel> seven = HubTestLibrary::album(QStringLiteral("Seven"));
    hub->appendModel(seven.staticCast<QAbstractItemModel>(), PlayState::ReplaceQueue, -1);
    hub->startPlayback(0, PlayState::AllSongsQueue);
    ParlovanceService::instance();
    for (auto _ : state) {
        BusFlooder flooder(
            [&named](qint64 i) {
                static const char* const methods[] = { "play", "playTempFile", "playPlaylist" };
                QDBusMessage m = QDBusMessage::createMethodCall(
                    Service, QStringLiteral("/"), Interface, QLatin1String(methods[i % 3]));
                m.setArguments({ QStringList { named.at(int(i % named.size())) } });
                return m;
            },
            LargeFileRate, seconds);
        StateProber prober(flooder, ProbeIntervalMs, ProbeTimeoutMs);
        flooder.clock.start();
        flooder.start();
        prober.start();
        while (!prober.isFinished() || !flooder.isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        state.counters["answer_longest_during_ms"] = prober.longestDuringMs;
        state.counters["answer_after_end_ms"] = prober.answerAfterEndMs;
        state.counters["unanswered"] = prober.unanswered;
        state.counters["requests"] = double(flooder.sent);
    }
    hub->stop(hub->mode());
    ParlovanceService::destroyInstance();
    ParlovanceApplicationService::instance()->dismissSheet();
    QDBusConnection::disconnectFromBus(QStringLiteral("flooder"));
    QDBusConnection::disconnectFromBus(QStringLiteral("prober"));
}
BENCHMARK(LargeFileFlood)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    BenchmarkBus bus;
    if (!bus.start())
        return 1;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PlayState::destroyInstance();
    return 0;
}
