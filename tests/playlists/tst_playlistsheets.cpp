// The playlist selection, save and song selection sheets on a real window over the real
// store, driven by taps: adding an item to a picked or a newly named playlist, and making,
// extending and trimming a playlist from a filterable song list. Screenshots of the sheets go
// into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the build tree.

#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mapplicationpage.h"
#include "mapplicationwindow.h"
#include "mbanner.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mlist.h"
#include "mlocale.h"
#include "mcollator.h"
#include "mtextedit.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songlist.h"
#include "playlists/playlistsavesheet.h"
#include "playlists/playlistselectionsheet.h"
#include "playlists/songselectionsheet.h"
#include "playlists/userplaylistutils.h"
#include "librarywindow.h"
#include "listrows.h"
#include "scenesearch.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QPointer>

#include <algorithm>
#include <QtTest/QtTest>

#include <memory>

namespace {

const int Timeout = 30000;

int rowNamed(const QAbstractItemModel* model, const QString& name)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 1).data().toString() == name)
            return row;
    }
    return -1;
}

QStringList titles(const QAbstractItemModel* model)
{
    QStringList list;
    for (int row = 0; row < model->rowCount(); ++row)
        list << model->index(row, 1).data().toString();
    return list;
}

// The items of a sheet's list (flat or grouped) that show the title, in list order.
QList<QModelIndex> itemsTitled(QAbstractItemModel* list, const QString& title)
{
    QList<QModelIndex> found;
    for (const QModelIndex& row : listRows(qobject_cast<ListModel*>(list))) {
        if (row.data(Qt::UserRole + 1).toString() == title)
            found << row;
    }
    return found;
}

} // namespace

class TestPlaylistSheets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void selectionSheetTitleShowsWhileThereAreUserPlaylists();
    void tappingAPlaylistAddsTheItemWithTheBanner();
    void createButtonNamesANewPlaylistForTheItem();
    void songSheetMakesANewPlaylistOfTheChosenSongs();
    void songSheetAddsOnlySongsNotInThePlaylist();
    void songSheetRemovesExactlyTheChosenEntry();
    void songSheetFilterTakesWhatIsTyped();
    void cancelAndUnknownModeChangeNothing();
    void everyListOrdersNamesByOneCollation();

private:
    template <typename Sheet>
    Sheet* waitForSheet();
    void tap(QGraphicsWidget* widget);
    // Brings the list's item into view and taps it.
    bool tapItem(MList* list, const QModelIndex& item);
    bool tapSong(SongSelectionSheet* sheet, const QString& title, int which = 0);
    // Types the name into the save sheet (and takes a screenshot of it) and saves.
    void nameAndSave(const QString& name, const QString& screenshotName = QString());
    void screenshot(const QString& name);
    QSharedPointer<MafwTrackerModel> model(MafwTrackerModel::QueryType type, int id = 0);
    int songId(const QString& title);
    int makePlaylist(const QString& name, const QStringList& songs);

    std::unique_ptr<MApplicationWindow> window;
    std::unique_ptr<TouchDriver> finger;
    QSharedPointer<MafwTrackerModel> allSongs;
    QSharedPointer<MafwTrackerModel> userPlaylists;
};

void TestPlaylistSheets::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    MBanner::setDisplayDurationForTesting(50);
    QVERIFY(FixtureLibrary::writeStandardLibrary());
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(), Timeout);
    allSongs = ModelInstance::instance()->getModel(MafwTrackerModel::AllSongs);
    userPlaylists = ModelInstance::instance()->getModel(MafwTrackerModel::UserPlaylists);
    QVERIFY(allSongs && userPlaylists);
    allSongs->fetchRemainingRows();
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), 9, Timeout);

    window = std::make_unique<MApplicationWindow>();
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* page = new MApplicationPage;
    page->appear(window.get());
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Appeared);
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestPlaylistSheets::init()
{
    MBanner::clearShownTitles();
}

