// The page base on a real window over a fixture library in the real store: navigation,
// gestures, the keyboard live filter, playback from a page through the real playback hub, the
// now-playing button, the empty-list policy and queueing with its banners. The last case saves
// a screenshot of a filtered list (into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the
// build tree). Under Xvfb:
//   xvfb-run -a -s "-screen 0 1024x1024x24" env QT_QPA_PLATFORM=xcb tst_quintaveilpage

#include "testpage.h"
#include "librarywindow.h"

#include "common/constants.h"
#include "pageframework/filterwidget.h"
#include "fixturelibrary.h"
#include "activity/latestactivitycontroller.h"
#include "data/listmodel.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "shell/mainwindow.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlist.h"
#include "mlocale.h"
#include "mobjectmenu.h"
#include "mpannableviewport.h"
#include "mscenemanager.h"
#include "mtextedit.h"
#include "pageframework/nowplayingbutton.h"
#include "playback/playstate.h"
#include "qmusbmode.h"
#include "pageframework/songcollectionlistitem.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "data/twinturbosortfilterproxymodel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGestureEvent>
#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

} // namespace

class TestQuintaveilPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void navigationThroughTheWindow();
    void gesturePolicyFollowsTheCurrentPage();
    void typingOpensTheFilterAndEditsArrivePerPause();
    void pullingDownAtTheTopOpensTheFilter();
    void typingOnAPageWithoutFilterDoesNothing();
    void nowPlayingButtonFollowsTheQueue();
    void tappingARowPlaysOnceThePageHasGone();
    void stayOnPagePlaysAtOnceAndRecordsTheAlbum();
    void emptyModelWaitsForItsFirstRows();
    void untitledAlbumActivityFollowsItsTrack();
    void replacedQueueDropsTheWaitingRequest();
    void anotherPageOrRequestEndsTheWait();
    void refusedPlaybackIsNotRecorded();
    void queueingShowsHowManySongsWereAdded();
    void emptiedListStepsBack();
    void anEmptyListStepsBackOnceAndOnlyInFront();
    void rowsThroughTheFilterAndCoverRefresh();
    void screenshotOfAFilteredList();

private:
    TestPage* showPage(bool withFilter);

    std::unique_ptr<MainWindow> window;
    QSharedPointer<MafwTrackerModel> allSongs;
    QList<TestPage*> pages;
};

void TestQuintaveilPage::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    MBanner::setDisplayDurationForTesting(50);

    // Songs long enough that none ends while a case looks at what plays.
    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(factory->isReady(), Timeout);
    allSongs.reset(factory->factory()->getModel(MafwTrackerModel::AllSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), 9, Timeout);

    openWindow(&window, Timeout);
    QVERIFY(window && window->isPreloadingDone());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestQuintaveilPage::init()
{
    MBanner::clearShownTitles();
    // Shuffle hides audiobooks and podcasts from the queue; the cases count every song.
    PlayState::instance()->setShuffle(false);
    PlayState::instance()->setUpdatingLibrary(false);
}

void TestQuintaveilPage::cleanup()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    hub->setUpdatingLibrary(false);
    for (TestPage* page : qAsConst(pages))
        delete page;
    pages.clear();
    QCoreApplication::processEvents();
}

void TestQuintaveilPage::cleanupTestCase()
{
    window.reset();
    allSongs.reset();
}

TestPage* TestQuintaveilPage::showPage(bool withFilter)
{
    auto* page = new TestPage(window.get(), withFilter);
    pages.append(page);
    page->setModel(allSongs);
    page->appear(window.get());
    return page;
}

void TestQuintaveilPage::navigationThroughTheWindow()
{
    TestPage* page = showPage(false);
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));

    page->showPage(PageAllSongs);
    QCOMPARE(asked.count(), 1);
    const QVariant parameter = asked.first().at(1).value<QVariant>();
    QVERIFY(parameter.isValid()); // an empty text, not an invalid value
    QCOMPARE(parameter.toString(), QString());
    QCOMPARE(window->currentPage(), int(PageAllSongs));

    emit page->preLoadPage(PageSongsOfAlbum);
    QVERIFY(window->cachedPage(PageSongsOfAlbum));

    // The window's word that indexing goes on reaches the user through the page.
    emit window->trackerIndexing();
    QVERIFY(MBanner::shownTitles().contains(QStringLiteral("Not all content is indexed yet")));

    // The page's own back goes back in the window.
    const int before = window->pageHistory().size();
    page->appear(window.get());
    emit page->goBack();
    QCOMPARE(window->pageHistory().size(), before - 1);
}

