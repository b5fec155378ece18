// The all-songs page over a library of 50,000 songs in the real store: how long after the first
// rows arrive the first screen is drawn, what one filter keystroke costs on the list side (the
// filter proxy, the grouped list model and the list), and how many cells scrolling one screen
// makes. Run: build/bench/pages/bench_pages (offscreen).

#include "pagebench.h"

#include "data/listmodel.h"
#include "mafwtrackermodel.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "pages/allsongspage.h"
#include "shell/mainwindow.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <memory>

using namespace Parlovance;

namespace {

// Every cell the list has made so far: those it shows, and those it keeps for later (a
// recycled cell is the same object again).
QSet<QGraphicsItem*> seenCells;

int cellCount(MList* list)
{
    for (MWidget* cell : list->visibleCells())
        seenCells.insert(cell);
    for (QGraphicsItem* child : list->childItems()) {
        if (child->isWidget())
            seenCells.insert(child);
    }
    return seenCells.size();
}

void AllSongsPageOfFiftyThousand(benchmark::State& state)
{
    if (!PageBench::writeFiftyThousandSongs()) {
        state.SkipWithError("cannot write the library");
        return;
    }
    const std::unique_ptr<MainWindow> window = PageBench::openWindow();
    if (!window) {
        state.SkipWithError("the window did not start");
        return;
    }

    for (auto _ : state) {
        // First screen: from the first rows of the shared model to the first screen drawn.
        // A page of its own over models made anew, as at the first visit after the start:
        // the window's preloaded page already has its rows.
        AllSongsPage* page = nullptr;
        const PageBench::FirstScreen first = PageBench::showFirstScreen(
            window.get(), MafwTrackerModel::AllSongs,
            [&] { return page = new AllSongsPage(window.get(), QVariant(false)); });
        if (!page->currentPageModel()) {
            state.SkipWithError("no all-songs page");
            return;
        }
        QSharedPointer<MafwTrackerModel> model = page->currentPageModel();
        state.counters["first_screen_after_first_rows_ms"] = first.ms;
        state.counters["first_screen_cells"] = first.cells;
        state.counters["first_rows"] = first.firstRows;
        state.counters["rows_at_first_screen"] = first.rowsAtFirstScreen;

        // Every row, as the page asks for them once it shows.
        PageBench::waitUntil([&] { return model->isComplete(); }, 300000);
        QCoreApplication::processEvents();
        state.counters["rows"] = page->listAdapter()->rowCountInGroup(-1);

        // The first key comes when a user could type one: a moment after the list has filled
        // and the search field has been opened.
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

        // Filter keystrokes, list side: the page is handed the text as the debounce hands it.
        const QStringList typed { "r", "ri", "rib", "ribb", "ribbo", "ribbon", "ribbo", "rib",
                                  "r", "",   "e",   "ec",   "ech",   "echo",   "" };
        double worst = 0, total = 0, filterTotal = 0, eventsTotal = 0;
        QVector<double> each;
        QStringList keys;
        for (int r = 0; r < qMax(1, qEnvironmentVariableIntValue("BENCH_FILTER_REPEAT")); ++r)
            keys += typed;
        for (const QString& text : keys) {
            QElapsedTimer keystroke;
            keystroke.start();
            emit page->filterTextChanged(text);
            const double models = keystroke.nsecsElapsed() / 1e6;
            filterTotal += models;
            QCoreApplication::processEvents();
            const double events = keystroke.nsecsElapsed() / 1e6;
            eventsTotal += events;
            window->viewport()->repaint();
            const double ms = keystroke.nsecsElapsed() / 1e6;
            worst = qMax(worst, ms);
            total += ms;
            each.append(ms);
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                qInfo("keystroke '%s' %.2f ms (models %.2f, events %.2f)", qPrintable(text), ms,
                      models, events - models);
        }
        state.counters["filter_models_mean_ms"] = filterTotal / keys.size();
        state.counters["filter_models_and_events_mean_ms"] = eventsTotal / keys.size();
        state.counters["filter_keystroke_mean_ms"] = total / keys.size();
        state.counters["filter_keystroke_worst_ms"] = worst;
        std::sort(each.begin(), each.end());
        state.counters["filter_keystroke_median_ms"] = each.at(each.size() / 2);

        // Scrolling: the list keeps the cells of one screen and a few spare ones once it has
        // been scrolled; a further screen down must make none.
        MPannableViewport* viewport = page->pannableViewport();
        MList* list = page->pageList();
        auto scrollTo = [&](int screen) {
            if (viewport)
                viewport->setPosition(QPointF(0, screen * 854.0));
            else
                list->setPosition(QPointF(0, screen * 854.0));
            QCoreApplication::processEvents();
            window->viewport()->repaint();
            return cellCount(list);
        };
        cellCount(list);
        const int warm = scrollTo(1);
        QElapsedTimer scroll;
        scroll.start();
        const int after = scrollTo(2);
        state.counters["scroll_one_screen_ms"] = scroll.nsecsElapsed() / 1e6;
        state.counters["cells_after_first_scroll"] = warm;
        state.counters["new_cells_from_scrolling_one_more_screen"] = after - warm;
    }
}
BENCHMARK(AllSongsPageOfFiftyThousand)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return PageBench::run(argc, argv);
}
