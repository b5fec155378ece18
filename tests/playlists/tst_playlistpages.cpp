// The playlists page and the songs of a playlist on a real window over the real store, driven
// by taps: the empty library and the page stepping back, the three lists with their counts
// and lengths, opening a playlist, the long-tap menu with its collage, starting a new
// playlist, a user playlist extended, trimmed and deleted from its own page, and an emptied
// playlist played while an album plays. Screenshots of both pages go into
// $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "activity/latestactivitycontroller.h"
#include "activity/latestactivitywidget.h"
#include "albumart/albumartloader.h"
#include "albumart/collageimagewidget.h"
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
#include "mdialog.h"
#include "mlabel.h"
#include "mlist.h"
#include "mobjectmenu.h"
#include "mpannableviewport.h"
#include "mtextedit.h"
#include "pageframework/filterwidget.h"
#include "pageframework/nowplayingbutton.h"
#include "pageframework/songlist.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/deleteobjectdialog.h"
#include "pageframework/playlistinfowidget.h"
#include "pageframework/songcollectionlistitem.h"
#include "pages/parlovancemainpage.h"
#include "playback/playstate.h"
#include "playlists/automaticplaylistsmodel.h"
#include "playlists/playlistcollectionpage.h"
#include "playlists/playlistsavesheet.h"
#include "playlists/songselectionsheet.h"
#include "playlists/songsofplaylistpage.h"
#include "playlists/userplaylistutils.h"
#include "librarywindow.h"
#include "listrows.h"
#include "menuentry.h"
#include "scenesearch.h"
#include "shell/mainwindow.h"
#include "shell/parlovanceservice.h"
#include "testenvironment.h"
#include "touchdriver.h"
#include "zeloverlaylabel.h"
#include "zeltime.h"

#include <QAction>
#include <QDBusConnection>
#include <QDir>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

// A song's length in seconds, read by the column's header.
int songLength(const QAbstractItemModel* model, int row)
{
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal).toString() == QLatin1String("songLength"))
            return model->index(row, c).data().toInt();
    }
    return 0;
}

// How far two pictures differ, 0 to 255 per channel on average, at the size of the first.
int difference(const QImage& a, const QImage& b)
{
    if (a.isNull() || b.isNull())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.scaled(a.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q))
                   + qAbs(qBlue(p) - qBlue(q));
        }
    }
    return int(sum / (3 * qint64(x.width()) * x.height()));
}

// The rows of a playlist list (or a song list), a flat list model.
ListModel* rowsOf(MList* list)
{
    return qobject_cast<ListModel*>(list->itemModel());
}

// What another program on the session bus hears of the player's media.
class MediaListener : public QObject
{
    Q_OBJECT

public:
    QList<QStringList> heard;

public slots:
    void mediaChanged(const QStringList& media) { heard.append(media); }
};

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
    void automaticAndFilePlaylistsShowTheirSongsReadOnly();
    void userPlaylistIsExtendedTrimmedAndDeleted();
    void emptiedPlaylistsStepBackOnce();
    void dotsOfANameStayOnPagesAndTiles();
    void automaticPlaylistCollageReachesItsTile();
    void headerNamesItsCollageAndSumsTheSongLengths();
    void anEmptyPlaylistLeavesThePlayingAlbumAlone();
    void aPlaylistLeftInAnEmptiedLibraryLiesOverNothing();

private:
    PlaylistCollectionPage* playlistsPage();
    void showPlaylistsPage();
    // The row's cell, in view.
    MWidget* cellOf(MList* list, const QString& name);
    bool tapRow(MList* list, const QString& name);
    bool longTapRow(MList* list, const QString& name);
    // Taps the entry of the open object menu.
    bool chooseFromMenu(const QString& text);
    void tap(QGraphicsWidget* widget);
    SongsOfPlaylistPage* songsPage();
    // Opens the playlist from the playlists page, by a tap on its row.
    void openPlaylist(MList* list, const QString& name);
    QStringList songTitles();
    // Picks the songs (the which-th row of each title) on the open selection sheet and
    // accepts.
    void pickOnSheet(const QStringList& titles, const QList<int>& which = {});
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
    MBanner::setDisplayDurationForTesting(50);
    // The library starts empty: the first case shows the page without music.
    openWindow(&window);
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
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
    QTRY_VERIFY_WITH_TIMEOUT(playlistsPage()->isVisible(), Timeout);
    // The page left behind goes on the next turn of the event loop; until then it covers
    // this one.
    for (int other = PageMain; other <= PageUsbNotice; ++other) {
        QGraphicsWidget* cached = window->cachedPage(ParlovancePages(other));
        if (cached && cached != playlistsPage())
            QTRY_VERIFY_WITH_TIMEOUT(!cached->isVisible(), Timeout);
    }
}

void TestPlaylistPages::tap(QGraphicsWidget* widget)
{
    finger->tap(widget->mapToScene(widget->boundingRect().center()));
}