void TestQuintaveilPage::gesturePolicyFollowsTheCurrentPage()
{
    TestPage* page = showPage(false);
    auto check = [page](QGesture* gesture, bool accepted) {
        QGestureEvent event({ gesture });
        switch (gesture->gestureType()) {
        case Qt::TapGesture:
            page->tapGestureEvent(&event, static_cast<QTapGesture*>(gesture));
            break;
        case Qt::TapAndHoldGesture:
            page->tapAndHoldGestureEvent(&event, static_cast<QTapAndHoldGesture*>(gesture));
            break;
        case Qt::PanGesture:
            page->panGestureEvent(&event, static_cast<QPanGesture*>(gesture));
            break;
        default:
            page->swipeGestureEvent(&event, static_cast<QSwipeGesture*>(gesture));
            break;
        }
        return event.isAccepted(gesture) == accepted;
    };
    QTapGesture tapGesture;
    QTapAndHoldGesture hold;
    QPanGesture pan;
    QSwipeGesture swipe;

    window->goToPage(PageNowPlaying);
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    QVERIFY(check(&tapGesture, false));
    QVERIFY(check(&swipe, false));
    QVERIFY(check(&pan, true));
    QVERIFY(check(&hold, true));

    window->goToPage(PageAlbumsOfArtist);
    QVERIFY(check(&tapGesture, true));
    QVERIFY(check(&swipe, true));
    QVERIFY(check(&pan, false));
    QVERIFY(check(&hold, false));

    window->goToPage(PageSongDetails, QVariant(1));
    QVERIFY(check(&hold, true));
    QVERIFY(check(&pan, false));
}

