// The long-tap object menu of the page base on a real window over a fixture library in the real
// store: the entries of each menu type, the favourite, details, queue, ringtone and playlist
// entries, and deleting songs, albums, artists and playlists after the confirmation dialog. The
// menu is opened by holding a finger on a list row and its entries are chosen by taps, as a
// user does. Two screenshots (the open menu, the delete dialog) go into
// $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "testpage.h"
#include "librarywindow.h"

#include "common/constants.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodelfactory.h"
#include "menuentry.h"
#include "maction.h"
#include "mapplication.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mlist.h"
#include "mlocale.h"
#include "mobjectmenu.h"
#include "mtextedit.h"
#include "pageframework/deleteobjectdialog.h"
#include "pageframework/ringtonesetter.h"
#include "playback/playstate.h"
#include "playlists/playlistsavesheet.h"
#include "playlists/playlistselectionsheet.h"
#include "profile.h"
#include "shell/mainwindow.h"
#include "scenesearch.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>

#include <cstdlib>
#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

// The row of a model whose column 1 is the text; -1 when none.
int modelRow(const QAbstractItemModel* model, const QString& name)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == name)
            return row;
    }
    return -1;
}

int cell(const QAbstractItemModel* model, const QString& name, const QString& key)
{
    const int row = modelRow(model, name);
    const int column = QuintaveilPage::columnForKey(model, key);
    return row < 0 || column < 0 ? -1 : model->index(row, column).data().toInt();
}

QStringList entryTexts(MObjectMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts.append(action->text());
    return texts;
}

QStringList criticalMessages;
QtMessageHandler previousHandler = nullptr;

// Sees the critical messages and hands every message on.
void watchCriticals(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg)
        criticalMessages.append(message);
    if (previousHandler)
        previousHandler(type, context, message);
}

// How many deletions the store has carried out that were asked for before this call: an
// empty request goes through the same ordered writer, so its answer comes after theirs.
int deletionsSoFar()
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
    factory->deleteItems({}, MafwTrackerModel::AllSongs);
    if (!finished.wait(Timeout))
        return -1;
    return finished.count() - 1;
}

QString ringingTone()
{
    char* value = profile_get_value("general", "ringing.alert.tone");
    const QString tone = value ? QString::fromLocal8Bit(value) : QString();
    std::free(value);
    return tone;
}

// A collection list (albums, artists, playlists) plays and queues the songs of its items, as
// the collection pages do.
class CollectionTestPage : public TestPage
{
public:
    CollectionTestPage(MainWindow* window, ObjectMenuType menu)
        : TestPage(window, false, menu)
    {
    }

    QHash<QString, QVariant> itemParameters(const QModelIndex& index) override
    {
        QHash<QString, QVariant> parameters;
        const int row = sourceRow(index);
        if (!pageModel || row < 0)
            return parameters;
        MafwTrackerModel::QueryType songs = MafwTrackerModel::SongsOfAlbum;
        Activity::ActivityType activity = Activity::Album;
        QString key = QStringLiteral("albumId");
        if (pageModel->queryType() == MafwTrackerModel::AllArtists) {
            songs = MafwTrackerModel::SongsOfArtist;
            activity = Activity::Artist;
            key = QStringLiteral("artistId");
        } else if (pageModel->queryType() == MafwTrackerModel::UserPlaylists) {
            songs = MafwTrackerModel::SongsOfUserPlaylist;
            activity = Activity::UserPlaylist;
            key = QStringLiteral("playlistId");
        }
        const int id = pageModel->index(row, columnForKey(pageModel.data(), key)).data().toInt();
        MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
        parameters.insert(QStringLiteral("model"),
                          QVariant::fromValue(
                              QSharedPointer<MafwTrackerModel>(factory->getModel(songs, 0, id))));
        parameters.insert(QStringLiteral("trackerId"), id);
        parameters.insert(QStringLiteral("name"), pageModel->index(row, 1).data().toString());
        parameters.insert(QStringLiteral("type"), int(activity));
        return parameters;
    }
};

} // namespace

class TestObjectMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void eachMenuTypeListsItsEntriesInOrder();
    void favouriteEntryFollowsTheSongAndReachesTheStore();
    void detailsOpenTheSongDetailsPage();
    void queueEntryAddsTheTappedSong();
    void ringtoneIsSetForTheLatestRequest();
    void addToPlaylistOpensTheSheetForTheItem();
    void deletingASongAsksNamingItAndNoKeepsIt();
    void deleteActsOnTheTappedSongWhenRowsMove();
    void deletingAlbumsArtistsAndPlaylists();
    void specialRowsNeverStandForAnEarlierRow();

private:
    TestPage* showPage(ObjectMenuType menu, QSharedPointer<MafwTrackerModel> model);
    // Holds a finger on the row until the menu is there, then lifts it.
    bool longTap(TestPage* page, const QString& title);
    // Taps the menu's entry of that text; the entry runs once the menu has gone.
    bool choose(TestPage* page, const QString& text);
    DeleteObjectDialog* waitForDeleteDialog();
    void answer(DeleteObjectDialog* dialog, bool yes);
    QSharedPointer<MafwTrackerModel> model(MafwTrackerModel::QueryType type, int id = 0);
    bool addSongs(const QList<FixtureLibrary::Song>& songs);

    // A tap on the middle of the widget.
    void tapWidget(QGraphicsWidget* widget);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
    QSharedPointer<MafwTrackerModel> allSongs;
    QList<TestPage*> pages;
};

void TestObjectMenu::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    MBanner::setDisplayDurationForTesting(50);

    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(factory->isReady(), Timeout);
    allSongs = model(MafwTrackerModel::AllSongs);
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), 9, Timeout);

    openWindow(&window, Timeout);
    QVERIFY(window && window->isPreloadingDone());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestObjectMenu::tapWidget(QGraphicsWidget* widget)
{
    finger->tap(widget->mapToScene(widget->boundingRect().center()));
}

void TestObjectMenu::init()
{
    // A list page is current: the page lets the list have the long taps.
    window->goToPage(PageAllSongs);
    MBanner::clearShownTitles();
    PlayState::instance()->setShuffle(false);
    PlayState::instance()->setUpdatingLibrary(false);
}

void TestObjectMenu::cleanup()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    hub->clearPlayQueue();
    for (TestPage* page : qAsConst(pages))
        delete page;
    pages.clear();
    // A failed case must not leave a sheet or a dialog over the next one's list.
    while (auto* sheet = findInScene<PlaylistSelectionSheet>(window->scene()))
        delete sheet;
    while (auto* sheet = findInScene<PlaylistSaveSheet>(window->scene()))
        delete sheet;
    while (auto* dialog = findInScene<MDialog>(window->scene()))
        delete dialog;
    QCoreApplication::processEvents();
}

void TestObjectMenu::cleanupTestCase()
{
    finger.reset();
    window.reset();
    allSongs.reset();
}

QSharedPointer<MafwTrackerModel> TestObjectMenu::model(MafwTrackerModel::QueryType type, int id)
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return QSharedPointer<MafwTrackerModel>(factory->getModel(type, 0, id));
}

bool TestObjectMenu::addSongs(const QList<FixtureLibrary::Song>& songs)
{
    for (const FixtureLibrary::Song& song : songs) {
        if (FixtureLibrary::addSong(song).isEmpty())
            return false;
    }
    return FixtureLibrary::index();
}

TestPage* TestObjectMenu::showPage(ObjectMenuType menu, QSharedPointer<MafwTrackerModel> model)
{
    TestPage* page = menu == SongObjectMenu || menu == SongObjectMenuWithoutDelete
                         ? new TestPage(window.get(), false, menu)
                         : new CollectionTestPage(window.get(), menu);
    pages.append(page);
    page->setModel(model);
    page->appear(window.get());
    return page;
}

