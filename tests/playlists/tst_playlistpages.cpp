// The playlists page and the songs of a playlist on a real window over the real store, driven
// by taps: the empty library and the page stepping back, the three lists with their counts
// and lengths, opening a playlist, the long-tap menu with its collage, starting a new
// playlist, and a user playlist extended, trimmed and deleted from its own page. Screenshots
// of both pages go into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "maction.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mcontainer.h"
#include "mlabel.h"
#include "mlist.h"
#include "mlocale.h"
#include "mobjectmenu.h"
#include "mtextedit.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songlist.h"
#include "playback/playstate.h"
#include "playlists/automaticplaylistsmodel.h"
#include "playlists/playlistcollectionpage.h"
#include "playlists/playlistsavesheet.h"
#include "playlists/songselectionsheet.h"
#include "playlists/userplaylistutils.h"
#include "scenesearch.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

QStringList names(const QAbstractItemModel* list)
{
    QStringList shown;
    for (int row = 0; row < list->rowCount(); ++row)
        shown << list->index(row, 0).data(Qt::UserRole + 1).toString();
    return shown;
}

QModelIndex rowNamed(const QAbstractItemModel* list, const QString& name)
{
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->index(row, 0).data(Qt::UserRole + 1).toString() == name)
            return list->index(row, 0);
    }
    return QModelIndex();
}

} // namespace

class TestPlaylistPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void emptyLibraryShowsTheEmptyTextAndStepsBack();
    void listsFilesAutomaticAndUserPlaylists();
    void tapOpensTheSongsOfThePlaylist();
    void longTapOffersDeleteForFilesAndUserPlaylistsOnly();
    void addButtonMakesANewPlaylistThatShowsAtOnce();

private:
    PlaylistCollectionPage* playlistsPage();
    void showPlaylistsPage();
    bool tapRow(MList* list, const QString& name);
    bool longTapRow(MList* list, const QString& name);
    void tap(QGraphicsWidget* widget);
    // The back button of the page on screen.
    void stepBack();
    void screenshot(const QString& name);
    int songId(const QString& title) const;
    int makePlaylist(const QString& name, const QStringList& titles);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
    QSharedPointer<MafwTrackerModel> allSongs;
};

void TestPlaylistPages::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    MLocale locale;
    locale.installTrCatalog(QStringLiteral("music"));
    locale.installTrCatalog(QStringLiteral("parlovance"));
    locale.installTrCatalog(QStringLiteral("common"));
    MLocale::setDefault(locale);
    MBanner::setDisplayDurationForTesting(50);

    QVERIFY(FixtureLibrary::openStore());
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(), Timeout);
    window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), Timeout);
    // Indexing while a case runs would put the window in its updating-library state.
    window->watchTrackerIndexing(false);
    finger = std::make_unique<TouchDriver>(window.get());
    allSongs = ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs);
}

void TestPlaylistPages::init()
{
    MBanner::clearShownTitles();
}

void TestPlaylistPages::cleanup()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    hub->clearPlayQueue();
    QTRY_COMPARE_WITH_TIMEOUT(UserPlaylistUtils::liveWorkers(), 0, Timeout);
    while (auto* sheet = findInScene<MSheet>(window->scene()))
        delete sheet;
    while (auto* dialog = findInScene<MDialog>(window->scene()))
        delete dialog;
    if (window->currentPage() != PageMain)
        window->goToPage(PageMain);
}

void TestPlaylistPages::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

PlaylistCollectionPage* TestPlaylistPages::playlistsPage()
{
    return qobject_cast<PlaylistCollectionPage*>(window->cachedPage(PagePlaylists));
}

void TestPlaylistPages::showPlaylistsPage()
{
    window->goToPage(PagePlaylists);
    QTRY_COMPARE(window->currentPage(), int(PagePlaylists));
    QVERIFY(playlistsPage());
    QTRY_VERIFY(playlistsPage()->isVisible());
    // The page left behind goes on the next turn of the event loop; until then it covers
    // this one.
    for (int other = PageMain; other <= PageUsbNotice; ++other) {
        QGraphicsWidget* cached = window->cachedPage(ParlovancePages(other));
        if (cached && cached != playlistsPage())
            QTRY_VERIFY(!cached->isVisible());
    }
}

