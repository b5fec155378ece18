// Going back through the pages with a finger on the real window over the real store: the back
// button of each page, the player's too, returns to the page before it and leaves it there, a
// tap in the moment between Back and the page before coming back lands on that page, and a
// page steps back on its own only when its list has really emptied.

#include "librarywindow.h"
#include "listrows.h"
#include "mbutton.h"
#include "mlist.h"
#include "mscenemanager.h"
#include "pageframework/albumsofartistcontentitem.h"
#include "pages/albumsofartistpage.h"
#include "pages/songsofalbumpage.h"
#include "playback/playstate.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

// A step of a case done by a helper: a failure inside it ends the case there.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

QPointF centreOf(QGraphicsItem* item)
{
    return item->mapToScene(item->boundingRect().center());
}

// The back button in the page's navigation bar, the framework's or the player's own.
MButton* backButtonOf(QGraphicsItem* page)
{
    QList<QGraphicsItem*> items = page->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem* item = items.takeFirst();
        auto* button = qobject_cast<MButton*>(item->toGraphicsObject());
        if (button && button->isVisible()
            && (button->objectName() == QLatin1String("MNavigationBarBackButton")
                || button->styleName() == QLatin1String("MNavigationBarBackButtonInverted")))
            return button;
        items << item->childItems();
    }
    return nullptr;
}

} // namespace

class TestBackNavigation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void aRowTappedAsBackIsTakenOpensItsPageForGood_data();
    void aRowTappedAsBackIsTakenOpensItsPageForGood();
    void backTwiceQuicklyReturnsTwoPages();
    void backFromThePlayerAndEachPageBeforeIt();
    void anAlbumWhoseSongsSwapPlacesStaysOpen();

private:
    QuintaveilPage* page(ParlovancePages which) const;
    QuintaveilPage* shownPage() const;
    // The cell of the row titled so on the page's list, brought on screen.
    QPointF rowOnScreen(QuintaveilPage* on, const QString& title);
    // Waits until the page is the one in front, appeared, with its list loaded.
    void waitShown(ParlovancePages which);
    // The back button of the page in front, tapped; the page before must come back and stay.
    void tapBack(ParlovancePages to);
    // The page stays where it is once every queued step has run.
    void verifyStaysOn(ParlovancePages which);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
};

