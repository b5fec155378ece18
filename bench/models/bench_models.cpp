#include "testenvironment.h"

#include "playback/audiobookfilterproxymodel.h"
#include "benchsongmodel.h"
#include "data/containermodel.h"
#include "data/listmodel.h"
#include "mgconfitem.h"
#include "playback/shuffleproxymodel.h"
#include "data/twinturbosortfilterproxymodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

const int LibrarySize = 50000;

// Grouping the whole library by index letter, as a list page does when it gets its model.
void ListModelBuildGroups(benchmark::State& state)
{
    QSharedPointer<BenchSongModel> songs(new BenchSongModel(LibrarySize));
    for (auto _ : state) {
        ListModel list(true, nullptr);
        list.setKeyColumns({ 1 }, false);
        list.setSourceModel(songs);
        benchmark::DoNotOptimize(list.groupCount());
        state.counters["groups"] = list.groupCount();
    }
}
BENCHMARK(ListModelBuildGroups)->Unit(benchmark::kMillisecond)->Iterations(5);

// One song added to the grouped library: one announced item (the removal is not timed).
void ListModelSingleInsertion(benchmark::State& state)
{
    QSharedPointer<BenchSongModel> songs(new BenchSongModel(LibrarySize));
    ListModel list(true, nullptr);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(songs);
    quint32 at = 12345;
    for (auto _ : state) {
        at = (at * 1103515245u + 12345u) % unsigned(LibrarySize);
        const BenchSongModel::Song song = songs->makeSong();
        QElapsedTimer timer;
        timer.start();
        songs->insertSong(int(at), song);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        songs->removeSong(int(at));
    }
}
BENCHMARK(ListModelSingleInsertion)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(200);

// Typing into a page's search field: one keystroke re-filters the library.
void SearchKeystroke(benchmark::State& state)
{
    BenchSongModel songs(LibrarySize);
    TwinTurboSortFilterProxyModel proxy;
    proxy.setSourceModel(&songs);
    proxy.setSearchColumns({ 1, 2, 3 });
    proxy.setDynamicSortFilter(false);
    const QStringList keystrokes = { "l",
                                     "lo",
                                     "lov",
                                     "love",
                                     "lov",
                                     "lo",
                                     "l",
                                     "",
                                     QString::fromUtf8("н"),
                                     QString::fromUtf8("но"),
                                     "" };
    int k = 0;
    for (auto _ : state) {
        proxy.setFilterExpression(keystrokes.at(k++ % keystrokes.size()));
        benchmark::DoNotOptimize(proxy.rowCount());
    }
}
BENCHMARK(SearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(44);

// The same keystrokes with the grouped list of the page on top of the proxy.
void SearchKeystrokeWithList(benchmark::State& state)
{
    BenchSongModel songs(LibrarySize);
    QSharedPointer<TwinTurboSortFilterProxyModel> proxy(new TwinTurboSortFilterProxyModel);
    proxy->setSourceModel(&songs);
    proxy->setSearchColumns({ 1, 2, 3 });
    proxy->setDynamicSortFilter(false);
    ListModel list(true, nullptr);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(proxy);
    const QStringList keystrokes = { "l", "lo", "lov", "love", "lov", "lo", "l", "" };
    int k = 0;
    for (auto _ : state) {
        proxy->setFilterExpression(keystrokes.at(k++ % keystrokes.size()));
        benchmark::DoNotOptimize(list.groupCount());
    }
}
BENCHMARK(SearchKeystrokeWithList)->Unit(benchmark::kMillisecond)->Iterations(16);

// Switching shuffle on for a queue of the whole library (container, filter, shuffle).
void ShuffleQueue(benchmark::State& state)
{
    ContainerModel container;
    AudiobookFilterProxyModel filter(6, nullptr);
    filter.setSourceModel(&container);
    ShuffleProxyModel shuffle;
    shuffle.setSourceModel(&filter);
    container.append(QSharedPointer<QAbstractItemModel>(new BenchSongModel(LibrarySize)));
    filter.setFilterEnabled(true);
    int row = 0;
    for (auto _ : state) {
        row = (row + 7919) % shuffle.rowCount();
        benchmark::DoNotOptimize(shuffle.setShuffle(true, row));
    }
    state.counters["rows"] = shuffle.rowCount();
}
BENCHMARK(ShuffleQueue)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    QCoreApplication app(argc, argv);
    MGConfItem(QStringLiteral("/meegotouch/i18n/lc_collate")).set(QStringLiteral("en_GB"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
