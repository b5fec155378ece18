// The all-songs page on a real window over the real store: the empty device, the list in
// index-letter groups, songs that come and go while the page shows, the live filter with its
// layouts, playing from the list, the shuffle row and play-all, a filtered play, and a model
// that was already shared before the page was built. One case saves a screenshot of a
// filtered list (into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree), and one
// of the dialog naming a new playlist, which keeps the keys while the list behind it stays
// unfiltered: typing over a long-tap menu, a sheet or a dialog never starts the page's filter.
// The last adds titles in other alphabets and scripts and plays the list from some of them.

#include "pages/allsongspage.h"
#include "librarywindow.h"

#include "common/constants.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "data/twinturbosortfilterproxymodel.h"
#include "fixturelibrary.h"
#include "mlabel.h"
#include "mlist.h"
#include "mbutton.h"
#include "mlocale.h"
#include "mobjectmenu.h"
#include "mtextedit.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/deleteobjectdialog.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songcollectionlistitem.h"
#include "playback/playstate.h"
#include "playback/shuffleproxymodel.h"
#include "player/nowplayingpage.h"
#include "player/nowplayingwidget.h"
#include "playlists/playlistsavesheet.h"
#include "playlists/playlistselectionsheet.h"
#include "shell/mainwindow.h"
#include "listrows.h"
#include "menuentry.h"
#include "scenesearch.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

void tapAt(QGraphicsView* view, const QPointF& scenePos)
{
    const QPoint at = view->mapFromScene(scenePos);
    for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                                                            : Qt::LeftButton;
        QMouseEvent e(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
}

// Every title the list shows, group by group, and the group titles.
QStringList listedTitles(ListModel* list, QStringList* groups = nullptr)
{
    QStringList titles;
    for (int g = 0; g < list->groupCount(); ++g) {
        if (groups)
            groups->append(list->groupTitle(g));
        const QModelIndex header = list->index(g, 0);
        for (int r = 0; r < list->rowCount(header); ++r)
            titles.append(list->index(r, 0, header).data(Qt::UserRole + 1).toString());
    }
    return titles;
}

} // namespace

class TestAllSongsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void emptyLibraryShowsTheEmptyDeviceAndSongsArrive();
    void listsEverySongInIndexGroups();
    void tappingARowPlaysWithinTheWholeLibrary();
    void shuffleRowAndPlayAllPlayEverySong();
    void typingFiltersAndChoosesTheLayout();
    void emptyFilterFieldGoesAwayAfterItsDelay();
    void tappingAFilteredRowPlaysWithinTheMatches();
    void songsComeAndGoWhileThePageShows();
    void modelSharedBeforeThePageIsTakenUp();
    void screenshotOfAFilteredList();
    void rowsSpanTheListAfterBackAndWhileFiltered();
    void typingOverMenusSheetsAndDialogsLeavesTheListUnfiltered();
    void aTappedRowQueuesTheListInItsOrderForEveryLetter();

private:
    AllSongsPage* page();
    void showPage();
    void typeFilter(const QString& text);
    // The scene window of type T once it has appeared; null when none does in time.
    template <typename T>
    T* waitForAppeared();

    std::unique_ptr<MainWindow> window;
};

void TestAllSongsPage::initTestCase()
{
    openWindow(&window, Timeout);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestAllSongsPage::init()
{
    PlayState::instance()->setShuffle(false);
    PlayState::instance()->setUpdatingLibrary(false);
}

void TestAllSongsPage::cleanup()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    // Leaving the page ends whatever filtering a case left behind.
    if (window->currentPage() == PageAllSongs)
        window->goToPage(PageNowPlaying);
}

void TestAllSongsPage::cleanupTestCase()
{
    window.reset();
}

AllSongsPage* TestAllSongsPage::page()
{
    return qobject_cast<AllSongsPage*>(window->cachedPage(PageAllSongs));
}

void TestAllSongsPage::showPage()
{
    window->goToPage(PageAllSongs);
    QVERIFY(page());
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    QTRY_VERIFY(page()->isVisible());
    // The page left behind goes on the next turn of the event loop; until then it covers
    // this one.
    for (int other = PageMain; other <= PageUsbNotice; ++other) {
        QGraphicsWidget* cached = window->cachedPage(ParlovancePages(other));
        if (cached && cached != page())
            QTRY_VERIFY(!cached->isVisible());
    }
}