MWidget* TestPlaylistPages::cellOf(MList* list, const QString& name)
{
    const QModelIndex row = rowTitled(rowsOf(list), name);
    if (!row.isValid())
        return nullptr;
    // A scroll asked for while the page still lays out its lists may be spent on the old
    // layout: it is asked for again until the row shows.
    const auto shown = [&] {
        if (list->visibleCell(row))
            return true;
        list->scrollTo(row, MList::PositionAtCenterHint);
        return false;
    };
    if (!QTest::qWaitFor(shown, Timeout))
        return nullptr;
    // The page pans the lists under the toolbar: the row is brought to the middle.
    auto* page = qobject_cast<MApplicationPage*>(
        window->cachedPage(ParlovancePages(window->currentPage())));
    MPannableViewport* viewport = page ? page->pannableViewport() : nullptr;
    const qreal middle
        = list->visibleCell(row)->mapToScene(list->visibleCell(row)->boundingRect().center()).y();
    if (viewport && (middle < 150 || middle > 650)) {
        const QRectF range = viewport->range();
        const qreal target = qBound(range.top(), viewport->position().y() + middle - 400,
                                    range.bottom());
        viewport->setPosition(QPointF(0, target));
        if (!QTest::qWaitFor([&] { return list->visibleCell(row); }, Timeout))
            return nullptr;
    }
    return list->visibleCell(row);
}

bool TestPlaylistPages::tapRow(MList* list, const QString& name)
{
    MWidget* cell = cellOf(list, name);
    if (!cell)
        return false;
    tap(cell);
    return true;
}