bool TestObjectMenu::longTap(TestPage* page, const QString& title)
{
    const QModelIndex row = page->waitForVisibleRow(title);
    if (!row.isValid())
        return false;
    MObjectMenu* menu = page->pageObjectMenu();
    QElapsedTimer held;
    held.start();
    // A menu on its way out still covers the list.
    while (held.elapsed() < Timeout && menu
           && menu->sceneWindowState() != MSceneWindow::Disappeared)
        QTest::qWait(20);
    MWidget* cellWidget = page->pageList()->visibleCell(row);
    const QPointF at = cellWidget->mapToScene(cellWidget->boundingRect().center());
    finger->press(at);
    held.restart();
    while (held.elapsed() < Timeout
           && (!menu || menu->sceneWindowState() != MSceneWindow::Appeared))
        QTest::qWait(20);
    finger->release(at);
    if (!menu || menu->sceneWindowState() != MSceneWindow::Appeared)
        window->grab().toImage().save(TestEnvironment::screenshotDir()
                                      + QStringLiteral("/debug-longtap.png"));
    return menu && menu->sceneWindowState() == MSceneWindow::Appeared;
}

bool TestObjectMenu::choose(TestPage* page, const QString& text)
{
    MObjectMenu* menu = page->pageObjectMenu();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < Timeout && menu->sceneWindowState() != MSceneWindow::Appeared)
        QTest::qWait(20);
    return chooseMenuEntry(*finger, menu, text, Timeout);
}

DeleteObjectDialog* TestObjectMenu::waitForDeleteDialog()
{
    DeleteObjectDialog* dialog = nullptr;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < Timeout) {
        dialog = findInScene<DeleteObjectDialog>(window->scene());
        if (dialog && dialog->sceneWindowState() == MSceneWindow::Appeared)
            return dialog;
        QTest::qWait(20);
    }
    return nullptr;
}

void TestObjectMenu::answer(DeleteObjectDialog* dialog, bool yes)
{
    QPointer<DeleteObjectDialog> guard(dialog);
    tapWidget(dialog->button(yes ? M::YesButton : M::NoButton));
    // The dialog goes and is deleted by the platform.
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
}

void TestObjectMenu::eachMenuTypeListsItsEntriesInOrder()
{
    const QStringList songEntries { "Add to queue", "Add to playlist", "Mark as favourite",
                                    "Details",      "Set as ringtone", "Delete" };
    struct Case
    {
        ObjectMenuType type;
        QStringList entries;
    };
    const Case cases[] = {
        { NoObjectMenu, {} },
        { SongObjectMenu, songEntries },
        { CollectionObjectMenu, { "Play", "Add to queue", "Add to playlist", "Delete" } },
        { CollectionObjectMenuWithoutPlaylist, { "Play", "Add to queue", "Delete" } },
        { SongObjectMenuWithoutDelete, songEntries.mid(0, 5) },
        { ObjectMenuType(7), {} },
    };
    for (const Case& c : cases) {
        auto* page = new TestPage(window.get(), false, c.type);
        pages.append(page);
        MObjectMenu* menu = page->pageObjectMenu();
        if (c.entries.isEmpty()) {
            QVERIFY2(!menu, qPrintable(QString::number(c.type)));
            continue;
        }
        QVERIFY(menu);
        QCOMPARE(menu->styleName(), QStringLiteral("Inverted"));
        QCOMPARE(entryTexts(menu), c.entries);
        for (QAction* action : menu->actions())
            QCOMPARE(qobject_cast<MAction*>(action)->location(),
                     MAction::Locations(MAction::ObjectMenuLocation));
    }

    // The open menu, for the eye.
    TestPage* page = showPage(SongObjectMenu, allSongs);
    QVERIFY(longTap(page, QStringLiteral("Crimson")));
    QCoreApplication::processEvents();
    const QString path = TestEnvironment::screenshotDir() + QStringLiteral("/object-menu.png");
    QVERIFY(window->grab().toImage().save(path));
    qInfo().noquote() << "screenshot:" << path;
    // A tap beside the panel closes the menu without running anything.
    finger->tap(QPointF(5, 5));
    QTRY_COMPARE(page->pageObjectMenu()->sceneWindowState(), MSceneWindow::Disappeared);
}