void TestPlaylistSheets::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(UserPlaylistUtils::liveWorkers(), 0, Timeout);
    while (auto* sheet = findInScene<MSheet>(window->scene()))
        delete sheet;
    while (auto* dialog = findInScene<MDialog>(window->scene()))
        delete dialog;
    QList<int> ids;
    for (int row = 0; row < userPlaylists->rowCount(); ++row)
        ids << userPlaylists->index(row, 0).data().toInt();
    if (!ids.isEmpty()) {
        MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems(
            ids, MafwTrackerModel::UserPlaylists);
        QTRY_COMPARE_WITH_TIMEOUT(userPlaylists->rowCount(), 0, Timeout);
    }
}

void TestPlaylistSheets::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

template <typename Sheet>
Sheet* TestPlaylistSheets::waitForSheet()
{
    Sheet* sheet = nullptr;
    QElapsedTimer timer;
    timer.start();
    while (!(sheet = findInScene<Sheet>(window->scene()))
           || sheet->sceneWindowState() != MSceneWindow::Appeared) {
        if (timer.elapsed() > Timeout)
            return nullptr;
        QTest::qWait(10);
    }
    return sheet;
}

void TestPlaylistSheets::tap(QGraphicsWidget* widget)
{
    finger->tap(widget->mapToScene(widget->boundingRect().center()));
}

bool TestPlaylistSheets::tapItem(MList* list, const QModelIndex& item)
{
    if (!item.isValid())
        return false;
    list->scrollTo(item, MList::PositionAtCenterHint);
    QElapsedTimer timer;
    timer.start();
    while (!list->visibleCell(item)) {
        if (timer.elapsed() > Timeout)
            return false;
        QTest::qWait(10);
    }
    tap(list->visibleCell(item));
    return true;
}

bool TestPlaylistSheets::tapSong(SongSelectionSheet* sheet, const QString& title, int which)
{
    const QList<QModelIndex> items = itemsTitled(sheet->songList()->itemModel(), title);
    return which < items.size() && tapItem(sheet->songList(), items.at(which));
}

void TestPlaylistSheets::nameAndSave(const QString& name, const QString& screenshotName)
{
    PlaylistSaveSheet* save = waitForSheet<PlaylistSaveSheet>();
    QVERIFY(save);
    // Nothing typed yet: Save keeps the dialog.
    tap(save->button(M::SaveButton));
    QCoreApplication::processEvents();
    QCOMPARE(save->sceneWindowState(), MSceneWindow::Appeared);
    save->nameEdit()->setText(name);
    if (!screenshotName.isEmpty())
        screenshot(screenshotName);
    QPointer<PlaylistSaveSheet> guard(save);
    tap(save->button(M::SaveButton));
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
}

void TestPlaylistSheets::screenshot(const QString& name)
{
    QCoreApplication::processEvents();
    const QString path = TestEnvironment::screenshotDir() + QLatin1Char('/') + name + ".png";
    QVERIFY(window->grab().toImage().save(path));
    qInfo().noquote() << "screenshot:" << path;
}

QSharedPointer<MafwTrackerModel> TestPlaylistSheets::model(MafwTrackerModel::QueryType type, int id)
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    QSharedPointer<MafwTrackerModel> m(factory->getModel(type, 0, id));
    if (!QTest::qWaitFor([m] { return m->isComplete(); }, Timeout))
        QTest::qFail("the model was never complete", __FILE__, __LINE__);
    return m;
}

int TestPlaylistSheets::songId(const QString& title)
{
    return allSongs->index(rowNamed(allSongs.data(), title), 8).data().toInt();
}