bool TestPlaylistPages::longTapRow(MList* list, const QString& name)
{
    MWidget* cell = cellOf(list, name);
    if (!cell)
        return false;
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

bool TestPlaylistPages::chooseFromMenu(const QString& text)
{
    MObjectMenu* menu = findInScene<MObjectMenu>(window->scene());
    return menu && chooseMenuEntry(*finger, menu, text, Timeout);
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
    const QSharedPointer<MafwTrackerModel> user = ModelInstance::instance()->getModel(
        MafwTrackerModel::UserPlaylists);
    int id = -1;
    const bool listed = QTest::qWaitFor(
        [&] {
            for (int row = 0; row < user->rowCount(); ++row) {
                if (user->index(row, 1).data().toString() == name)
                    id = user->index(row, 0).data().toInt();
            }
            return id > 0;
        },
        Timeout);
    if (!listed)
        QTest::qFail(qPrintable("playlist never listed: " + name), __FILE__, __LINE__);
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
    ListModel* files = rowsOf(page->playlistFilesList());
    QTRY_COMPARE_WITH_TIMEOUT(files->rowCount(), 2, Timeout);
    QVERIFY(rowTitled(files, "party.m3u").isValid());
    QTRY_COMPARE_WITH_TIMEOUT(rowTitled(files, "party.m3u").data(Qt::UserRole + 3).toInt(), 2,
                              Timeout);

    // Every song is new and none played: recently added and never played, 9 songs each.
    ListModel* automatic = rowsOf(page->automaticPlaylistsList());
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(automatic),
                              QStringList({ "qtn_musi_playlist_neverplayed",
                                            "qtn_musi_playlist_recentlyadded" }),
                              Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(automatic->index(1, 0).data(Qt::UserRole + 3).toInt(), 9, Timeout);
    QCOMPARE(automatic->index(1, 0).data(Qt::UserRole + 4).toInt(), 9);

    // The box of the user's playlists shows while there is one.
    QVERIFY(!page->myPlaylistsContainer()->isVisible());
    const int id = makePlaylist(QStringLiteral("Mine {\"1\"} 🎶"), { "Azure", "Jade" });
    QTRY_VERIFY(page->myPlaylistsContainer()->isVisible());
    QCOMPARE(titlesListed(rowsOf(page->userPlaylistsList())), QStringList({ "Mine {\"1\"} 🎶" }));
    screenshot(QStringLiteral("playlists-page"));
    MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems(
        { id }, MafwTrackerModel::UserPlaylists);
    QTRY_VERIFY_WITH_TIMEOUT(!page->myPlaylistsContainer()->isVisible(), Timeout);

    // A played song makes two more automatic playlists, in their sorted places.
    MafwTrackerModelFactoryInstance::instance()->factory()->trackerConnection()->songPlayed(
        songId("Jade"));
    QTRY_COMPARE_WITH_TIMEOUT(
        titlesListed(automatic),
        QStringList({ "qtn_musi_playlist_mostplayed", "qtn_musi_playlist_neverplayed",
                      "qtn_musi_playlist_recentlyadded", "qtn_musi_playlist_recentlyplayed" }),
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
    QCOMPARE(hash.value("playlistName").toString(),
             QStringLiteral("qtn_musi_playlist_recentlyadded"));
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
    const QHash<QString, QVariant> file = page->itemParameters(
        rowTitled(rowsOf(page->playlistFilesList()), "a.b.pls"));
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
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(rowsOf(page->userPlaylistsList()), "Brand new").isValid(),
                             Timeout);
    QVERIFY(page->myPlaylistsContainer()->isVisible());
}

SongsOfPlaylistPage* TestPlaylistPages::songsPage()
{
    return qobject_cast<SongsOfPlaylistPage*>(window->cachedPage(PageSongsOfPlaylist));
}

void TestPlaylistPages::openPlaylist(MList* list, const QString& name)
{
    QVERIFY(tapRow(list, name));
    QTRY_COMPARE(window->currentPage(), int(PageSongsOfPlaylist));
    QVERIFY(songsPage());
    // A page change waits out the window's own queue, which a loaded machine may hold up
    // for seconds, as the store's changes do.
    QTRY_VERIFY_WITH_TIMEOUT(songsPage()->isVisible(), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!playlistsPage()->isVisible(), Timeout);
}

QStringList TestPlaylistPages::songTitles()
{
    return titlesListed(songsPage()->listAdapter());
}

void TestPlaylistPages::pickOnSheet(const QStringList& titles, const QList<int>& which)
{
    SongSelectionSheet* sheet = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((sheet = findInScene<SongSelectionSheet>(window->scene()))
                                 && sheet->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    ListModel* rows = qobject_cast<ListModel*>(sheet->songList()->itemModel());
    for (int i = 0; i < titles.size(); ++i) {
        QModelIndexList found;
        for (const QModelIndex& row : listRows(rows)) {
            if (row.data(Qt::UserRole + 1).toString() == titles.at(i))
                found << row;
        }
        const QModelIndex item = found.value(which.value(i, 0));
        QVERIFY2(item.isValid(), qPrintable(titles.at(i)));
        sheet->songList()->scrollTo(item, MList::PositionAtCenterHint);
        QTRY_VERIFY(sheet->songList()->visibleCell(item));
        tap(sheet->songList()->visibleCell(item));
    }
    QTRY_VERIFY(sheet->acceptButton()->isEnabled());
    QPointer<SongSelectionSheet> guard(sheet);
    tap(sheet->acceptButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
}

void TestPlaylistPages::automaticAndFilePlaylistsShowTheirSongsReadOnly()
{
    showPlaylistsPage();
    openPlaylist(playlistsPage()->automaticPlaylistsList(), "qtn_musi_playlist_mostplayed");
    SongsOfPlaylistPage* page = songsPage();
    QSharedPointer<MafwTrackerModel> mostPlayed;
    QVERIFY(AutomaticPlaylistsModel::instance()->playlistModel(-5, mostPlayed, false));
    QTRY_COMPARE(songTitles().size(), mostPlayed->rowCount());
    QVERIFY(songTitles().contains("Jade"));
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Most played"));
    QCOMPARE(page->playlistName(), QStringLiteral("qtn_musi_playlist_mostplayed"));
    QCOMPARE(page->playlistId(), -5);
    QVERIFY(!page->addSongsAction() || !page->actions().contains(page->addSongsAction()));

    // A tap plays a copy of the playlist from the row.
    QVERIFY(tapRow(page->pageList(), "Jade"));
    PlayState* hub = PlayState::instance();
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Jade"));
    QCOMPARE(hub->songCount(PlayState::MusicMode), mostPlayed->rowCount());

    showPlaylistsPage();
    openPlaylist(playlistsPage()->playlistFilesList(), "a.b.pls");
    QTRY_COMPARE(songTitles(), QStringList({ "Emerald" }));
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("a.b"));
    QCOMPARE(page->playlistQueryType(), MafwTrackerModel::SongsOfPlaylistFile);
    QTRY_COMPARE(page->playlistHeader()->songCountLabel()->text(), QStringLiteral("1 song"));
    // A playlist of one song has no shuffle row.
    QVERIFY(!page->shuffleWidget()->isShown());
    screenshot(QStringLiteral("songs-of-playlist-file"));
}

void TestPlaylistPages::userPlaylistIsExtendedTrimmedAndDeleted()
{
    const QString name = QStringLiteral("Trip {2} \\ \"x\"");
    makePlaylist(name, { "Azure", "Cobalt" });
    showPlaylistsPage();
    QTRY_VERIFY(playlistsPage()->myPlaylistsContainer()->isVisible());
    openPlaylist(playlistsPage()->userPlaylistsList(), name);
    SongsOfPlaylistPage* page = songsPage();
    QTRY_COMPARE(songTitles(), QStringList({ "Azure", "Cobalt" }));
    QCOMPARE(page->titleWidget()->text(), name);
    QVERIFY(page->shuffleWidget()->isShown());
    // The three entries replace the toolbar's placeholder.
    QVERIFY(page->actions().contains(page->addSongsAction()));
    QVERIFY(page->actions().contains(page->removeSongsAction()));
    QVERIFY(page->actions().contains(page->deletePlaylistAction()));
    for (QAction* action : page->actions())
        QVERIFY(action->objectName() != QStringLiteral("dummyAction"));

    // Extended: the new songs show at once.
    page->addSongsAction()->trigger();
    pickOnSheet({ "Navy", "Jade" });
    QTRY_COMPARE_WITH_TIMEOUT(songTitles().size(), 4, Timeout);
    QCOMPARE(songTitles().mid(0, 2), QStringList({ "Azure", "Cobalt" }));
    QCOMPARE(songTitles().count("Azure"), 1);
    QTRY_COMPARE(page->playlistHeader()->songCountLabel()->text(), QStringLiteral("4 songs"));
    screenshot(QStringLiteral("songs-of-user-playlist"));

    // Trimmed: the remove sheet lists the playlist itself and takes the chosen rows only.
    const QStringList before = songTitles();
    page->removeSongsAction()->trigger();
    pickOnSheet({ "Cobalt" });
    QTRY_COMPARE_WITH_TIMEOUT(songTitles().size(), 3, Timeout);
    QVERIFY(!songTitles().contains("Cobalt"));

    // Opening a playlist file takes the entries away and brings the placeholder back; the
    // same user playlist again keeps its list and gets the same three entries.
    MAction* add = page->addSongsAction();
    showPlaylistsPage();
    openPlaylist(playlistsPage()->playlistFilesList(), "party.m3u");
    QVERIFY(!page->actions().contains(add));
    bool placeholder = false;
    for (QAction* action : page->actions())
        placeholder = placeholder || action->objectName() == QStringLiteral("dummyAction");
    QVERIFY(placeholder);
    showPlaylistsPage();
    openPlaylist(playlistsPage()->userPlaylistsList(), name);
    QTRY_COMPARE(songTitles().size(), 3);
    QCOMPARE(page->addSongsAction(), add);
    QVERIFY(page->actions().contains(add));

    // Deleted after Yes: the store forgets it and the page goes back to the playlists, once.
    page->deletePlaylistAction()->trigger();
    DeleteObjectDialog* dialog = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = findInScene<DeleteObjectDialog>(window->scene()))
                                 && dialog->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    QCOMPARE(dialog->itemText(), name);
    screenshot(QStringLiteral("delete-playlist-dialog"));
    tap(dialog->button(M::YesButton));
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PagePlaylists), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(
        !rowTitled(rowsOf(playlistsPage()->userPlaylistsList()), name).isValid(), Timeout);
    FixtureLibrary::settleStore();
    QTest::qWait(200);
    QCOMPARE(window->currentPage(), int(PagePlaylists));
    QVERIFY(playlistsPage()->isVisible());
}