void TestAllSongsPage::typeFilter(const QString& text)
{
    QSignalSpy edits(page(), SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), text);
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(page()->currentFilterText(), text);
}

void TestAllSongsPage::emptyLibraryShowsTheEmptyDeviceAndSongsArrive()
{
    // The store is empty: the shared model completes without rows.
    showPage();
    AllSongsPage* songs = page();
    QVERIFY(songs->currentPageModel());
    QTRY_VERIFY_WITH_TIMEOUT(songs->currentPageModel()->isComplete(), Timeout);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::EmptyDeviceState);
    QVERIFY(songs->noMusicText()->isVisible());
    QCOMPARE(songs->noMusicText()->text(), QStringLiteral("No music"));
    QVERIFY(!songs->pageList()->isVisible());
    QVERIFY(!songs->isPannable());
    QCOMPARE(songs->titleWidget()->text(), QStringLiteral("Songs"));
    QCOMPARE(songs->title(), QStringLiteral("Songs"));

    // Typing on an empty device opens no filter.
    QTest::keyClicks(window.get(), QStringLiteral("a"));
    QVERIFY(!songs->filterField()->isVisible());
    songs->filterField()->setText(QString());

    // Songs indexed while the page shows take it to the list. (The first indexing after the
    // start would otherwise put the window in its updating-library state, over the page.)
    window->watchTrackerIndexing(false);
    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    QTRY_COMPARE_WITH_TIMEOUT(songs->currentPageModel()->rowCount(), 9, Timeout);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);
    QVERIFY(songs->pageList()->isVisible());
    QVERIFY(!songs->noMusicText()->isVisible());
    QVERIFY(songs->isPannable());
    QTRY_VERIFY(songs->shuffleWidget()->isShown());
}

void TestAllSongsPage::listsEverySongInIndexGroups()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    QStringList groups;
    const QStringList titles = listedTitles(songs->listAdapter(), &groups);
    QCOMPARE(titles, QStringList({ "Azure", "Cobalt", "Crimson", "Emerald", "Jade", "Navy",
                                   "Nobody", "Nowhere", "Scarlet" }));
    QCOMPARE(groups, QStringList({ "A", "C", "E", "J", "N", "S" }));
    QVERIFY(songs->pageList()->showGroups());
    QCOMPARE(songs->pageList()->indexDisplayMode(), MList::Floating);
    QTRY_VERIFY(songs->pageList()->visibleCell(rowTitled(songs->listAdapter(), "Azure")));
}

void TestAllSongsPage::tappingARowPlaysWithinTheWholeLibrary()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(songs->listAdapter(), "Crimson").isValid(), Timeout);
    const QModelIndex row = rowTitled(songs->listAdapter(), "Crimson");
    QTRY_VERIFY(songs->pageList()->visibleCell(row));
    MWidget* cell = songs->pageList()->visibleCell(row);
    tapAt(window.get(), cell->mapToScene(cell->boundingRect().center()));

    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Crimson"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 9);
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    QVERIFY(songs->filteredPlayModel() == nullptr);
}

void TestAllSongsPage::shuffleRowAndPlayAllPlayEverySong()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_VERIFY_WITH_TIMEOUT(songs->shuffleWidget()->isShown(), Timeout);
    QSignalSpy shuffled(songs, SIGNAL(shuffleClicked()));
    MListItem* row = songs->shuffleWidget()->rowItem();
    tapAt(window.get(), row->mapToScene(row->boundingRect().center()));
    QCOMPARE(shuffled.count(), 1);
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QVERIFY(hub->isShuffle());
    QCOMPARE(window->currentPage(), int(PageNowPlaying));
    hub->stop(PlayState::MusicMode);
    QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    hub->setShuffle(false);

    // The main page's play-all request reaches the page through the shared models.
    showPage();
    ModelInstance::instance()->emitPlayAllSongs(false);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QVERIFY(!hub->isShuffle());
    QCOMPARE(hub->songCount(PlayState::MusicMode), 9);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Azure"));
}