void TestQuintaveilPage::typingOpensTheFilterAndEditsArrivePerPause()
{
    TestPage* page = showPage(true);
    QVERIFY(page->waitForVisibleRow(QStringLiteral("Azure")).isValid());
    QVERIFY(page->hasFocus());
    QSignalSpy started(page, SIGNAL(filteringStarted()));
    QSignalSpy edits(page, SIGNAL(filterTextChanged(QString)));

    QTest::keyClicks(window.get(), QStringLiteral("c"));
    QCOMPARE(started.count(), 1);
    QVERIFY(page->filterField()->isVisible());
    QCOMPARE(page->filterField()->text(), QStringLiteral("c"));
    QVERIFY(page->filterField()->textEdit()->hasFocus());

    // Later keys go to the field; edits within one pause arrive once, as they stand.
    QTest::keyClicks(window.get(), QStringLiteral("ob"));
    QVERIFY(edits.wait(Timeout));
    QCOMPARE(edits.count(), 1);
    QCOMPARE(edits.first().first().toString(), QStringLiteral("cob"));
    QTRY_COMPARE(page->listAdapter()->rowCountInGroup(-1), 1); // Cobalt
    QCOMPARE(started.count(), 1);

    QTest::keyClicks(window.get(), QStringLiteral("a"));
    QVERIFY(edits.wait(Timeout));
    QCOMPARE(edits.count(), 2);
    QCOMPARE(edits.last().first().toString(), QStringLiteral("coba"));

    // A key on the page itself, while the field holds text, replaces that text.
    page->setFocus();
    QTest::keyClicks(window.get(), QStringLiteral("j"));
    QCOMPARE(page->filterField()->text(), QStringLiteral("j"));
    QCOMPARE(started.count(), 1);

    // Leaving the page empties the field, and the list hears of it.
    QSignalSpy stopped(page, SIGNAL(filteringStopped()));
    page->disableFilteringOnDisplayExit();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(page->filterField()->text().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(edits.last().first().toString(), QString(), Timeout);
}

void TestQuintaveilPage::pullingDownAtTheTopOpensTheFilter()
{
    TestPage* page = showPage(true);
    const QModelIndex row = page->waitForVisibleRow(QStringLiteral("Azure"));
    QVERIFY(row.isValid());
    MPannableViewport* viewport = page->pannableViewport();
    QVERIFY(viewport);
    QTRY_VERIFY(viewport->range().height() > 100);
    const QPointF start = page->pageList()->visibleCell(row)->mapToScene(QPointF(200, 40));

    // A pull that starts below the top only scrolls back up.
    viewport->setPosition(QPointF(0, 100));
    QTRY_COMPARE(viewport->position().y(), 100.0);
    TouchDriver(window.get()).drag(start, start + QPointF(0, 300));
    QTRY_COMPARE_WITH_TIMEOUT(viewport->position().y(), 0.0, Timeout);
    QVERIFY(!page->filterField()->isVisible());

    TouchDriver(window.get()).drag(start, start + QPointF(0, 200));
    QVERIFY(page->filterField()->isVisible());
}

void TestQuintaveilPage::typingOnAPageWithoutFilterDoesNothing()
{
    TestPage* page = showPage(false);
    QVERIFY(page->waitForVisibleRow(QStringLiteral("Azure")).isValid());
    QVERIFY(page->hasFocus());
    QSignalSpy started(page, SIGNAL(filteringStarted()));
    QSignalSpy edits(page, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("xy"));
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    QCoreApplication::processEvents();
    QCOMPARE(started.count(), 0);
    QCOMPARE(edits.count(), 0);
    QVERIFY(!page->filterField());
}

void TestQuintaveilPage::nowPlayingButtonFollowsTheQueue()
{
    PlayState* hub = PlayState::instance();
    hub->clearPlayQueue();
    TestPage* page = showPage(false);
    page->createToolbarActions();
    NowPlayingButton* button = page->nowPlayingButton();
    QVERIFY(button);
    QVERIFY(!button->isVisible());
    QVERIFY(page->actions().contains(button));

    hub->appendModel(allSongs, PlayState::ReplaceQueue, -1);
    QTRY_VERIFY(button->isVisible());

    QSignalSpy going(window.get(), SIGNAL(goingToPlayerView()));
    button->playerButton()->click();
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    QCOMPARE(going.count(), 1);

    hub->clearPlayQueue();
    QTRY_VERIFY(!button->isVisible());
}

void TestQuintaveilPage::tappingARowPlaysOnceThePageHasGone()
{
    PlayState* hub = PlayState::instance();
    const int activities = LatestActivityController::instance()->activityCount();
    TestPage* page = showPage(false);
    const QModelIndex row = page->waitForVisibleRow(QStringLiteral("Crimson"));
    QVERIFY(row.isValid());
    const int songId = row.data(Qt::UserRole + 8).toInt();

    // What the page and the hub are doing when playback starts, and when page 8 is asked for.
    bool playingWhenAsked = true;
    connect(page, &QuintaveilPage::goToPage, page,
            [&] { playingWhenAsked = hub->state(PlayState::MusicMode) == PlayState::Playing; });
    int pageStateAtStart = -1;
    connect(hub, &PlayState::stateChanged, page, [&](PlayState::State state) {
        if (state == PlayState::Playing && pageStateAtStart < 0)
            pageStateAtStart = page->sceneWindowState();
    });

    MWidget* cell = page->pageList()->visibleCell(row);
    TouchDriver(window.get()).tap(cell->mapToScene(cell->boundingRect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QVERIFY(!playingWhenAsked);
    QCOMPARE(pageStateAtStart, int(MSceneWindow::Disappeared));
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    QCOMPARE(hub->songId(PlayState::MusicMode), songId);

    // Recently added albums may fill the list meanwhile; all songs is one entry, first.
    int allSongsEntries = 0;
    for (const Activity& entry : LatestActivityController::instance()->activities())
        allSongsEntries += entry.Type == Activity::AllSongs ? 1 : 0;
    QCOMPARE(allSongsEntries, 1);
    QVERIFY(LatestActivityController::instance()->activityCount() >= activities);
    const Activity recorded = LatestActivityController::instance()->activities().first();
    QCOMPARE(int(recorded.Type), int(Activity::AllSongs));
    QCOMPARE(recorded.Name, QStringLiteral("qtn_musi_all_songs")); // the id, not its text
    QCOMPARE(recorded.TrackerId, 0);
    QVERIFY(!recorded.Shuffled);

    // The playing row is accented when the page shows again.
    page->appear(window.get());
    QTRY_VERIFY(page->pageList()->visibleCell(row));
    auto* item = qobject_cast<SongCollectionListItem*>(page->pageList()->visibleCell(row));
    QVERIFY(item);
    QTRY_COMPARE(item->titleLabel()->styleName(), QStringLiteral("CommonTitleAccented"));
}

void TestQuintaveilPage::stayOnPagePlaysAtOnceAndRecordsTheAlbum()
{
    PlayState* hub = PlayState::instance();
    TestPage* page = showPage(false);
    const QModelIndex row = page->waitForVisibleRow(QStringLiteral("Azure"));
    QVERIFY(row.isValid());
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));

    page->play(row, allSongs, QStringLiteral("songsOfAlbum"), Activity::Album,
               PlayWithoutPlayerView | PlayShuffled);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(asked.count(), 0);
    QCOMPARE(window->sceneManager()->currentPage(), page);

    const Activity recorded = LatestActivityController::instance()->activities().first();
    QCOMPARE(int(recorded.Type), int(Activity::Album));
    QCOMPARE(recorded.Name, hub->album(PlayState::MusicMode));
    QVERIFY(recorded.Shuffled);
    // An album the recently added albums already listed is moved first with its own artist and
    // id; a new entry takes the playing song's.
    if (recorded.AdditionalParameter != hub->artist(PlayState::MusicMode))
        QCOMPARE(recorded.AdditionalParameter, QStringLiteral("Kim"));
    QVERIFY(recorded.TrackerId == hub->albumId(PlayState::MusicMode) || recorded.TrackerId > 0);
}

void TestQuintaveilPage::emptyModelWaitsForItsFirstRows()
{
    PlayState* hub = PlayState::instance();
    hub->clearPlayQueue();
    TestPage* page = showPage(false);
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));
    QSharedPointer<MafwTrackerModel> unknownArtist(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfUnknownArtist, 0, 0));
    QCOMPARE(unknownArtist->rowCount(), 0);

    page->play(QModelIndex(), unknownArtist, QStringLiteral("songsOfArtist"), Activity::Artist);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
    QCOMPARE(asked.count(), 0); // waits for the rows
    QTRY_COMPARE_WITH_TIMEOUT(asked.count(), 1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Nobody"));
    const Activity recorded = LatestActivityController::instance()->activities().first();
    QCOMPARE(int(recorded.Type), int(Activity::Artist));
    QCOMPARE(recorded.Name, QStringLiteral("qtn_musi_unknown_artist")); // the id, not its text
    QCOMPARE(recorded.AdditionalParameter, QStringLiteral("Blue"));
}

