// The player page over the real playback hub playing generated songs: what it shows of the
// playing song, swipes on the cover, its navigation bar and view menu, the play queue over the
// cover, and stepping back when the queue ends.

#include "common/constants.h"
#include "fixturelibrary.h"
#include "hubtestlibrary.h"
#include "inkgaps.h"
#include "mafwtrackermodel.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mwidgetaction.h"
#include "mlabel.h"
#include "mscenewindow.h"
#include "pageframework/applicationmenuwidget.h"
#include "player/albumartwidget.h"
#include "player/navigationbarwidget.h"
#include "player/nowplayingpage.h"
#include "player/nowplayingwidget.h"
#include "player/playerinfoarea.h"
#include "player/playqueuecontentitem.h"
#include "player/playqueuetitleitem.h"
#include "playback/playstate.h"
#include "common/parlovance.h"
#include "pageframework/quintaveilpage.h"
#include "shell/mainwindow.h"
#include "data/listmodel.h"
#include "pageframework/songlist.h"
#include "mpannableviewport.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "mafwplaylist.h"
#include "zelplaycontrols.h"

#include <QDeadlineTimer>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QScopeGuard>
#include <QSignalSpy>

namespace {

const int Timeout = 20000;

} // namespace

class TestNowPlayingPage : public QObject
{
    Q_OBJECT

private:
    QSharedPointer<MafwTrackerModel> seven;
    QSharedPointer<MafwTrackerModel> red;
    QSharedPointer<MafwTrackerModel> shortSongs;
    MApplicationWindow* window = nullptr;
    NowPlayingPage* page = nullptr;

    QString titleOf(const QSharedPointer<MafwTrackerModel>& model, int row) const
    {
        return HubTestLibrary::cell(model.data(), row, Constants::SongTitle).toString();
    }

    PlayState* play(const QSharedPointer<MafwTrackerModel>& model, int row)
    {
        PlayState* hub = PlayState::instance();
        hub->stop(hub->mode());
        hub->setShuffle(false);
        hub->setRepeat(false);
        hub->appendModel(model, PlayState::ReplaceQueue, -1);
        hub->startPlayback(row, PlayState::PlayNow);
        return hub;
    }

    // As the main window shows a page: it appears, then gets its parameter.
    void showPage()
    {
        page->appear(window);
        page->passParameterToPage(QVariant());
        QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    }

private slots:
    void initTestCase()
    {
        MBanner::setDisplayDurationForTesting(50);
        QVERIFY(HubTestLibrary::build());
        seven = HubTestLibrary::album(QStringLiteral("Seven"));
        red = HubTestLibrary::album(QStringLiteral("Red"));
        shortSongs = HubTestLibrary::album(QStringLiteral("Short"));
        QVERIFY(seven && red && shortSongs);
        window = new MApplicationWindow;
        window->show();
        // Built, and its content made, before anything is queued: the play queue it shows
        // has no columns yet, and must still show real titles once songs come.
        page = new NowPlayingPage(nullptr);
        QCOMPARE(PlayState::instance()->songCount(PlayState::MusicMode), 0);
        showPage();
        QVERIFY(page->infoArea());
    }

    void cleanupTestCase()
    {
        PlayState::instance()->stop(PlayState::MusicMode);
        delete window;
        PlayState::destroyInstance();
    }

    void showsWhatPlays()
    {
        play(seven, 2);
        showPage();
        NowPlayingWidget* info = page->information();
        QTRY_COMPARE_WITH_TIMEOUT(info->titleText()->text(), titleOf(seven, 2), Timeout);
        QCOMPARE(info->artistText()->text(), QStringLiteral("Kim"));
        QCOMPARE(info->albumText()->text(), QStringLiteral("Seven"));
        QCOMPARE(info->songNumberText()->text(), QStringLiteral("3/7"));
        // Without a real cover the album's generated one fills the art area.
        QTRY_VERIFY_WITH_TIMEOUT(!page->albumArt()->albumArt().isNull(), Timeout);
        QCOMPARE(page->albumArt()->albumArt().size(), QSize(480, 480));
        // The navigation bar offers what a library song allows.
        NavigationBarWidget* bar = page->navigation();
        QTRY_VERIFY_WITH_TIMEOUT(bar->favoriteControl()->isEnabled(), Timeout);
        QVERIFY(bar->shuffleControl()->isEnabled());
        QVERIFY(bar->repeatControl()->isEnabled());
        QVERIFY(bar->isBackButtonLayout());
        QVERIFY(bar->applicationMenu()->actions().contains(page->ringtoneMenuAction()));
        // One album in the queue: no play-album entry.
        QVERIFY(!bar->applicationMenu()->actions().contains(page->playAlbumMenuAction()));
    }

