// An artist's pages on a real window over the real store, with a finger: the albums of an
// artist with their covers, counts and lengths, the row of its songs without an album and the
// row of all its songs; the songs of an artist under their albums' headers; playing a row and
// shuffling the artist; going from one artist to another and back (two artists whose names
// look alike, the unknown artist among them); what makes a page load again; the extensions of
// the artist and album pages; the pages' objects staying as many over many visits; names with
// quotes, backslashes and braces.
// Screenshots go into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "abstractextensionwidget.h"
#include "applicationactionmediator.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "extensionregistry.h"
#include "fixturelibrary.h"
#include "librarywindow.h"
#include "listrows.h"
#include "mafwtrackermodelfactory.h"
#include "mapplicationextensionarea.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlist.h"
#include "mlocale.h"
#include "mobjectmenu.h"
#include "musicapplicationactioncontent.h"
#include "pageframework/albumsofartistcellcreator.h"
#include "pageframework/albumsofartistcontentitem.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/songcollectionlistitem.h"
#include "pageframework/songsofartistgroupheader.h"
#include "pages/albumsofartistpage.h"
#include "pages/musicextensionarea.h"
#include "pages/songsofalbumpage.h"
#include "pages/songsofartistpage.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QAction>
#include <QPointer>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;
// One name, written twice: precomposed, and with a combining diaeresis.
const char* const ZoePrecomposed = "Zo\xc3\xab";
const char* const ZoeCombining = "Zoe\xcc\x88";

QPointF centreOf(QGraphicsItem* item)
{
    return item->mapToScene(item->boundingRect().center());
}

// A cover is drawn, not the loader's transparent placeholder.
bool showsCover(MImageWidget* image)
{
    const QPixmap* shown = image->pixmap();
    if (!shown || shown->isNull())
        return false;
    const QImage picture = shown->toImage();
    return qAlpha(picture.pixel(picture.width() / 2, picture.height() / 2)) > 0;
}

QVariant artistParameter(const QString& name, int id)
{
    return QVariantHash { { "artistName", name }, { "artistId", id } };
}

// An extension for artists that shows a strip of its own.
class ArtistExtension : public AbstractExtensionWidget
{
public:
    ArtistExtension()
        : shown(new MWidget)
    {
        shown->setObjectName(QStringLiteral("artist extension"));
        shown->setPreferredSize(480, 40);
    }
    ~ArtistExtension() override { delete shown.data(); }
    void setMediator(ApplicationActionMediator*) override { }
    MWidget* widget() override { return shown; }

private:
    QPointer<MWidget> shown;
};

} // namespace

class TestArtistPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void theRoadFromTheMainPageByTaps();
    void anArtistOpensWithItsAlbumsAndAllItsSongs();
    void theRowOfSongsWithoutAnAlbumComesAndGoesWithTheArtist();
    void albumAndRowsOpenTheirSongs();
    void theRowsMenusPlayTheirSongs();
    void allSongsOfAnArtistStandUnderTheirAlbums();
    void rowsAndShufflePlayTheArtist();
    void theUnknownArtistListsWhatHasNoArtist();
    void artistsOfOneNameKeepTheirOwnAlbums();
    void whatMakesThePagesLoadAgain();
    void extensionsHearWhatThePagesShow();
    void manyVisitsKeepThePagesAsTheyAre();
    void namesWithQuotesBackslashesAndBracesOpenTheirOwnPages();

private:
    AlbumsOfArtistPage* albumsOfArtist() const;
    SongsOfArtistPage* songsOfArtist() const;
    SongsOfAlbumPage* songsOfAlbum() const;
    // Shows the artist's albums as the artists page opens them, and waits for the rows.
    void openArtist(const QString& name);
    void back(ParlovancePages to);
    void tapRow(MList* list, const QModelIndex& row);
    AlbumsOfArtistContentItem* albumRow(const QString& title);

    QHash<QString, int> artistIds;
    QList<int> extensionHandles;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
};

