// The latest-activity grid on the main page of a real window over the real store: the layouts
// the controller chooses (full grid, the now-playing label standing for the first entry, the
// empty device), covers and collages on the tiles, the fade between layouts, replaying an
// activity on a tap, the long-tap menu acting on the activity long-tapped, playing and queueing
// each kind of activity, a tile whose songs are away playing nothing then or later (its tap
// changes neither the list nor the grid, and the label goes on following what plays),
// deleting one from the grid, and the notice that covers the page while the library updates.
// One case saves a screenshot of the full grid (into $PARLOVANCE_SCREENSHOT_DIR, or
// "screenshots" in the build tree).

#include "activity/latestactivitycontroller.h"
#include "librarywindow.h"
#include "activity/latestactivitymodel.h"
#include "activity/latestactivitywidget.h"
#include "albumart/albumartcacheitem.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "inkgaps.h"
#include "mbanner.h"
#include "mafwtrackermodelfactory.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mmessagebox.h"
#include "mobjectmenu.h"
#include "moverlay.h"
#include "pageframework/deleteobjectdialog.h"
#include "pages/librarybuttonarea.h"
#include "pages/parlovancemainpage.h"
#include "player/nowplayinglabel.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"
#include "scenesearch.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "trackermountpoints.h"
#include "zeloverlaylabel.h"

#include "mbutton.h"

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QScopeGuard>
#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 60000;

Activity entry(Activity::ActivityType type, const QString& name, int trackerId)
{
    return Activity(type, name, false, QString(), trackerId);
}

} // namespace

class TestLatestActivityGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void fullGridShowsTheListWithCoversAndCollages();
    void aTitleLeavesTheLowerCoversOfItsCollageInView();
    void tapReplaysAndTheLabelStandsForTheFirstEntry();
    void severalChangesFadeTheGridOnce();
    void longTapMenuActsOnTheActivityLongTapped();
    void lateCoverPaintsNoTile();
    void everyKindOfActivityPlaysAndQueues();
    void updatingLibraryCoversThePageUntilTheGridIsDone();
    void deletingFromTheGridRemovesTheAlbum();
    void collagesAreReadWithinTheTileSize();
    void tileOfSongsAwayPlaysNothingThenOrLater();
    void tapThatPlaysNothingLeavesTheGridFollowingPlayback();
    void emptyListShowsTheFillText();

private:
    ParlovanceMainPage* mainPage() const;
    LatestActivityWidget* grid() const;
    LatestActivityController* controller() const { return LatestActivityController::instance(); }
    void showMainPage();
    // Back from the page shown, as its back button goes.
    void back();
    void waitForIdleGrid();
    // The tile that shows the named entry, as the grid now shows it.
    ZelOverlayLabel* tileOf(const QString& name);
    void longTap(ZelOverlayLabel* tile);
    void stopAndEmptyQueue();

    std::unique_ptr<MainWindow> window;
};

void TestLatestActivityGrid::initTestCase()
{
    openLibraryWindow(&window, Timeout);
    QVERIFY(window && window->isPreloadingDone());
    // The first indexing after the start is over: nothing covers the page.
    window->disableUpdatingLibraryState();
    QVERIFY(grid());
}

void TestLatestActivityGrid::cleanupTestCase()
{
    window.reset();
}

ParlovanceMainPage* TestLatestActivityGrid::mainPage() const
{
    return qobject_cast<ParlovanceMainPage*>(window->cachedPage(PageMain));
}

LatestActivityWidget* TestLatestActivityGrid::grid() const
{
    return mainPage() ? mainPage()->latestActivityWidget() : nullptr;
}

void TestLatestActivityGrid::showMainPage()
{
    if (window->currentPage() != PageMain)
        window->goToPage(PageMain);
    QTRY_VERIFY_WITH_TIMEOUT(mainPage()->isVisible() && grid()->isOnDisplay(), Timeout);
    for (int other = PageArtists; other <= PageUsbNotice; ++other) {
        QGraphicsWidget* cached = window->cachedPage(ParlovancePages(other));
        if (cached)
            QTRY_VERIFY_WITH_TIMEOUT(!cached->isVisible(), Timeout);
    }
}

