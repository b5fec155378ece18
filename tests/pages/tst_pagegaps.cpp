// What a user sees between the parts of the library pages, measured on the drawn window over
// the real store: the first thing under a page title's divider stands as far below it on
// every page (the playlists page included), "No music found" stands that far below the filter
// field, the "My playlists" heading keeps from its first row at least the room an index
// heading keeps from its own and a song's "Properties" heading about that room, an audiobook's
// album page has no empty band where the shuffle row of an album of songs stands, the index
// letter of a flicked list leaves the songs' lengths uncovered, and a list shorter than the
// screen keeps no blank between its last row and the unknown row under it, also once an album
// or artist is deleted with its only song.

#include "data/listmodel.h"
#include "data/modelinstance.h"
#include "inkgaps.h"
#include "librarywindow.h"
#include "listrows.h"
#include "mafwtrackermodelfactory.h"
#include "mcontainer.h"
#include "mlabel.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mseparator.h"
#include "pageframework/artistcontentitem.h"
#include "pageframework/collectionpagebase.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songcollectionlistitem.h"
#include "pages/propertiescontainer.h"
#include "pages/songdetailview.h"
#include "pages/songsofalbumpage.h"
#include "playlists/playlistcollectionpage.h"
#include "playlists/userplaylistutils.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QSignalSpy>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;
// What the eye takes for the same room.
const int SameRoom = 4;

// The items below the root of type T that pass the test, in the scene's order.
template <typename T>
QList<T*> itemsBelow(QGraphicsItem* root, const std::function<bool(T*)>& wanted = nullptr)
{
    QList<T*> found;
    QList<QGraphicsItem*> items = root->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem* item = items.takeFirst();
        auto* typed = dynamic_cast<T*>(item);
        if (typed && (!wanted || wanted(typed)))
            found << typed;
        items << item->childItems();
    }
    return found;
}

// The first pixel row from y down (up: -1) in the columns that holds ink, or -1.
int inkRowFrom(const QImage& shown, int y, int step)
{
    for (; y >= 0 && y < shown.height(); y += step) {
        if (!inkIn(shown, QRectF(0, y, shown.width(), 1)).isEmpty())
            return y;
    }
    return -1;
}

} // namespace

class TestPageGaps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void noMusicFoundStandsUnderTheFieldAsRowsUnderTheDivider();
    void thePlaylistsFirstRowSitsUnderTheDividerAsOnOtherPages();
    void myPlaylistsKeepsTheRoomOfAnIndexHeading();
    void aSongsPropertiesHeadingKeepsTheRoomOfAnIndexHeading();
    void anAudiobookAlbumHasNoBandWhereTheShuffleRowWouldBe();
    void theIndexLetterOfAFlickedListLeavesTheLengthsUncovered();
    void theRowsCloseUpOverTheUnknownRowWhenAnAlbumsOnlySongGoes();

private:
    // The window as drawn once every layout asked for has been made.
    QImage shown() const;
    QRectF onScreen(QGraphicsItem* item) const;
    void showByButton(ParlovancePages which, const QString& button);
    void openAlbum(const QString& name);
    // The blank between the bottom of the page title's divider and the first ink under it.
    int blankUnderTitle(QGraphicsItem* page);
    // The blank under the title on the songs, albums and artists pages and on an album's page.
    void otherPagesBlankUnderTitle(int* least, int* most);
    // The blank between an index heading's letter in the songs list and the row under it.
    int blankUnderIndexHeading();
    // The blank between the divider over an album page's songs and the last ink above it.
    int blankOverSongsDivider(SongsOfAlbumPage* page);
    // The blanks between the drawn rows of a collection page's list and the unknown row under
    // them, top to bottom; empty when each sits right under the one before.
    QString blanksBetweenRows(CollectionPageBase* page);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
    bool fingerDown = false;
};

