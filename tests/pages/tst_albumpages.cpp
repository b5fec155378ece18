// The albums page and the songs of an album on a real window over the real store, with a
// finger: the albums with covers, artists and counts, the row of the songs without an album,
// the live filter, an album opened with its panel and its songs in track order, playing from a
// row, the cover and the shuffle row, the page kept or loaded anew as the albums asked for
// change, and covers that appear in the media-art folder while a page is shown. Screenshots of both
// pages go into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "applicationactionmediator.h"
#include "data/listmodel.h"
#include "librarywindow.h"
#include "listrows.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlist.h"
#include "mobjectmenu.h"
#include "pageframework/albumcontentitem.h"
#include "pageframework/albuminfowidget.h"
#include "pageframework/artistcontentitem.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/songcollectionlistitem.h"
#include "pages/myalbumspage.h"
#include "pages/songsofalbumpage.h"
#include "playback/playstate.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "trackermediaart.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

QPointF centreOf(QGraphicsItem* item)
{
    return item->mapToScene(item->boundingRect().center());
}

// The cover of an album's panel.
MImageWidget* coverOf(QGraphicsItem* panel)
{
    for (QGraphicsItem* item : panel->childItems()) {
        auto* image = dynamic_cast<MImageWidget*>(item);
        if (image && image->styleName() == QLatin1String("albumArtOfSongPage"))
            return image;
    }
    return nullptr;
}

const QColor NewCover(255, 128, 0);

// Whether a cover is drawn, not the see-through stand-in shown while it loads.
bool showsACover(MImageWidget* image)
{
    return image && image->pixmap() && !image->pixmap()->isNull()
           && image->pixmap()->toImage().pixelColor(2, 2).alpha() == 255;
}

// Whether a shown cover is the picture NewCover fills, not the text cover drawn without one.
bool showsNewCover(MImageWidget* image)
{
    if (!showsACover(image))
        return false;
    const QImage shown = image->pixmap()->toImage();
    for (const QPoint& at : { QPoint(2, 2), QPoint(shown.width() / 2, shown.height() / 2) }) {
        const QColor pixel = shown.pixelColor(at);
        if (qAbs(pixel.red() - NewCover.red()) > 30 || qAbs(pixel.green() - NewCover.green()) > 30
            || qAbs(pixel.blue() - NewCover.blue()) > 30)
            return false;
    }
    return true;
}

// Puts a cover into the media-art folder as the platform does: whole, under its final name.
void writeCover(const QString& artist, const QString& album)
{
    const QString path = TrackerMediaArt::albumArtPath(artist, album);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage cover(200, 200, QImage::Format_RGB32);
    cover.fill(NewCover);
    QVERIFY(cover.save(path + QStringLiteral(".part"), "JPEG"));
    QVERIFY(QFile::rename(path + QStringLiteral(".part"), path));
}

} // namespace

class TestAlbumPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void albumsShowCoverArtistAndCountWithTheUnknownRow();
    void typingFiltersByTitleAndArtist();
    void anAlbumOpensWithItsPanelAndItsSongsInTrackOrder();
    void aRowTheCoverOrShufflePlayTheAlbum();
    void theUnknownRowOpensTheSongsWithoutAnAlbum();
    void theMenuPlaysAnAlbumsSongs();
    void theSameAlbumAgainKeepsThePageAReIndexLoadsIt();
    void coversAppearingWhileShownReplaceTheTextCovers();

private:
    MyAlbumsPage* albums() const;
    SongsOfAlbumPage* songsOfAlbum() const;
    void showAlbums();
    void openAlbum(const QString& name);
    void tapRow(MList* list, const QModelIndex& row);
    void back(ParlovancePages to);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
};

