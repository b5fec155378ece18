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

#include <algorithm>

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

// The same keystrokes with the grouped list of the page on top of the proxy, each timed on its
// own: the median and the worst keystroke, and what the proxy alone took of the median.
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
    QVector<double> all, filtering;
    int k = 0;
    for (auto _ : state) {
        const QString text = keystrokes.at(k++ % keystrokes.size());
        QElapsedTimer timer;
        timer.start();
        proxy->setFilterExpression(text);
        benchmark::DoNotOptimize(list.groupCount());
        const double ms = timer.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000.0);
        all.append(ms);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            qInfo("%s %.2f", qPrintable(text), ms);
    }
    // The proxy alone, for the same keystrokes, without the list listening.
    list.setSourceModel(QSharedPointer<QAbstractItemModel>());
    for (const QString& text : keystrokes) {
        QElapsedTimer timer;
        timer.start();
        proxy->setFilterExpression(text);
        benchmark::DoNotOptimize(proxy->rowCount());
        filtering.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(all.begin(), all.end());
    std::sort(filtering.begin(), filtering.end());
    state.counters["median_ms"] = all.at(all.size() / 2);
    state.counters["worst_ms"] = all.last();
    state.counters["proxy_median_ms"] = filtering.at(filtering.size() / 2);
}
BENCHMARK(SearchKeystrokeWithList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(32);

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