void TestAllSongsPage::typingFiltersAndChoosesTheLayout()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);

    // The first key opens the field with the shuffle row still below it; the text, once it
    // reaches the list, leaves the matches alone, without the shuffle row.
    QSignalSpy edits(songs, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), QStringLiteral("r"));
    QCOMPARE(songs->layoutState(), CollectionPageBase::FilterState);
    QVERIFY(songs->filterField()->isVisible());
    QVERIFY(songs->shuffleWidget()->isVisible());
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::FilteredListState);
    QVERIFY(!songs->shuffleWidget()->isVisible());
    QVERIFY(songs->pageList()->isVisible());
    // Every song whose title, artist or album holds an "r": Jade by its album Green, Nobody
    // by the name the store gives a song without an artist.
    QCOMPARE(listedTitles(songs->listAdapter()),
             QStringList(
                 { "Azure", "Crimson", "Emerald", "Jade", "Nobody", "Nowhere", "Scarlet" }));

    // Word by word: the filter narrows as it grows.
    QTest::keyClicks(window.get(), QStringLiteral("e"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(listedTitles(songs->listAdapter()),
                 QStringList({ "Azure", "Crimson", "Emerald", "Jade", "Nowhere", "Scarlet" }));

    // Nothing matches: the no-results text, the page no longer pans.
    QTest::keyClicks(window.get(), QStringLiteral("qq"));
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::NoResultsState);
    QVERIFY(songs->noResultsText()->isVisible());
    QCOMPARE(songs->noResultsText()->text(), QStringLiteral("No music found"));
    QVERIFY(!songs->pageList()->isVisible());
    QVERIFY(!songs->isPannable());
    QCOMPARE(songs->noResultsText()->styleName(), QStringLiteral("NoFilteredResultsLabel"));
    songs->setFocus();
    QTRY_COMPARE(songs->noResultsText()->styleName(),
                 QStringLiteral("NoFilteredResultsLabelVKBClosed"));

    // Leaving the page empties the filter; back on it the whole list shows.
    window->goToPage(PageNowPlaying);
    QTRY_COMPARE(songs->currentFilterText(), QString());
    showPage();
    QTRY_COMPARE(songs->listAdapter()->rowCountInGroup(-1), 9);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);
    QVERIFY(!songs->filterField()->isVisible());

    // Even when the page is shown again before the emptied filter has reached it.
    typeFilter(QStringLiteral("jad"));
    QTRY_COMPARE(songs->listAdapter()->rowCountInGroup(-1), 1);
    window->goToPage(PageNowPlaying);
    QTRY_VERIFY(!songs->isVisible());
    showPage();
    QTRY_COMPARE(songs->listAdapter()->rowCountInGroup(-1), 9);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);
}

void TestAllSongsPage::emptyFilterFieldGoesAwayAfterItsDelay()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);
    QTimer* removal = songs->filterRemovalTimer();
    QCOMPARE(removal->interval(), 5000);

    typeFilter(QStringLiteral("x"));
    QVERIFY(!removal->isActive()); // a field with text stays

    // Cleared and left without focus: the field goes once its delay has passed.
    emit songs->filterField()->clearClicked();
    songs->filterField()->setText(QString());
    QTRY_COMPARE(songs->currentFilterText(), QString());
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::FilterState);
    songs->setFocus();
    QTRY_VERIFY(removal->isActive());
    // What the timer runs when it fires, without waiting the five seconds out.
    QVERIFY(QMetaObject::invokeMethod(songs, "removeFilterEdit"));
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);
    QVERIFY(!songs->filterField()->isVisible());
    QVERIFY(songs->shuffleWidget()->isVisible());
}

void TestAllSongsPage::tappingAFilteredRowPlaysWithinTheMatches()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);

    // "bl" matches the album Blue: Azure, Cobalt, Navy and Nobody.
    typeFilter(QStringLiteral("bl"));
    QTRY_COMPARE(listedTitles(songs->listAdapter()),
                 QStringList({ "Azure", "Cobalt", "Navy", "Nobody" }));
    const QModelIndex row = rowTitled(songs->listAdapter(), "Navy");
    QTRY_VERIFY(songs->pageList()->visibleCell(row));
    MWidget* cell = songs->pageList()->visibleCell(row);
    tapAt(window.get(), cell->mapToScene(cell->boundingRect().center()));

    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Navy"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 4);
    QVERIFY(songs->filteredPlayModel());
    QCOMPARE(songs->filteredPlayModel()->rowCount(), 4);
    QCOMPARE(window->currentPage(), int(PageNowPlaying));

    // The next song is the next match, not the next song of the library.
    hub->next(0);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), QStringLiteral("Nobody"), Timeout);

    // Back on the page the filter is gone and the whole list shows.
    showPage();
    QTRY_COMPARE(songs->listAdapter()->rowCountInGroup(-1), 9);
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::ListState);
}

