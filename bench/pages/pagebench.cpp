#include "pagebench.h"

#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodelfactory.h"
#include "mlist.h"
#include "mlocale.h"
#include "pageframework/quintaveilpage.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"
#include "trackerindexworker.h"
#include "trackerplaylistreader.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"
#include "trackertagreader.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGraphicsLayout>
#include <QPaintEvent>

#include <QDir>
#include <QFile>

#include <sys/time.h>

#include <algorithm>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#define CALLGRIND_DUMP_STATS
#endif

using namespace Parlovance;

namespace {

const char* const Words[] = { "Morning", "Echo",   "Falling", "Satellite",  "Lanterns", "Drift",
                              "Horizon", "Embers", "Tide",    "Wildflower", "Ribbon",   "Cinder",
                              "Ärger",   "Ökonom", "Утро",    "Эхо",        "Ветер",    "夜明け",
                              "風",      "ירח",    "שקיעה",   "Ñandú",      "Çay",      "Zebra" };
const int WordCount = int(sizeof(Words) / sizeof(*Words));

// Watches the paints of a window: the first one for which ready() holds is made at once, and
// painted() follows it.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget* viewport, std::function<bool(const QPaintEvent*)> ready,
               std::function<void()> painted)
        : ready(std::move(ready))
        , painted(std::move(painted))
    {
        viewport->installEventFilter(this);
    }

    bool done = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (done || event->type() != QEvent::Paint || !ready(static_cast<QPaintEvent*>(event)))
            return false;
        done = true;
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        painted();
        return true;
    }

private:
    std::function<bool(const QPaintEvent*)> ready;
    std::function<void()> painted;
};

} // namespace

bool PageBench::writeFiftyThousandSongs()
{
    static bool written = false;
    if (!written)
        written = writeSongs(Songs);
    return written;
}

// Whether the list shows rows, each laid out: a paint of a row before its layout has run
// shows its texts piled up in its corner, which is no screen a user can read. Only looks, so
// that the paint it is asked at is the one the program would have made.
bool PageBench::rowsLaidOut(const MList* list)
{
    int rows = 0;
    for (QGraphicsItem* child : list->childItems()) {
        // The position indicator and the index bubble are drawn above the rows.
        if (!child->isWidget() || !child->isVisible() || child->zValue() > 0
            || !child->mapRectToParent(child->boundingRect()).intersects(list->rect()))
            continue;
        auto* row = static_cast<QGraphicsWidget*>(child);
        const bool drawsItself = std::none_of(row->childItems().cbegin(), row->childItems().cend(),
                                              [](QGraphicsItem* item) { return item->isWidget(); });
        if (!drawsItself && !(row->layout() && row->layout()->isActivated()))
            return false;
        ++rows;
    }
    return rows > 0;
}

bool PageBench::writeSongs(int count, bool withFiles)
{
    TrackerStore::destroy();
    TestEnvironment::wipeHome();
    // The songs have no files: an indexer would take them out of the store again.
    MafwTrackerModelFactory::setIndexerEnabled(false);
    if (!FixtureLibrary::openStore())
        return false;
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(),
                                                        Qt::UTC);
    const QString added = TrackerSparql::timeText(now);
    bool ok = true;
    for (int first = 0; first < count && ok; first += 1000) {
        QStringList batch;
        for (int i = first; i < qMin(count, first + 1000); ++i) {
            TrackerTrackInfo info;
            const int k = int((i * 7919LL) % count);
            info.title = QStringLiteral("%1 %2 %3")
                             .arg(QString::fromUtf8(Words[k % WordCount]),
                                  QString::fromUtf8(Words[(k / WordCount) % WordCount]))
                             .arg(k);
            // An album is one artist's, but every tenth a compilation of many.
            const int album = i % 4000;
            info.artist = QStringLiteral("Artist %1").arg(album % 10 ? album % 700 : i % 700);
            info.album = QStringLiteral("Album %1").arg(album);
            info.genre = QStringLiteral("Pop");
            info.trackNumber = i % 12 + 1;
            info.year = 2000 + i % 20;
            info.durationSeconds = 180 + i % 60;
            QString url = QStringLiteral("file:///music/%1.ogg").arg(i);
            if (withFiles) {
                const QString folder = QStringLiteral("%1/%2/%3")
                                           .arg(TestEnvironment::musicDir(), info.artist,
                                                info.album);
                const QString path = QStringLiteral("%1/%2.ogg").arg(folder).arg(i);
                QDir().mkpath(folder);
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly))
                    return false;
                file.close();
                const timeval times[2] = { { now.toSecsSinceEpoch(), 0 },
                                           { now.toSecsSinceEpoch(), 0 } };
                utimes(QFile::encodeName(path).constData(), times);
                url = TrackerPlaylistReader::fileUrl(path);
            }
            batch << TrackerIndexWorker::songUpdate(TrackerSparql::newIri(), false, url,
                                                    QStringLiteral("%1.ogg").arg(i), 4096, added,
                                                    added, info);
        }
        ok = TrackerQueryRunner::update(connection, batch.join(QStringLiteral(" ;\n"))).ok;
    }
    TrackerQueryRunner::releaseConnection(connection);
    return ok;
}

