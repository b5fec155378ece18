// Playback: the memory of the player over thousands of song changes while it plays.

#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "playback/playstate.h"
#include "processmemory.h"
#include "testenvironment.h"
#include "zelplaycontrols.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

const int Changes = 6000;
// By then GStreamer's caches and the allocator's per-thread pools have grown to their working
// size; what grows after it grows for good.
const int WarmChanges = 1000;
const int Timeout = 30000;

bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < Timeout)
        QTest::qWait(5);
    return done();
}

// The queue of a small library plays; the hub moves to the next song 6,000 times, each time
// once the controller plays the song before. Memory is read at the first change (once
// every song has played once), after the first thousand changes and at the end; growth is per
// song change, over the whole run and after the first thousand.
void SixThousandSongChanges(benchmark::State& state)
{
    PlayState* hub = PlayState::instance();
    ZelPlayControls* controls = ZelPlayControls::instance();
    if (!waitUntil([]() { return MafwTrackerModelFactoryInstance::instance()->isReady(); })) {
        state.SkipWithError("the library is not read");
        return;
    }
    QSharedPointer<MafwTrackerModel> songs = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    if (!songs || !waitUntil([&]() { return songs->isComplete() && songs->rowCount() > 1; })) {
        state.SkipWithError("the library's songs do not load");
        return;
    }
    hub->appendModel(songs, PlayState::ReplaceQueue, -1);
    hub->startPlayback(0, PlayState::PlayNow);
    if (!waitUntil([&]() { return controls->state() == MafwRenderer::Playing; })) {
        state.SkipWithError("playback does not start");
        return;
    }
    QSignalSpy items(controls, SIGNAL(mediaChanged(const ZelMetadataHandler*)));
    double first = 0;
    double warm = 0;
    for (auto _ : state) {
        for (int change = 0; change < Changes; ++change) {
            if (change == songs->rowCount())
                first = residentKiB() / 1024.0;
            if (change == WarmChanges)
                warm = residentKiB() / 1024.0;
            items.clear();
            hub->next(-1);
            if (!waitUntil([&]() {
                    return !items.isEmpty() && controls->state() == MafwRenderer::Playing;
                })) {
                state.SkipWithError("a song change does not play");
                return;
            }
        }
    }
    const double last = residentKiB() / 1024.0;
    state.counters["rss_first_MiB"] = first;
    state.counters["rss_last_MiB"] = last;
    state.counters["rss_warm_MiB"] = warm;
    state.counters["growth_KiB_per_change"] = (last - first) * 1024.0
                                              / (Changes - songs->rowCount());
    state.counters["warm_growth_KiB_per_change"] = (last - warm) * 1024.0 / (Changes - WarmChanges);
    hub->stop(PlayState::MusicMode);
}
BENCHMARK(SixThousandSongChanges)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    QApplication app(argc, argv);
    if (!FixtureLibrary::writeStandardLibrary(20000)) {
        qCritical("The library cannot be written");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PlayState::destroyInstance();
    return 0;
}