void TestPlaylistPages::emptiedPlaylistsStepBackOnce()
{
    // The last songs removed from a user playlist on its page: back to the playlists page.
    makePlaylist(QStringLiteral("Short.lived"), { "Scarlet" });
    showPlaylistsPage();
    QTRY_VERIFY(playlistsPage()->myPlaylistsContainer()->isVisible());
    openPlaylist(playlistsPage()->userPlaylistsList(), "Short.lived");
    SongsOfPlaylistPage* page = songsPage();
    // The user's dot is part of the name.
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Short.lived"));
    QTRY_COMPARE(songTitles(), QStringList({ "Scarlet" }));
    page->removeSongsAction()->trigger();
    pickOnSheet({ "Scarlet" });
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PagePlaylists), Timeout);
    QTest::qWait(200);
    QCOMPARE(window->currentPage(), int(PagePlaylists));

    // Favourites shown again after its last song was unmarked elsewhere steps back.
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QVERIFY(factory->setFavourite(songId("Navy"), true));
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(rowsOf(playlistsPage()->automaticPlaylistsList()),
                                       "qtn_musi_playlist_favorites")
                                 .isValid(),
                             Timeout);
    openPlaylist(playlistsPage()->automaticPlaylistsList(), "qtn_musi_playlist_favorites");
    QTRY_COMPARE(songTitles(), QStringList({ "Navy" }));
    window->goToPage(PageAllSongs);
    QTRY_COMPARE(window->currentPage(), int(PageAllSongs));
    QTRY_VERIFY(!page->isVisible());
    QVERIFY(factory->setFavourite(songId("Navy"), false));
    QTRY_COMPARE_WITH_TIMEOUT(page->currentPageModel()->rowCount(), 0, Timeout);
    stepBack();
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PagePlaylists), Timeout);
    QTest::qWait(200);
    QCOMPARE(window->currentPage(), int(PagePlaylists));
}

