// Other programs calling the playback service over and over: 10,000 calls in a row on a real
// private session bus, with the player playing a real library. Reports the calls per second,
// the memory held after them compared with after the first 1,000, and how long the service
// then takes to answer.

#include "../../tests/playback/hubtestlibrary.h"
#include "mafwtrackermodel.h"
#include "playback/playstate.h"
#include "shell/parlovanceservice.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

const int Calls = 10000;
const int Warmup = 1000;
const int Batch = 100;
const QString Service = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString Interface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");

double residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

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

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    // A session bus of the benchmark's own, so it runs alike from a desktop and a build machine.
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              { QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1") });
    if (!bus.waitForStarted() || !bus.waitForReadyRead(10000))
        return 1;
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
    int result = 0;
    {
        QApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        PlayState::destroyInstance();
    }
    bus.terminate();
    bus.waitForFinished();
    return result;
}
