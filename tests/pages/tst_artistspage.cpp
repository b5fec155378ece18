// The artists page on a real window over the real store, with a finger: the artists with
// their one album or number of albums and the row of the songs without an artist, the live
// filter, an artist of one album opening that album's songs by the artist, an artist of
// several opening their albums, and the unknown-artist row opening its songs. A screenshot
// goes into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "data/listmodel.h"
#include "librarywindow.h"
#include "listrows.h"
#include "mimagewidget.h"
#include "mlist.h"
#include "pageframework/artistcontentitem.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pages/myartistspage.h"
#include "pages/songsofalbumpage.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

QPointF centreOf(QGraphicsItem* item)
{
    return item->mapToScene(item->boundingRect().center());
}

} // namespace

class TestArtistsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void artistsShowTheirAlbumsAndTheUnknownRow();
    void typingFiltersByNameAndAlbum();
    void anArtistOfOneAlbumOpensItsSongsOfThatAlbum();
    void anArtistOfSeveralAlbumsOpensTheirAlbums();
    void theUnknownRowOpensTheSongsWithoutAnArtist();

private:
    MyArtistsPage* artists() const;
    void showArtists();
    void open(const QString& name, ParlovancePages page, QHash<QString, QVariant>* parameter);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
};

void TestArtistsPage::initTestCase()
{
    openLibraryWindow(&window);
    QVERIFY(window);
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestArtistsPage::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

MyArtistsPage* TestArtistsPage::artists() const
{
    return qobject_cast<MyArtistsPage*>(window->cachedPage(PageArtists));
}

void TestArtistsPage::showArtists()
{
    if (window->currentPage() != PageArtists)
        window->goToPage(PageArtists);
    QVERIFY(artists());
    QTRY_COMPARE(artists()->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY(artists()->currentFilterText().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(artists()->listAdapter()->rowCountInGroup(-1), 2, Timeout);
    for (int other = PageMain; other <= PageUsbNotice; ++other) {
        QGraphicsWidget* cached = window->cachedPage(ParlovancePages(other));
        if (cached && cached != artists())
            QTRY_VERIFY(!cached->isVisible());
    }
}

// Taps the artist; the page it opens must be the one named, with the parameter given back.
void TestArtistsPage::open(const QString& name, ParlovancePages page,
                           QHash<QString, QVariant>* parameter)
{
    showArtists();
    const QModelIndex row = rowTitled(artists()->listAdapter(), name);
    QTRY_VERIFY_WITH_TIMEOUT(artists()->pageList()->visibleCell(row), Timeout);
    QSignalSpy opened(artists(), SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));
    finger->tap(centreOf(artists()->pageList()->visibleCell(row)));
    QTRY_COMPARE(opened.count(), 1);
    QCOMPARE(opened.first().first().value<ParlovancePages>(), page);
    QTRY_COMPARE(window->currentPage(), int(page));
    *parameter = opened.first().at(1).toHash();
}

void TestArtistsPage::artistsShowTheirAlbumsAndTheUnknownRow()
{
    showArtists();
    MyArtistsPage* page = artists();
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Artists"));
    QCOMPARE(titlesListed(page->listAdapter()), (QStringList { "Kim", "Lee" }));
    const QModelIndex kim = rowTitled(page->listAdapter(), QStringLiteral("Kim"));
    QTRY_VERIFY(page->pageList()->visibleCell(kim));
    auto* row = qobject_cast<ArtistContentItem*>(page->pageList()->visibleCell(kim));
    QVERIFY(row);
    QCOMPARE(row->subtitle(), QStringLiteral("2 albums"));
    QVERIFY(row->imageWidget()->pixmap());
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownRow() && page->unknownRow()->isVisible(), Timeout);
    QCOMPARE(page->unknownRow()->title(), QStringLiteral("Unknown artist"));
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/artists.png"));
}

void TestArtistsPage::typingFiltersByNameAndAlbum()
{
    showArtists();
    MyArtistsPage* page = artists();
    QSignalSpy edits(page, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("red"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(page->currentFilterText(), QStringLiteral("red"));
    // Red is an album of Kim's.
    QTRY_COMPARE(titlesListed(page->listAdapter()), QStringList { "Kim" });
    window->goToPage(PageMain);
    QTRY_VERIFY(page->currentFilterText().isEmpty());
}

void TestArtistsPage::anArtistOfOneAlbumOpensItsSongsOfThatAlbum()
{
    // Lee's songs: two on Green, one on no album.
    QHash<QString, QVariant> lee;
    open(QStringLiteral("Lee"), PageSongsOfAlbum, &lee);
    QVERIFY(lee.value("AccessFromArtistView").toBool());
    QCOMPARE(lee.value("artistName").toString(), QStringLiteral("Lee"));
    QCOMPARE(lee.value("albumName").toString(), QStringLiteral("Green"));
    auto* songs = qobject_cast<SongsOfAlbumPage*>(window->cachedPage(PageSongsOfAlbum));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songs->listAdapter()),
                              (QStringList { "Emerald", "Jade" }), Timeout);
    QCOMPARE(songs->currentPageModel()->queryType(), MafwTrackerModel::SongsOfAlbumByArtist);
}

void TestArtistsPage::anArtistOfSeveralAlbumsOpensTheirAlbums()
{
    QHash<QString, QVariant> kim;
    open(QStringLiteral("Kim"), PageAlbumsOfArtist, &kim);
    QCOMPARE(kim.keys().size(), 2);
    QCOMPARE(kim.value("artistName").toString(), QStringLiteral("Kim"));
    QVERIFY(kim.value("artistId").toInt() > 0);
}

void TestArtistsPage::theUnknownRowOpensTheSongsWithoutAnArtist()
{
    showArtists();
    MyArtistsPage* page = artists();
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownRow() && page->unknownRow()->isVisible(), Timeout);
    QSignalSpy opened(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));
    finger->tap(centreOf(page->unknownRow()));
    // The song without an artist is on Blue: one album, its songs at once.
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, Timeout);
    QCOMPARE(opened.first().first().value<ParlovancePages>(), PageSongsOfAlbum);
    const QHash<QString, QVariant> unknown = opened.first().at(1).toHash();
    QVERIFY(unknown.value("unknownArtist").toBool());
    QVERIFY(unknown.value("useSongsOfArtistModel").toBool());
    QCOMPARE(unknown.value("artistId").toInt(), -1);
    QCOMPARE(unknown.value("albumName").toString(), QStringLiteral("Blue"));
    auto* songs = qobject_cast<SongsOfAlbumPage*>(window->cachedPage(PageSongsOfAlbum));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songs->listAdapter()), QStringList { "Nobody" },
                              Timeout);
}

PARLOVANCE_TEST_MAIN(TestArtistsPage)
#include "tst_artistspage.moc"