int TestPlaylistSheets::makePlaylist(const QString& name, const QStringList& songs)
{
    QList<int> ids;
    for (const QString& title : songs)
        ids << songId(title);
    UserPlaylistUtils::createPlaylist(name, 0, ids);
    if (!QTest::qWaitFor([this, name] { return rowNamed(userPlaylists.data(), name) >= 0; },
                         Timeout))
        QTest::qFail(qPrintable("playlist never listed: " + name), __FILE__, __LINE__);
    return userPlaylists->index(rowNamed(userPlaylists.data(), name), 0).data().toInt();
}

void TestPlaylistSheets::selectionSheetTitleShowsWhileThereAreUserPlaylists()
{
    // No playlist of the user's yet: Cancel, the empty list and the create button, no title.
    auto* sheet = new PlaylistSelectionSheet(MafwTrackerModelFactory::SongItems, songId("Azure"));
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<PlaylistSelectionSheet>());
    const QRectF screen = window->scene()->sceneRect();
    // What is wrong with the sheet's title and create button; empty when nothing is.
    const auto fault = [sheet, screen](bool titled) {
        const MLabel* title = sheet->titleLabel();
        const MButton* create = sheet->createButton();
        if (title->isVisible() != titled)
            return titled ? QStringLiteral("no title") : QStringLiteral("a title");
        if (titled && title->text() != QLatin1String("Select playlist"))
            return QStringLiteral("title reads ") + title->text();
        if (!create->isVisible() || create->text() != QLatin1String("New playlist"))
            return QStringLiteral("no create button");
        const QRectF above = title->sceneBoundingRect();
        const QRectF below = create->sceneBoundingRect();
        if (!screen.contains(below)
            || (titled && (!screen.contains(above) || above.bottom() > below.top())))
            return QStringLiteral("misplaced");
        return QString();
    };
    QVERIFY2(fault(false).isEmpty(), qPrintable(fault(false)));
    QCOMPARE(sheet->playlistList()->itemModel()->rowCount(), 0);
    const QRectF create = sheet->createButton()->sceneBoundingRect();
    screenshot(QStringLiteral("playlist-selection-empty"));

    // The first playlist brings the title; the create button stays where it was.
    const int id = makePlaylist(QStringLiteral("First"), { "Jade" });
    QTRY_COMPARE_WITH_TIMEOUT(sheet->playlistList()->itemModel()->rowCount(), 1, Timeout);
    QTRY_VERIFY2(fault(true).isEmpty(), qPrintable(fault(true)));
    QTRY_COMPARE(sheet->createButton()->sceneBoundingRect(), create);
    // The last one gone takes it away again.
    MafwTrackerModelFactoryInstance::instance()->factory()->deleteItems(
        { id }, MafwTrackerModel::UserPlaylists);
    QTRY_COMPARE_WITH_TIMEOUT(sheet->playlistList()->itemModel()->rowCount(), 0, Timeout);
    QTRY_VERIFY2(fault(false).isEmpty(), qPrintable(fault(false)));
    QTRY_COMPARE(sheet->createButton()->sceneBoundingRect(), create);
}

void TestPlaylistSheets::tappingAPlaylistAddsTheItemWithTheBanner()
{
    makePlaylist(QStringLiteral("Morning"), { "Jade" });
    makePlaylist(QStringLiteral("Evening ✨ \"late\""), { "Jade" });
    const int red = allSongs->index(rowNamed(allSongs.data(), "Crimson"), 9).data().toInt();
    auto* sheet = new PlaylistSelectionSheet(MafwTrackerModelFactory::AlbumItems, red);
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<PlaylistSelectionSheet>());
    QVERIFY(sheet->titleLabel()->isVisible());
    const QList<QModelIndex> rows = itemsTitled(sheet->playlistList()->itemModel(),
                                                QStringLiteral("Evening ✨ \"late\""));
    QCOMPARE(rows.size(), 1);
    QTRY_VERIFY(sheet->playlistList()->visibleCell(rows.first()));
    screenshot(QStringLiteral("playlist-selection"));

    QPointer<PlaylistSelectionSheet> guard(sheet);
    QVERIFY(tapItem(sheet->playlistList(), rows.first()));
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(MBanner::shownTitles(),
                              QStringList({ "2 songs added to Evening ✨ \"late\"" }), Timeout);
    const int row = rowNamed(userPlaylists.data(), QStringLiteral("Evening ✨ \"late\""));
    QTRY_COMPARE_WITH_TIMEOUT(userPlaylists->index(row, 3).data().toInt(), 3, Timeout);
    QCOMPARE(userPlaylists->index(rowNamed(userPlaylists.data(), "Morning"), 3).data().toInt(), 1);
}

