// The albums and the artists pages over a library of 50,000 songs in the real store: how long
// after the first rows arrive the first screen is drawn. Each page is opened several times as
// at its first show after a start, over models made anew. The first visit finds no covers and
// has them drawn meanwhile, as on a new library; the later ones find those covers on disk but
// none in memory, as after a restart. Median and spread are those of the later visits.
// Run: make bench, or after it build-bench/bench/pages/bench_collectionpages (offscreen).

#include "pagebench.h"

#include "albumart/albumartloader.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackermodelfactory.h"
#include "mlist.h"
#include "mlistgroupheader.h"
#include "pageframework/collectionpagebase.h"
#include "pages/myalbumspage.h"
#include "pages/myartistspage.h"
#include "shell/mainwindow.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QPixmapCache>
#include <QSet>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// The first visit, and the later ones the median and spread are taken over.
const int Visits = 9;

// The item rows on the list's screen (group headers have no cover).
int coveredRows(MList* list)
{
    int rows = 0;
    for (MWidget* cell : list->visibleCells()) {
        if (!qobject_cast<MListGroupHeader*>(cell))
            ++rows;
    }
    return rows;
}

void firstScreens(benchmark::State& state, MafwTrackerModel::QueryType type,
                  const std::function<CollectionPageBase*(MainWindow*)>& makePage)
{
    if (!PageBench::writeFiftyThousandSongs()) {
        state.SkipWithError("cannot write the library");
        return;
    }
    const std::unique_ptr<MainWindow> window = PageBench::openWindow();
    // The albums and the artists are listed once the whole library has been read.
    const MafwStoreCatalogue* library
        = MafwTrackerModelFactoryInstance::instance()->factory()->catalogue();
    if (!window || !PageBench::waitUntil([&] { return library->isComplete(); }, 120000)) {
        state.SkipWithError("the window did not start");
        return;
    }

    for (auto _ : state) {
        QVector<double> later;
        int mostRowsDrawnFirst = 0; // of any visit: the first screen is not to wait for the rest
        for (int visit = 0; visit < Visits; ++visit) {
            // The covers a restarted program has: on disk, none in memory.
            QPixmapCache::clear();
            CollectionPageBase* page = nullptr;
            // The rows whose cover the page's loader has answered for, drawn or not found.
            QSet<QPair<int, int>> answered;
            auto answer = [&](const QVariant& cookie) {
                const QModelIndex row = cookie.value<QModelIndex>();
                answered.insert({ row.parent().row(), row.row() });
            };
            const PageBench::FirstScreen first = PageBench::showFirstScreen(
                window.get(), type, [&] {
                    page = makePage(window.get());
                    AlbumArtLoader* covers = page->coverLoader();
                    QObject::connect(covers, &AlbumArtLoader::albumArtReady, page,
                                     [&](const QPixmap&, const QVariant& cookie) {
                                         answer(cookie);
                                     });
                    QObject::connect(covers, &AlbumArtLoader::noArtFoundFor, page,
                                     [&](const QString&, const QString&, const QVariant& cookie) {
                                         answer(cookie);
                                     });
                    return page;
                });
            if (first.ms < 0) {
                state.SkipWithError("the page showed no rows");
                return;
            }
            mostRowsDrawnFirst = qMax(mostRowsDrawnFirst, first.rowsAtFirstScreen);
            if (visit == 0) {
                state.counters["first_visit_first_screen_ms"] = first.ms;
                state.counters["first_screen_cells"] = first.cells;
                state.counters["first_rows"] = first.firstRows;
            } else {
                later.append(first.ms);
            }
            // The screen's covers are answered (drawn and kept on disk at the first visit)
            // before the page goes.
            const int wanted = coveredRows(page->pageList());
            PageBench::waitUntil([&] { return answered.size() >= wanted; }, 30000);
            // The rest of the list still comes, after the first screen.
            if (!PageBench::waitUntil([&] { return page->currentPageModel()->isComplete(); })) {
                state.SkipWithError("the rest of the list did not come");
                return;
            }
            page->disappear();
            page->deleteLater();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        std::sort(later.begin(), later.end());
        state.counters["first_screen_median_ms"] = later.at(later.size() / 2);
        state.counters["first_screen_min_ms"] = later.first();
        state.counters["first_screen_max_ms"] = later.last();
        state.counters["rows_at_first_screen"] = mostRowsDrawnFirst;
    }
}

void AlbumsPageOfFiftyThousand(benchmark::State& state)
{
    firstScreens(state, MafwTrackerModel::AllAlbums,
                 [](MainWindow* window) { return new MyAlbumsPage(window, QVariant(false)); });
}
BENCHMARK(AlbumsPageOfFiftyThousand)->Unit(benchmark::kMillisecond)->Iterations(1);

void ArtistsPageOfFiftyThousand(benchmark::State& state)
{
    firstScreens(state, MafwTrackerModel::AllArtists,
                 [](MainWindow* window) { return new MyArtistsPage(window, QVariant(false)); });
}
BENCHMARK(ArtistsPageOfFiftyThousand)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return PageBench::run(argc, argv);
}