void TestPlaylistPages::dotsOfANameStayOnPagesAndTiles()
{
    // A playlist file loses its extension only; the user's own names stay whole.
    QVERIFY(!FixtureLibrary::addPlaylist(QStringLiteral("dots/Vol. 2.m3u"),
                                         { QStringLiteral("Kim/Blue/01.ogg") })
                 .isEmpty());
    QVERIFY(FixtureLibrary::index());
    makePlaylist(QStringLiteral("Vol. 2"), { "Azure" });
    makePlaylist(QStringLiteral(".hidden"), { "Jade" });
    showPlaylistsPage();
    PlaylistCollectionPage* playlists = playlistsPage();
    QTRY_VERIFY_WITH_TIMEOUT(
        rowTitled(rowsOf(playlists->playlistFilesList()), "Vol. 2.m3u").isValid(), Timeout);
    QTRY_VERIFY(playlists->myPlaylistsContainer()->isVisible());
    const struct
    {
        MList* list;
        const char* name;
        const char* shown;
        Activity::ActivityType kind;
    } cases[] = { { playlists->userPlaylistsList(), "Vol. 2", "Vol. 2", Activity::UserPlaylist },
                  { playlists->playlistFilesList(), "Vol. 2.m3u", "Vol. 2", Activity::Playlist },
                  { playlists->userPlaylistsList(), ".hidden", ".hidden",
                    Activity::UserPlaylist } };
    LatestActivityController* activities = LatestActivityController::instance();
    for (const auto& playlist : cases) {
        const QString shown = QString::fromUtf8(playlist.shown);
        showPlaylistsPage();
        MWidget* row = cellOf(playlist.list, playlist.name);
        QVERIFY2(row, qPrintable(titlesListed(rowsOf(playlist.list)).join("|")));
        auto* cell = qobject_cast<SongCollectionListItem*>(row);
        QVERIFY2(cell, row->metaObject()->className());
        QCOMPARE(cell->titleLabel()->text(), shown);

        // The question that Delete of the row's menu asks names it the same way.
        QVERIFY(longTapRow(playlist.list, playlist.name));
        MObjectMenu* menu = findInScene<MObjectMenu>(window->scene());
        QAction* remove = nullptr;
        for (QAction* action : menu->actions())
            if (action->isVisible() && action->text() == QStringLiteral("Delete"))
                remove = action;
        QVERIFY(remove);
        // As a tap on the entry does: the menu goes, then the action runs.
        menu->disappear();
        QTRY_COMPARE(menu->sceneWindowState(), MSceneWindow::Disappeared);
        remove->trigger();
        DeleteObjectDialog* dialog = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((dialog = findInScene<DeleteObjectDialog>(window->scene()))
                                     && dialog->sceneWindowState() == MSceneWindow::Appeared,
                                 Timeout);
        QCOMPARE(dialog->itemText(), shown);
        tap(dialog->button(M::NoButton));
        QTRY_VERIFY(!findInScene<DeleteObjectDialog>(window->scene()));

        // The page's title, and the name its playback is remembered by.
        openPlaylist(playlist.list, playlist.name);
        SongsOfPlaylistPage* page = songsPage();
        QCOMPARE(page->titleWidget()->text(), shown);
        QTRY_COMPARE(songTitles().size(), 1);
        QVERIFY(tapRow(page->pageList(), songTitles().first()));
        QTRY_VERIFY_WITH_TIMEOUT(activities->activities().value(0).TrackerId == page->playlistId(),
                                 Timeout);
        QCOMPARE(activities->activities().first().Name, shown);
        QCOMPARE(activities->activities().first().Type, playlist.kind);

        // The tile on the main page.
        window->goToPage(PageMain);
        QTRY_COMPARE(window->currentPage(), int(PageMain));
        auto* main = qobject_cast<ParlovanceMainPage*>(window->cachedPage(PageMain));
        QTRY_COMPARE_WITH_TIMEOUT(main->latestActivityWidget()->tiles().value(0)
                                      ? main->latestActivityWidget()->tiles().at(0)->title()
                                      : QString(),
                                  shown, Timeout);
    }
    // The file and the user's playlist of the same shown name are two entries.
    QVERIFY(activities->activities().size() >= 3);
    QCOMPARE(activities->activities().at(1).Type, Activity::Playlist);
    QCOMPARE(activities->activities().at(2).Type, Activity::UserPlaylist);
    QCOMPARE(activities->activities().at(2).Name, QStringLiteral("Vol. 2"));
    screenshot(QStringLiteral("dotted-playlist-tiles"));
}

