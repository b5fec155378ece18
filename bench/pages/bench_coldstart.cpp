// A start of the program on a cold store, as a user sees it: the window is made as the program
// makes it, the Songs button is tapped as soon as the window has drawn its first screen, and
// the clock stops at the first paint that shows the Songs page's rows, laid out. Each start
// runs in a process of its own over a store that no process has open, so nothing of the
// library is in memory before; the same process then reports what it holds once the start has
// settled (every list read, the preloaded pages built).
// Run: make bench, or after it build-bench/bench/pages/bench_coldstart (offscreen).

#include "pagebench.h"

#include "mafwstorecatalogue.h"
#include "mafwtrackermodelfactory.h"
#include "mlist.h"
#include "mlocale.h"
#include "pageframework/quintaveilpage.h"
#include "shell/mainwindow.h"
#include "shell/processsetup.h"
#include "testenvironment.h"
#include "trackerstore.h"
#include "data/mafwtrackermodelfactoryinstance.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QPaintEvent>
#include <QProcess>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>
#include <ctime>
#include <memory>

using namespace Parlovance;

namespace {

const char ChildArgument[] = "--cold-start-child";

// A figure of /proc/self/status in KiB.
double statusKiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// Processor time of the calling thread: the window's own work, whatever the readers do.
double threadCpuMs()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double cpuMs(int who)
{
    rusage usage;
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Runs the event loop until done() holds, sleeping between events as the program's own loop
// does: the window thread's processor time is then the program's work, not a waiting loop's.
bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Calls back on every paint of the window until told to stop, after the paint itself.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget* viewport, std::function<bool(const QPaintEvent*)> painted)
        : m_painted(std::move(painted))
    {
        viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_inside)
            return false;
        m_inside = true;
        QCoreApplication::sendEvent(watched, event);
        m_inside = false;
        if (m_painted(static_cast<QPaintEvent*>(event)))
            watched->removeEventFilter(this);
        return true;
    }

private:
    std::function<bool(const QPaintEvent*)> m_painted;
    bool m_inside = false;
};

// The start itself, in the child process; prints "name value" lines for the parent.
int runChild(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // As the program's main does.
    ProcessSetup::beforeApplication();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    MLocale locale;
    locale.installTrCatalog(QStringLiteral("music"));
    MLocale::setDefault(locale);
    const double appMs = sinceStart.nsecsElapsed() / 1e6;

    double firstScreenMs = -1, tapMs = -1, rowsMs = -1;
    auto window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    PaintWatch watch(window->viewport(), [&](const QPaintEvent* event) {
        if (firstScreenMs < 0) {
            firstScreenMs = sinceStart.nsecsElapsed() / 1e6;
            // The user's tap on Songs, as soon as there is a screen to tap on.
            QTimer::singleShot(0, window.get(), [&] {
                tapMs = sinceStart.nsecsElapsed() / 1e6;
                window->goToPage(PageAllSongs);
            });
            return false;
        }
        if (tapMs < 0 || window->currentPage() != PageAllSongs)
            return false;
        auto* page = qobject_cast<QuintaveilPage*>(window->cachedPage(PageAllSongs));
        MList* list = page ? page->pageList() : nullptr;
        if (!list)
            return false;
        const QRect shown = window->mapFromScene(list->sceneBoundingRect()).boundingRect();
        if (!event->region().intersects(shown) || !PageBench::rowsLaidOut(list))
            return false;
        rowsMs = sinceStart.nsecsElapsed() / 1e6;
        return true;
    });
    window->show();
    // BENCH_TRACE=1: when each step of the start was reached, to see where the time goes.
    QStringList reached;
    QTimer trace;
    if (qEnvironmentVariableIsSet("BENCH_TRACE")) {
        QObject::connect(&trace, &QTimer::timeout, [&] {
            MafwTrackerModelFactory* f = MafwTrackerModelFactoryInstance::instance()->factory();
            const QList<QPair<QString, bool>> steps {
                { QStringLiteral("store_open"), TrackerStore::instance()->isOpen() },
                { QStringLiteral("library_ready"),
                  MafwTrackerModelFactoryInstance::instance()->isReady() },
                { QStringLiteral("first_songs_read"), f && f->catalogue()->isLoaded() },
                { QStringLiteral("library_read"), f && f->catalogue()->isComplete() },
                { QStringLiteral("songs_page_built"), window->cachedPage(PageAllSongs) != nullptr },
                { QStringLiteral("songs_page_shown"), window->currentPage() == PageAllSongs },
                { QStringLiteral("pages_built"), window->isPreloadingDone() },
            };
            for (const auto& step : steps) {
                if (step.second && !reached.contains(step.first)) {
                    reached << step.first;
                    std::printf("trace_%s_ms %.1f\n", qPrintable(step.first),
                                sinceStart.nsecsElapsed() / 1e6);
                }
            }
        });
        trace.start(1);
    }
    const bool rows = waitFor([&] { return rowsMs >= 0; }, 120000);
    const double cpuAtRows = cpuMs(RUSAGE_SELF);
    const double windowCpuAtRows = threadCpuMs();

    // Settled: the whole library read, the pages built, nothing left to do for a moment.
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    waitFor(
        [&] {
            return window->isPreloadingDone() && factory->factory()
                   && factory->factory()->catalogue()->isComplete();
        },
        120000);
    QElapsedTimer settle;
    settle.start();
    waitFor([&] { return settle.elapsed() >= 1500; }, 5000);
    const double settledMs = sinceStart.nsecsElapsed() / 1e6;

    std::printf("rows %d\n", rows ? 1 : 0);
    std::printf("application_ms %.1f\n", appMs);
    std::printf("first_screen_ms %.1f\n", firstScreenMs);
    std::printf("tap_ms %.1f\n", tapMs);
    std::printf("rows_drawn_ms %.1f\n", rowsMs);
    std::printf("tap_to_rows_ms %.1f\n", rowsMs - tapMs);
    std::printf("cpu_to_rows_ms %.1f\n", cpuAtRows);
    std::printf("window_thread_cpu_to_rows_ms %.1f\n", windowCpuAtRows);
    std::printf("settled_ms %.1f\n", settledMs);
    std::printf("cpu_settled_ms %.1f\n", cpuMs(RUSAGE_SELF));
    std::printf("window_thread_cpu_settled_ms %.1f\n", threadCpuMs());
    std::printf("rss_settled_KiB %.0f\n", statusKiB("VmRSS:"));
    std::printf("peak_rss_KiB %.0f\n", statusKiB("VmHWM:"));
    std::fflush(stdout);
    // Ends at once, as a measuring run: the figures are out.
    std::_Exit(0);
}