void TestQuintaveilPage::untitledAlbumActivityFollowsItsTrack()
{
    PlayState* hub = PlayState::instance();
    TestPage* page = showPage(false);
    QSharedPointer<MafwTrackerModel> unknownAlbum(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfUnknownAlbum, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(unknownAlbum->rowCount(), 1, Timeout); // a podcast

    page->play(QModelIndex(), unknownAlbum, QStringLiteral("songsOfAlbum"), Activity::Album,
               PlayWithoutPlayerView);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Nowhere"));
    QCOMPARE(hub->album(PlayState::MusicMode), qtTrId("qtn_musi_unknown_album"));
    QCOMPARE(LatestActivityController::instance()->activities().first().Name,
             QStringLiteral("qtn_musi_unknown_album"));

    // The hub reports the podcast's track under the album's shown name; the record, kept under
    // the text id, still takes it.
    QTRY_COMPARE_WITH_TIMEOUT(LatestActivityController::instance()->activities().first().TrackNo,
                              hub->trackNumber(), Timeout);
    QVERIFY(hub->trackNumber() >= 0);
}

void TestQuintaveilPage::replacedQueueDropsTheWaitingRequest()
{
    PlayState* hub = PlayState::instance();
    hub->clearPlayQueue();
    const int activities = LatestActivityController::instance()->activityCount();
    TestPage* page = showPage(false);
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));
    QSharedPointer<MafwTrackerModel> unknownAlbum(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfUnknownAlbum, 0, 0));
    QSignalSpy filled(unknownAlbum.data(), SIGNAL(completed()));
    page->play(QModelIndex(), unknownAlbum, QStringLiteral("songsOfAlbum"), Activity::Album);

    // Someone else (a request over the bus, say) replaces the queue before the rows come.
    hub->appendModel(allSongs, PlayState::ReplaceQueue, -1);
    QVERIFY(filled.wait(Timeout));
    QCoreApplication::processEvents();
    QCOMPARE(asked.count(), 0);
    QCOMPARE(LatestActivityController::instance()->activityCount(), activities);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 9);
}