void TestArtistPages::initTestCase()
{
    openLibraryWindow(&window);
    QVERIFY(window);
    // More songs while the window shows, without its updating-library notice over the pages.
    window->watchTrackerIndexing(false);
    const FixtureLibrary::Song more[] = {
        { "Zoe/moon.ogg", "Moon", ZoePrecomposed, "Night", "Pop", 1, 2010, 30000 },
        { "Zoe/sun.ogg", "Sun", ZoeCombining, "Day", "Pop", 1, 2011, 45000 },
        { "Loose/ghost.ogg", "Ghost", "", "", "", 0, 0, 20000 },
    };
    for (const FixtureLibrary::Song& song : more)
        QVERIFY(!FixtureLibrary::addSong(song).isEmpty());
    QVERIFY(FixtureLibrary::index());

    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    std::unique_ptr<MafwTrackerModel> artists(
        factory->getModel(MafwTrackerModel::AllArtists, 0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(artists->isComplete(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(artists->rowCount(), 4, Timeout);
    const ArtistColumns columns;
    for (int row = 0; row < artists->rowCount(); ++row)
        artistIds.insert(artists->index(row, columns.artist).data().toString(),
                         artists->index(row, columns.artistId).data().toInt());
    QVERIFY(artistIds.value("Kim") > 0 && artistIds.value("Lee") > 0);
    QVERIFY(artistIds.value(ZoePrecomposed) > 0 && artistIds.value(ZoeCombining) > 0);
    QVERIFY(artistIds.value(ZoePrecomposed) != artistIds.value(ZoeCombining));
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestArtistPages::cleanup()
{
    for (int handle : qAsConst(extensionHandles))
        ExtensionRegistry::unregisterExtension(handle);
    extensionHandles.clear();
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    hub->setShuffle(false);
}

void TestArtistPages::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

AlbumsOfArtistPage* TestArtistPages::albumsOfArtist() const
{
    return qobject_cast<AlbumsOfArtistPage*>(window->cachedPage(PageAlbumsOfArtist));
}

SongsOfArtistPage* TestArtistPages::songsOfArtist() const
{
    return qobject_cast<SongsOfArtistPage*>(window->cachedPage(PageSongsOfArtist));
}

SongsOfAlbumPage* TestArtistPages::songsOfAlbum() const
{
    return qobject_cast<SongsOfAlbumPage*>(window->cachedPage(PageSongsOfAlbum));
}

void TestArtistPages::openArtist(const QString& name)
{
    const int id = name == qtTrId("qtn_musi_unknown_artist") ? -1 : artistIds.value(name);
    // As a user does: from the artist shown back to the list of artists first.
    if (window->currentPage() == PageAlbumsOfArtist)
        back(ParlovancePages(window->previousPage()));
    window->goToPage(PageAlbumsOfArtist, artistParameter(name, id));
    QVERIFY(albumsOfArtist());
    QTRY_COMPARE(window->currentPage(), int(PageAlbumsOfArtist));
    QTRY_COMPARE(albumsOfArtist()->sceneWindowState(), MSceneWindow::Appeared);
    QCOMPARE(albumsOfArtist()->artistName(), name);
    QTRY_VERIFY_WITH_TIMEOUT(albumsOfArtist()->currentPageModel()->isComplete(), Timeout);
    // The all-songs row has its count once the page has added everything up.
    QTRY_VERIFY_WITH_TIMEOUT(!albumsOfArtist()->allSongsRow()->subtitle().isEmpty(), Timeout);
}

void TestArtistPages::back(ParlovancePages to)
{
    QGraphicsWidget* left = window->cachedPage(ParlovancePages(window->currentPage()));
    emit qobject_cast<MApplicationPage*>(left)->backButtonClicked();
    QTRY_COMPARE(window->currentPage(), int(to));
    // The page left goes on the next turn of the event loop; until then it covers this one.
    QTRY_VERIFY(!left->isVisible());
}

void TestArtistPages::tapRow(MList* list, const QModelIndex& row)
{
    QVERIFY(row.isValid());
    list->scrollTo(row);
    QTRY_VERIFY(list->visibleCell(row));
    finger->tap(centreOf(list->visibleCell(row)));
}

AlbumsOfArtistContentItem* TestArtistPages::albumRow(const QString& title)
{
    AlbumsOfArtistPage* page = albumsOfArtist();
    const QModelIndex row = rowTitled(page->listAdapter(), title);
    if (!row.isValid() || !QTest::qWaitFor([&] { return page->pageList()->visibleCell(row); }))
        return nullptr;
    return qobject_cast<AlbumsOfArtistContentItem*>(page->pageList()->visibleCell(row));
}

void TestArtistPages::theRoadFromTheMainPageByTaps()
{
    // Main page, Artists, Kim (two albums), all her songs, a song.
    QTRY_COMPARE(window->currentPage(), int(PageMain));
    QGraphicsWidget* mainPage = window->cachedPage(PageMain);
    QTRY_VERIFY_WITH_TIMEOUT(libraryButton(mainPage, QStringLiteral("Artists")), Timeout);
    finger->tap(centreOf(libraryButton(mainPage, QStringLiteral("Artists"))));
    QTRY_COMPARE(window->currentPage(), int(PageArtists));
    auto* artists = qobject_cast<QuintaveilPage*>(window->cachedPage(PageArtists));
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(artists->listAdapter(), QStringLiteral("Kim")).isValid(),
                             Timeout);
    tapRow(artists->pageList(), rowTitled(artists->listAdapter(), QStringLiteral("Kim")));
    QTRY_COMPARE(window->currentPage(), int(PageAlbumsOfArtist));
    AlbumsOfArtistPage* page = albumsOfArtist();
    QCOMPARE(page->artistId(), artistIds.value("Kim"));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(page->listAdapter()), (QStringList { "Blue", "Red" }),
                              Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(page->allSongsRow()->subtitle(), QStringLiteral("5 songs"), Timeout);
    finger->tap(centreOf(page->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    SongsOfArtistPage* songs = songsOfArtist();
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(songs->listAdapter(), QStringLiteral("Navy")).isValid(),
                             Timeout);
    tapRow(songs->pageList(), rowTitled(songs->listAdapter(), QStringLiteral("Navy")));
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Navy"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 5);
    back(PageSongsOfArtist);
    back(PageAlbumsOfArtist);
    back(PageArtists);
    back(PageMain);
}

void TestArtistPages::anArtistOpensWithItsAlbumsAndAllItsSongs()
{
    openArtist(QStringLiteral("Kim"));
    AlbumsOfArtistPage* page = albumsOfArtist();
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Kim"));
    QCOMPARE(titlesListed(page->listAdapter()), (QStringList { "Blue", "Red" }));

    AlbumsOfArtistContentItem* red = albumRow(QStringLiteral("Red"));
    QVERIFY(red);
    QCOMPARE(red->title(), QStringLiteral("Red"));
    QCOMPARE(red->subtitle(), QStringLiteral("2 songs"));
    QCOMPARE(red->sideBottomTitle(), QStringLiteral("02:00"));
    // Blue is Kim's and the unknown artist's: the row counts Kim's three songs on it, as the
    // page it opens lists them. Its cover is the one in its first song; Red's is made up.
    QCOMPARE(albumRow(QStringLiteral("Blue"))->subtitle(), QStringLiteral("3 songs"));
    QTRY_VERIFY_WITH_TIMEOUT(showsCover(albumRow(QStringLiteral("Blue"))->imageWidget()), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(showsCover(albumRow(QStringLiteral("Red"))->imageWidget()), Timeout);
    const QImage blue = albumRow(QStringLiteral("Blue"))->imageWidget()->pixmap()->toImage();
    const QColor middle(blue.pixel(blue.width() / 2, blue.height() / 2));
    QVERIFY(middle.blue() > 150 && middle.red() < 50 && middle.green() < 50);

    // No song of Kim's is without an album; all five songs, five minutes.
    QVERIFY(!page->unknownAlbumRow() || !page->unknownAlbumRow()->isVisible());
    QCOMPARE(page->allSongsRow()->title(), QStringLiteral("All songs"));
    QCOMPARE(page->allSongsRow()->subtitle(), QStringLiteral("5 songs"));
    QCOMPARE(page->allSongsRow()->sideBottomTitle(), QStringLiteral("05:00"));
    QVERIFY(page->shuffleWidget()->isShown());

    // Top to bottom: shuffle, the albums, all songs.
    QVERIFY(centreOf(page->shuffleWidget()).y() < centreOf(page->pageList()).y());
    QVERIFY(page->pageList()->mapToScene(page->pageList()->boundingRect()).boundingRect().bottom()
            <= centreOf(page->allSongsRow()).y());
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/albums-of-artist.png"));
}

void TestArtistPages::theRowOfSongsWithoutAnAlbumComesAndGoesWithTheArtist()
{
    openArtist(QStringLiteral("Lee"));
    AlbumsOfArtistPage* page = albumsOfArtist();
    QCOMPARE(titlesListed(page->listAdapter()), QStringList { "Green" });
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownAlbumRow() && page->unknownAlbumRow()->isVisible(),
                             Timeout);
    AlbumsOfArtistContentItem* unknown = page->unknownAlbumRow();
    QCOMPARE(unknown->title(), QStringLiteral("Unknown album"));
    QCOMPARE(unknown->subtitle(), QStringLiteral("1 song"));
    QCOMPARE(unknown->sideBottomTitle(), QStringLiteral("01:00"));
    QTRY_VERIFY_WITH_TIMEOUT(showsCover(unknown->imageWidget()), Timeout);
    QTRY_COMPARE(page->allSongsRow()->subtitle(), QStringLiteral("3 songs"));
    // Between the albums and the all-songs row.
    QVERIFY(centreOf(page->pageList()).y() < centreOf(unknown).y());
    QVERIFY(centreOf(unknown).y() < centreOf(page->allSongsRow()).y());
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir()
                                + "/albums-of-artist-unknown-row.png"));

    // Kim has none: the row goes, and comes back with Lee.
    openArtist(QStringLiteral("Kim"));
    QVERIFY(page->unknownAlbumRow());
    QVERIFY(!page->unknownAlbumRow()->isVisible());
    QTRY_COMPARE(page->allSongsRow()->subtitle(), QStringLiteral("5 songs"));
    openArtist(QStringLiteral("Lee"));
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownAlbumRow()->isVisible(), Timeout);
    QCOMPARE(page->unknownAlbumRow()->subtitle(), QStringLiteral("1 song"));
}

void TestArtistPages::albumAndRowsOpenTheirSongs()
{
    openArtist(QStringLiteral("Kim"));
    AlbumsOfArtistPage* page = albumsOfArtist();
    tapRow(page->pageList(), rowTitled(page->listAdapter(), QStringLiteral("Blue")));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    SongsOfAlbumPage* album = songsOfAlbum();
    QCOMPARE(album->pageParameter().value("AccessFromArtistView").toBool(), true);
    QCOMPARE(album->pageParameter().value("artistName").toString(), QStringLiteral("Kim"));
    QCOMPARE(album->pageParameter().value("artistId").toInt(), artistIds.value("Kim"));
    QCOMPARE(album->pageParameter().value("albumName").toString(), QStringLiteral("Blue"));
    // Only Kim's songs of the album, in track order.
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(album->listAdapter()),
                              (QStringList { "Azure", "Cobalt", "Navy" }), Timeout);
    back(PageAlbumsOfArtist);
    QCOMPARE(titlesListed(page->listAdapter()), (QStringList { "Blue", "Red" }));

    // Lee's songs without an album.
    openArtist(QStringLiteral("Lee"));
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownAlbumRow()->isVisible(), Timeout);
    finger->tap(centreOf(page->unknownAlbumRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QCOMPARE(album->titleWidget()->text(), QStringLiteral("Unknown album"));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(album->listAdapter()), QStringList { "Nowhere" },
                              Timeout);
    QCOMPARE(album->currentPageModel()->queryType(), MafwTrackerModel::SongsOfArtistWithoutAlbum);
    back(PageAlbumsOfArtist);

    // All of Lee's songs.
    finger->tap(centreOf(page->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    QCOMPARE(songsOfArtist()->titleWidget()->text(), QStringLiteral("Lee"));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfArtist()->listAdapter()),
                              (QStringList { "Emerald", "Jade", "Nowhere" }), Timeout);
    back(PageAlbumsOfArtist);
    QTRY_VERIFY(page->unknownAlbumRow()->isVisible());
    QCOMPARE(titlesListed(page->listAdapter()), QStringList { "Green" });
}

void TestArtistPages::theRowsMenusPlayTheirSongs()
{
    PlayState* hub = PlayState::instance();
    const auto playFromMenuOf = [&](QGraphicsItem* row) {
        AlbumsOfArtistPage* page = albumsOfArtist();
        finger->press(centreOf(row));
        QTRY_VERIFY_WITH_TIMEOUT(page->pageObjectMenu()->isVisible(), Timeout);
        finger->release(centreOf(row));
        QStringList entries;
        for (QAction* action : page->pageObjectMenu()->actions())
            entries << action->text();
        QVERIFY(entries.contains(QStringLiteral("Play")));
        page->pageObjectMenu()->disappear();
        page->handlePlay();
        QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    };

    openArtist(QStringLiteral("Lee"));
    QTRY_VERIFY_WITH_TIMEOUT(albumsOfArtist()->unknownAlbumRow()
                                 && albumsOfArtist()->unknownAlbumRow()->isVisible(),
                             Timeout);
    playFromMenuOf(albumsOfArtist()->unknownAlbumRow());
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Nowhere"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 1);
    hub->stop(PlayState::MusicMode);
    back(PageAlbumsOfArtist);

    playFromMenuOf(albumsOfArtist()->allSongsRow());
    QCOMPARE(hub->songCount(PlayState::MusicMode), 3);
    QCOMPARE(hub->artist(PlayState::MusicMode), QStringLiteral("Lee"));
    hub->stop(PlayState::MusicMode);
    back(PageAlbumsOfArtist);

    // The unknown artist's row of songs without album plays the songs with neither.
    openArtist(qtTrId("qtn_musi_unknown_artist"));
    QTRY_VERIFY_WITH_TIMEOUT(albumsOfArtist()->unknownAlbumRow()->isVisible(), Timeout);
    playFromMenuOf(albumsOfArtist()->unknownAlbumRow());
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Ghost"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 1);
    back(PageAlbumsOfArtist);
}

void TestArtistPages::allSongsOfAnArtistStandUnderTheirAlbums()
{
    openArtist(QStringLiteral("Kim"));
    finger->tap(centreOf(albumsOfArtist()->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    SongsOfArtistPage* page = songsOfArtist();
    QTRY_VERIFY_WITH_TIMEOUT(page->currentPageModel()->isComplete(), Timeout);
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Kim"));
    ListModel* songs = page->listAdapter();
    QTRY_COMPARE(songs->groupCount(), 2);
    QCOMPARE(songs->groupTitle(0), QStringLiteral("Blue"));
    QCOMPARE(songs->groupTitle(1), QStringLiteral("Red"));
    QCOMPARE(titlesListed(songs),
             (QStringList { "Azure", "Cobalt", "Navy", "Crimson", "Scarlet" }));
    QVERIFY(page->pageList()->showGroups());

    // The headers on screen name the albums; the rows are one-line song rows.
    const auto headersShown = [this] {
        QStringList headers;
        for (QGraphicsItem* item : window->scene()->items()) {
            auto* header = dynamic_cast<SongsOfArtistGroupHeader*>(item);
            if (header && header->isVisible())
                headers << header->titleLabel()->text();
        }
        headers.sort();
        return headers;
    };
    QTRY_COMPARE(headersShown(), (QStringList { "Blue", "Red" }));
    QTRY_VERIFY(page->pageList()->visibleCell(rowTitled(songs, QStringLiteral("Crimson"))));
    auto* crimson = qobject_cast<SongCollectionListItem*>(
        page->pageList()->visibleCell(rowTitled(songs, QStringLiteral("Crimson"))));
    QVERIFY(crimson);
    QCOMPARE(crimson->metaObject()->className(), "SongItem");
    QCOMPARE(crimson->infoLabel()->text(), QStringLiteral("01:00"));
    QVERIFY(page->shuffleWidget()->isShown());
    QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/songs-of-artist.png"));
    back(PageAlbumsOfArtist);
}

void TestArtistPages::rowsAndShufflePlayTheArtist()
{
    PlayState* hub = PlayState::instance();
    openArtist(QStringLiteral("Kim"));
    AlbumsOfArtistPage* page = albumsOfArtist();
    finger->tap(centreOf(page->shuffleWidget()->rowItem()));
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QVERIFY(hub->isShuffle());
    QCOMPARE(hub->songCount(PlayState::MusicMode), 5);
    QCOMPARE(hub->artist(PlayState::MusicMode), QStringLiteral("Kim"));
    hub->stop(PlayState::MusicMode);
    hub->setShuffle(false);
    back(PageAlbumsOfArtist);

    // A row of the artist's songs plays them all from there; the row is accented.
    finger->tap(centreOf(page->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    SongsOfArtistPage* songs = songsOfArtist();
    QTRY_VERIFY_WITH_TIMEOUT(songs->currentPageModel()->isComplete(), Timeout);
    tapRow(songs->pageList(), rowTitled(songs->listAdapter(), QStringLiteral("Scarlet")));
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Scarlet"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 5);
    back(PageSongsOfArtist);
    auto* scarlet = qobject_cast<SongCollectionListItem*>(
        songs->pageList()->visibleCell(rowTitled(songs->listAdapter(), QStringLiteral("Scarlet"))));
    QVERIFY(scarlet);
    QCOMPARE(scarlet->titleLabel()->styleName(), QStringLiteral("CommonSingleTitleAccented"));

    // Its shuffle row shuffles the same songs.
    hub->stop(PlayState::MusicMode);
    finger->tap(centreOf(songs->shuffleWidget()->rowItem()));
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_VERIFY(hub->isShuffle());
    QCOMPARE(hub->songCount(PlayState::MusicMode), 5);
    back(PageSongsOfArtist);
    back(PageAlbumsOfArtist);
}

void TestArtistPages::theUnknownArtistListsWhatHasNoArtist()
{
    const QString unknownArtist = qtTrId("qtn_musi_unknown_artist");
    openArtist(unknownArtist);
    AlbumsOfArtistPage* page = albumsOfArtist();
    QCOMPARE(titlesListed(page->listAdapter()), QStringList { "Blue" });
    // Its song without album nor artist has a row; all its songs are Nobody and Ghost.
    QTRY_VERIFY_WITH_TIMEOUT(page->unknownAlbumRow()->isVisible(), Timeout);
    QCOMPARE(page->unknownAlbumRow()->subtitle(), QStringLiteral("1 song"));
    QCOMPARE(page->unknownAlbumRow()->sideBottomTitle(), QStringLiteral("00:20"));
    // Its album rows count only its own songs, so their sum is its two songs, as the list of
    // all its songs shows.
    QTRY_COMPARE(page->allSongsRow()->subtitle(), QStringLiteral("2 songs"));

    finger->tap(centreOf(page->unknownAlbumRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfAlbum()->listAdapter()), QStringList { "Ghost" },
                              Timeout);
    back(PageAlbumsOfArtist);

    finger->tap(centreOf(page->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfArtist()->listAdapter()),
                              (QStringList { "Nobody", "Ghost" }), Timeout);
    QCOMPARE(songsOfArtist()->currentPageModel()->queryType(),
             MafwTrackerModel::SongsOfUnknownArtist);
    back(PageAlbumsOfArtist);

    // Shuffle plays the songs of no artist.
    finger->tap(centreOf(page->shuffleWidget()->rowItem()));
    QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
    QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->songCount(PlayState::MusicMode), 2, Timeout);
    back(PageAlbumsOfArtist);
}

void TestArtistPages::artistsOfOneNameKeepTheirOwnAlbums()
{
    // Each back and forth shows each artist's own albums and songs.
    for (int round = 0; round < 2; ++round) {
        openArtist(ZoePrecomposed);
        QCOMPARE(titlesListed(albumsOfArtist()->listAdapter()), QStringList { "Night" });
        finger->tap(centreOf(albumsOfArtist()->allSongsRow()));
        QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
        QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfArtist()->listAdapter()),
                                  QStringList { "Moon" }, Timeout);
        back(PageAlbumsOfArtist);

        openArtist(ZoeCombining);
        QCOMPARE(titlesListed(albumsOfArtist()->listAdapter()), QStringList { "Day" });
        QTRY_COMPARE(albumsOfArtist()->allSongsRow()->sideBottomTitle(), QStringLiteral("00:45"));
        finger->tap(centreOf(albumsOfArtist()->allSongsRow()));
        QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
        QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfArtist()->listAdapter()),
                                  QStringList { "Sun" }, Timeout);
        // One song: nothing to shuffle.
        QVERIFY(!songsOfArtist()->shuffleWidget()->isShown());
        back(PageAlbumsOfArtist);
    }

    // One name, another id: the page loads that artist.
    AlbumsOfArtistPage* page = albumsOfArtist();
    page->passParameterToPage(artistParameter(ZoeCombining, artistIds.value(ZoePrecomposed)));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(page->listAdapter()), QStringList { "Night" }, Timeout);
}