QString ownPath;
QMap<int, double> settledRssBySize;

void ColdStartToSongs(benchmark::State& state)
{
    const int songs = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        if (!PageBench::writeSongs(songs, true)) {
            state.SkipWithError("cannot write the library");
            return;
        }
        // Closed, as no process has it open at a start, and closed all the way: the store
        // library lets go of the database a moment after the close, and a database it has not
        // marked as closed is checked through at the next open, which takes a second at
        // 50,000 songs (that is the start after a crash, not the start timed here).
        TrackerStore::destroy();
        const QString running = TestEnvironment::dataHome()
                                + QStringLiteral("/parlovance/store/.meta.isrunning");
        QElapsedTimer closing;
        closing.start();
        while (QFile::exists(running) && closing.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        state.ResumeTiming();
        child.start(ownPath, { QString::fromLatin1(ChildArgument) });
        const bool ended = child.waitForFinished(300000);
        state.PauseTiming();
        QMap<QString, double> figures;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 2)
                figures.insert(QString::fromLatin1(parts.at(0)), parts.at(1).toDouble());
        }
        if (!ended || figures.value(QStringLiteral("rows")) != 1) {
            state.SkipWithError("the start did not show the songs");
            return;
        }
        for (auto it = figures.cbegin(); it != figures.cend(); ++it) {
            if (it.key() != QLatin1String("rows"))
                state.counters[it.key().toStdString()] = it.value();
        }
        const double rss = figures.value(QStringLiteral("rss_settled_KiB"));
        settledRssBySize.insert(songs, rss);
        // The memory each further song costs, between the sizes run so far.
        if (settledRssBySize.size() > 1 && settledRssBySize.firstKey() < songs)
            state.counters["held_KiB_per_song_since_smallest"] = (rss - settledRssBySize.first())
                                                                 / (songs
                                                                    - settledRssBySize.firstKey());
        state.ResumeTiming();
    }
}
BENCHMARK(ColdStartToSongs)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], ChildArgument) == 0)
            return runChild(argc, argv);
    }
    TestEnvironment::prepare();
    // The parent only writes the stores; it needs no window system of its own.
    QCoreApplication app(argc, argv);
    ownPath = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TrackerStore::destroy();
    return 0;
}