void TestQuintaveilPage::anotherPageOrRequestEndsTheWait()
{
    PlayState* hub = PlayState::instance();
    hub->clearPlayQueue();
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    TestPage* page = showPage(false);
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));

    // Another page comes while the list is read: the songs it brings start nothing.
    QSharedPointer<MafwTrackerModel> unknownArtist(
        factory->getModel(MafwTrackerModel::SongsOfUnknownArtist, 0, 0));
    QSignalSpy artistRead(unknownArtist.data(), SIGNAL(completed()));
    page->play(QModelIndex(), unknownArtist, QStringLiteral("songsOfArtist"), Activity::Artist);
    TestPage* other = showPage(false);
    QVERIFY(artistRead.wait(Timeout));
    QCOMPARE(unknownArtist->rowCount(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(asked.count(), 0);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 0);

    // Of two requests that wait, of two pages, the newer plays.
    QSharedPointer<MafwTrackerModel> artistAgain(
        factory->getModel(MafwTrackerModel::SongsOfUnknownArtist, 0, 0));
    QSharedPointer<MafwTrackerModel> unknownAlbum(
        factory->getModel(MafwTrackerModel::SongsOfUnknownAlbum, 0, 0));
    QSignalSpy albumRead(unknownAlbum.data(), SIGNAL(completed()));
    QSignalSpy againRead(artistAgain.data(), SIGNAL(completed()));
    page->play(QModelIndex(), artistAgain, QStringLiteral("songsOfArtist"), Activity::Artist);
    other->play(QModelIndex(), unknownAlbum, QStringLiteral("songsOfAlbum"), Activity::Album,
                PlayWithoutPlayerView);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QVERIFY(albumRead.count() == 1 || albumRead.wait(Timeout));
    QVERIFY(againRead.count() == 1 || againRead.wait(Timeout));
    QCoreApplication::processEvents();
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Nowhere"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 1);
    QCOMPARE(asked.count(), 0);
}

void TestQuintaveilPage::refusedPlaybackIsNotRecorded()
{
    PlayState* hub = PlayState::instance();
    const int activities = LatestActivityController::instance()->activityCount();
    TestPage* page = showPage(false);
    const QModelIndex row = page->waitForVisibleRow(QStringLiteral("Jade"));
    QVERIFY(row.isValid());
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));

    hub->setUpdatingLibrary(true);
    page->play(row, allSongs, QStringLiteral("AllSongs"), Activity::AllSongs);
    QCOMPARE(asked.count(), 1); // the player shows the refusal
    QTRY_VERIFY(!MBanner::shownTitles().isEmpty());
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QCoreApplication::processEvents();
    QCOMPARE(LatestActivityController::instance()->activityCount(), activities);
    QVERIFY(hub->state(PlayState::MusicMode) != PlayState::Playing);
}