void TestObjectMenu::favouriteEntryFollowsTheSongAndReachesTheStore()
{
    TestPage* page = showPage(SongObjectMenu, allSongs);
    const QSharedPointer<MafwTrackerModel> favourites = model(MafwTrackerModel::FavouriteSongs);
    QTRY_VERIFY_WITH_TIMEOUT(favourites->isComplete(), Timeout);
    QCOMPARE(modelRow(favourites.data(), QStringLiteral("Navy")), -1);
    const int favouriteColumn = QuintaveilPage::columnForKey(allSongs.data(), "favorited");

    QVERIFY(longTap(page, QStringLiteral("Navy")));
    QCOMPARE(entryTexts(page->pageObjectMenu()).at(2), QStringLiteral("Mark as favourite"));
    QVERIFY(choose(page, QStringLiteral("Mark as favourite")));
    // The store has it, and so has every live model.
    QTRY_VERIFY_WITH_TIMEOUT(modelRow(favourites.data(), QStringLiteral("Navy")) >= 0, Timeout);
    QTRY_VERIFY(
        allSongs->index(modelRow(allSongs.data(), "Navy"), favouriteColumn).data().toBool());

    QVERIFY(longTap(page, QStringLiteral("Navy")));
    QCOMPARE(entryTexts(page->pageObjectMenu()).at(2), QStringLiteral("Remove from favourites"));
    // The next song that is no favourite shows the plain text again.
    page->pageObjectMenu()->disappear();
    QVERIFY(longTap(page, QStringLiteral("Cobalt")));
    QCOMPARE(entryTexts(page->pageObjectMenu()).at(2), QStringLiteral("Mark as favourite"));
    page->pageObjectMenu()->disappear();

    QVERIFY(longTap(page, QStringLiteral("Navy")));
    QVERIFY(choose(page, QStringLiteral("Remove from favourites")));
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(favourites.data(), QStringLiteral("Navy")), -1, Timeout);
}

void TestObjectMenu::detailsOpenTheSongDetailsPage()
{
    TestPage* page = showPage(SongObjectMenu, allSongs);
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));
    QVERIFY(longTap(page, QStringLiteral("Jade")));
    QVERIFY(choose(page, QStringLiteral("Details")));
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.first().at(0).value<ParlovancePages>(), PageSongDetails);
    const int jade = cell(allSongs.data(), QStringLiteral("Jade"), QStringLiteral("songId"));
    QVERIFY(jade > 0);
    QCOMPARE(asked.first().at(1).value<QVariant>(), QVariant(jade));
    QCOMPARE(window->currentPage(), int(PageSongDetails));
}

void TestObjectMenu::queueEntryAddsTheTappedSong()
{
    PlayState* hub = PlayState::instance();
    TestPage* page = showPage(SongObjectMenu, allSongs);
    QVERIFY(longTap(page, QStringLiteral("Crimson")));
    QVERIFY(choose(page, QStringLiteral("Add to queue")));
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 1, Timeout);
    QTRY_VERIFY(MBanner::shownTitles().contains(QStringLiteral("1 song added to queue")));

    // A collection entry queues all of its songs, and plays them.
    TestPage* albums = showPage(CollectionObjectMenu, model(MafwTrackerModel::AllAlbums));
    QVERIFY(longTap(albums, QStringLiteral("Red")));
    QVERIFY(choose(albums, QStringLiteral("Add to queue")));
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 3, Timeout);
    QVERIFY(longTap(albums, QStringLiteral("Green")));
    QVERIFY(choose(albums, QStringLiteral("Play")));
    QTRY_COMPARE_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode), 2, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->album(PlayState::MusicMode), QStringLiteral("Green"));
}