bool PageBench::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

std::unique_ptr<MainWindow> PageBench::openWindow()
{
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    if (!waitUntil([&] { return factory->isReady(); }, 120000))
        return nullptr;
    auto window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    if (!waitUntil([&] { return window->isPreloadingDone(); }, 120000))
        return nullptr;
    return window;
}

PageBench::FirstScreen PageBench::showFirstScreen(MainWindow* window,
                                                  MafwTrackerModel::QueryType type,
                                                  const std::function<QuintaveilPage*()>& makePage)
{
    ModelInstance::destroy();
    FirstScreen first;
    QObject watcher; // the connections below end with it
    QElapsedTimer sinceRows;
    QSharedPointer<MafwTrackerModel> model;
    QuintaveilPage* page = nullptr;
    // The clock starts as the model announces its rows, before the page's chain (the filter
    // proxy, the list model, the list) has seen them: the watch is connected to the model
    // before the page binds to it.
    auto startClock = [&](int rows) {
        if (sinceRows.isValid())
            return;
        first.firstRows = rows;
        sinceRows.start();
        CALLGRIND_START_INSTRUMENTATION;
    };
    auto watch = [&](MafwTrackerModel::QueryType created) {
        if (created != type || model)
            return;
        model = ModelInstance::instance()->getModel(type);
        if (model)
            QObject::connect(model.data(), &QAbstractItemModel::rowsAboutToBeInserted, &watcher,
                             [&](const QModelIndex&, int from, int to) {
                                 startClock(model->rowCount() + to - from + 1);
                             });
    };
    QObject::connect(ModelInstance::instance(), &ModelInstance::modelCreated, &watcher, watch);
    // It stops as the window has painted rows of the page's list, whichever paint that is: the
    // first after the rows came that covers the list while the list shows rows, laid out.
    FirstPaint paint(
        window->viewport(),
        [&](const QPaintEvent* event) {
            if (!sinceRows.isValid() || !page)
                return false;
            MList* list = page->pageList();
            const QRect shown = window->mapFromScene(list->sceneBoundingRect()).boundingRect();
            return event->region().intersects(shown) && PageBench::rowsLaidOut(list);
        },
        [&] {
            first.ms = sinceRows.nsecsElapsed() / 1e6;
            CALLGRIND_STOP_INSTRUMENTATION;
            CALLGRIND_DUMP_STATS;
            // As drawn: the rest of the list may follow within the same turn of the loop.
            first.rowsAtFirstScreen = model->rowCount();
            first.cells = page->pageList()->visibleCells().size();
        });
    page = makePage();
    page->appear(window);
    if (!model)
        return first;
    if (model->rowCount() > 0)
        startClock(model->rowCount());
    waitUntil([&] { return paint.done; });
    return first;
}

int PageBench::run(int argc, char** argv)
{
    TestEnvironment::prepare();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    MLocale locale;
    locale.installTrCatalog(QStringLiteral("music"));
    MLocale::setDefault(locale);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TrackerStore::destroy();
    return 0;
}