void TestQuintaveilPage::queueingShowsHowManySongsWereAdded()
{
    PlayState* hub = PlayState::instance();
    hub->clearPlayQueue();
    TestPage* page = showPage(false);

    page->appendToQueue(allSongs, false, -1);
    QCOMPARE(MBanner::shownTitles(), QStringList { QStringLiteral("9 songs added to queue") });
    QCOMPARE(hub->songCount(PlayState::MusicMode), 9);

    // One song of the page's own list, long-tapped: copied.
    const QModelIndex row = page->waitForVisibleRow(QStringLiteral("Cobalt"));
    QVERIFY(row.isValid());
    page->handleListItemLongTap(row, QPointF());
    page->pageObjectMenu()->disappear();
    page->handleAddToQueue();
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 10, Timeout);
    QCOMPARE(MBanner::shownTitles().last(), QStringLiteral("1 song added to queue"));

    // A model still loading reports once it is complete.
    MBanner::clearShownTitles();
    QSharedPointer<MafwTrackerModel> album(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfUnknownArtist, 0, 0));
    page->appendToQueue(album, false, -1);
    QVERIFY(MBanner::shownTitles().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles(),
                              QStringList { QStringLiteral("1 song added to queue") }, Timeout);

    // The artist of a special row: all its songs.
    MBanner::clearShownTitles();
    int kim = 0;
    for (int r = 0; r < allSongs->rowCount() && !kim; ++r) {
        if (allSongs->index(r, 2).data().toString() == QLatin1String("Kim"))
            kim = allSongs->index(r, 10).data().toInt();
    }
    QVERIFY(kim > 0);
    page->markSpecialRow(ItemMenu::ArtistRow, kim);
    page->handleAddToQueue();
    QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles(),
                              QStringList { QStringLiteral("5 songs added to queue") }, Timeout);
}

void TestQuintaveilPage::emptiedListStepsBack()
{
    TestPage* page = showPage(false);
    QSharedPointer<MafwTrackerModel> nothing(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfAlbum, 0, 999999));
    page->setModel(nothing);
    QSignalSpy completed(nothing.data(), SIGNAL(completed()));
    QVERIFY(completed.wait(Timeout));
    QCOMPARE(nothing->rowCount(), 0);

    // Shown again after going back: an unknown row keeps it, else it steps back once more.
    page->keepWhenEmpty = true;
    window->goToPage(PageMain);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Disappeared);
    window->setWentBack(true);
    page->appear(window.get());
    QTRY_VERIFY(!window->wentBack());
    QCOMPARE(page->sceneWindowState(), MSceneWindow::Appeared);

    page->keepWhenEmpty = false;
    QSignalSpy left(page, SIGNAL(disappeared()));
    window->goToPage(PageMain);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Disappeared);
    window->setWentBack(true);
    page->appear(window.get());
    QVERIFY(left.wait(Timeout));
    QVERIFY(!window->wentBack());
}

void TestQuintaveilPage::anEmptyListStepsBackOnceAndOnlyInFront()
{
    TestPage* page = showPage(false);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    QSharedPointer<MafwTrackerModel> nothing(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfAlbum, 0, 999999));
    QSignalSpy completed(nothing.data(), SIGNAL(completed()));
    QVERIFY(completed.wait(Timeout));

    // Asked twice within one change, it steps back once.
    page->setModel(nothing);
    QSignalSpy left(page, SIGNAL(disappeared()));
    const int history = window->pageHistory().size();
    page->handleEmptyView();
    page->handleEmptyView();
    QVERIFY(left.wait(Timeout));
    QCOMPARE(window->pageHistory().size(), history - 1);

    // A page on its way out is left already: it does not take the window back again.
    TestPage* leaving = showPage(false);
    QTRY_COMPARE(leaving->sceneWindowState(), MSceneWindow::Appeared);
    leaving->setModel(nothing);
    leaving->disappear();
    leaving->handleEmptyView();
    QTRY_COMPARE(leaving->sceneWindowState(), MSceneWindow::Disappeared);
    QCoreApplication::processEvents();
    QCOMPARE(window->pageHistory().size(), history - 1);
}