void TestPageGaps::initTestCase()
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    for (int track = 1; track <= 2; ++track) {
        AudioTags tags;
        tags.title = QStringLiteral("Chapter %1").arg(track);
        tags.artist = QStringLiteral("Reader Ray");
        tags.albumArtist = tags.artist;
        tags.album = QStringLiteral("Long Tale");
        tags.genre = QStringLiteral("Audiobook");
        tags.trackNumber = track;
        const QString path = QStringLiteral("Reader Ray/Long Tale/0%1.ogg").arg(track);
        QVERIFY(!FixtureLibrary::addSong(path, tags, 60000).isEmpty());
    }
    QVERIFY(FixtureLibrary::index());
    openWindow(&window);
    QVERIFY(window);
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestPageGaps::cleanup()
{
    // A case that stopped with the finger down lifts it.
    if (fingerDown) {
        finger->release(QPointF(240, 560));
        fingerDown = false;
    }
    QGraphicsWidget* left = window->cachedPage(ParlovancePages(window->currentPage()));
    window->goToPage(PageMain);
    QTRY_COMPARE(window->currentPage(), int(PageMain));
    if (left && left != window->cachedPage(PageMain))
        QTRY_VERIFY(!left->isVisible());
}

void TestPageGaps::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

QImage TestPageGaps::shown() const
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return window->grab().toImage();
}

QRectF TestPageGaps::onScreen(QGraphicsItem* item) const
{
    return window->mapFromScene(item->sceneBoundingRect()).boundingRect();
}

void TestPageGaps::showByButton(ParlovancePages which, const QString& button)
{
    if (window->currentPage() != PageMain) {
        QGraphicsWidget* left = window->cachedPage(ParlovancePages(window->currentPage()));
        window->goToPage(PageMain);
        QTRY_VERIFY(left && !left->isVisible());
    }
    QGraphicsWidget* main = window->cachedPage(PageMain);
    QTRY_VERIFY(main && main->isVisible() && libraryButton(main, button));
    MainPageListItem* tapped = libraryButton(main, button);
    finger->tap(tapped->mapToScene(tapped->boundingRect().center()));
    QTRY_COMPARE(window->currentPage(), int(which));
    auto* page = qobject_cast<MSceneWindow*>(window->cachedPage(which));
    QVERIFY(page);
    QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    QTRY_VERIFY(!main->isVisible());
}

void TestPageGaps::openAlbum(const QString& name)
{
    showByButton(PageAlbums, QStringLiteral("Albums"));
    auto* albums = qobject_cast<CollectionPageBase*>(window->cachedPage(PageAlbums));
    QTRY_COMPARE_WITH_TIMEOUT(albums->layoutState(), CollectionPageBase::ListState, Timeout);
    const QModelIndex row = rowTitled(albums->listAdapter(), name);
    QVERIFY(row.isValid());
    albums->pageList()->scrollTo(row);
    QTRY_VERIFY(albums->pageList()->visibleCell(row));
    MWidget* cell = albums->pageList()->visibleCell(row);
    finger->tap(cell->mapToScene(cell->boundingRect().center()));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfAlbum));
    auto* songs = qobject_cast<SongsOfAlbumPage*>(window->cachedPage(PageSongsOfAlbum));
    QTRY_COMPARE(songs->sceneWindowState(), MSceneWindow::Appeared);
    QTRY_VERIFY_WITH_TIMEOUT(songs->currentPageModel() && songs->currentPageModel()->isComplete(),
                             Timeout);
    QTRY_VERIFY(!albums->isVisible());
}

int TestPageGaps::blankUnderTitle(QGraphicsItem* page)
{
    const QImage screen = shown();
    const QList<CollectionViewTitleWidget*> titles = itemsBelow<CollectionViewTitleWidget>(
        page, [](CollectionViewTitleWidget* title) { return title->isVisible(); });
    if (titles.isEmpty() || !titles.first()->separator())
        return -1;
    const int below = int(std::ceil(onScreen(titles.first()->separator()).bottom()));
    const int ink = inkRowFrom(screen, below, 1);
    return ink < 0 ? -1 : ink - below;
}