    void swipesChangeTheSong()
    {
        PlayState* hub = play(seven, 2);
        showPage();
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(seven, 2),
                                  Timeout);
        TouchDriver finger(window);
        AlbumArtWidget* art = page->albumArt();
        const QPointF c = art->mapToScene(art->rect().center());
        finger.drag(c, c + QPointF(-200, 0), 8);
        QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 3, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(seven, 3),
                                  Timeout);
        QCOMPARE(page->information()->songNumberText()->text(), QStringLiteral("4/7"));
        finger.drag(c, c + QPointF(200, 0), 8);
        QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(seven, 2),
                                  Timeout);
        // The change starts after a short delay; positions are reported again once it has.
        QTRY_COMPARE_WITH_TIMEOUT(ZelPlayControls::instance()->playlist()->currentIndex(), 2,
                                  Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(hub->position(PlayState::MusicMode) >= 1, Timeout);
    }

    void navigationBarAndMenu()
    {
        PlayState* hub = play(seven, 0);
        hub->appendModel(red, PlayState::ModelOptions(), -1);
        showPage();
        NavigationBarWidget* bar = page->navigation();
        QTRY_VERIFY_WITH_TIMEOUT(bar->applicationMenu()->actions().contains(
                                     page->playAlbumMenuAction()),
                                 Timeout);

        QVERIFY(bar->shuffleControl()->isEnabled());
        QCOMPARE(bar->shuffleControl()->iconID(), Constants::IconShuffleWhite);
        bar->shuffleControl()->click();
        QVERIFY(hub->isShuffle());
        QCOMPARE(bar->shuffleControl()->iconID(), Constants::IconShuffleWhiteSelected);
        bar->shuffleControl()->click();
        QVERIFY(!hub->isShuffle());
        bar->repeatControl()->click();
        QVERIFY(hub->isRepeat());
        QCOMPARE(bar->repeatControl()->iconID(), Constants::IconRepeatWhiteSelected);
        bar->repeatControl()->click();
        QVERIFY(!hub->isRepeat());
        bar->favoriteControl()->click();
        QTRY_COMPARE(bar->favoriteControl()->iconID(), Constants::IconFavoriteMarkWhite);
        bar->favoriteControl()->click();
        QTRY_COMPARE(bar->favoriteControl()->iconID(), Constants::IconFavoriteUnmarkWhite);

        // Play album, chosen with a finger from the view menu over the cover, replaces the
        // queue with the playing song's album; the tap is the menu's, not the cover's.
        TouchDriver finger(window);
        finger.tap(bar->menuControl()->mapToScene(bar->menuControl()->rect().center()));
        ApplicationMenuWidget* menu = bar->applicationMenu();
        QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Appeared);
        // The play-album entry's text starts where the ringtone entry's does.
        const auto textStart = [menu](QAction* action) {
            const QRectF entry = menu->mapRectToScene(menu->entryRect(action))
                                     .translated(-menu->sceneBoundingRect().topLeft());
            const QImage picture = drawnOnBlack(menu);
            // Inside the panel's rounded border.
            return inkIn(picture, entry.adjusted(6, 6, -6, -6)).left();
        };
        QCoreApplication::processEvents();
        const int ringtoneText = textStart(page->ringtoneMenuAction());
        const int albumText = textStart(page->playAlbumMenuAction());
        QVERIFY2(ringtoneText > 6 && qAbs(albumText - ringtoneText) <= 3,
                 qPrintable(QStringLiteral("the ringtone entry's text starts at %1, the play-album "
                                           "entry's at %2")
                                .arg(ringtoneText)
                                .arg(albumText)));
        const QPointF entry = menu->mapToScene(
            menu->entryRect(page->playAlbumMenuAction()).center());
        QVERIFY(page->albumArt()->contains(page->albumArt()->mapFromScene(entry)));
        finger.tap(entry);
        QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 7, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!bar->applicationMenu()->actions().contains(
                                     page->playAlbumMenuAction()),
                                 Timeout);
        // The queue shows the album's songs, each once.
        FixtureLibrary::settleStore();
        ListModel* rows = page->infoArea()->queueModel();
        QCOMPARE(rows->rowCount(), 7);
        QCOMPARE(page->infoArea()->queueList()->itemModel()->rowCount(), 7);
        QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
        QVERIFY(!page->infoArea()->isQueueOpen());
    }

    void playQueueOverTheCover()
    {
        PlayState* hub = play(seven, 2);
        showPage();
        PlayerInfoArea* area = page->infoArea();
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(seven, 2),
                                  Timeout);
        QVERIFY(!area->isQueueOpen());
        // Closed, the queue is not drawn at all: scaled, its rows would show through the seam
        // between the information and the controls.
        QVERIFY(!area->queueList()->isVisible());

        // A tap on the cover opens the queue: real titles, artists and lengths, the playing
        // row accented.
        TouchDriver finger(window);
        AlbumArtWidget* art = page->albumArt();
        finger.tap(art->mapToScene(art->rect().center()));
        QTRY_VERIFY_WITH_TIMEOUT(area->isQueueOpen(), Timeout);
        ListModel* rows = area->queueModel();
        QCOMPARE(rows->rowCount(), 7);
        MList* list = area->queueList();
        QTRY_VERIFY(list->firstVisibleItem().isValid());
        auto cellOf = [list](int row) -> PlayQueueContentItem* {
            return qobject_cast<PlayQueueContentItem*>(
                list->visibleCell(list->itemModel()->index(row, 0)));
        };
        QTRY_VERIFY(cellOf(2));
        QCOMPARE(cellOf(2)->title(), titleOf(seven, 2));
        QCOMPARE(cellOf(2)->subtitle(), QStringLiteral("Kim"));
        QCOMPARE(cellOf(2)->sideBottomTitle(), QStringLiteral("00:30"));
        QCOMPARE(cellOf(2)->titleLabelWidget()->styleName(), QStringLiteral("CommonTitleAccented"));
        QVERIFY(cellOf(1));
        QCOMPARE(cellOf(1)->titleLabelWidget()->styleName(), QStringLiteral("CommonTitleInverted"));

        // Another row plays and the queue stays open, the accent moving with the song.
        const QPointF rowFour = cellOf(4)->mapToScene(cellOf(4)->rect().center());
        finger.tap(rowFour);
        QTRY_COMPARE_WITH_TIMEOUT(hub->currentIndex(PlayState::MusicMode), 4, Timeout);
        // Songs added to a queue that has not yet reported playing start it over from its
        // first row: the rows below are added once the row tapped really plays.
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(cellOf(4)->titleLabelWidget()->styleName(),
                                  QStringLiteral("CommonTitleAccented"), Timeout);
        QCOMPARE(cellOf(2)->titleLabelWidget()->styleName(), QStringLiteral("CommonTitleInverted"));
        QVERIFY(area->isQueueOpen());

        // Rows added while it is open show up.
        hub->appendModel(red, PlayState::ModelOptions(), -1);
        QTRY_COMPARE_WITH_TIMEOUT(rows->rowCount(), 9, Timeout);

        // A tap on the playing row closes the queue without restarting the song.
        finger.tap(cellOf(4)->mapToScene(cellOf(4)->rect().center()));
        QTRY_VERIFY_WITH_TIMEOUT(!area->isQueueOpen(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(page->albumArt()->isVisible(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!area->queueList()->isVisible(), Timeout);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 4);
        QVERIFY(hub->position(PlayState::MusicMode) >= 1
                || hub->state(PlayState::MusicMode) == PlayState::Playing);
    }

    void playQueueClosesInOneSlide()
    {
        play(seven, 2);
        showPage();
        PlayerInfoArea* area = page->infoArea();
        AlbumArtWidget* art = page->albumArt();
        NowPlayingWidget* information = page->information();
        QTRY_COMPARE_WITH_TIMEOUT(information->titleText()->text(), titleOf(seven, 2), Timeout);
        QVERIFY(!area->isQueueOpen());
        const QPointF artClosed = art->pos();
        const QPointF informationClosed = information->pos();

        // The information asks for a new place, as when one of its labels changes its text.
        const auto askForLayout = [information] {
            static_cast<QGraphicsLayoutItem*>(information)->updateGeometry();
        };

        TouchDriver finger(window);
        finger.tap(art->mapToScene(art->rect().center()));
        // Whatever asks the area for a new layout while the cover slides up (here the
        // information, at every turn) must not put it back in its place for a frame: once it
        // has left, it stays away until the queue is open.
        bool artLeft = false;
        for (QDeadlineTimer slide(Timeout); !area->isQueueOpen() && !slide.hasExpired();) {
            QCoreApplication::sendPostedEvents();
            if (area->isQueueOpen())
                break;
            if (art->pos().y() < artClosed.y())
                artLeft = true;
            else
                QVERIFY2(!artLeft, "the cover came back to its place as the queue opened");
            askForLayout();
            QTest::qWait(5);
        }
        QTRY_VERIFY_WITH_TIMEOUT(area->isQueueOpen(), Timeout);

        // The header's button closes it: the cover slides down from above and the
        // information up from below. What the window does before the slide's next frame (here
        // every event already posted, as when the machine is busy) must not put them in their
        // closed places at once: the queue would vanish, come back and slide away.
        MButton* close = area->queueHeader()->closeButton();
        finger.tap(close->mapToScene(close->rect().center()));
        QVERIFY(art->isVisible());
        QCoreApplication::sendPostedEvents();
        QVERIFY2(art->pos().y() < artClosed.y(),
                 qPrintable(QStringLiteral("the cover is at %1 at the start of the slide")
                                .arg(art->pos().y())));
        QVERIFY(information->pos().y() > informationClosed.y());
        QVERIFY(area->queueList()->isVisible());

        // Nor at any later turn while they slide, that is while the queue is still shown:
        // the information laid out again once shown asks the area for a new layout a turn
        // later, and a label's new text or the list can ask for one at any time of the slide.
        for (QDeadlineTimer slide(Timeout); !slide.hasExpired();) {
            QCoreApplication::sendPostedEvents();
            if (!area->queueList()->isVisible())
                break;
            QVERIFY2(art->pos().y() < artClosed.y(),
                     qPrintable(QStringLiteral("the cover is at %1 during the slide")
                                    .arg(art->pos().y())));
            QVERIFY(information->pos().y() > informationClosed.y());
            askForLayout();
            QTest::qWait(5);
        }

        // Once the slide ends the queue is closed, the cover and information where they were.
        QTRY_VERIFY_WITH_TIMEOUT(!area->queueList()->isVisible(), Timeout);
        QCOMPARE(art->pos(), artClosed);
        QCOMPARE(information->pos(), informationClosed);
        QVERIFY(!area->isQueueOpen());
    }

    void playQueueRowsStayInTheList()
    {
        // A queue longer than the list, opened on a song in its middle: the list is scrolled
        // so that rows show only in part at its top and at its foot.
        PlayState* hub = play(seven, 6);
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        hub->appendModel(red, PlayState::ModelOptions(), -1);
        hub->appendModel(shortSongs, PlayState::ModelOptions(), -1);
        QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 11, Timeout);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), 6);
        showPage();
        PlayerInfoArea* area = page->infoArea();
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(seven, 6),
                                  Timeout);
        AlbumArtWidget* art = page->albumArt();
        TouchDriver(window).tap(art->mapToScene(art->rect().center()));
        // The next case starts with the queue closed and nothing playing, whatever happens.
        const auto closed = qScopeGuard([area, hub] {
            area->hidePlayQueueImmediately();
            hub->stop(PlayState::MusicMode);
        });
        QTRY_VERIFY_WITH_TIMEOUT(area->isQueueOpen(), Timeout);
        MList* list = area->queueList();
        QTRY_COMPARE(area->queueModel()->rowCount(), 11);
        QGraphicsWidget* viewport = list->parentWidget()->parentWidget();
        QVERIFY(qobject_cast<MPannableViewport*>(viewport));
        const QRectF shown = viewport->sceneBoundingRect();
        QTRY_VERIFY(list->visibleCell(list->itemModel()->index(6, 0)));
        const auto cutAt = [list](qreal edge) {
            for (MWidget* cell : list->visibleCells()) {
                const QRectF r = cell->sceneBoundingRect();
                if (r.top() < edge && r.bottom() > edge)
                    return true;
            }
            return false;
        };
        QVERIFY(cutAt(shown.top()));
        QVERIFY(cutAt(shown.bottom()));

        // What lies above the list (its heading) and below it looks the same whether the
        // rows are drawn or not.
        const QRectF above(shown.left(), 0, shown.width(), shown.top());
        const QRectF below(shown.left(), shown.bottom(), shown.width(), 88);
        const auto picture = [this](const QRectF& part) {
            QImage image(part.size().toSize(), QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            window->scene()->render(&painter, QRectF(QPointF(), part.size()), part);
            return image;
        };
        const QImage aboveWithRows = picture(above);
        const QImage belowWithRows = picture(below);
        list->setOpacity(0);
        const bool sameAbove = picture(above) == aboveWithRows;
        const bool sameBelow = picture(below) == belowWithRows;
        list->setOpacity(1);
        QVERIFY2(sameAbove, "rows are drawn over the heading");
        QVERIFY2(sameBelow, "rows are drawn below the list");
    }

    void leavingWhileTheQueueOpensLeavesItClosed()
    {
        play(seven, 2);
        showPage();
        PlayerInfoArea* area = page->infoArea();
        AlbumArtWidget* art = page->albumArt();
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(seven, 2),
                                  Timeout);
        const QPointF artClosed = art->pos();
        auto* slide = area->findChild<QParallelAnimationGroup*>();
        QVERIFY(slide);

        // The page goes (Back, say) while the cover is still sliding up: the slide must not
        // carry on and open the queue behind the page, which would come back with neither
        // the cover nor the queue in its middle.
        TouchDriver finger(window);
        finger.tap(art->mapToScene(art->rect().center()));
        QCOMPARE(slide->state(), QAbstractAnimation::Running);
        page->disappear();
        QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Disappeared, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(slide->state(), QAbstractAnimation::Stopped, Timeout);
        QCoreApplication::sendPostedEvents();
        // Seen from the area: the page itself is hidden now.
        QVERIFY(art->isVisibleTo(area));
        QCOMPARE(art->pos(), artClosed);
        QVERIFY(!area->queueList()->isVisibleTo(area));

        showPage();
        QVERIFY(art->isVisible());
        QCOMPARE(art->pos(), artClosed);
        QVERIFY(!area->queueList()->isVisible());
    }

    void aSongTappedOnTheAllSongsPageOpensThePlayer()
    {
        PlayState::instance()->stop(PlayState::MusicMode);
        MainWindow mainWindow(Parlovance::PageMain, false);
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow.isPreloadingDone(), 60000);
        mainWindow.goToPage(Parlovance::PageAllSongs);
        auto* songs = qobject_cast<QuintaveilPage*>(
            mainWindow.cachedPage(Parlovance::PageAllSongs));
        QVERIFY(songs);
        QTRY_VERIFY_WITH_TIMEOUT(songs->pageList() && songs->pageList()->itemModel()
                                     && songs->pageList()->visibleCells().size() > 3,
                                 Timeout);
        // A song row well below the shuffle row and the first group header.
        const QList<MWidget*> cells = songs->pageList()->visibleCells();
        MWidget* row = cells.at(3);
        const QPointF at = row->mapToScene(row->rect().center());
        TouchDriver(&mainWindow).tap(at);
        QTRY_COMPARE_WITH_TIMEOUT(mainWindow.currentPage(), int(Parlovance::PageNowPlaying),
                                  Timeout);
        auto* player = qobject_cast<NowPlayingPage*>(
            mainWindow.cachedPage(Parlovance::PageNowPlaying));
        QVERIFY(player);
        PlayState* hub = PlayState::instance();
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        const QString expected = hub->title(PlayState::MusicMode);
        QVERIFY(!expected.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(player->information()->titleText()->text(), expected, Timeout);
        QCOMPARE(player->information()->artistText()->text(), hub->artist(PlayState::MusicMode));
        QVERIFY(!player->information()->songNumberText()->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!player->albumArt()->albumArt().isNull(), Timeout);
        hub->stop(PlayState::MusicMode);
    }

    void leavesWhenTheQueueEnds()
    {
        showPage();
        QSignalSpy back(page, SIGNAL(goBack()));
        PlayState* hub = play(shortSongs, 1);
        QTRY_COMPARE_WITH_TIMEOUT(page->information()->titleText()->text(), titleOf(shortSongs, 1),
                                  Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(back.count() >= 1, Timeout);
        QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Stopped);
    }
};

PARLOVANCE_TEST_MAIN(TestNowPlayingPage)

#include "tst_nowplayingpage.moc"
