// A short tour of the player as a user takes it, with a finger on the real window over the
// real store: a start on a library indexed before, a song played while a new file lands in
// the music folder, a re-index that rebuilds the lists under the pages, and a play from a
// filtered list afterwards. Each step checks what the user sees and what the playback service
// reports, so faults met that way stay mended.

#include "common/parlovancesettings.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "maction.h"
#include "mbutton.h"
#include "mlist.h"
#include "mlocale.h"
#include "moverlay.h"
#include "pageframework/mainpagelistitem.h"
#include "pages/allsongspage.h"
#include "pages/parlovancemainpage.h"
#include "pageframework/applicationmenuwidget.h"
#include "player/navigationbarwidget.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "pageframework/songcollectionlistitem.h"
#include "pageframework/songlist.h"
#include "player/albumartwidget.h"
#include "player/nowplayingpage.h"
#include "player/playerinfoarea.h"
#include "player/playqueuecontentitem.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"
#include "shell/parlovanceservice.h"
#include "librarywindow.h"
#include "listrows.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;
// What the playback service answers for a playing and a stopped player.
const int BusPlaying = 1;
const int BusStopped = 0;

QPointF centreOf(QGraphicsItem* item)
{
    return item->mapToScene(item->boundingRect().center());
}

// The queue's rows: the title over the artist, the length at the right end of the artist's
// line, all at the list's width.
void verifyQueueRows(MList* list)
{
    QCoreApplication::processEvents();
    const qreal width = list->size().width();
    int rows = 0;
    for (MWidget* cell : list->visibleCells()) {
        auto* row = qobject_cast<PlayQueueContentItem*>(cell);
        if (!row)
            continue;
        ++rows;
        QCOMPARE(row->size().width(), width);
        const QRectF title = row->titleLabelWidget()->geometry();
        const QRectF artist = row->subtitleLabelWidget()->geometry();
        const QRectF length = row->sideBottomLabelWidget()->geometry();
        QVERIFY2(title.width() > width / 2, qPrintable(row->title()));
        QVERIFY2(artist.width() > width / 4 && row->subtitleLabelWidget()->isVisible(),
                 qPrintable(row->title()));
        QVERIFY(artist.top() >= title.bottom() - 1);
        QVERIFY(length.left() >= artist.right() - 1);
        QVERIFY(length.right() > width * 0.8);
        QVERIFY(length.top() >= title.bottom() - 1 && length.top() < artist.bottom());
    }
    QVERIFY(rows > 0);
}

} // namespace

class TestTour : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void aNewFileWhilePlayingLeavesTheUserWhereHeIs();
    void aReIndexEndsPlaybackAndTheServiceSaysSo();
    void aFilteredPlayAfterTheReIndexPlaysTheMatches();
    void rowsAreLaidOutAtTheWidthTheyAreDrawnAt();

private:
    AllSongsPage* songsPage() const;
    void tapLibraryButton(const QString& title);
    void tapSong(const QString& title);
    void expectPlaying(const QString& title);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
};

void TestTour::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();

    // The library was indexed by an earlier run: this start has nothing new to index.
    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    ParlovanceSettings settings;
    settings.setValue(QStringLiteral("ShuffleOn"), false);
    settings.sync();

    // As the program starts: the window first, the library opening behind it.
    window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), Timeout);
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestTour::cleanupTestCase()
{
    PlayState::instance()->stop(PlayState::MusicMode);
    finger.reset();
    window.reset();
}

AllSongsPage* TestTour::songsPage() const
{
    return qobject_cast<AllSongsPage*>(window->cachedPage(PageAllSongs));
}

void TestTour::tapLibraryButton(const QString& title)
{
    QTRY_COMPARE(window->currentPage(), int(PageMain));
    QGraphicsWidget* mainPage = window->cachedPage(PageMain);
    // The page left behind goes on the next turn of the event loop; until then it covers
    // the main page.
    for (int other = PageArtists; other <= PageUsbNotice; ++other) {
        if (QGraphicsWidget* cached = window->cachedPage(ParlovancePages(other)))
            QTRY_VERIFY(!cached->isVisible());
    }
    // After a library update the notice covers the page until the grid has shown the checked
    // list, or at most for the window's delay: a user waits for it to go.
    MOverlay* notice = qobject_cast<ParlovanceMainPage*>(mainPage)->indexingOverlay();
    QTRY_VERIFY_WITH_TIMEOUT(!notice || !notice->isVisible(), Timeout);
    QTRY_VERIFY(libraryButton(mainPage, title));
    finger->tap(centreOf(libraryButton(mainPage, title)));
}

void TestTour::tapSong(const QString& title)
{
    AllSongsPage* songs = songsPage();
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(songs->listAdapter(), title).isValid(), Timeout);
    const QModelIndex row = rowTitled(songs->listAdapter(), title);
    QTRY_VERIFY(songs->pageList()->visibleCell(row));
    finger->tap(centreOf(songs->pageList()->visibleCell(row)));
}

void TestTour::expectPlaying(const QString& title)
{
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageNowPlaying), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), title);
    QCOMPARE(ParlovanceService::instance()->playbackState(), BusPlaying);
}

