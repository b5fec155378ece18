// The albums and the artists pages of a library longer than a model's first batch, on a real
// window over the real store: the page's first screen is drawn before the rest of its list is
// made, and the rest follows.

#include "data/listmodel.h"
#include "librarywindow.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwstorecatalogue.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mlocale.h"
#include "pageframework/collectionpagebase.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"
#include "trackerindexworker.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"
#include "trackertagreader.h"

#include <QDateTime>
#include <QPaintEvent>
#include <QtTest>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;
const int Albums = 70; // by as many artists, two songs each
const int FirstBatch = 50;

// The page's model as the window first draws the page with rows.
class FirstDrawnRows : public QObject
{
public:
    FirstDrawnRows(QWidget* viewport, CollectionPageBase* page)
        : page(page)
    {
        viewport->installEventFilter(this);
    }

    int rows = -1;
    bool complete = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        MafwTrackerModel* model = page->currentPageModel().data();
        if (rows < 0 && event->type() == QEvent::Paint && page->isVisible() && model
            && model->rowCount() > 0) {
            rows = model->rowCount();
            complete = model->isComplete();
        }
        return false;
    }

private:
    CollectionPageBase* page;
};

} // namespace

class TestLongLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void firstScreenComesBeforeTheRest_data();
    void firstScreenComesBeforeTheRest();
    void theRestComesToAWindowThatDrawsNothing();

private:
    std::unique_ptr<MainWindow> window;
};

void TestLongLists::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();

    // The songs have no files: an indexer would take them out of the store again.
    MafwTrackerModelFactory::setIndexerEnabled(false);
    QVERIFY(FixtureLibrary::openStore());
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
    QStringList songs;
    for (int i = 0; i < 2 * Albums; ++i) {
        TrackerTrackInfo info;
        info.title = QStringLiteral("Song %1").arg(i);
        info.artist = QStringLiteral("Artist %1").arg(i % Albums);
        info.album = QStringLiteral("Album %1").arg(i % Albums);
        info.trackNumber = i / Albums + 1;
        info.durationSeconds = 180;
        songs << TrackerIndexWorker::songUpdate(TrackerSparql::newIri(), false,
                                                QStringLiteral("file:///music/%1.ogg").arg(i),
                                                QStringLiteral("%1.ogg").arg(i), 4096, added, added,
                                                info);
    }
    QVERIFY(TrackerQueryRunner::update(connection, songs.join(QStringLiteral(" ;\n"))).ok);
    TrackerQueryRunner::releaseConnection(connection);

    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(factory->isReady(), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(factory->factory()->catalogue()->isComplete(), Timeout);
    openWindow(&window, Timeout);
    QVERIFY(window && window->isPreloadingDone());
}

void TestLongLists::cleanupTestCase()
{
    window.reset();
    TrackerStore::destroy();
}

void TestLongLists::firstScreenComesBeforeTheRest_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("albums") << int(PageAlbums);
    QTest::newRow("artists") << int(PageArtists);
}

void TestLongLists::firstScreenComesBeforeTheRest()
{
    QFETCH(int, page);
    // Both pages take their model as they first show.
    auto* shown = qobject_cast<CollectionPageBase*>(window->cachedPage(ParlovancePages(page)));
    QVERIFY(shown);
    QVERIFY(!shown->currentPageModel());
    FirstDrawnRows first(window->viewport(), shown);
    // A busy window draws the page only after it has appeared: the rest is not made before.
    window->viewport()->setUpdatesEnabled(false);
    QMetaObject::Connection drawAgain = connect(shown, &MSceneWindow::appeared, window->viewport(),
                                                [this] {
                                                    window->viewport()->setUpdatesEnabled(true);
                                                });
    window->goToPage(ParlovancePages(page));
    QTRY_VERIFY_WITH_TIMEOUT(first.rows > 0, Timeout);
    disconnect(drawAgain);
    QCOMPARE(first.rows, FirstBatch);
    QVERIFY(!first.complete);

    // The rest follows, into the list.
    QTRY_VERIFY_WITH_TIMEOUT(shown->currentPageModel()->isComplete(), Timeout);
    QTRY_COMPARE(shown->listAdapter()->rowCountInGroup(-1), Albums);
    QCOMPARE(shown->layoutState(), CollectionPageBase::ListState);
}

void TestLongLists::theRestComesToAWindowThatDrawsNothing()
{
    auto* songs = qobject_cast<CollectionPageBase*>(window->cachedPage(PageAllSongs));
    QVERIFY(songs);
    window->viewport()->setUpdatesEnabled(false);
    window->goToPage(PageAllSongs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->currentPageModel() && songs->currentPageModel()->isComplete(),
                             Timeout);
    QTRY_COMPARE(songs->listAdapter()->rowCountInGroup(-1), 2 * Albums);
    window->viewport()->setUpdatesEnabled(true);
}

PARLOVANCE_TEST_MAIN(TestLongLists)
#include "tst_longlists.moc"