void TestBackNavigation::initTestCase()
{
    openLibraryWindow(&window);
    QVERIFY(window);
    window->watchTrackerIndexing(false);
    // A second artist of two albums: both artists open the page of an artist's albums.
    const FixtureLibrary::Song more[] = {
        { "Max/One/01.ogg", "Onyx", "Max", "One", "Jazz", 1, 2012, 60000 },
        { "Max/Two/01.ogg", "Topaz", "Max", "Two", "Jazz", 1, 2013, 60000 },
        { "Max/Pair/01.ogg", "Pearl", "Max", "Pair", "Jazz", 1, 2014, 60000 },
        { "Max/Pair/02.ogg", "Quartz", "Max", "Pair", "Jazz", 2, 2014, 60000 },
    };
    for (const FixtureLibrary::Song& song : more)
        QVERIFY(!FixtureLibrary::addSong(song).isEmpty());
    QVERIFY(FixtureLibrary::index());
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestBackNavigation::cleanup()
{
    PlayState::instance()->stop(PlayState::MusicMode);
    // Every case starts on the main page.
    for (int steps = 0; window->currentPage() != PageMain && steps < 8; ++steps) {
        emit shownPage()->backButtonClicked();
        QTRY_VERIFY(shownPage()->sceneWindowState() == MSceneWindow::Appeared);
    }
    QCOMPARE(window->currentPage(), int(PageMain));
}

void TestBackNavigation::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

QuintaveilPage* TestBackNavigation::page(ParlovancePages which) const
{
    return qobject_cast<QuintaveilPage*>(window->cachedPage(which));
}

QuintaveilPage* TestBackNavigation::shownPage() const
{
    return page(ParlovancePages(window->currentPage()));
}

QPointF TestBackNavigation::rowOnScreen(QuintaveilPage* on, const QString& title)
{
    QModelIndex row;
    if (!QTest::qWaitFor([&] { return (row = rowTitled(on->listAdapter(), title)).isValid(); },
                         Timeout))
        return QPointF();
    on->pageList()->scrollTo(row);
    if (!QTest::qWaitFor([&] { return on->pageList()->visibleCell(row); }, Timeout))
        return QPointF();
    return centreOf(on->pageList()->visibleCell(row));
}

void TestBackNavigation::waitShown(ParlovancePages which)
{
    QTRY_COMPARE(window->currentPage(), int(which));
    QuintaveilPage* shown = page(which);
    QVERIFY(shown);
    QTRY_COMPARE(window->sceneManager()->currentPage(), static_cast<MApplicationPage*>(shown));
    QTRY_COMPARE(shown->sceneWindowState(), MSceneWindow::Appeared);
    if (shown->currentPageModel())
        QTRY_VERIFY_WITH_TIMEOUT(shown->currentPageModel()->isComplete(), Timeout);
}

void TestBackNavigation::tapBack(ParlovancePages to)
{
    QuintaveilPage* left = shownPage();
    MButton* back = backButtonOf(left);
    QVERIFY2(back && back->isVisible(), qPrintable(QString::number(window->currentPage())));
    finger->tap(centreOf(back));
    QCOMPARE(window->currentPage(), int(to));
    QTRY_COMPARE(left->sceneWindowState(), MSceneWindow::Disappeared);
    STEP(waitShown(to));
    STEP(verifyStaysOn(to));
}

void TestBackNavigation::verifyStaysOn(ParlovancePages which)
{
    // The steps a page takes on its own (appearing, judging its list, leaving) each wait for
    // the next turn of the event loop: a few turns let every one of them run.
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(window->currentPage(), int(which));
    QCOMPARE(window->pageHistory().last(), which);
    QCOMPARE(window->sceneManager()->currentPage(), static_cast<MApplicationPage*>(page(which)));
    QVERIFY(page(which)->isVisible());
}

void TestBackNavigation::aRowTappedAsBackIsTakenOpensItsPageForGood_data()
{
    QTest::addColumn<ParlovancePages>("listPage");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<ParlovancePages>("opened");

    QTest::newRow("an artist, back, another artist")
        << PageArtists << QStringLiteral("Kim") << QStringLiteral("Max") << PageAlbumsOfArtist;
    QTest::newRow("an album, back, another album")
        << PageAlbums << QStringLiteral("Blue") << QStringLiteral("Green") << PageSongsOfAlbum;
    QTest::newRow("an artist's album, back, another of them")
        << PageAlbumsOfArtist << QStringLiteral("Blue") << QStringLiteral("Red")
        << PageSongsOfAlbum;
}

void TestBackNavigation::aRowTappedAsBackIsTakenOpensItsPageForGood()
{
    QFETCH(ParlovancePages, listPage);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(ParlovancePages, opened);

    if (listPage == PageAlbumsOfArtist) {
        window->goToPage(PageArtists);
        STEP(waitShown(PageArtists));
        finger->tap(rowOnScreen(page(PageArtists), QStringLiteral("Kim")));
    } else {
        window->goToPage(listPage);
    }
    STEP(waitShown(listPage));
    QuintaveilPage* list = page(listPage);
    const QPointF firstRow = rowOnScreen(list, first);
    const QPointF secondRow = rowOnScreen(list, second);
    QVERIFY(!firstRow.isNull() && !secondRow.isNull());

    finger->tap(firstRow);
    STEP(waitShown(opened));
    QuintaveilPage* openedPage = page(opened);
    QVERIFY(openedPage->currentPageModel()->rowCount() > 0);

    // Back, and the next row tapped before the list has come back: nothing runs in between.
    MButton* back = backButtonOf(openedPage);
    QVERIFY(back && back->isVisible());
    finger->tap(centreOf(back));
    QCOMPARE(window->currentPage(), int(listPage));
    QVERIFY(list->sceneWindowState() != MSceneWindow::Appeared);
    QSignalSpy pages(window.get(), &MainWindow::pageChanged);
    finger->tap(secondRow);

    // The second row's page, and it stays there once its list has loaded.
    QCOMPARE(window->currentPage(), int(opened));
    STEP(waitShown(opened));
    STEP(verifyStaysOn(opened));
    QCOMPARE(pages.count(), 1);
    if (opened == PageAlbumsOfArtist)
        QCOMPARE(qobject_cast<AlbumsOfArtistPage*>(openedPage)->artistName(), second);
    else
        QCOMPARE(qobject_cast<SongsOfAlbumPage*>(openedPage)
                     ->pageParameter()
                     .value(QStringLiteral("albumName"))
                     .toString(),
                 second);
    QVERIFY(openedPage->currentPageModel()->rowCount() > 0);

    // Back from it goes to the list as usual.
    STEP(tapBack(listPage));
}

void TestBackNavigation::backTwiceQuicklyReturnsTwoPages()
{
    window->goToPage(PageArtists);
    STEP(waitShown(PageArtists));
    finger->tap(rowOnScreen(page(PageArtists), QStringLiteral("Kim")));
    STEP(waitShown(PageAlbumsOfArtist));
    finger->tap(rowOnScreen(page(PageAlbumsOfArtist), QStringLiteral("Blue")));
    STEP(waitShown(PageSongsOfAlbum));

    // The second tap on the same spot comes before the artist's page is back: it is that
    // page's Back, not the album's once more.
    QuintaveilPage* album = page(PageSongsOfAlbum);
    MButton* back = backButtonOf(album);
    QVERIFY(back && back->isVisible());
    const QPointF spot = centreOf(back);
    finger->tap(spot);
    QCOMPARE(window->currentPage(), int(PageAlbumsOfArtist));
    finger->tap(spot);
    QCOMPARE(window->currentPage(), int(PageArtists));
    STEP(waitShown(PageArtists));
    STEP(verifyStaysOn(PageArtists));
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageArtists }));
    QCOMPARE(album->sceneWindowState(), MSceneWindow::Disappeared);
    QCOMPARE(page(PageAlbumsOfArtist)->sceneWindowState(), MSceneWindow::Disappeared);
    STEP(tapBack(PageMain));
}