void TestTour::aNewFileWhilePlayingLeavesTheUserWhereHeIs()
{
    tapLibraryButton(QStringLiteral("Songs"));
    tapSong(QStringLiteral("Cobalt"));
    expectPlaying(QStringLiteral("Cobalt"));
    PlayState* hub = PlayState::instance();
    const QList<ParlovancePages> history = window->pageHistory();

    // Shuffle on, as a user who listens that way.
    auto* player = qobject_cast<NowPlayingPage*>(window->cachedPage(PageNowPlaying));
    QVERIFY(player);
    // The player takes its buttons' taps once its view menu is filled, just after the song
    // has changed.
    QTRY_VERIFY(
        player->navigation()->applicationMenu()->actions().contains(player->ringtoneMenuAction()));
    QVERIFY(player->navigation()->shuffleControl()->isEnabled());
    finger->tap(centreOf(player->navigation()->shuffleControl()));
    QTRY_VERIFY(hub->isShuffle());
    const int queued = hub->songCount(PlayState::MusicMode);

    // A song with a new artist and album is copied into the music folder.
    QSharedPointer<MafwTrackerModel> all = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    const int before = all->rowCount();
    AudioTags tags;
    tags.title = QStringLiteral("Brand New Day");
    tags.artist = QStringLiteral("Quentin Newcomer");
    tags.album = QStringLiteral("Fresh Start");
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Quentin/Fresh/01.ogg"), tags).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(all->rowCount(), before + 1, Timeout);
    FixtureLibrary::settleStore();

    // The lists take the song in; the user stays on the player with the queue as it was.
    QVERIFY(!hub->isUpdatingLibrary());
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    QCOMPARE(window->pageHistory(), history);
    QCOMPARE(hub->songCount(PlayState::MusicMode), queued + 1); // the queue is the library
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
    QCOMPARE(ParlovanceService::instance()->playbackState(), BusPlaying);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Cobalt"));
}

void TestTour::aReIndexEndsPlaybackAndTheServiceSaysSo()
{
    // The store restarted its indexing: the lists are rebuilt while the user waits on the
    // main page, and the queue, which may name songs that are gone, is emptied.
    PlayState* hub = PlayState::instance();
    QSignalSpy reported(ParlovanceService::instance(), SIGNAL(playbackStateChanged(int)));
    window->handleTrackerIndexing(true, 0, true);
    QVERIFY(hub->isUpdatingLibrary());
    QCOMPARE(window->currentPage(), int(PageMain));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
    QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    QCOMPARE(ParlovanceService::instance()->playbackState(), BusStopped);
    QTRY_VERIFY(!reported.isEmpty());
    QCOMPARE(reported.last().first().toInt(), BusStopped);

    const QSharedPointer<MafwTrackerModel> old = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    window->handleTrackerIndexing(false, 0, false);
    QVERIFY(!hub->isUpdatingLibrary());
    QVERIFY(ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs) != old);
}

void TestTour::aFilteredPlayAfterTheReIndexPlaysTheMatches()
{
    // Shuffle is still on from before; the matches are the two chapters of an audiobook.
    PlayState* hub = PlayState::instance();
    QVERIFY(hub->isShuffle());
    tapLibraryButton(QStringLiteral("Songs"));
    AllSongsPage* songs = songsPage();
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    QTRY_COMPARE(songs->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(songs->listAdapter(), QStringLiteral("Emerald")).isValid(),
                             Timeout);
    QSignalSpy edits(songs, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("green"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(songs->currentFilterText(), QStringLiteral("green"));
    QTRY_COMPARE(songs->listAdapter()->rowCountInGroup(-1), 2);

    tapSong(QStringLiteral("Jade"));
    expectPlaying(QStringLiteral("Jade"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 2);
    QVERIFY(!hub->isShuffle()); // an audiobook plays in its order
}

void TestTour::rowsAreLaidOutAtTheWidthTheyAreDrawnAt()
{
    // The list rows after Back from the player, in a filtered list and in the play queue after
    // shuffle: every row drawn at the list's width, title, artist line and length in place.
    auto* player = qobject_cast<NowPlayingPage*>(window->cachedPage(PageNowPlaying));
    QVERIFY(player);
    AllSongsPage* songs = songsPage();
    emit player->backButtonClicked();
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    QTRY_COMPARE(songs->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY(songs->currentFilterText().isEmpty());
    QTRY_VERIFY(songs->pageList()->visibleCell(rowTitled(songs->listAdapter(), "Cobalt")));
    verifySongRowsSpanTheList(songs->pageList());

    QSignalSpy edits(songs, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("r"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(songs->currentFilterText(), QStringLiteral("r"));
    QTRY_VERIFY(songs->pageList()->visibleCell(rowTitled(songs->listAdapter(), "Crimson")));
    verifySongRowsSpanTheList(songs->pageList());

    // A song of the whole library, shuffled, and its queue opened on the player.
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    QTRY_VERIFY_WITH_TIMEOUT(songs->currentFilterText().isEmpty(), Timeout);
    tapSong(QStringLiteral("Cobalt"));
    expectPlaying(QStringLiteral("Cobalt"));
    PlayState* hub = PlayState::instance();
    QTRY_VERIFY(
        player->navigation()->applicationMenu()->actions().contains(player->ringtoneMenuAction()));
    if (!hub->isShuffle()) {
        finger->tap(centreOf(player->navigation()->shuffleControl()));
        QTRY_VERIFY(hub->isShuffle());
    }
    finger->tap(centreOf(player->albumArt()));
    QTRY_VERIFY(player->infoArea()->isQueueOpen());
    MList* queue = player->infoArea()->queueList();
    QTRY_VERIFY(queue->visibleCells().size() > 1);
    verifyQueueRows(queue);
}

PARLOVANCE_TEST_MAIN(TestTour)
#include "tst_tour.moc"