void TestAllSongsPage::songsComeAndGoWhileThePageShows()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    // The animated scroll back to an earlier case's filtered play may still be under way:
    // the list's place is taken once it has rested for a while.
    QPointF before = songs->pageList()->position();
    for (int still = 0, rounds = 0; still < 3 && rounds < 100; ++rounds) {
        QTest::qWait(150);
        const QPointF now = songs->pageList()->position();
        still = now == before ? still + 1 : 0;
        before = now;
    }

    AudioTags tags;
    tags.title = QStringLiteral("Amber");
    tags.artist = QStringLiteral("Kim");
    tags.album = QStringLiteral("Blue");
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Kim/Blue/09.ogg"), tags, 1000).isEmpty());
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(songs->listAdapter(), "Amber").isValid(), Timeout);
    QCOMPARE(songs->layoutState(), CollectionPageBase::ListState);
    QCOMPARE(songs->pageList()->position(), before);

    QVERIFY(FixtureLibrary::removeFile(QStringLiteral("Kim/Blue/09.ogg")));
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(!rowTitled(songs->listAdapter(), "Amber").isValid(), Timeout);
    QCOMPARE(songs->listAdapter()->rowCountInGroup(-1), 9);
    QCOMPARE(songs->layoutState(), CollectionPageBase::ListState);
    QCOMPARE(window->currentPage(), int(PageAllSongs));
}

void TestAllSongsPage::modelSharedBeforeThePageIsTakenUp()
{
    // Another user asked for the shared all-songs model before the page existed: no
    // announcement of it will come, and the page must still list and play it.
    ModelInstance::destroy();
    const QSharedPointer<MafwTrackerModel> shared = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    QVERIFY(shared);
    QTRY_VERIFY_WITH_TIMEOUT(shared->rowCount() > 0, Timeout);

    AllSongsPage fresh(window.get(), QVariant(false));
    QCOMPARE(fresh.currentPageModel(), shared);
    QCOMPARE(fresh.liveFilterProxy()->sourceModel(), shared.data());
    QVERIFY(fresh.pageList()->cellCreator());
    QCOMPARE(fresh.pageList()->itemModel(), fresh.listAdapter());
    shared->fetchRemainingRows();
    QTRY_COMPARE_WITH_TIMEOUT(fresh.listAdapter()->rowCountInGroup(-1), 9, Timeout);

    QSignalSpy playing(PlayState::instance(), SIGNAL(songCountChanged(int)));
    ModelInstance::instance()->emitPlayAllSongs(false);
    QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->songCount(PlayState::MusicMode), 9, Timeout);
    // The page's destruction takes the shared models with it; the next user makes them anew.
}

void TestAllSongsPage::screenshotOfAFilteredList()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    typeFilter(QStringLiteral("r"));
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::FilteredListState);
    QTest::qWait(300);
    const QString path = TestEnvironment::screenshotDir()
                         + QStringLiteral("/allsongs-filtered.png");
    QVERIFY(window->grab().save(path));
    qInfo().noquote() << "screenshot:" << path;
}

void TestAllSongsPage::rowsSpanTheListAfterBackAndWhileFiltered()
{
    // The filter an earlier case typed is emptied once the page has been away for a moment.
    QTRY_VERIFY(page()->currentFilterText().isEmpty());
    showPage();
    AllSongsPage* songs = page();
    QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), 9, Timeout);
    const QModelIndex row = rowTitled(songs->listAdapter(), "Crimson");
    QTRY_VERIFY(songs->pageList()->visibleCell(row));
    verifySongRowsSpanTheList(songs->pageList());

    // Played, then Back from the player: the rows were filled again while the page was away.
    MWidget* cell = songs->pageList()->visibleCell(row);
    tapAt(window.get(), cell->mapToScene(cell->boundingRect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageNowPlaying), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->title(PlayState::MusicMode),
                              QStringLiteral("Crimson"), Timeout);
    emit qobject_cast<MApplicationPage*>(window->cachedPage(PageNowPlaying))->backButtonClicked();
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    QTRY_VERIFY(songs->isVisible());
    QTRY_VERIFY(songs->pageList()->visibleCell(rowTitled(songs->listAdapter(), "Crimson")));
    verifySongRowsSpanTheList(songs->pageList());

    // Filtered results.
    typeFilter(QStringLiteral("r"));
    QTRY_COMPARE(songs->layoutState(), CollectionPageBase::FilteredListState);
    QTRY_VERIFY(songs->pageList()->visibleCell(rowTitled(songs->listAdapter(), "Crimson")));
    verifySongRowsSpanTheList(songs->pageList());
}