void TestLatestActivityGrid::back()
{
    auto* page = qobject_cast<QuintaveilPage*>(
        window->cachedPage(ParlovancePages(window->currentPage())));
    QVERIFY(page);
    page->displayPreviousPageInWindow();
}

void TestLatestActivityGrid::waitForIdleGrid()
{
    QTRY_VERIFY_WITH_TIMEOUT(grid()->animationState() == LatestActivityWidget::Idle
                                 && grid()->opacity() == 1.0,
                             Timeout);
}

ZelOverlayLabel* TestLatestActivityGrid::tileOf(const QString& name)
{
    const QList<Activity> list = controller()->activities();
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).Name == name)
            return grid()->tiles().at(i);
    }
    return nullptr;
}

void TestLatestActivityGrid::longTap(ZelOverlayLabel* tile)
{
    QSignalSpy held(tile, SIGNAL(longTapped(QPointF)));
    TouchDriver finger(window.get());
    const QPointF at = tile->mapToScene(tile->rect().center());
    finger.press(at);
    QVERIFY(held.wait(Timeout));
    finger.release(at);
}

void TestLatestActivityGrid::stopAndEmptyQueue()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    hub->clearPlayQueue();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Stopped, Timeout);
}

void TestLatestActivityGrid::fullGridShowsTheListWithCoversAndCollages()
{
    showMainPage();
    // The empty list was filled from the recently added albums.
    QTRY_COMPARE_WITH_TIMEOUT(controller()->activityCount(), 3, Timeout);
    controller()->addActivity(Activity::AllSongs, QStringLiteral("qtn_musi_all_songs"), false,
                              QString(), 0);
    waitForIdleGrid();
    QCOMPARE(controller()->mainPageState(), int(LatestActivityController::FullGrid));
    const QList<ZelOverlayLabel*> tiles = grid()->tiles();
    QCOMPARE(tiles.size(), 9);
    for (int i = 0; i < 9; ++i) {
        QVERIFY(tiles.at(i)->isVisible());
        QCOMPARE(tiles.at(i)->isEnabled(), i < 4);
        QCOMPARE(tiles.at(i)->size(), QSizeF(156, 156));
        QCOMPARE(tiles.at(i)->mapToItem(grid(), QPointF()), QPointF(i % 3 * 162, i / 3 * 162));
    }
    QVERIFY(!grid()->nowPlayingLabel() || !grid()->nowPlayingLabel()->isVisible());
    // All songs shows its collage under its title; albums show their covers without one.
    QCOMPARE(tiles.at(0)->title(), QStringLiteral("All songs"));
    QTRY_VERIFY_WITH_TIMEOUT(!tiles.at(0)->image().isNull(), Timeout);
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(tiles.at(i)->title(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!tiles.at(i)->image().isNull(), Timeout);
    }
    QVERIFY(tiles.at(8)->image().isNull());

    const QString shot = TestEnvironment::screenshotDir() + QStringLiteral("/activity-grid.png");
    QVERIFY(window->grab().save(shot));
}

void TestLatestActivityGrid::aTitleLeavesTheLowerCoversOfItsCollageInView()
{
    // The all-songs tile: its title lies on a ground over the foot of its collage, whose
    // lower two covers fill the tile's lower half. At least the upper half of each of them is
    // drawn as the collage has it, the title's ground below that.
    showMainPage();
    waitForIdleGrid();
    ZelOverlayLabel* tile = tileOf(QStringLiteral("qtn_musi_all_songs"));
    QVERIFY(tile);
    QCOMPARE(tile->title(), QStringLiteral("All songs"));
    QTRY_VERIFY_WITH_TIMEOUT(!tile->image().isNull(), Timeout);
    const QSize size = tile->size().toSize();
    QCOMPARE(size, QSize(156, 156));
    QImage collage(size, QImage::Format_RGB32);
    collage.fill(Qt::black);
    {
        QPainter painter(&collage);
        painter.drawPixmap(QRect(QPoint(), size), tile->image());
    }
    const QImage shown = drawnOnBlack(tile);
    int rowsAsDrawn = 0;
    for (int y = size.height() / 2; y < size.height(); ++y) {
        bool same = true;
        for (int x = 0; x < size.width() && same; ++x)
            same = shown.pixel(x, y) == collage.pixel(x, y);
        if (!same)
            break;
        ++rowsAsDrawn;
    }
    QVERIFY2(rowsAsDrawn >= size.height() / 4,
             qPrintable(QStringLiteral("%1 rows of the lower covers show").arg(rowsAsDrawn)));
    // The title is still there in whole, on its ground below them.
    MLabel* title = nullptr;
    QList<QGraphicsItem*> parts = tile->childItems();
    while (!parts.isEmpty() && !title) {
        QGraphicsItem* part = parts.takeFirst();
        title = qobject_cast<MLabel*>(part->toGraphicsObject());
        parts << part->childItems();
    }
    QVERIFY(title && title->isVisible());
    const QRectF titleArea = title->mapRectToItem(tile, title->rect());
    QVERIFY2(titleArea.top() >= size.height() / 2 + rowsAsDrawn - 0.5
                 && titleArea.bottom() <= size.height() + 0.5
                 && title->size().height() >= title->effectiveSizeHint(Qt::MinimumSize).height(),
             qPrintable(QStringLiteral("the title lies at %1 to %2")
                            .arg(titleArea.top())
                            .arg(titleArea.bottom())));
}