void TestAlbumPages::initTestCase()
{
    openLibraryWindow(&window);
    QVERIFY(window);
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestAlbumPages::cleanupTestCase()
{
    PlayState::instance()->stop(PlayState::MusicMode);
    finger.reset();
    window.reset();
}

MyAlbumsPage* TestAlbumPages::albums() const
{
    return qobject_cast<MyAlbumsPage*>(window->cachedPage(PageAlbums));
}

SongsOfAlbumPage* TestAlbumPages::songsOfAlbum() const
{
    return qobject_cast<SongsOfAlbumPage*>(window->cachedPage(PageSongsOfAlbum));
}

void TestAlbumPages::showAlbums()
{
    window->goToPage(PageAlbums);
    QVERIFY(albums());
    QTRY_COMPARE(albums()->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY(albums()->currentFilterText().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(albums()->listAdapter()->rowCountInGroup(-1), 3, Timeout);
}

void TestAlbumPages::tapRow(MList* list, const QModelIndex& row)
{
    QVERIFY(row.isValid());
    list->scrollTo(row);
    QTRY_VERIFY(list->visibleCell(row));
    finger->tap(centreOf(list->visibleCell(row)));
}

void TestAlbumPages::back(ParlovancePages to)
{
    QGraphicsWidget* left = window->cachedPage(ParlovancePages(window->currentPage()));
    emit qobject_cast<MApplicationPage*>(left)->backButtonClicked();
    QTRY_COMPARE(window->currentPage(), int(to));
    // The page left goes on the next turn of the event loop; until then it covers this one.
    QTRY_VERIFY(!left->isVisible());
}

void TestAlbumPages::openAlbum(const QString& name)
{
    showAlbums();
    tapRow(albums()->pageList(), rowTitled(albums()->listAdapter(), name));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QTRY_COMPARE(songsOfAlbum()->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY_WITH_TIMEOUT(songsOfAlbum()->currentPageModel()->isComplete(), Timeout);
}

void TestAlbumPages::albumsShowCoverArtistAndCountWithTheUnknownRow()
{
    showAlbums();
    MyAlbumsPage* page = albums();
    QCOMPARE(page->title(), QStringLiteral("Albums"));
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Albums"));
    QCOMPARE(titlesListed(page->listAdapter()), (QStringList { "Blue", "Green", "Red" }));

    // Blue holds Kim's songs and one without an artist: two artists.
    const QModelIndex blue = rowTitled(page->listAdapter(), QStringLiteral("Blue"));
    QTRY_VERIFY(page->pageList()->visibleCell(blue));
    auto* row = qobject_cast<AlbumContentItem*>(page->pageList()->visibleCell(blue));
    QVERIFY(row);
    QCOMPARE(row->title(), QStringLiteral("Blue"));
    QCOMPARE(row->subtitle(), QStringLiteral("Various artists"));
    QCOMPARE(row->sideBottomTitle(), QStringLiteral("4"));
    QVERIFY(row->imageWidget()->pixmap() && !row->imageWidget()->pixmap()->isNull());
    auto* red = qobject_cast<AlbumContentItem*>(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Red"))));
    QVERIFY(red);
    QCOMPARE(red->subtitle(), QStringLiteral("Kim"));
    QCOMPARE(red->sideBottomTitle(), QStringLiteral("2"));

    // The song without an album gives the last row.
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownRow() && page->unknownRow()->isVisible(), Timeout);
    QCOMPARE(page->unknownRow()->title(), QStringLiteral("Unknown album"));

    QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/albums.png"));
}

void TestAlbumPages::typingFiltersByTitleAndArtist()
{
    showAlbums();
    MyAlbumsPage* page = albums();
    QSignalSpy edits(page, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("lee"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(page->currentFilterText(), QStringLiteral("lee"));
    QTRY_COMPARE(titlesListed(page->listAdapter()), QStringList { "Green" });
    QCOMPARE(page->layoutState(), CollectionPageBase::FilteredListState);
    auto* green = qobject_cast<AlbumContentItem*>(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Green"))));
    QVERIFY(green);
    QVERIFY(green->subtitle().contains(QLatin1String("<u>"))); // the match is marked

    QTest::keyClicks(window.get(), QStringLiteral("zz"));
    QTRY_COMPARE(page->layoutState(), CollectionPageBase::NoResultsState);

    // An album opened from the filtered list is where the list stands when the page is back.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(window.get(), Qt::Key_Backspace);
    QTest::keyClicks(window.get(), QStringLiteral("re"));
    QTRY_COMPARE(page->currentFilterText(), QStringLiteral("re"));
    QTRY_COMPARE(titlesListed(page->listAdapter()), (QStringList { "Green", "Red" }));
    tapRow(page->pageList(), rowTitled(page->listAdapter(), QStringLiteral("Red")));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Disappeared);
    back(PageAlbums);
    QTRY_VERIFY(page->currentFilterText().isEmpty());
    QTRY_COMPARE(page->listAdapter()->rowCountInGroup(-1), 3);
    QTRY_VERIFY(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Red"))));
}

void TestAlbumPages::anAlbumOpensWithItsPanelAndItsSongsInTrackOrder()
{
    openAlbum(QStringLiteral("Red"));
    SongsOfAlbumPage* page = songsOfAlbum();
    // The album's extensions learn which album shows.
    ApplicationActionMediator* mediator = ApplicationActionMediator::instance();
    QCOMPARE(mediator->lastContentType(), 1);
    QCOMPARE(mediator->lastContent().value("album").toString(), QStringLiteral("Red"));
    QCOMPARE(mediator->lastContent().value("artist").toString(), QStringLiteral("Kim"));
    // The whole album row is the parameter.
    const QSharedPointer<MafwTrackerModel> model = albums()->currentPageModel();
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QStringList keys = page->pageParameter().keys();
    keys.sort();
    headers.sort();
    QCOMPARE(keys, headers);

    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Red"));
    QCOMPARE(titlesListed(page->listAdapter()), (QStringList { "Crimson", "Scarlet" }));
    AlbumInfoWidget* panel = page->albumHeader();
    QVERIFY(panel);
    QCOMPARE(panel->artistLabel()->text(), QStringLiteral("Kim"));
    QCOMPARE(panel->songCountLabel()->text(), QStringLiteral("2 songs"));
    QCOMPARE(panel->lengthLabel()->text(), QStringLiteral("02:00"));
    QCOMPARE(panel->yearLabel()->text(), QStringLiteral("2003"));
    QCOMPARE(panel->genreLabel()->text(), QStringLiteral("Rock"));
    QVERIFY(coverOf(panel) && coverOf(panel)->pixmap() && !coverOf(panel)->pixmap()->isNull());

    // One artist: one-line rows, the length at the right.
    auto* crimson = qobject_cast<SongCollectionListItem*>(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Crimson"))));
    QVERIFY(crimson);
    QCOMPARE(crimson->metaObject()->className(), "SongItem");
    QCOMPARE(crimson->titleLabel()->text(), QStringLiteral("Crimson"));
    QCOMPARE(crimson->infoLabel()->text(), QStringLiteral("01:00"));
    QVERIFY(page->shuffleWidget()->isShown());

    // Blue: several artists, each row says whose song it is.
    back(PageAlbums);
    openAlbum(QStringLiteral("Blue"));
    QCOMPARE(titlesListed(page->listAdapter()),
             (QStringList { "Azure", "Cobalt", "Navy", "Nobody" }));
    QCOMPARE(page->albumHeader()->artistLabel()->text(), QStringLiteral("Various artists"));
    QTRY_VERIFY(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Nobody"))));
    auto* nobody = qobject_cast<SongCollectionListItem*>(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Nobody"))));
    QCOMPARE(nobody->metaObject()->className(), "TwoRowsSongItem");
    QCOMPARE(nobody->subtitleLabel()->text(), QStringLiteral("Unknown artist"));
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/songs-of-album.png"));
}

void TestAlbumPages::aRowTheCoverOrShufflePlayTheAlbum()
{
    PlayState* hub = PlayState::instance();
    openAlbum(QStringLiteral("Blue"));
    SongsOfAlbumPage* page = songsOfAlbum();
    tapRow(page->pageList(), rowTitled(page->listAdapter(), QStringLiteral("Cobalt")));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Cobalt"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 4);
    QCOMPARE(window->currentPage(), int(PageNowPlaying));

    // Back on the album, the playing song's row is accented.
    back(PageSongsOfAlbum);
    auto* cobalt = qobject_cast<SongCollectionListItem*>(
        page->pageList()->visibleCell(rowTitled(page->listAdapter(), QStringLiteral("Cobalt"))));
    QVERIFY(cobalt);
    QCOMPARE(cobalt->titleLabel()->styleName(), QStringLiteral("CommonTitleAccented"));

    // The cover plays from the first song.
    hub->stop(PlayState::MusicMode);
    QSignalSpy coverTapped(page->albumHeader(), SIGNAL(albumArtClicked()));
    finger->tap(centreOf(coverOf(page->albumHeader())));
    QCOMPARE(coverTapped.count(), 1);
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Azure"));

    // The shuffle row plays the album shuffled.
    back(PageSongsOfAlbum);
    finger->tap(centreOf(page->shuffleWidget()->rowItem()));
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_VERIFY(hub->isShuffle());
    QCOMPARE(hub->songCount(PlayState::MusicMode), 4);
    hub->stop(PlayState::MusicMode);
    hub->setShuffle(false);
}

void TestAlbumPages::theUnknownRowOpensTheSongsWithoutAnAlbum()
{
    showAlbums();
    MyAlbumsPage* page = albums();
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownRow() && page->unknownRow()->isVisible(), Timeout);
    page->pageList()->scrollTo(rowTitled(page->listAdapter(), QStringLiteral("Red")));
    QTRY_VERIFY(page->unknownRow()->isVisible());
    finger->tap(centreOf(page->unknownRow()));
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageSongsOfAlbum), Timeout);
    SongsOfAlbumPage* songs = songsOfAlbum();
    QCOMPARE(songs->pageParameter().value("albumId").toInt(), -1);
    QCOMPARE(songs->pageParameter().value("artistName").toString(), QStringLiteral("Lee"));
    QCOMPARE(songs->titleWidget()->text(), QStringLiteral("Unknown album"));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songs->listAdapter()), QStringList { "Nowhere" },
                              Timeout);
    QCOMPARE(songs->currentPageModel()->queryType(), MafwTrackerModel::SongsOfUnknownAlbum);
    // One song: nothing to shuffle.
    QVERIFY(!songs->shuffleWidget()->isShown());
    QTRY_COMPARE(songs->albumHeader()->artistLabel()->text(), QStringLiteral("Lee"));
}

void TestAlbumPages::theMenuPlaysAnAlbumsSongs()
{
    showAlbums();
    MyAlbumsPage* page = albums();
    const QModelIndex red = rowTitled(page->listAdapter(), QStringLiteral("Red"));
    QTRY_VERIFY(page->pageList()->visibleCell(red));
    const QPointF at = centreOf(page->pageList()->visibleCell(red));
    finger->press(at);
    QTRY_VERIFY_WITH_TIMEOUT(page->pageObjectMenu()->isVisible(), Timeout);
    finger->release(at);
    QStringList entries;
    for (QAction* action : page->pageObjectMenu()->actions())
        entries << action->text();
    QCOMPARE(entries, (QStringList { "Play", "Add to queue", "Add to playlist", "Delete" }));
    page->pageObjectMenu()->disappear();
    page->handlePlay();
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->album(PlayState::MusicMode), QStringLiteral("Red"), Timeout);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 2);
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    hub->stop(PlayState::MusicMode);
    back(PageAlbums);
}

void TestAlbumPages::theSameAlbumAgainKeepsThePageAReIndexLoadsIt()
{
    openAlbum(QStringLiteral("Green"));
    SongsOfAlbumPage* page = songsOfAlbum();
    const QSharedPointer<MafwTrackerModel> shown = page->currentPageModel();
    QHash<QString, QVariant> again = page->pageParameter();
    again.insert(QStringLiteral("albumName"), QStringLiteral("Green, renamed"));
    page->passParameterToPage(again);
    QCOMPARE(page->currentPageModel(), shown);
    QCOMPARE(page->pageParameter().value("albumName").toString(), QStringLiteral("Green, renamed"));

    // The songs of no artist's album first, then the songs of no album: two lists.
    page->passParameterToPage(
        QVariantHash { { "useSongsOfArtistModel", true }, { "unknownArtist", true } });
    QCOMPARE(page->currentPageModel()->queryType(), MafwTrackerModel::SongsOfUnknownArtist);
    page->passParameterToPage(QVariantHash { { "albumId", 0 } });
    QCOMPARE(page->currentPageModel()->queryType(), MafwTrackerModel::SongsOfUnknownAlbum);

    const QSharedPointer<MafwTrackerModel> before = page->currentPageModel();
    page->libraryUpdated();
    page->passParameterToPage(QVariantHash { { "albumId", 0 } });
    QVERIFY(page->currentPageModel() != before);
}

void TestAlbumPages::coversAppearingWhileShownReplaceTheTextCovers()
{
    // Red has no picture: its panel shows the text cover until one arrives.
    openAlbum(QStringLiteral("Red"));
    AlbumInfoWidget* panel = songsOfAlbum()->albumHeader();
    QTRY_VERIFY_WITH_TIMEOUT(showsACover(coverOf(panel)), Timeout);
    QVERIFY(!showsNewCover(coverOf(panel)));
    writeCover(QStringLiteral("Kim"), QStringLiteral("Red"));
    QTRY_VERIFY_WITH_TIMEOUT(showsNewCover(coverOf(panel)), Timeout);

    // The albums page behind it followed too; a cover for Green comes while the page is shown.
    back(PageAlbums);
    MyAlbumsPage* page = albums();
    const auto rowCover = [page](const char* title) -> MImageWidget* {
        auto* row = qobject_cast<AlbumContentItem*>(page->pageList()->visibleCell(
            rowTitled(page->listAdapter(), QString::fromUtf8(title))));
        return row ? row->imageWidget() : nullptr;
    };
    QTRY_VERIFY_WITH_TIMEOUT(showsNewCover(rowCover("Red")), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(showsACover(rowCover("Green")), Timeout);
    QVERIFY(!showsNewCover(rowCover("Green")));
    writeCover(QStringLiteral("Lee"), QStringLiteral("Green"));
    QTRY_VERIFY_WITH_TIMEOUT(showsNewCover(rowCover("Green")), Timeout);
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/albums-new-covers.png"));
}

PARLOVANCE_TEST_MAIN(TestAlbumPages)
#include "tst_albumpages.moc"