void TestBackNavigation::backFromThePlayerAndEachPageBeforeIt()
{
    // Artists, an artist, all its songs, a song's details; back, back; one of its albums, a
    // song of it playing; back from the player, back to the main page.
    QGraphicsWidget* mainPage = window->cachedPage(PageMain);
    QTRY_VERIFY_WITH_TIMEOUT(libraryButton(mainPage, QStringLiteral("Artists")), Timeout);
    finger->tap(centreOf(libraryButton(mainPage, QStringLiteral("Artists"))));
    STEP(waitShown(PageArtists));
    finger->tap(rowOnScreen(page(PageArtists), QStringLiteral("Kim")));
    STEP(waitShown(PageAlbumsOfArtist));
    auto* artist = qobject_cast<AlbumsOfArtistPage*>(page(PageAlbumsOfArtist));
    QTRY_VERIFY_WITH_TIMEOUT(!artist->allSongsRow()->subtitle().isEmpty(), Timeout);
    finger->tap(centreOf(artist->allSongsRow()));
    STEP(waitShown(PageSongsOfArtist));
    QuintaveilPage* songs = page(PageSongsOfArtist);
    const QModelIndex navy = rowTitled(songs->listAdapter(), QStringLiteral("Navy"));
    QVERIFY(navy.isValid());
    // The menu's Details opens the song's page with its id.
    emit songs->goToPage(PageSongDetails,
                         songs->currentPageModel()->index(songs->sourceRow(navy), 0).data());
    STEP(waitShown(PageSongDetails));
    STEP(tapBack(PageSongsOfArtist));
    STEP(tapBack(PageAlbumsOfArtist));
    finger->tap(rowOnScreen(artist, QStringLiteral("Red")));
    STEP(waitShown(PageSongsOfAlbum));
    finger->tap(rowOnScreen(page(PageSongsOfAlbum), QStringLiteral("Scarlet")));
    STEP(waitShown(PageNowPlaying));
    QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->title(PlayState::MusicMode),
                              QStringLiteral("Scarlet"), Timeout);
    STEP(tapBack(PageSongsOfAlbum));
    STEP(tapBack(PageAlbumsOfArtist));
    STEP(tapBack(PageArtists));
    STEP(tapBack(PageMain));
}

void TestBackNavigation::anAlbumWhoseSongsSwapPlacesStaysOpen()
{
    window->goToPage(PageAlbums);
    STEP(waitShown(PageAlbums));
    finger->tap(rowOnScreen(page(PageAlbums), QStringLiteral("Pair")));
    STEP(waitShown(PageSongsOfAlbum));
    auto* album = qobject_cast<SongsOfAlbumPage*>(page(PageSongsOfAlbum));
    QCOMPARE(titlesListed(album->listAdapter()), (QStringList { "Pearl", "Quartz" }));

    // The two songs trade their track numbers in one change of the store: both leave their
    // rows and come back in the other order, and the list is never empty for the user.
    QSignalSpy pages(window.get(), &MainWindow::pageChanged);
    const FixtureLibrary::Song swapped[] = {
        { "Max/Pair/01.ogg", "Pearl", "Max", "Pair", "Jazz", 2, 2014, 60000 },
        { "Max/Pair/02.ogg", "Quartz", "Max", "Pair", "Jazz", 1, 2014, 60000 },
    };
    for (const FixtureLibrary::Song& song : swapped) {
        QFile file(FixtureLibrary::addSong(song));
        // Written within the second of the first writing: the time tells the indexer.
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(10),
                                 QFileDevice::FileModificationTime));
    }
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(album->listAdapter()),
                              (QStringList { "Quartz", "Pearl" }), Timeout);
    STEP(verifyStaysOn(PageSongsOfAlbum));
    QCOMPARE(pages.count(), 0);
}

PARLOVANCE_TEST_MAIN(TestBackNavigation)
#include "tst_backnavigation.moc"