void TestPlaylistSheets::createButtonNamesANewPlaylistForTheItem()
{
    // The songs without artist, as the artists page passes them: item type 4 and the id -1.
    auto* sheet = new PlaylistSelectionSheet(MafwTrackerModelFactory::SongsWithoutArtist, -1);
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<PlaylistSelectionSheet>());
    QPointer<PlaylistSelectionSheet> guard(sheet);
    tap(sheet->createButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    PlaylistSaveSheet* save = waitForSheet<PlaylistSaveSheet>();
    QVERIFY(save);
    QCOMPARE(save->itemIds(), QList<int>({ -1 }));
    QCOMPARE(save->itemType(), int(MafwTrackerModelFactory::SongsWithoutArtist));
    nameAndSave(QStringLiteral(".AC/DC {1} \\ 🎧"), QStringLiteral("playlist-save"));
    QTRY_VERIFY_WITH_TIMEOUT(rowNamed(userPlaylists.data(), ".AC/DC {1} \\ 🎧") >= 0, Timeout);
    const int id
        = userPlaylists->index(rowNamed(userPlaylists.data(), ".AC/DC {1} \\ 🎧"), 0).data().toInt();
    QCOMPARE(titles(model(MafwTrackerModel::SongsOfUserPlaylist, id).data()),
             QStringList({ "Nobody" }));
    // Creating shows no banner.
    QVERIFY(MBanner::shownTitles().isEmpty());
}

void TestPlaylistSheets::songSheetMakesANewPlaylistOfTheChosenSongs()
{
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::SaveMode);
    sheet->setModels(allSongs, QSharedPointer<MafwTrackerModel>());
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<SongSelectionSheet>());
    QCOMPARE(sheet->acceptButton()->text(), QStringLiteral("Save"));
    QVERIFY(!sheet->acceptButton()->isEnabled());

    // The first choice enables Save, taking it back disables it again.
    QVERIFY(tapSong(sheet, "Scarlet"));
    QTRY_VERIFY(sheet->acceptButton()->isEnabled());
    QVERIFY(tapSong(sheet, "Scarlet"));
    QTRY_VERIFY(!sheet->acceptButton()->isEnabled());

    // A choice hidden by the filter stays chosen, and shows again when the filter goes.
    QVERIFY(tapSong(sheet, "Jade"));
    sheet->filterWidget()->setText(QStringLiteral("cob"));
    QTRY_COMPARE(itemsTitled(sheet->songList()->itemModel(), "Jade").size(), 0);
    QVERIFY(tapSong(sheet, "Cobalt"));
    QTRY_COMPARE(sheet->selectedSongIds(), QList<int>({ songId("Jade"), songId("Cobalt") }));
    screenshot(QStringLiteral("song-selection-filtered"));
    sheet->filterWidget()->setText(QString());
    const QModelIndex jade = itemsTitled(sheet->songList()->itemModel(), "Jade").value(0);
    QTRY_VERIFY(sheet->songList()->selectionModel()->isSelected(jade));
    QCOMPARE(sheet->songList()->selectionModel()->selectedIndexes().size(), 2);
    screenshot(QStringLiteral("song-selection"));

    QPointer<SongSelectionSheet> guard(sheet);
    tap(sheet->acceptButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    PlaylistSaveSheet* save = waitForSheet<PlaylistSaveSheet>();
    QVERIFY(save);
    QCOMPARE(save->itemIds(), QList<int>({ songId("Jade"), songId("Cobalt") }));
    nameAndSave(QStringLiteral("Picked"));
    QTRY_VERIFY_WITH_TIMEOUT(rowNamed(userPlaylists.data(), "Picked") >= 0, Timeout);
    const int id = userPlaylists->index(rowNamed(userPlaylists.data(), "Picked"), 0).data().toInt();
    QCOMPARE(titles(model(MafwTrackerModel::SongsOfUserPlaylist, id).data()),
             QStringList({ "Jade", "Cobalt" }));
}