template <typename T>
T* TestAllSongsPage::waitForAppeared()
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < Timeout) {
        T* found = findInScene<T>(window->scene());
        if (found && found->sceneWindowState() == MSceneWindow::Appeared)
            return found;
        QTest::qWait(10);
    }
    return nullptr;
}

void TestAllSongsPage::typingOverMenusSheetsAndDialogsLeavesTheListUnfiltered()
{
    showPage();
    AllSongsPage* songs = page();
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(songs->listAdapter(), "Crimson").isValid(), Timeout);
    const QModelIndex row = rowTitled(songs->listAdapter(), "Crimson");
    QTRY_VERIFY(songs->pageList()->visibleCell(row));
    MWidget* cell = songs->pageList()->visibleCell(row);
    const QPointF at = cell->mapToScene(cell->boundingRect().center());
    TouchDriver finger(window.get());
    const auto tap = [&finger](QGraphicsWidget* widget) {
        finger.tap(widget->mapToScene(widget->boundingRect().center()));
    };
    // The page's filter starts on the key itself, so a key that reached it shows at once.
    const auto unfiltered = [songs] {
        return songs->layoutState() == CollectionPageBase::ListState
               && !songs->filterField()->isVisible();
    };
    // Unfiltered to begin with: leaving the page ends what a case before left.
    window->goToPage(PageNowPlaying);
    QTRY_COMPARE(songs->currentFilterText(), QString());
    showPage();
    QTRY_VERIFY_WITH_TIMEOUT(unfiltered(), Timeout);
    MObjectMenu* menu = songs->pageObjectMenu();
    QVERIFY(menu);
    const auto holdRow = [&] {
        finger.press(at);
        QTRY_COMPARE_WITH_TIMEOUT(menu->sceneWindowState(), MSceneWindow::Appeared, Timeout);
        finger.release(at);
    };

    // Long tap, Add to playlist, New playlist: typing over each on the way.
    holdRow();
    QTest::keyClicks(window.get(), QStringLiteral("q"));
    QVERIFY(unfiltered());
    QVERIFY(chooseMenuEntry(finger, menu, QStringLiteral("Add to playlist"), Timeout));
    auto* selection = waitForAppeared<PlaylistSelectionSheet>();
    QVERIFY(selection);
    QTest::keyClicks(window.get(), QStringLiteral("q"));
    QVERIFY(unfiltered());
    tap(selection->createButton());
    QPointer<PlaylistSaveSheet> save = waitForAppeared<PlaylistSaveSheet>();
    QVERIFY(save);

    // Save with the name empty keeps the dialog, and its field keeps the keys.
    tap(save->button(M::SaveButton));
    QCoreApplication::processEvents();
    QCOMPARE(save->sceneWindowState(), MSceneWindow::Appeared);
    QTest::keyClicks(window.get(), QStringLiteral("q"));
    QCOMPARE(save->nameEdit()->text(), QStringLiteral("q"));
    QVERIFY(unfiltered());
    QVERIFY(window->grab().toImage().save(TestEnvironment::screenshotDir()
                                          + QStringLiteral("/save-as-after-an-empty-save.png")));
    tap(save->button(M::CancelButton));
    QTRY_VERIFY(save.isNull());

    // The delete confirmation has no field: the keys go nowhere while it shows.
    holdRow();
    QVERIFY(chooseMenuEntry(finger, menu, QStringLiteral("Delete"), Timeout));
    QPointer<DeleteObjectDialog> confirmation = waitForAppeared<DeleteObjectDialog>();
    QVERIFY(confirmation);
    QTest::keyClicks(window.get(), QStringLiteral("q"));
    QVERIFY(unfiltered());
    tap(confirmation->button(M::NoButton));
    QTRY_VERIFY(confirmation.isNull());

    // With all of them gone the page has the keys again.
    QCOMPARE(songs->listAdapter()->rowCountInGroup(-1), 9);
    QTest::keyClicks(window.get(), QStringLiteral("r"));
    QCOMPARE(songs->layoutState(), CollectionPageBase::FilterState);
}