void TestPlaylistPages::tap(QGraphicsWidget* widget)
{
    finger->tap(widget->mapToScene(widget->boundingRect().center()));
}

bool TestPlaylistPages::tapRow(MList* list, const QString& name)
{
    const QModelIndex row = rowNamed(list->itemModel(), name);
    if (!row.isValid() || !QTest::qWaitFor([&] { return list->visibleCell(row); }, Timeout))
        return false;
    tap(list->visibleCell(row));
    return true;
}

bool TestPlaylistPages::longTapRow(MList* list, const QString& name)
{
    const QModelIndex row = rowNamed(list->itemModel(), name);
    if (!row.isValid() || !QTest::qWaitFor([&] { return list->visibleCell(row); }, Timeout))
        return false;
    MWidget* cell = list->visibleCell(row);
    const QPointF at = cell->mapToScene(cell->boundingRect().center());
    finger->press(at);
    MObjectMenu* menu = nullptr;
    const bool opened = QTest::qWaitFor(
        [&] {
            menu = findInScene<MObjectMenu>(window->scene());
            return menu && menu->sceneWindowState() == MSceneWindow::Appeared;
        },
        Timeout);
    finger->release(at);
    return opened;
}

void TestPlaylistPages::stepBack()
{
    if (MApplicationPage* shown = window->cachedPage(ParlovancePages(window->currentPage())))
        emit shown->backButtonClicked();
}

void TestPlaylistPages::screenshot(const QString& name)
{
    QCoreApplication::processEvents();
    const QString path = TestEnvironment::screenshotDir() + QLatin1Char('/') + name + ".png";
    QVERIFY(window->grab().toImage().save(path));
    qInfo().noquote() << "screenshot:" << path;
}

int TestPlaylistPages::songId(const QString& title) const
{
    for (int row = 0; row < allSongs->rowCount(); ++row) {
        if (allSongs->index(row, 1).data().toString() == title)
            return allSongs->index(row, 8).data().toInt();
    }
    return -1;
}

int TestPlaylistPages::makePlaylist(const QString& name, const QStringList& titles)
{
    QList<int> ids;
    for (const QString& title : titles)
        ids << songId(title);
    UserPlaylistUtils::createPlaylist(name, 0, ids);
    const QSharedPointer<MafwTrackerModel> user
        = ModelInstance::instance()->getModel(MafwTrackerModel::UserPlaylists);
    int id = -1;
    QTest::qWaitFor(
        [&] {
            for (int row = 0; row < user->rowCount(); ++row) {
                if (user->index(row, 1).data().toString() == name)
                    id = user->index(row, 0).data().toInt();
            }
            return id > 0;
        },
        Timeout);
    return id;
}

void TestPlaylistPages::emptyLibraryShowsTheEmptyTextAndStepsBack()
{
    // No music: a forward step shows the empty text and stays.
    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    QTRY_VERIFY_WITH_TIMEOUT(AutomaticPlaylistsModel::instance()->allModelsRequested(), Timeout);
    QVERIFY(page->showsEmptyLayout());
    QVERIFY(page->emptyStateLabel()->isVisible());
    QCOMPARE(page->emptyStateLabel()->text(), QStringLiteral("No music"));
    QVERIFY(!page->isPannable());
    QCOMPARE(window->currentPage(), int(PagePlaylists));
    screenshot(QStringLiteral("playlists-page-empty"));

    // Reached by a back step while empty, it steps back once more.
    window->goToPage(PageAllSongs);
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    stepBack();
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageMain), Timeout);
    QTRY_VERIFY(!page->isVisible());

    // Songs arrive while it shows: the first automatic playlist with songs brings the lists.
    showPlaylistsPage();
    QVERIFY(page->showsEmptyLayout());
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QTRY_VERIFY_WITH_TIMEOUT(!page->showsEmptyLayout(), Timeout);
    QVERIFY(page->isPannable());
    QVERIFY(page->automaticPlaylistsList()->isVisible());
    QVERIFY(!page->myPlaylistsContainer()->isVisible());
    QCOMPARE(window->currentPage(), int(PagePlaylists));
}