void TestPageGaps::otherPagesBlankUnderTitle(int* least, int* most)
{
    QList<int> blanks;
    const QList<QPair<ParlovancePages, QString>> pages {
        { PageAllSongs, QStringLiteral("Songs") },
        { PageAlbums, QStringLiteral("Albums") },
        { PageArtists, QStringLiteral("Artists") },
    };
    for (const auto& page : pages) {
        showByButton(page.first, page.second);
        auto* collection = qobject_cast<CollectionPageBase*>(window->cachedPage(page.first));
        QTRY_COMPARE_WITH_TIMEOUT(collection->layoutState(), CollectionPageBase::ListState,
                                  Timeout);
        QTRY_VERIFY(collection->shuffleWidget()->isShown());
        blanks << blankUnderTitle(collection);
    }
    openAlbum(QStringLiteral("Red"));
    blanks << blankUnderTitle(window->cachedPage(PageSongsOfAlbum));
    QVERIFY2(!blanks.contains(-1), qPrintable(QStringLiteral("a page without its title")));
    *least = *std::min_element(blanks.cbegin(), blanks.cend());
    *most = *std::max_element(blanks.cbegin(), blanks.cend());
    qInfo() << "blank under the title on the other pages:" << blanks;
}

int TestPageGaps::blankOverSongsDivider(SongsOfAlbumPage* page)
{
    const QImage screen = shown();
    // The divider over the songs is the page's lowest one above its list.
    const qreal listTop = page->pageList()->sceneBoundingRect().top();
    MSeparator* divider = nullptr;
    for (MSeparator* separator : itemsBelow<MSeparator>(page)) {
        if (separator->isVisible() && separator->sceneBoundingRect().top() <= listTop
            && (!divider
                || separator->sceneBoundingRect().top() > divider->sceneBoundingRect().top()))
            divider = separator;
    }
    if (!divider || divider == page->titleWidget()->separator())
        return -1;
    const int top = int(std::floor(onScreen(divider).top()));
    const int ink = inkRowFrom(screen, top - 1, -1);
    return ink < 0 ? -1 : top - ink - 1;
}

QString TestPageGaps::blanksBetweenRows(CollectionPageBase* page)
{
    shown();
    QList<MWidget*> rows = page->pageList()->visibleCells();
    std::sort(rows.begin(), rows.end(), [](MWidget* a, MWidget* b) {
        return a->sceneBoundingRect().top() < b->sceneBoundingRect().top();
    });
    if (rows.isEmpty() || !page->unknownRow() || !page->unknownRow()->isVisible())
        return QStringLiteral("no rows, or no unknown row");
    rows.append(page->unknownRow());
    QStringList blanks;
    for (int i = 1; i < rows.size(); ++i) {
        const qreal above = rows.at(i - 1)->sceneBoundingRect().bottom();
        const qreal top = rows.at(i)->sceneBoundingRect().top();
        if (qAbs(top - above) > 0.5)
            blanks << QStringLiteral("%1 px over row %2 of %3")
                          .arg(top - above)
                          .arg(i)
                          .arg(rows.size());
    }
    return blanks.join(QStringLiteral(", "));
}

