// A start on a library indexed before: the page the user asks for shows the store's rows
// without waiting for the file indexer's first scan, and the window still learns from that
// scan whether the start has files to index (so that a later change in the music folder
// updates the lists in place instead of sending the user to the main page).

#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "pageframework/quintaveilpage.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"
#include "testcatalogs.h"
#include "testenvironment.h"
#include "trackerfileindexer.h"
#include "trackerstore.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 60000;
const int StandardSongs = 9;

// Keeps the file indexer's thread busy, so that the scan the start asks for waits, until
// released (or destroyed).
class ScanHold
{
public:
    bool hold()
    {
        TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
        indexer->rescan(); // makes the indexer's thread
        m_thread = indexer->findChild<QThread*>();
        if (!m_thread)
            return false;
        auto* busy = new QObject;
        busy->moveToThread(m_thread);
        QObject::connect(m_thread, &QThread::finished, busy, &QObject::deleteLater);
        QSemaphore* running = &m_running;
        QSemaphore* release = &m_release;
        QMetaObject::invokeMethod(
            busy,
            [running, release] {
                running->release();
                release->acquire();
            },
            Qt::QueuedConnection);
        m_running.acquire();
        m_held = true;
        return true;
    }
    void release()
    {
        if (m_held)
            m_release.release();
        m_held = false;
    }
    ~ScanHold() { release(); }

private:
    QThread* m_thread = nullptr;
    QSemaphore m_running;
    QSemaphore m_release;
    bool m_held = false;
};

MafwTrackerConnection* connection()
{
    return MafwTrackerModelFactoryInstance::instance()->factory()->trackerConnection();
}

} // namespace

class TestLibraryStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void theSongsShowBeforeTheFirstScanEnds();
    void aStartWithNothingToIndexStopsWatchingOnceTheScanSaysSo();
    void aLaterChangeUpdatesTheListInPlace();
    void theFirstRowsOfAListAreTheStartOfTheWholeList();

private:
    std::unique_ptr<MainWindow> window;
    ScanHold scan;
    int scansBefore = 0;
};

void TestLibraryStart::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    // Indexed as a previous run of the program left it.
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QVERIFY(!TrackerStore::instance()->indexer()->isStarted());
    scansBefore = TrackerStore::instance()->indexer()->finishedScans();
    // The first scan of this start takes as long as the test wants, however slow the machine.
    MafwTrackerModelFactory::setFirstScanWaitForTesting(10 * 60 * 1000);
}

void TestLibraryStart::cleanupTestCase()
{
    scan.release();
    window.reset();
}

void TestLibraryStart::theSongsShowBeforeTheFirstScanEnds()
{
    QVERIFY(scan.hold());
    MafwTrackerModelFactoryInstance* library = MafwTrackerModelFactoryInstance::instance();
    QSignalSpy ready(library, SIGNAL(completed(bool)));
    QSignalSpy statusKnown(library, SIGNAL(indexingStatusKnown()));
    window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    // The user taps Songs at once.
    window->goToPage(PageAllSongs);
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageAllSongs), Timeout);
    auto* page = qobject_cast<QuintaveilPage*>(window->cachedPage(PageAllSongs));
    QVERIFY(page);
    QTRY_VERIFY_WITH_TIMEOUT(page->currentPageModel()
                                 && page->currentPageModel()->rowCount() == StandardSongs,
                             Timeout);
    // All of it while the scan has not even begun.
    QCOMPARE(TrackerStore::instance()->indexer()->finishedScans(), scansBefore);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(ready.first().first().toBool(), true);
    QVERIFY(library->isReady());
    QCOMPARE(statusKnown.count(), 0);
    QVERIFY(!library->isIndexingStatusKnown());
    QVERIFY(!library->factory()->isReady());
    // Whether this start indexes is not known yet: a report of indexing would still show the
    // updating state.
    QVERIFY(connection()->isIndexingNotificationOn());
    QVERIFY(!PlayState::instance()->isUpdatingLibrary());
}

void TestLibraryStart::aStartWithNothingToIndexStopsWatchingOnceTheScanSaysSo()
{
    MafwTrackerModelFactoryInstance* library = MafwTrackerModelFactoryInstance::instance();
    QSignalSpy statusKnown(library, SIGNAL(indexingStatusKnown()));
    QSignalSpy ready(library, SIGNAL(completed(bool)));
    scan.release();
    QVERIFY(statusKnown.count() == 1 || statusKnown.wait(Timeout));
    QVERIFY(library->isIndexingStatusKnown());
    QVERIFY(library->factory()->isReady());
    // The library was announced once, not again with the status.
    QCOMPARE(ready.count(), 0);
    QVERIFY(!connection()->isIndexingNotificationOn());
    QVERIFY(!PlayState::instance()->isUpdatingLibrary());
    QCOMPARE(window->currentPage(), int(PageAllSongs));
}

void TestLibraryStart::aLaterChangeUpdatesTheListInPlace()
{
    auto* page = qobject_cast<QuintaveilPage*>(window->cachedPage(PageAllSongs));
    QVERIFY(page && page->currentPageModel());
    QSharedPointer<MafwTrackerModel> songs = page->currentPageModel();
    QTRY_VERIFY_WITH_TIMEOUT(songs->isComplete(), Timeout);
    // Nothing of the indexing reaches the window: no updating state, no jump to the main page.
    QSignalSpy reports(connection(), SIGNAL(trackerIndexing(bool, int, bool)));
    AudioTags tags;
    tags.title = QStringLiteral("Dropped in");
    tags.artist = QStringLiteral("Kim");
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/dropped.ogg"), tags).isEmpty());
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), StandardSongs + 1, Timeout);
    QVERIFY(!PlayState::instance()->isUpdatingLibrary());
    QVERIFY(reports.isEmpty());
    QCOMPARE(window->currentPage(), int(PageAllSongs));
}

void TestLibraryStart::theFirstRowsOfAListAreTheStartOfTheWholeList()
{
    // The lists of the main page hold only their first rows, which are sorted apart from the
    // rest; the songs of one index share their date, so the titles decide among them.
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    for (MafwTrackerModel::QueryType type :
         { MafwTrackerModel::RecentlyAddedSongs, MafwTrackerModel::NeverPlayedSongs }) {
        QSharedPointer<MafwTrackerModel> all(factory->getModel(type, 0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(all->isComplete(), Timeout);
        QVERIFY2(all->rowCount() > 3, qPrintable(QString::number(type)));
        for (int first = 1; first <= 3; ++first) {
            QSharedPointer<MafwTrackerModel> some(factory->getModel(type, first, 0));
            QTRY_COMPARE_WITH_TIMEOUT(some->rowCount(), first, Timeout);
            for (int row = 0; row < first; ++row)
                QCOMPARE(some->index(row, 0).data(), all->index(row, 0).data());
        }
    }
}

PARLOVANCE_TEST_MAIN(TestLibraryStart)
#include "tst_librarystart.moc"