void TestPlaylistPages::automaticPlaylistCollageReachesItsTile()
{
    const QString file = QDir::homePath()
                         + QStringLiteral("/.cache/parlovance/collage/Playlist_-3.png");
    LatestActivityController* activities = LatestActivityController::instance();
    auto* main = qobject_cast<ParlovanceMainPage*>(window->cachedPage(PageMain));
    QVERIFY(main);
    auto tileOfRecentlyAdded = [&]() -> ZelOverlayLabel* {
        const QList<Activity> shown = activities->activities();
        for (int i = 0; i < shown.size(); ++i) {
            if (shown.at(i).TrackerId == -3)
                return main->latestActivityWidget()->tiles().value(i);
        }
        return nullptr;
    };

    // Songs of albums with covers of their own, so the collage is made of them; a song of an
    // album already there writes no new cover.
    auto addSongs = [](const QString& folder, const QList<QPair<const char*, QColor>>& albums,
                       int track = 1) -> QStringList {
        QStringList names;
        for (const auto& album : albums) {
            const QString name = QString::fromLatin1(album.first);
            AudioTags tags;
            tags.title = QStringLiteral("%1 Song %2").arg(name).arg(track);
            tags.artist = QStringLiteral("%1 Artist").arg(folder);
            tags.album = name;
            tags.trackNumber = track;
            tags.cover = QImage(200, 200, QImage::Format_RGB32);
            tags.cover.fill(album.second);
            if (FixtureLibrary::addSong(
                    QStringLiteral("%1/%2/%3.ogg").arg(folder, name, tags.title), tags)
                    .isEmpty())
                return {};
            names << name;
        }
        return names;
    };
    // The store keeps the time a song was added to the second: songs added later are added a
    // second later or more.
    qint64 lastAdded = 0;
    auto nextSecond = [&] {
        return QTest::qWaitFor([&] { return QDateTime::currentSecsSinceEpoch() > lastAdded; },
                               Timeout);
    };
    auto indexNow = [&] {
        const bool indexed = FixtureLibrary::index();
        lastAdded = QDateTime::currentSecsSinceEpoch();
        return indexed;
    };
    // Four albums fill the collage of the playlist.
    const QList<QPair<const char*, QColor>> early = { { "Amber", Qt::cyan },
                                                      { "Bronze", Qt::magenta },
                                                      { "Coral", Qt::darkRed },
                                                      { "Denim", Qt::gray } };
    // Covers written make every loader refresh what it shows a second later; the collage is
    // made again then. The test's own loader tells when that has happened.
    AlbumArtLoader covers(AlbumArtType::AlbumArt, QStringLiteral("common"), nullptr);
    QSignalSpy refreshed(&covers, &AlbumArtLoader::refreshAlbumArts);
    QCOMPARE(addSongs(QStringLiteral("Early"), early).size(), 4);
    QVERIFY(indexNow());
    QTRY_VERIFY_WITH_TIMEOUT(!refreshed.isEmpty(), Timeout);

    // Played once, the playlist has its tile on the main page.
    showPlaylistsPage();
    openPlaylist(playlistsPage()->automaticPlaylistsList(), "qtn_musi_playlist_recentlyadded");
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(songTitles().contains("Amber Song 1"), Timeout);
    // The page keeps its header for the playlists it shows after.
    CollageImageWidget* picture = songsPage()->playlistHeader()->picture();
    QSignalSpy saved(picture, &CollageImageWidget::imageReady);
    QVERIFY(tapRow(songsPage()->pageList(), songTitles().first()));
    QTRY_VERIFY_WITH_TIMEOUT(activities->activities().value(0).TrackerId == -3, Timeout);
    PlayState::instance()->stop(PlayState::MusicMode);
    window->goToPage(PageMain);
    QTRY_COMPARE(window->currentPage(), int(PageMain));
    QTRY_VERIFY_WITH_TIMEOUT(tileOfRecentlyAdded() && !tileOfRecentlyAdded()->image().isNull(),
                             Timeout);
    const QImage tileBefore = tileOfRecentlyAdded()->image().toImage();

    // The playlist is opened again and its header makes the collage of its four albums; then
    // songs arrive at the playlist's top, and the header composes the collage of its new first
    // albums and saves it under the playlist's name. Which comes first, the page's collage or
    // the new songs, is the user's timing; here the collage does.
    saved.clear();
    showPlaylistsPage();
    openPlaylist(playlistsPage()->automaticPlaylistsList(), "qtn_musi_playlist_recentlyadded");
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(songsPage()->playlistHeader()->picture(), picture);
    auto albumsSaved = [&] {
        QStringList albums;
        if (!saved.isEmpty()) {
            for (const auto& pair : saved.last().at(1).value<AlbumArtistPairs>())
                albums << pair.first;
        }
        return albums;
    };
    auto sorted = [](QStringList albums) {
        std::sort(albums.begin(), albums.end());
        return albums;
    };
    QTRY_COMPARE_WITH_TIMEOUT(sorted(albumsSaved()),
                              QStringList({ "Amber", "Bronze", "Coral", "Denim" }), Timeout);
    // A new song of the album on the last tile: the cover is there already (no refresh makes
    // the collage again), the album now comes first.
    const QString moved = albumsSaved().last();
    QColor movedColour;
    for (const auto& album : early) {
        if (moved == QLatin1String(album.first))
            movedColour = album.second;
    }
    const QByteArray movedName = moved.toLatin1();
    QVERIFY(nextSecond());
    QCOMPARE(
        addSongs(QStringLiteral("Early"), { { movedName.constData(), movedColour } }, 2).size(), 1);
    QVERIFY(indexNow());
    QTRY_COMPARE_WITH_TIMEOUT(songTitles().value(0), moved + QStringLiteral(" Song 2"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(albumsSaved().value(0), moved, Timeout);

    // New albums with covers of their own.
    QVERIFY(nextSecond());
    QCOMPARE(addSongs(QStringLiteral("Late"), { { "Zenith", Qt::red },
                                                { "Yonder", Qt::green },
                                                { "Xanadu", Qt::blue },
                                                { "Wavelength", Qt::yellow } })
                 .size(),
             4);
    QVERIFY(indexNow());
    QTRY_VERIFY_WITH_TIMEOUT(songTitles().contains("Zenith Song 1"), Timeout);
    // A collage made before the new songs came may be announced after them: the one looked at
    // is the one of the new albums.
    QTRY_COMPARE_WITH_TIMEOUT(sorted(albumsSaved()),
                              QStringList({ "Wavelength", "Xanadu", "Yonder", "Zenith" }), Timeout);
    QCOMPARE(saved.last().at(2).toInt(), -3);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), Timeout);
    const QImage collage(file);
    QVERIFY(!collage.isNull());
    QVERIFY2(picture->pixmap() && difference(collage, picture->pixmap()->toImage()) < 8,
             "the saved collage is not the one on the page");
    screenshot(QStringLiteral("recently-added-collage-page"));

    // The main page's tile shows the new collage.
    window->goToPage(PageMain);
    QTRY_COMPARE(window->currentPage(), int(PageMain));
    QTRY_VERIFY_WITH_TIMEOUT(tileOfRecentlyAdded()
                                 && difference(collage, tileOfRecentlyAdded()->image().toImage())
                                        < 8,
                             Timeout);
    QVERIFY(difference(tileBefore, tileOfRecentlyAdded()->image().toImage()) > 8);
    screenshot(QStringLiteral("recently-added-collage-tile"));
}