void TestPlaylistSheets::songSheetAddsOnlySongsNotInThePlaylist()
{
    const int id = makePlaylist(QStringLiteral("Blues"), { "Azure", "Azure", "Navy" });
    const QSharedPointer<MafwTrackerModel> playlist = model(MafwTrackerModel::SongsOfUserPlaylist,
                                                            id);
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::AddMode);
    sheet->setModels(allSongs, playlist);
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<SongSelectionSheet>());
    QCOMPARE(sheet->acceptButton()->text(), QStringLiteral("Add"));
    QCOMPARE(itemsTitled(sheet->songList()->itemModel(), "Azure").size(), 0);
    QCOMPARE(itemsTitled(sheet->songList()->itemModel(), "Navy").size(), 0);
    QCOMPARE(itemsTitled(sheet->songList()->itemModel(), "Cobalt").size(), 1);

    // A chosen song keeps its choice when the playlist changes meanwhile; a song listed twice
    // shows again only once both entries have gone.
    QVERIFY(tapSong(sheet, "Cobalt"));
    QTRY_VERIFY(sheet->acceptButton()->isEnabled());
    UserPlaylistUtils::removeSongs(playlist, { 2, 0 });
    QTRY_COMPARE_WITH_TIMEOUT(itemsTitled(sheet->songList()->itemModel(), "Navy").size(), 1,
                              Timeout);
    QCOMPARE(itemsTitled(sheet->songList()->itemModel(), "Azure").size(), 0);
    QTRY_VERIFY(sheet->songList()->selectionModel()->isSelected(
        itemsTitled(sheet->songList()->itemModel(), "Cobalt").value(0)));

    QPointer<SongSelectionSheet> guard(sheet);
    tap(sheet->acceptButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(titles(playlist.data()), QStringList({ "Azure", "Cobalt" }), Timeout);
    QVERIFY(MBanner::shownTitles().isEmpty());
}

void TestPlaylistSheets::songSheetRemovesExactlyTheChosenEntry()
{
    const int id = makePlaylist(QStringLiteral("Twice"), { "Azure", "Navy", "Azure", "Jade" });
    const QSharedPointer<MafwTrackerModel> playlist = model(MafwTrackerModel::SongsOfUserPlaylist,
                                                            id);
    const int position = playlist->columnOfKey(QStringLiteral("entryPosition"));
    const int firstAzure = playlist->index(0, position).data().toInt();
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::RemoveMode);
    sheet->setModels(playlist, playlist);
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<SongSelectionSheet>());
    QCOMPARE(sheet->acceptButton()->text(), QStringLiteral("Remove"));
    QCOMPARE(itemsTitled(sheet->songList()->itemModel(), "Azure").size(), 2);

    // The second Azure and Jade; a filter in between keeps exactly those two.
    QVERIFY(tapSong(sheet, "Azure", 1));
    QVERIFY(tapSong(sheet, "Jade"));
    sheet->filterWidget()->setText(QStringLiteral("a"));
    sheet->filterWidget()->setText(QStringLiteral("azu"));
    QTRY_COMPARE(sheet->songList()->selectionModel()->selectedIndexes().size(), 1);
    QPointer<SongSelectionSheet> guard(sheet);
    tap(sheet->acceptButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(titles(playlist.data()), QStringList({ "Azure", "Navy" }), Timeout);
    QCOMPARE(playlist->index(0, position).data().toInt(), firstAzure);
}

