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

#include "../../tests/playback/hubtestlibrary.h"
#include "benchmarkbus.h"
#include "busflooder.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
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