void TestAllSongsPage::aTappedRowQueuesTheListInItsOrderForEveryLetter()
{
    // Letters English has no index letter for, letters it reads as two (Æ, Œ), other
    // alphabets and scripts, letters the collation does not tell apart (Г and Ґ, か and カ)
    // and a title behind a right-to-left mark.
    const QStringList titles = QString::fromUtf8("A Very Long Title|After Hours|Apogee|Ævintýri|"
                                                 "Œuvre|Þögn|Íslenska|Óskar|Кино|Йога|Іван|Гора|"
                                                 "Ґанок|سلام|أحمد|東京|京都|かな|カメラ|かわ|"
                                                 "\u200fHello")
                                   .split(QLatin1Char('|'));
    for (int n = 0; n < titles.size(); ++n) {
        AudioTags tags;
        tags.title = titles.at(n);
        tags.artist = QStringLiteral("Lex");
        tags.album = QStringLiteral("Letters");
        tags.trackNumber = n + 1;
        QVERIFY(
            !FixtureLibrary::addSong(QStringLiteral("Lex/Letters/%1.ogg").arg(n + 1), tags, 60000)
                 .isEmpty());
    }
    QVERIFY(FixtureLibrary::index());
    // The filter an earlier case typed is emptied once the page has been away for a moment.
    if (page())
        QTRY_VERIFY(page()->currentFilterText().isEmpty());
    showPage();
    const auto allListed = [&] {
        const QStringList listed = titlesListed(page()->listAdapter());
        return std::all_of(titles.cbegin(), titles.cend(),
                           [&listed](const QString& title) { return listed.contains(title); });
    };
    QTRY_VERIFY_WITH_TIMEOUT(allListed(), Timeout);
    const int count = page()->listAdapter()->rowCountInGroup(-1);
    PlayState* hub = PlayState::instance();
    QSharedPointer<ShuffleProxyModel> queue = hub->shuffleProxyModel();
    const auto queued = [&queue] {
        int column = 0;
        while (column < queue->columnCount()
               && queue->headerData(column, Qt::Horizontal).toString() != "songTitle")
            ++column;
        QStringList titles;
        for (int row = 0; row < queue->rowCount(); ++row)
            titles.append(queue->index(row, column).data().toString());
        return titles;
    };

    for (const char* tapped : { "Ævintýri", "Йога", "カメラ" }) {
        showPage();
        AllSongsPage* songs = page();
        QTRY_COMPARE_WITH_TIMEOUT(songs->listAdapter()->rowCountInGroup(-1), count, Timeout);
        const QStringList listed = titlesListed(songs->listAdapter());
        const QString title = QString::fromUtf8(tapped);
        const int place = listed.indexOf(title);
        const QModelIndex row = rowTitled(songs->listAdapter(), title);
        songs->pageList()->scrollTo(row, MList::EnsureVisibleHint, MList::NonAnimated);
        QTRY_VERIFY(songs->pageList()->visibleCell(row));
        MWidget* cell = songs->pageList()->visibleCell(row);
        tapAt(window.get(), cell->mapToScene(cell->boundingRect().center()));

        QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
        QCOMPARE(hub->title(PlayState::MusicMode), title);
        QTRY_COMPARE(window->currentPage(), int(PageNowPlaying));
        // The queue is the list, row for row, and the player counts the tapped row's place.
        QCOMPARE(queued(), listed);
        QCOMPARE(hub->currentIndex(PlayState::MusicMode), place);
        auto* player = qobject_cast<NowPlayingPage*>(window->cachedPage(PageNowPlaying));
        QVERIFY(player);
        QTRY_COMPARE(player->information()->songNumberText()->text(),
                     QStringLiteral("%1/%2").arg(place + 1).arg(count));
        // Next plays the row below it in the list.
        hub->next(0);
        QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), listed.at(place + 1), Timeout);
        hub->stop(PlayState::MusicMode);
        QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    }
}

PARLOVANCE_TEST_MAIN(TestAllSongsPage)
#include "tst_allsongspage.moc"