void TestPageGaps::noMusicFoundStandsUnderTheFieldAsRowsUnderTheDivider()
{
    int least = 0, most = 0;
    otherPagesBlankUnderTitle(&least, &most);

    showByButton(PageAllSongs, QStringLiteral("Songs"));
    auto* songs = qobject_cast<CollectionPageBase*>(window->cachedPage(PageAllSongs));
    QTRY_COMPARE_WITH_TIMEOUT(songs->layoutState(), CollectionPageBase::ListState, Timeout);
    QSignalSpy edits(songs, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("zqzq"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::NoResultsState);
    QTRY_VERIFY(songs->noResultsText()->isVisible());
    QTRY_COMPARE(songs->filterField()->opacity(), 1.0); // the field fades in
    // The field's ground is dark: its box is what a user sees of it.
    const QImage screen = shown();
    const int fieldBottom = int(std::ceil(onScreen(songs->filterField()).bottom()));
    const QRect text = inkIn(screen, onScreen(songs->noResultsText()));
    QVERIFY(!text.isEmpty());
    const int blank = text.top() - fieldBottom;
    qInfo() << "field to \"No music found\":" << blank;
    QVERIFY2(blank >= least - SameRoom && blank <= most + SameRoom,
             qPrintable(QStringLiteral("field to \"No music found\": %1, the other pages' "
                                       "divider to first row: %2 to %3")
                            .arg(blank)
                            .arg(least)
                            .arg(most)));
}

void TestPageGaps::thePlaylistsFirstRowSitsUnderTheDividerAsOnOtherPages()
{
    int least = 0, most = 0;
    otherPagesBlankUnderTitle(&least, &most);
    showByButton(PagePlaylists, QStringLiteral("Playlists"));
    auto* playlists = qobject_cast<PlaylistCollectionPage*>(window->cachedPage(PagePlaylists));
    QTRY_VERIFY_WITH_TIMEOUT(!playlists->showsEmptyLayout()
                                 && playlists->automaticPlaylistsList()->visibleCells().size() > 0,
                             Timeout);
    const int blank = blankUnderTitle(playlists);
    qInfo() << "blank under the playlists title:" << blank;
    QVERIFY2(blank >= least - SameRoom && blank <= most + SameRoom,
             qPrintable(QStringLiteral("playlists: %1, the other pages: %2 to %3")
                            .arg(blank)
                            .arg(least)
                            .arg(most)));
}

int TestPageGaps::blankUnderIndexHeading()
{
    // From the letter of an index heading of the songs list to its first row.
    showByButton(PageAllSongs, QStringLiteral("Songs"));
    auto* songs = qobject_cast<CollectionPageBase*>(window->cachedPage(PageAllSongs));
    if (!QTest::qWaitFor(
            [songs] { return songs->layoutState() == CollectionPageBase::ListState; }, Timeout))
        return -1;
    MList* list = songs->pageList();
    if (!QTest::qWaitFor([list] { return !list->visibleCells().isEmpty(); }, Timeout))
        return -1;
    const QImage screen = shown();
    const QList<MWidget*> cells = list->visibleCells();
    for (MWidget* header : cells) {
        if (qobject_cast<SongCollectionListItem*>(header))
            continue;
        // The row right under the index heading.
        for (MWidget* cell : cells) {
            auto* row = qobject_cast<SongCollectionListItem*>(cell);
            if (!row || qAbs(onScreen(row).top() - onScreen(header).bottom()) > 1)
                continue;
            const QRect letter = inkIn(screen, onScreen(header));
            const QRect title = inkIn(screen, onScreen(row->titleLabel()));
            if (!letter.isEmpty() && !title.isEmpty())
                return blankBelow(letter, title);
        }
    }
    return -1;
}

void TestPageGaps::myPlaylistsKeepsTheRoomOfAnIndexHeading()
{
    const int underIndex = blankUnderIndexHeading();
    QVERIFY(underIndex > 0);

    // A playlist of the user's own, under its heading.
    const QSharedPointer<MafwTrackerModel> all = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    all->fetchRemainingRows();
    QTRY_VERIFY_WITH_TIMEOUT(all->rowCount() >= 9, Timeout);
    UserPlaylistUtils::createPlaylist(QStringLiteral("Late night"), 0,
                                      { all->index(0, 8).data().toInt() });
    showByButton(PagePlaylists, QStringLiteral("Playlists"));
    auto* playlists = qobject_cast<PlaylistCollectionPage*>(window->cachedPage(PagePlaylists));
    QTRY_VERIFY_WITH_TIMEOUT(playlists->myPlaylistsContainer()->isVisible()
                                 && !playlists->userPlaylistsList()->visibleCells().isEmpty(),
                             Timeout);
    const QImage screen = shown();
    const QList<MLabel*> headings = itemsBelow<MLabel>(playlists->myPlaylistsContainer(),
                                                       [](MLabel* label) {
                                                           return label->text()
                                                                  == QLatin1String("My playlists");
                                                       });
    QCOMPARE(headings.size(), 1);
    const QRect heading = inkIn(screen, onScreen(headings.first()));
    auto* first = qobject_cast<SongCollectionListItem*>(
        playlists->userPlaylistsList()->visibleCells().first());
    const QRect row = first ? inkIn(screen, onScreen(first->titleLabel()))
                            : inkIn(screen, onScreen(playlists->userPlaylistsList()));
    QVERIFY(!heading.isEmpty() && !row.isEmpty());
    const int under = blankBelow(heading, row);
    const int above = heading.top() - inkRowFrom(screen, heading.top() - 1, -1) - 1;
    qInfo() << "under \"My playlists\":" << under << "above it:" << above
            << "under an index heading:" << underIndex;
    QVERIFY2(under >= underIndex && under < above,
             qPrintable(QStringLiteral("under \"My playlists\": %1, above it %2; under an index "
                                       "heading: %3")
                            .arg(under)
                            .arg(above)
                            .arg(underIndex)));
}

void TestPageGaps::aSongsPropertiesHeadingKeepsTheRoomOfAnIndexHeading()
{
    const int underIndex = blankUnderIndexHeading();
    QVERIFY(underIndex > 0);

    const QSharedPointer<MafwTrackerModel> all = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    QTRY_VERIFY_WITH_TIMEOUT(all->rowCount() > 0, Timeout);
    window->goToPage(PageSongDetails, all->index(0, 8).data());
    auto* details = qobject_cast<SongDetailView*>(window->cachedPage(PageSongDetails));
    QVERIFY(details);
    QTRY_COMPARE_WITH_TIMEOUT(details->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    PropertiesContainer* properties = details->propertiesContainer();
    QTRY_VERIFY_WITH_TIMEOUT(properties && properties->shownRows().size() > 2, Timeout);
    const QImage screen = shown();
    const QList<MLabel*> headings = itemsBelow<MLabel>(properties, [properties](MLabel* label) {
        return label->isVisible() && label->text() == properties->title();
    });
    QCOMPARE(headings.size(), 1);
    const QList<MLabel*> rows = properties->shownRows();
    const QRect heading = inkIn(screen, onScreen(headings.first()));
    const QRect first = inkIn(screen, onScreen(rows.at(0)));
    const QRect second = inkIn(screen, onScreen(rows.at(1)));
    QVERIFY(!heading.isEmpty() && !first.isEmpty() && !second.isEmpty());
    const int under = blankBelow(heading, first);
    const int betweenRows = blankBelow(first, second);
    qInfo() << "under \"Properties\":" << under << "between its rows:" << betweenRows
            << "under an index heading:" << underIndex;
    // As far from its first row as the other headings are from theirs, and farther than the
    // rows are from each other.
    QVERIFY2(qAbs(under - underIndex) <= SameRoom && under > betweenRows,
             qPrintable(QStringLiteral("under \"Properties\": %1, between its rows: %2; under "
                                       "an index heading: %3")
                            .arg(under)
                            .arg(betweenRows)
                            .arg(underIndex)));
}

void TestPageGaps::anAudiobookAlbumHasNoBandWhereTheShuffleRowWouldBe()
{
    openAlbum(QStringLiteral("Red"));
    auto* album = qobject_cast<SongsOfAlbumPage*>(window->cachedPage(PageSongsOfAlbum));
    QTRY_VERIFY(album->shuffleWidget()->isShown());
    const int underShuffle = blankOverSongsDivider(album);
    QVERIFY(underShuffle > 0);

    openAlbum(QStringLiteral("Long Tale"));
    QTRY_VERIFY(!album->shuffleWidget()->isShown());
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(album->listAdapter()),
                              (QStringList { "Chapter 1", "Chapter 2" }), Timeout);
    const int underFacts = blankOverSongsDivider(album);
    qInfo() << "over the divider: an audiobook's facts" << underFacts << "an album's shuffle row"
            << underShuffle;
    QVERIFY2(underFacts > 0 && qAbs(underFacts - underShuffle) <= 2 * SameRoom,
             qPrintable(QStringLiteral("an audiobook's facts to the divider: %1; an album's "
                                       "shuffle row to it: %2")
                            .arg(underFacts)
                            .arg(underShuffle)));
}

void TestPageGaps::theIndexLetterOfAFlickedListLeavesTheLengthsUncovered()
{
    showByButton(PageAllSongs, QStringLiteral("Songs"));
    auto* songs = qobject_cast<CollectionPageBase*>(window->cachedPage(PageAllSongs));
    QTRY_COMPARE_WITH_TIMEOUT(songs->layoutState(), CollectionPageBase::ListState, Timeout);
    MList* list = songs->pageList();
    QTRY_VERIFY(!list->visibleCells().isEmpty());

    // The finger stays on the list: the letter shows while it pans.
    finger->dragAndHold(QPointF(240, 780), QPointF(240, 560));
    fingerDown = true;
    const QList<MLabel*> letters = itemsBelow<MLabel>(list, [](MLabel* label) {
        return label->styleName() == QLatin1String("MListIndexBubble") && label->isVisible();
    });
    QCOMPARE(letters.size(), 1);
    const QRectF letter = letters.first()->sceneBoundingRect();
    int lengths = 0;
    for (MWidget* cell : list->visibleCells()) {
        auto* row = qobject_cast<SongCollectionListItem*>(cell);
        if (!row || !row->infoLabel()->isVisible())
            continue;
        ++lengths;
        const QRectF length = row->infoLabel()->sceneBoundingRect();
        QVERIFY2(!letter.intersects(length),
                 qPrintable(QStringLiteral("the letter at (%1, %2) %3 x %4 covers the length "
                                           "of \"%5\"")
                                .arg(letter.x())
                                .arg(letter.y())
                                .arg(letter.width())
                                .arg(letter.height())
                                .arg(row->titleLabel()->text())));
    }
    QVERIFY(lengths > 0);
    // Inside the list's part of the screen.
    QVERIFY(window->sceneRect().contains(letter));
    finger->release(QPointF(240, 560));
    fingerDown = false;
}

void TestPageGaps::theRowsCloseUpOverTheUnknownRowWhenAnAlbumsOnlySongGoes()
{
    // An album and an artist of one song each, under index letters of their own.
    AudioTags tags;
    tags.title = QStringLiteral("Lone");
    tags.artist = QStringLiteral("Mona");
    tags.album = QStringLiteral("Odd One");
    tags.trackNumber = 1;
    QVERIFY(
        !FixtureLibrary::addSong(QStringLiteral("Mona/Odd One/lone.ogg"), tags, 60000).isEmpty());
    QVERIFY(FixtureLibrary::index());

    // Both pages are made and shown before the song goes, as a user passes them.
    struct Shown
    {
        ParlovancePages page;
        QString button;
        QString row;
    };
    const QList<Shown> pages { { PageAlbums, QStringLiteral("Albums"), QStringLiteral("Odd One") },
                               { PageArtists, QStringLiteral("Artists"), QStringLiteral("Mona") } };
    for (const Shown& shownPage : pages) {
        showByButton(shownPage.page, shownPage.button);
        auto* page = qobject_cast<CollectionPageBase*>(window->cachedPage(shownPage.page));
        QTRY_VERIFY_WITH_TIMEOUT(rowTitled(page->listAdapter(), shownPage.row).isValid(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(page->unknownRow() && page->unknownRow()->isVisible(), Timeout);
    }

    showByButton(PageAllSongs, QStringLiteral("Songs"));
    const QSharedPointer<MafwTrackerModel> all = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    all->fetchRemainingRows();
    int song = -1;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (int row = 0; row < all->rowCount() && song < 0; ++row) {
                if (all->index(row, 1).data().toString() == QLatin1String("Lone"))
                    song = all->index(row, QuintaveilPage::columnForKey(all.data(), "songId"))
                               .data()
                               .toInt();
            }
            return song > 0;
        }(),
        Timeout);
    MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems({ song },
                                                                        MafwTrackerModel::AllSongs);

    for (const Shown& shownPage : pages) {
        auto* page = qobject_cast<CollectionPageBase*>(window->cachedPage(shownPage.page));
        QTRY_VERIFY_WITH_TIMEOUT(!rowTitled(page->listAdapter(), shownPage.row).isValid(), Timeout);
        showByButton(shownPage.page, shownPage.button);
        QTRY_VERIFY(!page->pageList()->visibleCells().isEmpty());
        // The rows left do not fill the screen: room the list could stretch into.
        const MWidget* last = page->pageList()->visibleCells().last();
        QVERIFY2(last->sceneBoundingRect().bottom() + page->unknownRow()->size().height()
                     < page->pannableViewport()->sceneBoundingRect().bottom(),
                 "the rows fill the screen");
        QTRY_COMPARE_WITH_TIMEOUT(blanksBetweenRows(page), QString(), Timeout);
        QVERIFY(window->grab().save(TestEnvironment::screenshotDir() + "/rows-closed-up-"
                                    + shownPage.button.toLower() + ".png"));
    }
}

PARLOVANCE_TEST_MAIN(TestPageGaps)
#include "tst_pagegaps.moc"