void TestLatestActivityGrid::tapReplaysAndTheLabelStandsForTheFirstEntry()
{
    showMainPage();
    waitForIdleGrid();
    ZelOverlayLabel* red = tileOf(QStringLiteral("Red"));
    QVERIFY(red);
    QSignalSpy replayed(grid(), SIGNAL(playLatestActivity(Activity)));
    TouchDriver(window.get()).tap(red->mapToScene(red->rect().center()));
    QCOMPARE(replayed.count(), 1);

    // Recorded in front once it plays.
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageNowPlaying), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(controller()->activities().first().Name, QStringLiteral("Red"),
                              Timeout);
    QCOMPARE(hub->album(PlayState::MusicMode), QStringLiteral("Red"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 2);

    back();
    showMainPage();
    waitForIdleGrid();
    QCOMPARE(controller()->mainPageState(), int(LatestActivityController::NowPlayingAsFirst));
    NowPlayingLabel* label = grid()->nowPlayingLabel();
    QVERIFY(label && label->isVisible());
    QCOMPARE(label->size(), QSizeF(318, 318));
    QTRY_COMPARE(label->title(), hub->title(PlayState::MusicMode));
    QVERIFY(!grid()->tiles().at(0)->isVisible());
    for (int i = 1; i <= 5; ++i)
        QVERIFY(grid()->tiles().at(i)->isVisible());
    QCOMPARE(grid()->tiles().at(1)->mapToItem(grid(), QPointF()), QPointF(324, 0));

    // Beside the label, an entry that no page played goes behind the playing one.
    controller()->model()->addActivity(entry(Activity::Playlist, QStringLiteral("odd"), -9), false);
    QCOMPARE(controller()->activities().at(1).Name, QStringLiteral("odd"));
    controller()->model()->removeActivity(1);

    // The label opens the player; paused, it resumes too.
    hub->pause();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Paused, Timeout);
    waitForIdleGrid();
    TouchDriver(window.get()).tap(label->mapToScene(label->rect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageNowPlaying), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    back();
}

void TestLatestActivityGrid::severalChangesFadeTheGridOnce()
{
    showMainPage();
    waitForIdleGrid();
    QSignalSpy done(grid(), SIGNAL(updateAnimationDone()));
    controller()->addActivity(Activity::Artist, QStringLiteral("Kim"), false, QString(), 0);
    QCOMPARE(grid()->animationState(), int(LatestActivityWidget::FadingOut));
    QTRY_VERIFY(grid()->opacity() < 1.0);
    const qreal fading = grid()->opacity();
    controller()->addActivity(Activity::Artist, QStringLiteral("Lee"), false, QString(), 0);
    QCOMPARE(grid()->animationState(), int(LatestActivityWidget::FadingOut));
    QVERIFY(grid()->opacity() <= fading);
    QVERIFY(done.wait(Timeout));
    waitForIdleGrid();
    QCOMPARE(done.count(), 1);
    // The refilled tiles show both.
    QVERIFY(tileOf(QStringLiteral("Lee")) && tileOf(QStringLiteral("Kim")));
    QCOMPARE(tileOf(QStringLiteral("Kim"))->title(), QStringLiteral("Kim"));
}

