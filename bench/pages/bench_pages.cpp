// The all-songs page over a library of 50,000 songs in the real store: how long after the first
// rows arrive the first screen is drawn, what one filter keystroke costs on the list side (the
// filter proxy, the grouped list model and the list), and how many cells scrolling one screen
// makes. Run: build/bench/pages/bench_pages (offscreen).

#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mlist.h"
#include "mlocale.h"
#include "mpannableviewport.h"
#include "pages/allsongspage.h"
#include "pageframework/songcollectionitem.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"
#include "trackerindexworker.h"
#include "trackertagreader.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>

#include <algorithm>
#include <memory>

using namespace Parlovance;

namespace {

const int Songs = 50000;

// Titles in several scripts, so that grouping and collation do real work.
const char* const Words[] = { "Morning", "Echo",   "Falling", "Satellite",  "Lanterns", "Drift",
                              "Horizon", "Embers", "Tide",    "Wildflower", "Ribbon",   "Cinder",
                              "Ärger",   "Ökonom", "Утро",    "Эхо",        "Ветер",    "夜明け",
                              "風",      "ירח",    "שקיעה",   "Ñandú",      "Çay",      "Zebra" };
const int WordCount = int(sizeof(Words) / sizeof(*Words));

bool writeLibrary()
{
    TrackerStore::destroy();
    TestEnvironment::wipeHome();
    if (!FixtureLibrary::openStore())
        return false;
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
    bool ok = true;
    for (int first = 0; first < Songs && ok; first += 1000) {
        QStringList batch;
        for (int i = first; i < first + 1000; ++i) {
            TrackerTrackInfo info;
            const int k = (i * 7919) % Songs;
            info.title = QStringLiteral("%1 %2 %3")
                             .arg(QString::fromUtf8(Words[k % WordCount]),
                                  QString::fromUtf8(Words[(k / WordCount) % WordCount]))
                             .arg(k);
            info.artist = QStringLiteral("Artist %1").arg(i % 700);
            info.album = QStringLiteral("Album %1").arg(i % 4000);
            info.genre = QStringLiteral("Pop");
            info.trackNumber = i % 12 + 1;
            info.year = 2000 + i % 20;
            info.durationSeconds = 180 + i % 60;
            const QString url = QStringLiteral("file:///music/%1.ogg").arg(i);
            batch << TrackerIndexWorker::songUpdate(TrackerSparql::newIri(), false, url,
                                                    QStringLiteral("%1.ogg").arg(i), 4096, added,
                                                    added, info);
        }
        ok = TrackerQueryRunner::update(connection, batch.join(QStringLiteral(" ;\n"))).ok;
    }
    TrackerQueryRunner::releaseConnection(connection);
    return ok;
}

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
    if (!writeLibrary()) {
        state.SkipWithError("cannot write the library");
        return;
    }
    MafwTrackerModelFactory::setIndexerEnabled(false);
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    QElapsedTimer wait;
    wait.start();
    while (!factory->isReady() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!factory->isReady()) {
        state.SkipWithError("the factory did not start");
        return;
    }

    auto window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    wait.restart();
    while (!window->isPreloadingDone() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    for (auto _ : state) {
        // First screen: from the first rows of the shared model to the first screen drawn.
        // A page of its own over models made anew, as at the first visit after the start:
        // the window's preloaded page already has its rows.
        ModelInstance::destroy();
        auto* page = new AllSongsPage(window.get(), QVariant(false));
        page->appear(window.get());
        if (!page->currentPageModel()) {
            state.SkipWithError("no all-songs page");
            return;
        }
        QSharedPointer<MafwTrackerModel> model = page->currentPageModel();
        QElapsedTimer sinceRows;
        bool rowsArrived = model->rowCount() > 0;
        if (rowsArrived)
            sinceRows.start();
        int firstRows = model->rowCount();
        QObject::connect(model.data(), &QAbstractItemModel::rowsInserted, [&] {
            if (!rowsArrived) {
                rowsArrived = true;
                firstRows = model->rowCount();
                sinceRows.start();
            }
        });
        wait.restart();
        while ((!rowsArrived || page->pageList()->visibleCells().isEmpty())
               && wait.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        window->viewport()->repaint();
        const double firstScreenMs = rowsArrived ? sinceRows.nsecsElapsed() / 1e6 : -1;
        state.counters["first_screen_after_first_rows_ms"] = firstScreenMs;
        state.counters["first_screen_cells"] = page->pageList()->visibleCells().size();
        state.counters["first_rows"] = firstRows;
        state.counters["rows_at_first_screen"] = model->rowCount();

        // Every row, as the page asks for them once it shows.
        wait.restart();
        while (!model->isComplete() && wait.elapsed() < 300000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
        state.counters["rows"] = page->listAdapter()->rowCountInGroup(-1);

        // The first key comes when a user could type one: a moment after the list has filled
        // and the search field has been opened.
        wait.restart();
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
    TestEnvironment::prepare();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    MLocale locale;
    locale.installTrCatalog(QStringLiteral("music"));
    MLocale::setDefault(locale);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TrackerStore::destroy();
    return 0;
}