void TestPlaylistPages::listsFilesAutomaticAndUserPlaylists()
{
    QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("lists/party.m3u"),
                                         { QStringLiteral("Kim/Blue/01.ogg"),
                                           QStringLiteral("Kim/Red/02.ogg") })
                 .isEmpty());
    QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("lists/a.b.pls"),
                                         { QStringLiteral("Lee/Green/01.ogg") })
                 .isEmpty());
    QVERIFY(FixtureLibrary::index());
    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    QAbstractItemModel* files = page->playlistFilesList()->itemModel();
    QTRY_COMPARE_WITH_TIMEOUT(files->rowCount(), 2, Timeout);
    QVERIFY(rowNamed(files, "party.m3u").isValid());
    QTRY_COMPARE_WITH_TIMEOUT(rowNamed(files, "party.m3u").data(Qt::UserRole + 3).toInt(), 2,
                              Timeout);

    // Every song is new and none played: recently added and never played, 9 songs each.
    QAbstractItemModel* automatic = page->automaticPlaylistsList()->itemModel();
    QTRY_COMPARE_WITH_TIMEOUT(names(automatic),
                              QStringList({ "qtn_musi_playlist_neverplayed",
                                            "qtn_musi_playlist_recentlyadded" }),
                              Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(automatic->index(1, 0).data(Qt::UserRole + 3).toInt(), 9, Timeout);
    QCOMPARE(automatic->index(1, 0).data(Qt::UserRole + 4).toInt(), 9);

    // The box of the user's playlists shows while there is one.
    QVERIFY(!page->myPlaylistsContainer()->isVisible());
    const int id = makePlaylist(QStringLiteral("Mine {\"1\"} 🎶"), { "Azure", "Jade" });
    QTRY_VERIFY(page->myPlaylistsContainer()->isVisible());
    QCOMPARE(names(page->userPlaylistsList()->itemModel()),
             QStringList({ "Mine {\"1\"} 🎶" }));
    screenshot(QStringLiteral("playlists-page"));
    MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems(
        { id }, MafwTrackerModel::UserPlaylists);
    QTRY_VERIFY_WITH_TIMEOUT(!page->myPlaylistsContainer()->isVisible(), Timeout);

    // A played song makes two more automatic playlists, in their sorted places.
    MafwTrackerModelFactoryInstance::instance()->factory()->trackerConnection()->songPlayed(
        songId("Jade"));
    QTRY_COMPARE_WITH_TIMEOUT(names(automatic),
                              QStringList({ "qtn_musi_playlist_mostplayed",
                                            "qtn_musi_playlist_neverplayed",
                                            "qtn_musi_playlist_recentlyadded",
                                            "qtn_musi_playlist_recentlyplayed" }),
                              Timeout);
}

void TestPlaylistPages::tapOpensTheSongsOfThePlaylist()
{
    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    QSignalSpy opened(page, &QuintaveilPage::goToPage);
    QVERIFY(tapRow(page->automaticPlaylistsList(), "qtn_musi_playlist_recentlyadded"));
    QTRY_COMPARE(opened.count(), 1);
    QCOMPARE(opened.first().at(0).toInt(), int(PageSongsOfPlaylist));
    QHash<QString, QVariant> hash = opened.first().at(1).toHash();
    QCOMPARE(hash.value("playlistId").toInt(), -3);
    QCOMPARE(hash.value("playlistName").toString(), QStringLiteral("qtn_musi_playlist_recentlyadded"));
    QVERIFY(hash.value("automaticPlaylistModel").value<QSharedPointer<MafwTrackerModel>>());
    QVERIFY(!hash.contains("userPlaylist"));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfPlaylist));

    showPlaylistsPage();
    opened.clear();
    QVERIFY(tapRow(page->playlistFilesList(), "a.b.pls"));
    QTRY_COMPARE(opened.count(), 1);
    hash = opened.first().at(1).toHash();
    QVERIFY(hash.value("playlistId").toInt() > 0);
    QCOMPARE(hash.value("playlistName").toString(), QStringLiteral("a.b.pls"));
    QCOMPARE(hash.size(), 2);

    makePlaylist(QStringLiteral("Opened"), { "Navy" });
    showPlaylistsPage();
    opened.clear();
    QTRY_VERIFY(page->myPlaylistsContainer()->isVisible());
    QVERIFY(tapRow(page->userPlaylistsList(), "Opened"));
    QTRY_COMPARE(opened.count(), 1);
    hash = opened.first().at(1).toHash();
    QCOMPARE(hash.value("userPlaylist").toBool(), true);
    QCOMPARE(hash.value("playlistName").toString(), QStringLiteral("Opened"));
}