void TestPlaylistSheets::songSheetFilterTakesWhatIsTyped()
{
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::SaveMode);
    sheet->setModels(allSongs, QSharedPointer<MafwTrackerModel>());
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<SongSelectionSheet>());
    const auto inSheet = [this, sheet] {
        QGraphicsItem* focus = window->scene()->focusItem();
        return focus && (focus == sheet || sheet->isAncestorOf(focus));
    };
    QVERIFY(inSheet());

    // Typed into the tapped field, also after a song is chosen; never to the page below.
    tap(sheet->filterWidget()->textEdit());
    QTest::keyClicks(window.get(), QStringLiteral("co"));
    QCOMPARE(sheet->filterWidget()->text(), QStringLiteral("co"));
    QTRY_COMPARE_WITH_TIMEOUT(itemsTitled(sheet->songList()->itemModel(), "Jade").size(), 0,
                              Timeout);
    QVERIFY(tapSong(sheet, "Cobalt"));
    QTRY_COMPARE(sheet->selectedSongIds(), QList<int>({ songId("Cobalt") }));
    QTest::keyClicks(window.get(), QStringLiteral("b"));
    QCOMPARE(sheet->filterWidget()->text(), QStringLiteral("cob"));
    QVERIFY(inSheet());
    tap(sheet->cancelButton());
    QTRY_VERIFY_WITH_TIMEOUT(!findInScene<SongSelectionSheet>(window->scene()), Timeout);
}

void TestPlaylistSheets::cancelAndUnknownModeChangeNothing()
{
    const int id = makePlaylist(QStringLiteral("Kept"), { "Azure" });
    const QSharedPointer<MafwTrackerModel> playlist = model(MafwTrackerModel::SongsOfUserPlaylist,
                                                            id);
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::AddMode);
    sheet->setModels(allSongs, playlist);
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<SongSelectionSheet>());
    QVERIFY(tapSong(sheet, "Navy"));
    QPointer<SongSelectionSheet> guard(sheet);
    tap(sheet->cancelButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    QCOMPARE(UserPlaylistUtils::liveWorkers(), 0);

    auto* odd = new SongSelectionSheet(7);
    odd->setModels(playlist, playlist);
    odd->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QVERIFY(waitForSheet<SongSelectionSheet>());
    QCOMPARE(odd->acceptButton()->text(), QStringLiteral("Remove"));
    QVERIFY(tapSong(odd, "Azure"));
    guard = odd;
    tap(odd->acceptButton());
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    QCOMPARE(UserPlaylistUtils::liveWorkers(), 0);
    FixtureLibrary::settleStore();
    QCOMPARE(titles(playlist.data()), QStringList({ "Azure" }));
}