void TestLatestActivityGrid::longTapMenuActsOnTheActivityLongTapped()
{
    stopAndEmptyQueue();
    showMainPage();
    waitForIdleGrid();
    QCOMPARE(controller()->mainPageState(), int(LatestActivityController::FullGrid));
    MObjectMenu* menu = grid()->objectMenu();

    // All songs cannot be deleted from the grid.
    longTap(tileOf(QStringLiteral("qtn_musi_all_songs")));
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(menu->actions().size(), 1);
    menu->disappear();
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);

    ZelOverlayLabel* blueTile = tileOf(QStringLiteral("Blue"));
    const int blueId = controller()->activities().at(grid()->tiles().indexOf(blueTile)).TrackerId;
    longTap(blueTile);
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(menu->actions().size(), 2);
    menu->disappear();

    // The list changes under the open menu: its entries still act on Blue.
    controller()->addActivity(Activity::Artist, QStringLiteral("Someone"), false, QString(), 0);
    waitForIdleGrid();
    QSignalSpy deleting(grid(),
                        SIGNAL(deleteFromLibrary(MafwTrackerModel::QueryType, int, QString)));
    QSignalSpy queueing(grid(), SIGNAL(queueLatestActivity(Activity)));
    menu->actions().at(1)->trigger();
    QCOMPARE(deleting.count(), 1);
    QCOMPARE(deleting.first().at(0).value<MafwTrackerModel::QueryType>(),
             MafwTrackerModel::AllAlbums);
    QCOMPARE(deleting.first().at(1).toInt(), blueId);
    QCOMPARE(deleting.first().at(2).toString(), QStringLiteral("Blue"));
    // The page asks first; No deletes nothing.
    auto* dialog = findInScene<DeleteObjectDialog>(window->scene());
    QVERIFY(dialog);
    QCOMPARE(dialog->itemText().contains(QStringLiteral("Blue")), true);
    QPointer<DeleteObjectDialog> guard(dialog);
    TouchDriver::tapItem(dialog->button(M::NoButton), QPointF(10, 10));
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);

    menu->actions().at(0)->trigger();
    QCOMPARE(queueing.count(), 1);
    QCOMPARE(queueing.first().first().value<Activity>().Name, QStringLiteral("Blue"));
    QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->songCount(PlayState::MusicMode), 4, Timeout);

    // While the library updates a long tap opens nothing.
    stopAndEmptyQueue();
    waitForIdleGrid();
    PlayState::instance()->setUpdatingLibrary(true);
    QSignalSpy shown(menu, SIGNAL(appeared()));
    longTap(tileOf(QStringLiteral("Red")));
    QCoreApplication::processEvents();
    QCOMPARE(shown.count(), 0);
    PlayState::instance()->setUpdatingLibrary(false);
}

void TestLatestActivityGrid::lateCoverPaintsNoTile()
{
    showMainPage();
    waitForIdleGrid();
    ZelOverlayLabel* tile = grid()->tiles().at(1);
    const qint64 shown = tile->image().cacheKey();
    QPixmap other(156, 156);
    other.fill(Qt::red);
    // An answer to an earlier refill of the tiles.
    QVERIFY(QMetaObject::invokeMethod(grid(), "handleAlbumArtReady", Q_ARG(QPixmap, other),
                                      Q_ARG(QVariant, QVariant(QVariantList { 1, -1 }))));
    QCOMPARE(tile->image().cacheKey(), shown);
}