void TestObjectMenu::ringtoneIsSetForTheLatestRequest()
{
    TestPage* page = showPage(SongObjectMenu, allSongs);
    QVERIFY(longTap(page, QStringLiteral("Cobalt")));
    QVERIFY(choose(page, QStringLiteral("Set as ringtone")));
    QTRY_VERIFY_WITH_TIMEOUT(MBanner::shownTitles().contains(QStringLiteral("Ringtone set")),
                             Timeout);
    QCOMPARE(ringingTone(), FixtureLibrary::pathOf(QStringLiteral("Kim/Blue/02.ogg")));

    // Two requests in a row: only the second song becomes the tone.
    RingtoneSetter* setter = RingtoneSetter::instance();
    MBanner::clearShownTitles();
    setter->setAsRingtone(cell(allSongs.data(), QStringLiteral("Azure"), QStringLiteral("songId")));
    setter->setAsRingtone(cell(allSongs.data(), QStringLiteral("Jade"), QStringLiteral("songId")));
    QTRY_COMPARE_WITH_TIMEOUT(setter->pendingTrackerId(), -1, Timeout);
    QCOMPARE(ringingTone(), FixtureLibrary::pathOf(QStringLiteral("Lee/Green/02.ogg")));
    QTRY_COMPARE(MBanner::shownTitles(), QStringList { QStringLiteral("Ringtone set") });

    // A profile name never leaves the profiles folder.
    QCOMPARE(profile_set_value("../general", "ringing.alert.tone", "/x"), -1);
    QCOMPARE(profile_set_value("a/b", "ringing.alert.tone", "/x"), -1);
    QCOMPARE(profile_set_value("general", "", "/x"), -1);
    QVERIFY(!QFile::exists(TestEnvironment::configHome() + QStringLiteral("/general.ini")));

    // An id below 1 is kept but never looked up.
    setter->setAsRingtone(0);
    QCOMPARE(setter->pendingTrackerId(), 0);
    QCOMPARE(ringingTone(), FixtureLibrary::pathOf(QStringLiteral("Lee/Green/02.ogg")));

    // A song whose file has gone: no banner, the tone stays, the request waits.
    QVERIFY(addSongs({ { "Gone/ghost.ogg", "Ghost", "Spook", "Haunt", "", 1, 0, 1000 } }));
    QTRY_VERIFY_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Ghost")) >= 0, Timeout);
    const int ghost = cell(allSongs.data(), QStringLiteral("Ghost"), QStringLiteral("songId"));
    QVERIFY(QFile::remove(FixtureLibrary::pathOf(QStringLiteral("Gone/ghost.ogg"))));
    MBanner::clearShownTitles();
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("Failed to set ringtone"));
    criticalMessages.clear();
    previousHandler = qInstallMessageHandler(watchCriticals);
    setter->setAsRingtone(ghost);
    QTRY_VERIFY_WITH_TIMEOUT(
        criticalMessages.filter(QStringLiteral("Failed to set ringtone")).size() == 1, Timeout);
    qInstallMessageHandler(previousHandler);
    QCOMPARE(setter->pendingTrackerId(), ghost);
    QVERIFY(MBanner::shownTitles().isEmpty());
    QCOMPARE(ringingTone(), FixtureLibrary::pathOf(QStringLiteral("Lee/Green/02.ogg")));
    // The library forgets the song; the lists hear of it before the next case taps them.
    QVERIFY(FixtureLibrary::index());
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Ghost")), -1, Timeout);
}