void TestPlaylistPages::longTapOffersDeleteForFilesAndUserPlaylistsOnly()
{
    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    auto entries = [this] {
        QStringList texts;
        if (MObjectMenu* menu = findInScene<MObjectMenu>(window->scene()))
            for (QAction* action : menu->actions())
                if (action->isVisible())
                    texts << action->text();
        return texts;
    };
    auto closeMenu = [this] {
        if (MObjectMenu* menu = findInScene<MObjectMenu>(window->scene()))
            menu->disappear();
        QTRY_VERIFY(!findInScene<MObjectMenu>(window->scene())
                    || findInScene<MObjectMenu>(window->scene())->sceneWindowState()
                           == MSceneWindow::Disappeared);
    };

    QVERIFY(longTapRow(page->automaticPlaylistsList(), "qtn_musi_playlist_recentlyadded"));
    QCOMPARE(entries(), QStringList({ "Play", "Add to queue" }));
    // The collage of the playlist is composed and saved under its id.
    const QString collage = TestEnvironment::cacheHome() + "/parlovance/collage/Playlist_-3.png";
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(collage), Timeout);
    closeMenu();

    QVERIFY(longTapRow(page->playlistFilesList(), "party.m3u"));
    QCOMPARE(entries(), QStringList({ "Play", "Add to queue", "Delete" }));
    // Play plays the file's songs, recorded under its name without the extension.
    QMetaObject::invokeMethod(page, "handlePlay");
    QTRY_COMPARE_WITH_TIMEOUT(PlayState::instance()->songCount(PlayState::MusicMode), 2, Timeout);
    closeMenu();
    const QHash<QString, QVariant> file
        = page->itemParameters(rowNamed(page->playlistFilesList()->itemModel(), "a.b.pls"));
    QCOMPARE(file.value("name").toString(), QStringLiteral("a.b"));
    QCOMPARE(file.value("type").toInt(), int(Activity::Playlist));

    showPlaylistsPage();
    QTRY_VERIFY(page->myPlaylistsContainer()->isVisible());
    QVERIFY(longTapRow(page->userPlaylistsList(), "Opened"));
    QCOMPARE(entries(), QStringList({ "Play", "Add to queue", "Delete" }));
    closeMenu();
}

void TestPlaylistPages::addButtonMakesANewPlaylistThatShowsAtOnce()
{
    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    QVERIFY(page->addAction());
    page->addAction()->trigger();
    SongSelectionSheet* sheet = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((sheet = findInScene<SongSelectionSheet>(window->scene()))
                                 && sheet->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    sheet->filterWidget()->setText(QStringLiteral("Scarlet"));
    ListModel* rows = qobject_cast<ListModel*>(sheet->songList()->itemModel());
    QTRY_VERIFY(rows->rowCount() == 1 && rows->rowCount(rows->index(0, 0)) == 1);
    const QModelIndex scarlet = rows->index(0, 0, rows->index(0, 0));
    QTRY_VERIFY(sheet->songList()->visibleCell(scarlet));
    tap(sheet->songList()->visibleCell(scarlet));
    QTRY_VERIFY(sheet->acceptButton()->isEnabled());
    tap(sheet->acceptButton());
    PlaylistSaveSheet* save = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((save = findInScene<PlaylistSaveSheet>(window->scene()))
                                 && save->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    // Typed, and Enter saves.
    save->nameEdit()->setFocus();
    QTest::keyClicks(window.get(), QStringLiteral("Brand new"));
    QCOMPARE(save->nameEdit()->text(), QStringLiteral("Brand new"));
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(rowNamed(page->userPlaylistsList()->itemModel(), "Brand new").isValid(),
                             Timeout);
    QVERIFY(page->myPlaylistsContainer()->isVisible());
}

PARLOVANCE_TEST_MAIN(TestPlaylistPages)
#include "tst_playlistpages.moc"