void TestLatestActivityGrid::everyKindOfActivityPlaysAndQueues()
{
    showMainPage();
    waitForIdleGrid();
    PlayState* hub = PlayState::instance();
    auto play = [this](const Activity& activity) { emit grid()->playLatestActivity(activity); };

    // Songs without album: the entry has no id.
    stopAndEmptyQueue();
    play(entry(Activity::Album, QStringLiteral("qtn_musi_unknown_album"), 0));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Nowhere"));
    back();
    showMainPage();

    // All songs, shuffled as it was recorded, through the all-songs page.
    stopAndEmptyQueue();
    Activity all = entry(Activity::AllSongs, QStringLiteral("qtn_musi_all_songs"), 0);
    play(all);
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 9, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    back();
    showMainPage();

    // An automatic playlist plays a copy of its list.
    stopAndEmptyQueue();
    play(entry(Activity::Playlist, QStringLiteral("qtn_musi_playlist_recentlyadded"), -3));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 9);
    back();
    showMainPage();

    // Nothing plays or queues an activity of no kind; all songs queues the shared list.
    stopAndEmptyQueue();
    play(entry(Activity::NoActivity, QStringLiteral("x"), 3));
    play(entry(Activity::typeFromValue(6), QStringLiteral("x"), 3));
    emit grid()->queueLatestActivity(entry(Activity::NoActivity, QStringLiteral("x"), 3));
    QCoreApplication::processEvents();
    QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
    emit grid()->queueLatestActivity(all);
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 9, Timeout);
    stopAndEmptyQueue();
}

void TestLatestActivityGrid::updatingLibraryCoversThePageUntilTheGridIsDone()
{
    showMainPage();
    waitForIdleGrid();
    ParlovanceMainPage* page = mainPage();
    MOverlay* overlay = page->indexingOverlay();
    QVERIFY(!overlay->isVisible());
    page->setUpdatingLibraryState(true);
    QVERIFY(overlay->isVisible());
    QCOMPARE(overlay->size(), page->size());

    // The buttons beneath take no tap.
    auto* buttons = findInScene<LibraryButtonArea>(window->scene());
    QVERIFY(buttons);
    QSignalSpy opened(buttons, SIGNAL(goToPage(int)));
    TouchDriver(window.get()).tap(buttons->mapToScene(QPointF(100, 20)));
    QCOMPARE(opened.count(), 0);

    // The notice goes once the grid is done with the checked list, at the latest after the
    // delay.
    page->setLatestActivityUpdateDelay(1500);
    page->setUpdatingLibraryState(false);
    QTRY_VERIFY_WITH_TIMEOUT(!overlay->isVisible(), Timeout);
    TouchDriver(window.get()).tap(buttons->mapToScene(QPointF(100, 20)));
    QCOMPARE(opened.count(), 1);
    back();
}

void TestLatestActivityGrid::deletingFromTheGridRemovesTheAlbum()
{
    stopAndEmptyQueue();
    showMainPage();
    waitForIdleGrid();
    QVERIFY(tileOf(QStringLiteral("Green")));
    longTap(tileOf(QStringLiteral("Green")));
    MObjectMenu* menu = grid()->objectMenu();
    QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
    menu->actions().at(1)->trigger();
    menu->disappear();
    auto* dialog = findInScene<DeleteObjectDialog>(window->scene());
    QVERIFY(dialog);
    QTRY_COMPARE(dialog->sceneWindowState(), MSceneWindow::Appeared);
    TouchDriver::tapItem(dialog->button(M::YesButton), QPointF(10, 10));

    QTRY_VERIFY_WITH_TIMEOUT(!tileOf(QStringLiteral("Green")), Timeout);
    QVERIFY(!QFile::exists(FixtureLibrary::pathOf(QStringLiteral("Lee/Green/01.ogg"))));
    waitForIdleGrid();
    for (int i = 0; i < controller()->activityCount(); ++i)
        QVERIFY(grid()->tiles().at(i)->isEnabled());
}