void TestQuintaveilPage::rowsThroughTheFilterAndCoverRefresh()
{
    TestPage* page = showPage(true);
    const QModelIndex azure = page->waitForVisibleRow(QStringLiteral("Azure"));
    QVERIFY(azure.isValid());
    const int modelRow = page->sourceRow(azure);
    QCOMPARE(allSongs->index(modelRow, 1).data().toString(), QStringLiteral("Azure"));
    QCOMPARE(page->sourceRow(QModelIndex()), -1);

    // Filtered, the list's rows are rows of the proxy: mapped once more.
    page->proxy()->setFilterExpression(QStringLiteral("jade"));
    QTRY_COMPARE(page->listAdapter()->rowCountInGroup(-1), 1);
    const QModelIndex jade = page->rowTitled(QStringLiteral("Jade"));
    QVERIFY(jade.isValid());
    QCOMPARE(allSongs->index(page->sourceRow(jade), 1).data().toString(), QStringLiteral("Jade"));

    QCOMPARE(QuintaveilPage::columnForKey(allSongs.data(), Constants::Favorited), 5);
    QCOMPARE(QuintaveilPage::columnForKey(allSongs.data(), QStringLiteral("nothing")), -1);
    QCOMPARE(QuintaveilPage::columnForKey(nullptr, Constants::SongId), -1);

    // The visible rows ask for their covers again: from the first one shown, through the proxy.
    QTRY_VERIFY(page->pageList()->visibleCell(jade));
    QSignalSpy asked(allSongs.data(), SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    page->updateListAlbumArts();
    QVERIFY(asked.count() >= 1);
    QCOMPARE(asked.first().first().value<QModelIndex>().row(), page->sourceRow(jade));
    for (const QList<QVariant>& change : qAsConst(asked))
        QVERIFY(change.first().value<QModelIndex>().row() < allSongs->rowCount());
    page->proxy()->setFilterExpression(QString());
}

void TestQuintaveilPage::screenshotOfAFilteredList()
{
    PlayState* hub = PlayState::instance();
    TestPage* page = showPage(true);
    page->createToolbarActions();
    const QModelIndex cobalt = page->waitForVisibleRow(QStringLiteral("Cobalt"));
    QVERIFY(cobalt.isValid());
    page->play(cobalt, allSongs, QStringLiteral("AllSongs"), Activity::AllSongs,
               PlayWithoutPlayerView);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);

    QSignalSpy edits(page, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("al"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(page->listAdapter()->rowCountInGroup(-1), 3); // Cobalt, Emerald, Nowhere
    const QModelIndex row = page->rowTitled(QStringLiteral("Cobalt"));
    QTRY_VERIFY(page->pageList()->visibleCell(row));
    auto* item = qobject_cast<SongCollectionListItem*>(page->pageList()->visibleCell(row));
    QTRY_COMPARE(item->titleLabel()->styleName(), QStringLiteral("CommonTitleAccented"));
    QVERIFY(item->titleLabel()->text().contains(QStringLiteral("<u>")));
    QTRY_VERIFY(page->nowPlayingButton()->isVisible());

    // A favourite shows its mark beside the title.
    const QModelIndex emerald = page->rowTitled(QStringLiteral("Emerald"));
    const int favoriteColumn = QuintaveilPage::columnForKey(allSongs.data(), Constants::Favorited);
    QVERIFY(allSongs->setData(allSongs->index(page->sourceRow(emerald), favoriteColumn), true));
    QTRY_VERIFY(page->pageList()->visibleCell(emerald));
    auto* favorite = qobject_cast<SongCollectionListItem*>(page->pageList()->visibleCell(emerald));
    QTRY_COMPARE_WITH_TIMEOUT(favorite->imageWidget()->imageId(),
                              Constants::IconToolbarFavoriteMarkWhite, Timeout);

    QCoreApplication::processEvents(); // the last layout pass
    const QImage shot = window->grab().toImage();
    QVERIFY(!shot.isNull());
    const QString path = TestEnvironment::screenshotDir()
                         + QStringLiteral("/page-filtered-songs.png");
    QVERIFY(shot.save(path));
    qInfo().noquote() << "screenshot:" << path;
}

PARLOVANCE_TEST_MAIN(TestQuintaveilPage)
#include "tst_quintaveilpage.moc"