void TestPlaylistPages::headerNamesItsCollageAndSumsTheSongLengths()
{
    ModelInstance* models = ModelInstance::instance();
    // The automatic playlists that have a tile of their own go by minus their query type;
    // favourites, downloads and the playlists with a file of their own are saved as
    // "Playlist".
    const struct
    {
        MafwTrackerModel::QueryType type;
        int id;
    } cases[] = { { MafwTrackerModel::RecentlyAddedSongs, -3 },
                  { MafwTrackerModel::RecentlyPlayedSongs, -4 },
                  { MafwTrackerModel::MostPlayedSongs, -5 },
                  { MafwTrackerModel::NeverPlayedSongs, -7 },
                  { MafwTrackerModel::FavouriteSongs, 0 },
                  { MafwTrackerModel::RecentlyDownloadedSongs, 0 },
                  { MafwTrackerModel::AllSongs, 0 } };
    for (const auto& playlist : cases) {
        const QSharedPointer<MafwTrackerModel> model = models->getModel(playlist.type);
        QVERIFY(model);
        QCOMPARE(PlaylistInfoWidget::collageIdOf(model.data()), playlist.id);
    }
    QCOMPARE(PlaylistInfoWidget::collageIdOf(nullptr), 0);
    QCOMPARE(PlaylistInfoWidget::collageSaveName(-3), QStringLiteral("Playlist_-3"));
    QCOMPARE(PlaylistInfoWidget::collageSaveName(0), QStringLiteral("Playlist"));

    // The total length is that of the column of song lengths: a model without one sums to
    // nothing, whatever its other columns hold.
    const QSharedPointer<MafwTrackerModel> albums = models->getModel(MafwTrackerModel::AllAlbums);
    QTRY_VERIFY_WITH_TIMEOUT(albums->rowCount() > 0, Timeout);
    PlaylistInfoWidget panel(albums);
    QCOMPARE(panel.lengthLabel()->text(), ZelTime::timeString(0, false));
    const QSharedPointer<MafwTrackerModel> songs = models->getModel(MafwTrackerModel::AllSongs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->rowCount() > 0, Timeout);
    int total = 0;
    for (int row = 0; row < songs->rowCount(); ++row)
        total += songLength(songs.data(), row);
    panel.setModel(songs);
    QCOMPARE(panel.lengthLabel()->text(), ZelTime::timeString(total, false));
}