void TestLatestActivityGrid::collagesAreReadWithinTheTileSize()
{
    // The collage folder is the user's to write: a collage that claims more pixels than any
    // picture is read with is not decoded, and a large one is read at the tile's size.
    const QString folder = QDir::homePath() + QStringLiteral("/.cache/parlovance/collage/");
    QVERIFY(QDir().mkpath(folder));
    QImage huge(5000, 5000, QImage::Format_Mono);
    huge.fill(1);
    QVERIFY(
        huge.save(folder + collageId(QStringLiteral("Playlist"), -21) + QStringLiteral(".png")));
    QImage large(1200, 1200, QImage::Format_RGB32);
    large.fill(Qt::darkCyan);
    QVERIFY(
        large.save(folder + collageId(QStringLiteral("Playlist"), -22) + QStringLiteral(".png")));
    showMainPage();
    controller()->model()->addActivity(entry(Activity::Playlist, QStringLiteral("huge"), -21),
                                       false);
    controller()->model()->addActivity(entry(Activity::Playlist, QStringLiteral("large"), -22),
                                       false);
    waitForIdleGrid();
    QVERIFY(tileOf(QStringLiteral("huge")) && tileOf(QStringLiteral("large")));
    QVERIFY(!tileOf(QStringLiteral("large"))->image().isNull());
    // A collage that is not read leaves the tile with what it showed before.
    const QSize tile = AlbumArtCacheItem::flavorSize(QStringLiteral("music-grid"));
    for (const QString& name : { QStringLiteral("huge"), QStringLiteral("large") }) {
        const QSize shown = tileOf(name)->image().size();
        QVERIFY2(shown.width() <= tile.width() && shown.height() <= tile.height(),
                 qPrintable(name
                            + QStringLiteral(": %1x%2").arg(shown.width()).arg(shown.height())));
    }
}

void TestLatestActivityGrid::tileOfSongsAwayPlaysNothingThenOrLater()
{
    // Nothing plays, and the songs of an album on the grid are away with the music folder;
    // its tile stays.
    window->watchTrackerIndexing(false);
    stopAndEmptyQueue();
    showMainPage();
    waitForIdleGrid();
    int redId = 0;
    for (const Activity& activity : controller()->activities())
        redId = activity.Name == QLatin1String("Red") ? activity.TrackerId : redId;
    QVERIFY(redId > 0);
    QSharedPointer<MafwTrackerModel> red(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfAlbum, 0, redId));
    QTRY_COMPARE_WITH_TIMEOUT(red->rowCount(), 2, Timeout);
    const QString music = TestEnvironment::musicDir();
    const QString away = music + QStringLiteral(".away");
    QVERIFY(FixtureLibrary::moveEntries(music, away));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(red->rowCount(), 0, Timeout);
    waitForIdleGrid();
    ZelOverlayLabel* tile = tileOf(QStringLiteral("Red"));
    QVERIFY(tile && tile->isEnabled());

    // A tap says that there is nothing to play, and starts nothing.
    MBanner::clearShownTitles();
    QSignalSpy replayed(grid(), SIGNAL(playLatestActivity(Activity)));
    TouchDriver(window.get()).tap(tile->mapToScene(tile->rect().center()));
    QCOMPARE(replayed.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(qtTrId("qtn_musi_empty_playlist")),
                             Timeout);
    PlayState* hub = PlayState::instance();
    QCOMPARE(window->currentPage(), int(PageMain));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 0);

    // The files come back with nobody asking for the album now: nothing starts.
    QVERIFY(FixtureLibrary::moveEntries(away, music));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(red->rowCount(), 2, Timeout);
    FixtureLibrary::settleStore();
    QCoreApplication::processEvents();
    QCOMPARE(window->currentPage(), int(PageMain));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 0);
    QVERIFY(hub->state(PlayState::MusicMode) != PlayState::Playing);
    QVERIFY(QDir().rmdir(away));
}