void TestArtistPages::whatMakesThePagesLoadAgain()
{
    openArtist(QStringLiteral("Lee"));
    AlbumsOfArtistPage* albums = albumsOfArtist();
    QSharedPointer<MafwTrackerModel> shown = albums->currentPageModel();
    albums->passParameterToPage(artistParameter("Lee", artistIds.value("Lee")));
    QCOMPARE(albums->currentPageModel(), shown);
    albums->passParameterToPage(QVariant());
    QCOMPARE(albums->currentPageModel(), shown);
    albums->libraryUpdated();
    albums->passParameterToPage(artistParameter("Lee", artistIds.value("Lee")));
    QVERIFY(albums->currentPageModel() != shown);

    // The songs of an artist: the same id keeps the songs, and the title names what plays.
    finger->tap(centreOf(albums->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    SongsOfArtistPage* songs = songsOfArtist();
    shown = songs->currentPageModel();
    songs->passParameterToPage(
        QVariantHash { { "artist", "Lee (live)" }, { "artistId", artistIds.value("Lee") } });
    QCOMPARE(songs->currentPageModel(), shown);
    QCOMPARE(songs->titleWidget()->text(), QStringLiteral("Lee (live)"));

    // After a re-index even the unknown artist (-1) loads again.
    songs->passParameterToPage(QVariantHash { { "artist", "?" }, { "artistId", -1 } });
    shown = songs->currentPageModel();
    QCOMPARE(shown->queryType(), MafwTrackerModel::SongsOfUnknownArtist);
    songs->libraryUpdated();
    songs->passParameterToPage(QVariantHash { { "artist", "?" }, { "artistId", -1 } });
    QVERIFY(songs->currentPageModel() != shown);
    back(PageAlbumsOfArtist);
}

void TestArtistPages::extensionsHearWhatThePagesShow()
{
    extensionHandles << ExtensionRegistry::registerExtension(
        QLatin1String(MusicExtensionArea::ArtistInterface), [] { return new ArtistExtension; });
    ApplicationActionMediator* mediator = ApplicationActionMediator::instance();

    openArtist(QStringLiteral("Kim"));
    AlbumsOfArtistPage* page = albumsOfArtist();
    MusicExtensionArea* area = page->extensionArea();
    QCOMPARE(area->extensionArea()->extensions().size(), 1);
    QTRY_VERIFY(area->isVisible());
    QCOMPARE(mediator->lastContentType(), 2);
    QCOMPARE(mediator->lastContent().value("artist").toString(), QStringLiteral("Kim"));
    // Under the all-songs row.
    QVERIFY(centreOf(page->allSongsRow()).y() < centreOf(area).y());

    // The unknown artist is told as no artist.
    openArtist(qtTrId("qtn_musi_unknown_artist"));
    QCOMPARE(mediator->lastContent().value("artist").toString(), QString());

    // An album opened from the artist tells its album and artist.
    openArtist(QStringLiteral("Kim"));
    tapRow(page->pageList(), rowTitled(page->listAdapter(), QStringLiteral("Red")));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QCOMPARE(mediator->lastContentType(), 1);
    QCOMPARE(mediator->lastContent().value("album").toString(), QStringLiteral("Red"));
    QCOMPARE(mediator->lastContent().value("artist").toString(), QStringLiteral("Kim"));
    QCOMPARE(songsOfAlbum()->extensionArea()->extensionArea()->interfaceName(),
             QLatin1String(MusicExtensionArea::AlbumInterface));
    back(PageAlbumsOfArtist);
}

void TestArtistPages::manyVisitsKeepThePagesAsTheyAre()
{
    const QStringList artists { "Kim", "Lee", ZoePrecomposed, qtTrId("qtn_musi_unknown_artist") };
    int objectsAfterWarmUp = 0;
    for (int visit = 0; visit < 40; ++visit) {
        openArtist(artists.at(visit % artists.size()));
        finger->tap(centreOf(albumsOfArtist()->allSongsRow()));
        QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
        QTRY_VERIFY_WITH_TIMEOUT(songsOfArtist()->currentPageModel()->isComplete(), Timeout);
        back(PageAlbumsOfArtist);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The pages' objects (models, loaders, timers) and the items on the scene.
        const int objects = albumsOfArtist()->findChildren<QObject*>().size()
                            + songsOfArtist()->findChildren<QObject*>().size()
                            + window->scene()->items().size();
        if (visit == artists.size() - 1)
            objectsAfterWarmUp = objects;
        else if (visit >= artists.size())
            QVERIFY2(objects <= objectsAfterWarmUp,
                     qPrintable(QStringLiteral("%1 objects after warm-up, %2 at visit %3")
                                    .arg(objectsAfterWarmUp)
                                    .arg(objects)
                                    .arg(visit)));
    }
    // One content told to the extensions is kept, the latest.
    int contents = 0;
    for (QObject* child : albumsOfArtist()->extensionArea()->findChildren<QObject*>())
        contents += dynamic_cast<MusicApplicationActionContent*>(child) ? 1 : 0;
    QCOMPARE(contents, 1);
}

void TestArtistPages::namesWithQuotesBackslashesAndBracesOpenTheirOwnPages()
{
    // Each odd name has a neighbour that it would read as if its quotes and backslashes were
    // taken as SPARQL: a wrong match lists the neighbour's songs.
    const char* const artist = "Q \"Quote\" \\ {Brace}";
    const char* const album = "It's \\\"A\\\" {B} \\\\ C";
    const FixtureLibrary::Song odd[] = {
        { "Odd/alpha.ogg", "Alpha", artist, album, "Pop", 1, 2012, 30000 },
        { "Odd/beta.ogg", "Beta", artist, album, "Pop", 2, 2012, 30000 },
        { "Odd/gamma.ogg", "Gamma", artist, "{Brace} 2", "Pop", 1, 2013, 30000 },
        { "Odd/delta.ogg", "Delta", "Q \"Quote\"", "It's \"A\" {B} \\ C", "Pop", 1, 2012, 30000 },
    };
    for (const FixtureLibrary::Song& song : odd)
        QVERIFY(!FixtureLibrary::addSong(song).isEmpty());
    QVERIFY(FixtureLibrary::index());
    const auto sorted = [](QStringList titles) {
        titles.sort();
        return titles;
    };

    // A tap on the row of that name in a list page, which stays in "list".
    QuintaveilPage* list = nullptr;
    const auto tapIn = [&](ParlovancePages listPage, const char* name, ParlovancePages opens) {
        window->goToPage(listPage);
        QTRY_COMPARE(window->currentPage(), int(listPage));
        list = qobject_cast<QuintaveilPage*>(window->cachedPage(listPage));
        QTRY_VERIFY_WITH_TIMEOUT(rowTitled(list->listAdapter(), name).isValid(), Timeout);
        tapRow(list->pageList(), rowTitled(list->listAdapter(), name));
        QTRY_COMPARE(window->currentPage(), int(opens));
    };

    // Artists, the odd artist: its two albums, one of them its two songs, all its three songs.
    tapIn(PageArtists, artist, PageAlbumsOfArtist);
    if (QTest::currentTestFailed())
        return;
    AlbumsOfArtistPage* page = albumsOfArtist();
    QCOMPARE(page->artistName(), QString::fromUtf8(artist));
    QTRY_COMPARE_WITH_TIMEOUT(sorted(titlesListed(page->listAdapter())),
                              (QStringList { album, "{Brace} 2" }), Timeout);
    tapRow(page->pageList(), rowTitled(page->listAdapter(), album));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfAlbum()->listAdapter()),
                              (QStringList { "Alpha", "Beta" }), Timeout);
    back(PageAlbumsOfArtist);
    finger->tap(centreOf(page->allSongsRow()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfArtist));
    QTRY_COMPARE_WITH_TIMEOUT(sorted(titlesListed(songsOfArtist()->listAdapter())),
                              (QStringList { "Alpha", "Beta", "Gamma" }), Timeout);
    back(PageAlbumsOfArtist);

    // Albums, the odd album: its two songs; its menu's Play queues those two.
    tapIn(PageAlbums, album, PageSongsOfAlbum);
    if (QTest::currentTestFailed())
        return;
    QuintaveilPage* albums = list;
    QCOMPARE(songsOfAlbum()->titleWidget()->text(), QString::fromUtf8(album));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(songsOfAlbum()->listAdapter()),
                              (QStringList { "Alpha", "Beta" }), Timeout);
    back(PageAlbums);
    const QModelIndex row = rowTitled(albums->listAdapter(), album);
    albums->pageList()->scrollTo(row);
    QTRY_VERIFY(albums->pageList()->visibleCell(row));
    const QPointF at = centreOf(albums->pageList()->visibleCell(row));
    finger->press(at);
    QTRY_VERIFY_WITH_TIMEOUT(albums->pageObjectMenu()->isVisible(), Timeout);
    finger->release(at);
    albums->pageObjectMenu()->disappear();
    albums->handlePlay();
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->album(PlayState::MusicMode), QString::fromUtf8(album));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 2);
}

PARLOVANCE_TEST_MAIN(TestArtistPages)
#include "tst_artistpages.moc"