void TestPlaylistPages::anEmptyPlaylistLeavesThePlayingAlbumAlone()
{
    // An album of two long songs plays; another program follows the player on the bus. The
    // user's playlist "Solo" held one song of another album, which was deleted since.
    const char* const songs[][3] = { { "Ann/Long/01.ogg", "Dawn", "Long" },
                                     { "Ann/Long/02.ogg", "Dusk", "Long" },
                                     { "Ann/Short/01.ogg", "Lone", "Short" } };
    for (int i = 0; i < 3; ++i) {
        const AudioTags tags { QString::fromLatin1(songs[i][1]),
                               QStringLiteral("Ann"),
                               QString::fromLatin1(songs[i][2]),
                               QString(),
                               QStringLiteral("Pop"),
                               i + 1,
                               2020,
                               QImage() };
        QVERIFY(!FixtureLibrary::addSong(QString::fromLatin1(songs[i][0]), tags, 60000).isEmpty());
    }
    QVERIFY(FixtureLibrary::index());
    QTRY_VERIFY_WITH_TIMEOUT(songId("Dawn") > 0 && songId("Dusk") > 0 && songId("Lone") > 0,
                             Timeout);
    QVERIFY(makePlaylist(QStringLiteral("Solo"), { "Lone" }) > 0);
    const int lone = songId("Lone");
    MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems(QList<int>() << lone,
                                                                        MafwTrackerModel::NoList);
    QTRY_COMPARE_WITH_TIMEOUT(songId("Lone"), -1, Timeout);
    const int albumColumn = QuintaveilPage::columnForKey(allSongs.data(), "albumId");
    int albumId = 0;
    for (int row = 0; row < allSongs->rowCount(); ++row) {
        if (allSongs->index(row, 1).data().toString() == QLatin1String("Dawn"))
            albumId = allSongs->index(row, albumColumn).data().toInt();
    }
    QVERIFY(albumId > 0);
    QSharedPointer<MafwTrackerModel> album(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfAlbum, 0, albumId));
    QTRY_COMPARE_WITH_TIMEOUT(album->rowCount(), 2, Timeout);
    PlayState* hub = PlayState::instance();
    hub->appendModel(album, PlayState::ReplaceQueue, -1);
    QCOMPARE(hub->startPlayback(0, PlayState::PlayNow), 0);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Dawn"));

    ParlovanceService::instance();
    const QString busName = QStringLiteral("media-listener");
    const auto closeBus = qScopeGuard([&] {
        ParlovanceService::destroyInstance();
        QDBusConnection::disconnectFromBus(busName);
    });
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, busName);
    MediaListener listener;
    QVERIFY(bus.connect(QLatin1String(ParlovanceService::ServiceName), QStringLiteral("/"),
                        QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface"),
                        QStringLiteral("mediaChanged"), &listener,
                        SLOT(mediaChanged(QStringList))));

    // Playlists shows "Solo" without songs. Play from its menu tells so, and leaves the album
    // alone: the same queue at the same song, the button to the player still there.
    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    QTRY_VERIFY_WITH_TIMEOUT(rowTitled(rowsOf(page->userPlaylistsList()), "Solo").isValid(),
                             Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(
        rowTitled(rowsOf(page->userPlaylistsList()), "Solo").data(Qt::UserRole + 3).toInt(), 0,
        Timeout);
    QVERIFY(longTapRow(page->userPlaylistsList(), "Solo"));
    QVERIFY(chooseFromMenu(QStringLiteral("Play")));
    QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(qtTrId("qtn_musi_empty_playlist")),
                             Timeout);
    QCOMPARE(window->currentPage(), int(PagePlaylists));
    QCOMPARE(hub->songCount(PlayState::MusicMode), 2);
    QCOMPARE(hub->currentIndex(PlayState::MusicMode), 0);
    QCOMPARE(hub->title(PlayState::MusicMode), QStringLiteral("Dawn"));
    QCOMPARE(hub->state(PlayState::MusicMode), PlayState::Playing);
    QVERIFY(page->nowPlayingButton() && page->nowPlayingButton()->isVisible());

    // The song ends and the album goes on; the bus never said that nothing plays.
    hub->setPosition(58, PlayState::MusicMode);
    QTRY_COMPARE_WITH_TIMEOUT(hub->title(PlayState::MusicMode), QStringLiteral("Dusk"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!listener.heard.isEmpty()
                                 && listener.heard.last().value(1) == QLatin1String("Dusk"),
                             Timeout);
    for (const QStringList& media : qAsConst(listener.heard))
        QVERIFY2(media.value(0) != QLatin1String("2"), qPrintable(media.join(QLatin1Char(' '))));
}

void TestPlaylistPages::aPlaylistLeftInAnEmptiedLibraryLiesOverNothing()
{
    // The user's playlist outlives the songs in it. With every song gone the page shows its
    // empty text under its title, and no playlist row or "My playlists" lies over them.
    QVERIFY(makePlaylist(QStringLiteral("Late night"), { "Scarlet" }) > 0);
    showPlaylistsPage();
    QTRY_VERIFY_WITH_TIMEOUT(playlistsPage()->myPlaylistsContainer()->isVisible(), Timeout);
    window->goToPage(PageMain);
    QTRY_COMPARE(window->currentPage(), int(PageMain));

    QDir music(TestEnvironment::musicDir());
    QVERIFY(music.removeRecursively());
    QVERIFY(QDir().mkpath(TestEnvironment::musicDir()));
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), 0, Timeout);
    const QSharedPointer<MafwTrackerModel> user = ModelInstance::instance()->getModel(
        MafwTrackerModel::UserPlaylists);
    QVERIFY(user->rowCount() > 0);

    showPlaylistsPage();
    PlaylistCollectionPage* page = playlistsPage();
    QTRY_VERIFY_WITH_TIMEOUT(page->showsEmptyLayout(), Timeout);
    QTest::qWait(200);
    QCOMPARE(window->currentPage(), int(PagePlaylists));
    QVERIFY(page->emptyStateLabel()->isVisible());
    QVERIFY(!page->myPlaylistsContainer()->isVisible());
    QVERIFY(!page->userPlaylistsList()->isVisible());
    // The empty text has the page below the title to itself.
    QVERIFY(page->emptyStateLabel()->sceneBoundingRect().height() > 200);
    screenshot(QStringLiteral("playlists-page-emptied-library"));
}

PARLOVANCE_TEST_MAIN(TestPlaylistPages)
#include "tst_playlistpages.moc"