void TestLatestActivityGrid::tapThatPlaysNothingLeavesTheGridFollowingPlayback()
{
    // An album on a disk mounted below the music folder joins the grid as it is added.
    window->watchTrackerIndexing(false);
    stopAndEmptyQueue();
    showMainPage();
    const QString disk = TestEnvironment::musicDir() + QStringLiteral("/Disk");
    const QString aside = TestEnvironment::home() + QStringLiteral("/disk");
    for (int track = 1; track <= 2; ++track) {
        const AudioTags tags { QStringLiteral("Tide %1").arg(track),
                               QStringLiteral("Sea"),
                               QStringLiteral("Tidal"),
                               QString(),
                               QStringLiteral("Ambient"),
                               track,
                               2020,
                               QImage() };
        QVERIFY(
            !FixtureLibrary::addSong(QStringLiteral("Disk/Tidal/%1.ogg").arg(track), tags, 60000)
                 .isEmpty());
    }
    TrackerMountPoints::setMountedForTesting({ disk });
    const auto unmounted = qScopeGuard([] { TrackerMountPoints::setMountedForTesting({}); });
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(tileOf(QStringLiteral("Tidal")), Timeout);

    // Blue plays from its tile; it is recorded once it plays, and the label stands for it.
    waitForIdleGrid();
    ZelOverlayLabel* blue = tileOf(QStringLiteral("Blue"));
    QVERIFY(blue);
    TouchDriver(window.get()).tap(blue->mapToScene(blue->rect().center()));
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageNowPlaying), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Azure"));
    QTRY_COMPARE_WITH_TIMEOUT(controller()->activities().first().Name, QStringLiteral("Blue"),
                              Timeout);
    back();
    showMainPage();
    waitForIdleGrid();
    QCOMPARE(controller()->mainPageState(), int(LatestActivityController::NowPlayingAsFirst));
    NowPlayingLabel* label = grid()->nowPlayingLabel();
    QTRY_COMPARE_WITH_TIMEOUT(label->title(), QStringLiteral("Azure"), Timeout);

    // The disk is unmounted: Tidal's songs are away, its tile stays.
    int tidalId = 0;
    for (const Activity& activity : controller()->activities())
        tidalId = activity.Name == QLatin1String("Tidal") ? activity.TrackerId : tidalId;
    QVERIFY(tidalId > 0);
    QSharedPointer<MafwTrackerModel> tidalSongs(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfAlbum, 0, tidalId));
    QTRY_COMPARE_WITH_TIMEOUT(tidalSongs->rowCount(), 2, Timeout);
    TrackerMountPoints::setMountedForTesting({});
    QVERIFY(FixtureLibrary::moveEntries(disk, aside));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(tidalSongs->rowCount(), 0, Timeout);
    waitForIdleGrid();
    ZelOverlayLabel* tidal = tileOf(QStringLiteral("Tidal"));
    QVERIFY(tidal && tidal->isVisible() && tidal->isEnabled());
    const QList<Activity> before = controller()->activities();

    // Its tap says that there is nothing to play; Blue plays on, and neither the list nor the
    // grid changes: Tidal does not slip under the label, nor does Blue show twice.
    MBanner::clearShownTitles();
    QSignalSpy refilled(grid(), SIGNAL(updateAnimationDone()));
    TouchDriver(window.get()).tap(tidal->mapToScene(tidal->rect().center()));
    QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(qtTrId("qtn_musi_empty_playlist")),
                             Timeout);
    FixtureLibrary::settleStore();
    QCoreApplication::processEvents();
    QCOMPARE(window->currentPage(), int(PageMain));
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
    QCOMPARE(hub->album(PlayState::MusicMode), QStringLiteral("Blue"));
    QCOMPARE(controller()->activities(), before);
    QCOMPARE(refilled.count(), 0);
    QVERIFY(tidal->isVisible());
    QCOMPARE(tileOf(QStringLiteral("Tidal")), tidal);

    // The song ends while the page stays: the label follows the next one.
    hub->setPosition(58, PlayState::MusicMode);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), QStringLiteral("Cobalt"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(label->title(), QStringLiteral("Cobalt"), Timeout);
    QCOMPARE(window->currentPage(), int(PageMain));
    stopAndEmptyQueue();
}

void TestLatestActivityGrid::emptyListShowsTheFillText()
{
    showMainPage();
    waitForIdleGrid();
    QMetaObject::invokeMethod(controller()->model(), "removeAllActivities");
    stopAndEmptyQueue();
    QCOMPARE(controller()->mainPageState(), int(LatestActivityController::EmptyDevice));
    // The queue's change brings the layout along.
    PlayState::instance()->clearPlayQueue();
    grid()->handleDisplayEntered();
    QTRY_VERIFY_WITH_TIMEOUT(grid()->emptyDeviceLabel() && grid()->emptyDeviceLabel()->isVisible(),
                             Timeout);
    QCOMPARE(grid()->emptyDeviceLabel()->text(), qtTrId("qtn_musi_fill_your_device"));
    for (ZelOverlayLabel* tile : grid()->tiles())
        QVERIFY(!tile->isVisible());
}

PARLOVANCE_TEST_MAIN(TestLatestActivityGrid)
#include "tst_latestactivitygrid.moc"