void TestPlaylistSheets::everyListOrdersNamesByOneCollation()
{
    // Letters English reads as two (Æ, Œ), other alphabets and scripts; each song is its own
    // album by its own artist of the same name.
    const QStringList names = QString::fromUtf8("Apogee|Кино|Ævintýri|Zebra|After Hours|東京|"
                                                "Œuvre|かな|Oak|Йога")
                                  .split(QLatin1Char('|'));
    for (int n = 0; n < names.size(); ++n) {
        AudioTags tags;
        tags.title = tags.artist = tags.album = names.at(n);
        tags.trackNumber = 1;
        QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Scripts/%1.ogg").arg(n), tags).isEmpty());
    }
    QVERIFY(FixtureLibrary::index());
    QStringList collated = names;
    std::stable_sort(collated.begin(), collated.end(), MLocale().collator());
    // Of the names a list shows, ours, in its order.
    const auto ours = [&names](const QStringList& listed) {
        QStringList kept;
        for (const QString& name : listed) {
            if (names.contains(name))
                kept << name;
        }
        return kept;
    };

    // The Songs, Albums and Artists lists, grouped under their letters as their pages show them.
    for (MafwTrackerModel::QueryType type :
         { MafwTrackerModel::AllSongs, MafwTrackerModel::AllAlbums,
           MafwTrackerModel::AllArtists }) {
        const QSharedPointer<MafwTrackerModel> source = ModelInstance::instance()->getModel(type);
        source->fetchRemainingRows();
        QTRY_COMPARE_WITH_TIMEOUT(ours(titles(source.data())).size(), names.size(), Timeout);
        ListModel grouped(true, nullptr);
        grouped.setKeyColumns({ 1 }, false);
        grouped.setSourceModel(source);
        QCOMPARE(ours(titlesListed(&grouped)), collated);
    }

    // The pickers: every song for a new playlist, the songs a playlist lacks, and the songs of a
    // playlist that holds them in another order.
    const int mixedId = makePlaylist(QStringLiteral("Mixed"), names);
    const int otherId = makePlaylist(QStringLiteral("Other"), { "Azure" });
    const QSharedPointer<MafwTrackerModel> mixed = model(MafwTrackerModel::SongsOfUserPlaylist,
                                                         mixedId);
    QCOMPARE(titles(mixed.data()), names);
    const struct
    {
        int mode;
        QSharedPointer<MafwTrackerModel> songs;
        QSharedPointer<MafwTrackerModel> playlist;
    } pickers[] = {
        { SongSelectionSheet::SaveMode, allSongs, QSharedPointer<MafwTrackerModel>() },
        { SongSelectionSheet::AddMode, allSongs,
          model(MafwTrackerModel::SongsOfUserPlaylist, otherId) },
        { SongSelectionSheet::RemoveMode, mixed, mixed },
    };
    for (const auto& picker : pickers) {
        auto* sheet = new SongSelectionSheet(picker.mode);
        sheet->setModels(picker.songs, picker.playlist);
        sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
        QVERIFY(waitForSheet<SongSelectionSheet>());
        auto* list = qobject_cast<ListModel*>(sheet->songList()->itemModel());
        QVERIFY(list);
        QCOMPARE(ours(titlesListed(list)), collated);
        if (picker.mode == SongSelectionSheet::RemoveMode) {
            // A song the playlist takes meanwhile comes in at its place; the choice stays.
            QVERIFY(tapSong(sheet, names.at(0)));
            UserPlaylistUtils::addSongs(mixed, 0, { songId("Azure") }, QString());
            QTRY_COMPARE_WITH_TIMEOUT(titlesListed(list).indexOf("Azure"),
                                      titlesListed(list).indexOf(names.at(0)) + 1, Timeout);
            const QModelIndexList chosen = sheet->songList()->selectionModel()->selectedIndexes();
            QCOMPARE(chosen.size(), 1);
            QCOMPARE(chosen.first().data(Qt::UserRole + 1).toString(), names.at(0));
            QCOMPARE(ours(titlesListed(list)), collated);
        }
        QPointer<SongSelectionSheet> guard(sheet);
        tap(sheet->cancelButton());
        QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
    }
    // The playlist itself keeps its own order.
    QCOMPARE(titles(mixed.data()), names + QStringList { "Azure" });

    // The user's playlists, on the playlists page and in the picker of "Add to playlist".
    const QStringList lists = { names.at(1), names.at(2), names.at(4), names.at(0) };
    for (const QString& name : lists)
        makePlaylist(name, { "Azure" });
    QStringList listsCollated = lists;
    std::stable_sort(listsCollated.begin(), listsCollated.end(), MLocale().collator());
    QCOMPARE(ours(titles(userPlaylists.data())), listsCollated);
}

PARLOVANCE_TEST_MAIN(TestPlaylistSheets)
#include "tst_playlistsheets.moc"