void TestObjectMenu::addToPlaylistOpensTheSheetForTheItem()
{
    const QSharedPointer<MafwTrackerModel> playlists = model(MafwTrackerModel::UserPlaylists);
    QTRY_VERIFY_WITH_TIMEOUT(playlists->isComplete(), Timeout);
    TestPage* page = showPage(SongObjectMenu, allSongs);

    // A new playlist, named in the sheet's dialog, holds the song.
    QVERIFY(longTap(page, QStringLiteral("Azure")));
    QVERIFY(choose(page, QStringLiteral("Add to playlist")));
    PlaylistSelectionSheet* sheet = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((sheet = findInScene<PlaylistSelectionSheet>(window->scene()))
                                 && sheet->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    QCOMPARE(sheet->itemType(), int(MafwTrackerModelFactory::SongItems));
    const int azure = cell(allSongs.data(), QStringLiteral("Azure"), "songId");
    QCOMPARE(sheet->itemId(), azure);
    QPointer<PlaylistSelectionSheet> sheetGuard(sheet);
    tapWidget(sheet->createButton());
    QTRY_VERIFY_WITH_TIMEOUT(!sheetGuard, Timeout);
    PlaylistSaveSheet* namer = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((namer = findInScene<PlaylistSaveSheet>(window->scene()))
                                 && namer->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    QCOMPARE(namer->itemIds(), QList<int>({ azure }));
    QCOMPARE(namer->itemType(), int(MafwTrackerModelFactory::SongItems));
    // A name of blanks is no name: the dialog stays.
    namer->nameEdit()->setText(QStringLiteral("   "));
    tapWidget(namer->button(M::SaveButton));
    QCoreApplication::processEvents();
    QCOMPARE(namer->sceneWindowState(), MSceneWindow::Appeared);
    namer->nameEdit()->setText(QStringLiteral("Road mix"));
    QPointer<PlaylistSaveSheet> namerGuard(namer);
    tapWidget(namer->button(M::SaveButton));
    QTRY_VERIFY_WITH_TIMEOUT(!namerGuard, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(modelRow(playlists.data(), QStringLiteral("Road mix")) >= 0, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(cell(playlists.data(), "Road mix", "playlistTrackCount"), 1, Timeout);

    // An album of the albums list goes into the playlist the user picks.
    TestPage* albums = showPage(CollectionObjectMenu, model(MafwTrackerModel::AllAlbums));
    QVERIFY(longTap(albums, QStringLiteral("Red")));
    QVERIFY(choose(albums, QStringLiteral("Add to playlist")));
    QTRY_VERIFY_WITH_TIMEOUT((sheet = findInScene<PlaylistSelectionSheet>(window->scene()))
                                 && sheet->sceneWindowState() == MSceneWindow::Appeared,
                             Timeout);
    QCOMPARE(sheet->itemType(), int(MafwTrackerModelFactory::AlbumItems));
    QAbstractItemModel* rows = sheet->playlistList()->itemModel();
    QModelIndex pick;
    QTRY_VERIFY(
        (pick = rows->index(modelRow(playlists.data(), QStringLiteral("Road mix")), 0)).isValid()
        && sheet->playlistList()->visibleCell(pick));
    QCOMPARE(pick.data(Qt::UserRole + 1).toString(), QStringLiteral("Road mix"));
    sheetGuard = sheet;
    tapWidget(sheet->playlistList()->visibleCell(pick));
    QTRY_VERIFY_WITH_TIMEOUT(!sheetGuard, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(cell(playlists.data(), "Road mix", "playlistTrackCount"), 3, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles().size(), 1, Timeout);
    QCOMPARE(MBanner::shownTitles().first(), QStringLiteral("2 songs added to Road mix"));
}

void TestObjectMenu::deletingASongAsksNamingItAndNoKeepsIt()
{
    QVERIFY(addSongs({ { "Doom/doomed.ogg", "Doomed", "Doomer", "Doom", "", 1, 0, 1000 } }));
    QTRY_VERIFY_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Doomed")) >= 0, Timeout);
    TestPage* page = showPage(SongObjectMenu, allSongs);
    const QSharedPointer<MafwTrackerModel> ofArtist = model(MafwTrackerModel::SongsOfArtist,
                                                            cell(allSongs.data(),
                                                                 QStringLiteral("Doomed"),
                                                                 QStringLiteral("artistId")));
    QTRY_COMPARE_WITH_TIMEOUT(ofArtist->rowCount(), 1, Timeout);

    // No keeps the song.
    QVERIFY(longTap(page, QStringLiteral("Doomed")));
    QVERIFY(choose(page, QStringLiteral("Delete")));
    DeleteObjectDialog* dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QStringLiteral("Delete song?"));
    QCOMPARE(dialog->itemText(), QStringLiteral("Doomed"));
    QCoreApplication::processEvents();
    const QString path = TestEnvironment::screenshotDir() + QStringLiteral("/delete-dialog.png");
    QVERIFY(window->grab().toImage().save(path));
    qInfo().noquote() << "screenshot:" << path;
    answer(dialog, false);
    QCOMPARE(deletionsSoFar(), 0);
    QVERIFY(modelRow(allSongs.data(), QStringLiteral("Doomed")) >= 0);
    QVERIFY(QFile::exists(FixtureLibrary::pathOf(QStringLiteral("Doom/doomed.ogg"))));

    // Yes removes it from the store, its file and every live model.
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
    QVERIFY(longTap(page, QStringLiteral("Doomed")));
    QVERIFY(choose(page, QStringLiteral("Delete")));
    dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    answer(dialog, true);
    QVERIFY(finished.count() == 1 || finished.wait(Timeout));
    QCOMPARE(finished.first().at(0).toInt(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Doomed")), -1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(ofArtist->rowCount(), 0, Timeout);
    QVERIFY(!QFile::exists(FixtureLibrary::pathOf(QStringLiteral("Doom/doomed.ogg"))));
    QCOMPARE(allSongs->rowCount(), 9);
}

void TestObjectMenu::deleteActsOnTheTappedSongWhenRowsMove()
{
    QVERIFY(addSongs({ { "Shift/b.ogg", "Adder", "Shifter", "Shift", "", 1, 0, 1000 },
                       { "Shift/t.ogg", "Alpha", "Shifter", "Shift", "", 2, 0, 1000 } }));
    TestPage* page = showPage(SongObjectMenu, allSongs);
    QVERIFY(longTap(page, QStringLiteral("Alpha")));

    // Rows come before the tapped one while the menu is open ...
    QVERIFY(addSongs({ { "Shift/a.ogg", "Aardvark", "Shifter", "Shift", "", 3, 0, 1000 } }));
    QTRY_VERIFY_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Aardvark")) >= 0, Timeout);
    QVERIFY(choose(page, QStringLiteral("Delete")));
    DeleteObjectDialog* dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->itemText(), QStringLiteral("Alpha"));

    // ... and go while the question is open.
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
    factory->deleteItems({ cell(allSongs.data(), QStringLiteral("Adder"), "songId") },
                         MafwTrackerModel::AllSongs);
    QVERIFY(finished.wait(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Adder")), -1, Timeout);

    answer(dialog, true);
    QVERIFY(finished.count() == 2 || finished.wait(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Alpha")), -1, Timeout);
    QVERIFY(modelRow(allSongs.data(), QStringLiteral("Aardvark")) >= 0);
    QCOMPARE(allSongs->rowCount(), 10);

    // The menu of a row whose song has gone meanwhile does nothing.
    QVERIFY(longTap(page, QStringLiteral("Aardvark")));
    factory->deleteItems({ cell(allSongs.data(), QStringLiteral("Aardvark"), "songId") },
                         MafwTrackerModel::AllSongs);
    QVERIFY(finished.wait(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Aardvark")), -1, Timeout);
    QSignalSpy asked(page, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)));
    QVERIFY(choose(page, QStringLiteral("Delete")));
    QVERIFY(!findInScene<DeleteObjectDialog>(window->scene()));
    QCOMPARE(allSongs->rowCount(), 9);
}

void TestObjectMenu::deletingAlbumsArtistsAndPlaylists()
{
    QVERIFY(addSongs({ { "Gone/a1.ogg", "Ash", "Cinder", "Embers", "", 1, 0, 1000 },
                       { "Gone/a2.ogg", "Soot", "Cinder", "Embers", "", 2, 0, 1000 },
                       { "Gone/b1.ogg", "Smoke", "Fumes", "Haze", "", 1, 0, 1000 } }));
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
    int deletions = 0;

    // An album: its songs go with it.
    TestPage* albums = showPage(CollectionObjectMenu, model(MafwTrackerModel::AllAlbums));
    QVERIFY(longTap(albums, QStringLiteral("Embers")));
    QVERIFY(choose(albums, QStringLiteral("Delete")));
    DeleteObjectDialog* dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QStringLiteral("Delete album?"));
    QCOMPARE(dialog->itemText(), QStringLiteral("Embers"));
    answer(dialog, true);
    ++deletions;
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), deletions, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(albums->currentPageModel().data(), "Embers"), -1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Ash")), -1, Timeout);
    QCOMPARE(modelRow(allSongs.data(), QStringLiteral("Soot")), -1);
    QVERIFY(modelRow(allSongs.data(), QStringLiteral("Smoke")) >= 0);

    // An artist.
    TestPage* artists = showPage(CollectionObjectMenu, model(MafwTrackerModel::AllArtists));
    QVERIFY(longTap(artists, QStringLiteral("Fumes")));
    QVERIFY(choose(artists, QStringLiteral("Delete")));
    dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QStringLiteral("Delete artist?"));
    QCOMPARE(dialog->itemText(), QStringLiteral("Fumes"));
    answer(dialog, true);
    ++deletions;
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), deletions, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(artists->currentPageModel().data(), "Fumes"), -1, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Smoke")), -1, Timeout);
    QCOMPARE(allSongs->rowCount(), 9);

    // A user playlist on the playlists page: the delete entry is there while permitted.
    factory->createPlaylist(QStringLiteral("Old list"), MafwTrackerModelFactory::SongItems,
                            { cell(allSongs.data(), QStringLiteral("Azure"), "songId") });
    window->goToPage(PagePlaylists);
    TestPage* playlists = showPage(CollectionObjectMenuWithoutPlaylist,
                                   model(MafwTrackerModel::UserPlaylists));
    playlists->setDeletePermission(false);
    QVERIFY(longTap(playlists, QStringLiteral("Old list")));
    QCOMPARE(entryTexts(playlists->pageObjectMenu()),
             (QStringList { QStringLiteral("Play"), QStringLiteral("Add to queue") }));
    playlists->pageObjectMenu()->disappear();
    playlists->setDeletePermission(true);
    QVERIFY(longTap(playlists, QStringLiteral("Old list")));
    QCOMPARE(entryTexts(playlists->pageObjectMenu()).last(), QStringLiteral("Delete"));
    QVERIFY(choose(playlists, QStringLiteral("Delete")));
    dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QStringLiteral("Delete playlist?"));
    QCOMPARE(dialog->itemText(), QStringLiteral("Old list"));
    answer(dialog, true);
    ++deletions;
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), deletions, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(playlists->currentPageModel().data(), "Old list"), -1,
                              Timeout);
    // Its songs stay in the library.
    QCOMPARE(allSongs->rowCount(), 9);
}

void TestObjectMenu::specialRowsNeverStandForAnEarlierRow()
{
    window->goToPage(PageArtists);
    TestPage* artists = showPage(CollectionObjectMenu, model(MafwTrackerModel::AllArtists));

    // A real row first, then the unknown-artist row: its entries act on the unknown artist.
    QVERIFY(longTap(artists, QStringLiteral("Kim")));
    artists->pageObjectMenu()->disappear();
    artists->handleListItemLongTap(QModelIndex(), QPointF());
    artists->markSpecialRow(ItemMenu::UnknownArtistRow);
    QVERIFY(!artists->longTappedItem().isValid());
    QVERIFY(choose(artists, QStringLiteral("Delete")));
    DeleteObjectDialog* dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QStringLiteral("Delete artist?"));
    QCOMPARE(dialog->itemText(), QStringLiteral("Unknown artist"));
    answer(dialog, false);
    QCOMPARE(deletionsSoFar(), 0);
    QVERIFY(QFile::exists(FixtureLibrary::pathOf(QStringLiteral("Loose/nobody.ogg"))));
    QCOMPARE(allSongs->rowCount(), 9);

    // The unknown album of one artist has no playlist item: nothing is offered in its place.
    QVERIFY(longTap(artists, QStringLiteral("Kim")));
    artists->pageObjectMenu()->disappear();
    artists->handleListItemLongTap(QModelIndex(), QPointF());
    artists->markSpecialRow(ItemMenu::UnknownAlbumOfArtistRow);
    QVERIFY(choose(artists, QStringLiteral("Add to playlist")));
    QVERIFY(!findInScene<PlaylistSelectionSheet>(window->scene()));

    // Yes on the unknown artist deletes the songs without artist, and only those. Watched from
    // here: the check above sent a deletion request of its own.
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QSignalSpy finished(factory, SIGNAL(deletionFinished(int, int)));
    artists->handleListItemLongTap(QModelIndex(), QPointF());
    artists->markSpecialRow(ItemMenu::UnknownArtistRow);
    QVERIFY(choose(artists, QStringLiteral("Delete")));
    dialog = waitForDeleteDialog();
    QVERIFY(dialog);
    answer(dialog, true);
    QVERIFY(finished.count() == 1 || finished.wait(Timeout));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toInt(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(modelRow(allSongs.data(), QStringLiteral("Nobody")), -1, Timeout);
    QCOMPARE(allSongs->rowCount(), 8);
    QVERIFY(modelRow(artists->currentPageModel().data(), QStringLiteral("Kim")) >= 0);
}

PARLOVANCE_TEST_MAIN(TestObjectMenu)
#include "tst_objectmenu.moc"
