// A live filter follows the library whatever it shows: on the songs, artists and albums pages
// and in the song selection sheet, on a real window over the real store. A song that matches
// and arrives while the filter shows no match takes the page out of "No music found"; the last
// match that goes brings the text back, instead of an empty list; an item whose texts change
// so that it matches (an artist's new album) comes into the filtered list.

#include "data/listmodel.h"
#include "data/modelinstance.h"
#include "librarywindow.h"
#include "listrows.h"
#include "mlabel.h"
#include "mlist.h"
#include "pageframework/collectionpagebase.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songlist.h"
#include "pages/allsongspage.h"
#include "playlists/songselectionsheet.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;
const QString PicklePath = QStringLiteral("Pickle Band/Pickle Jar/01.ogg");

} // namespace

class TestFilterFollows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void aFilterFollowsMatchesThatComeAndGo_data();
    void aFilterFollowsMatchesThatComeAndGo();
    void theSongSheetFollowsToo();
    void aPageThatGoesLastWithItsModelFollowsNothing();

private:
    void show(ParlovancePages which, const QString& button, CollectionPageBase** shown);
    void typeFilter(CollectionPageBase* page, const QString& text);
    void addPickleSong(const QString& path, const QString& artist, const QString& album);
    void removeSong(const QString& path);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<TouchDriver> finger;
    QStringList songFiles;
};

void TestFilterFollows::initTestCase()
{
    openLibraryWindow(&window);
    QVERIFY(window);
    finger = std::make_unique<TouchDriver>(window.get());
}

void TestFilterFollows::cleanup()
{
    for (const QString& path : qAsConst(songFiles))
        FixtureLibrary::removeFile(path);
    if (!songFiles.isEmpty())
        QVERIFY(FixtureLibrary::index());
    songFiles.clear();
    // Leaving a page ends its filter. The page left goes on the next turn of the event loop;
    // until then it covers the main page.
    QGraphicsWidget* left = window->cachedPage(ParlovancePages(window->currentPage()));
    window->goToPage(PageMain);
    QTRY_COMPARE(window->currentPage(), int(PageMain));
    QTRY_VERIFY(window->cachedPage(PageMain)->isVisible());
    if (left && left != window->cachedPage(PageMain))
        QTRY_VERIFY(!left->isVisible());
}

void TestFilterFollows::cleanupTestCase()
{
    finger.reset();
    window.reset();
}

void TestFilterFollows::show(ParlovancePages which, const QString& button,
                             CollectionPageBase** shown)
{
    // As a user goes there: a tap on the main page's button.
    if (window->currentPage() != PageMain)
        window->goToPage(PageMain);
    QGraphicsWidget* main = window->cachedPage(PageMain);
    QVERIFY(main);
    QTRY_VERIFY(main->isVisible() && libraryButton(main, button));
    MainPageListItem* tapped = libraryButton(main, button);
    finger->tap(tapped->mapToScene(tapped->boundingRect().center()));
    QTRY_COMPARE(window->currentPage(), int(which));
    auto* page = qobject_cast<CollectionPageBase*>(window->cachedPage(which));
    QVERIFY(page);
    QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(page->layoutState(), CollectionPageBase::ListState, Timeout);
    QTRY_VERIFY(page->currentFilterText().isEmpty());
    *shown = page;
}

void TestFilterFollows::typeFilter(CollectionPageBase* page, const QString& text)
{
    QSignalSpy edits(page, SIGNAL(filterTextChanged(QString)));
    QTest::keyClicks(window.get(), text);
    QVERIFY(edits.wait(Timeout));
    QTRY_COMPARE(page->currentFilterText(), text);
}

void TestFilterFollows::addPickleSong(const QString& path, const QString& artist,
                                      const QString& album)
{
    AudioTags tags;
    tags.title = QStringLiteral("Pickle Song");
    tags.artist = artist;
    tags.albumArtist = artist;
    tags.album = album;
    const QFileInfo before(FixtureLibrary::pathOf(path));
    const QDateTime written = before.exists() ? before.lastModified() : QDateTime();
    QVERIFY(!FixtureLibrary::addSong(path, tags, 1000).isEmpty());
    if (written.isValid()) {
        // The indexer tells a changed file by its time, in whole seconds.
        QFile file(FixtureLibrary::pathOf(path));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written.addSecs(2), QFileDevice::FileModificationTime));
    }
    if (!songFiles.contains(path))
        songFiles << path;
    QVERIFY(FixtureLibrary::index());
}

void TestFilterFollows::removeSong(const QString& path)
{
    QVERIFY(FixtureLibrary::removeFile(path));
    songFiles.removeAll(path);
    QVERIFY(FixtureLibrary::index());
}

void TestFilterFollows::aFilterFollowsMatchesThatComeAndGo_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("row");
    QTest::newRow("songs") << int(PageAllSongs) << "Songs"
                           << "Pickle Song";
    QTest::newRow("artists") << int(PageArtists) << "Artists"
                             << "Pickle Band";
    QTest::newRow("albums") << int(PageAlbums) << "Albums"
                            << "Pickle Jar";
}

void TestFilterFollows::aFilterFollowsMatchesThatComeAndGo()
{
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, row);
    CollectionPageBase* shown = nullptr;
    show(ParlovancePages(page), button, &shown);
    QVERIFY(shown);
    auto* rows = qobject_cast<ListModel*>(shown->pageList()->itemModel());
    QVERIFY(rows);

    typeFilter(shown, QStringLiteral("pickle"));
    QTRY_COMPARE(shown->layoutState(), CollectionPageBase::NoResultsState);
    QVERIFY(shown->noResultsText()->isVisible());

    // A match arrives: the list shows it, without the no-results text.
    addPickleSong(PicklePath, QStringLiteral("Pickle Band"), QStringLiteral("Pickle Jar"));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(rows), QStringList { row }, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(shown->layoutState(), CollectionPageBase::FilteredListState, Timeout);
    QVERIFY(shown->pageList()->isVisible());
    QVERIFY(!shown->noResultsText()->isVisible());
    QTRY_VERIFY(shown->pageList()->visibleCell(rowTitled(rows, row)));

    // The last match goes: "No music found" again, not an empty list.
    removeSong(PicklePath);
    QTRY_VERIFY_WITH_TIMEOUT(titlesListed(rows).isEmpty(), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(shown->layoutState(), CollectionPageBase::NoResultsState, Timeout);
    QVERIFY(shown->noResultsText()->isVisible());
    QVERIFY(!shown->pageList()->isVisible());
    QCOMPARE(shown->currentFilterText(), QStringLiteral("pickle"));
}

void TestFilterFollows::theSongSheetFollowsToo()
{
    const QSharedPointer<MafwTrackerModel> songs = ModelInstance::instance()->getModel(
        MafwTrackerModel::AllSongs);
    QVERIFY(songs);
    auto* sheet = new SongSelectionSheet(SongSelectionSheet::SaveMode);
    QPointer<SongSelectionSheet> guard(sheet);
    sheet->setModels(songs, QSharedPointer<MafwTrackerModel>());
    sheet->appear(window.get(), MSceneWindow::DestroyWhenDismissed);
    QTRY_COMPARE_WITH_TIMEOUT(sheet->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    auto* rows = qobject_cast<ListModel*>(sheet->songList()->itemModel());
    QVERIFY(rows);
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(rows).size(), 9, Timeout);

    sheet->filterWidget()->setText(QStringLiteral("pickle"));
    QTRY_VERIFY(titlesListed(rows).isEmpty());
    addPickleSong(PicklePath, QStringLiteral("Pickle Band"), QStringLiteral("Pickle Jar"));
    QTRY_COMPARE_WITH_TIMEOUT(titlesListed(rows), QStringList { "Pickle Song" }, Timeout);
    removeSong(PicklePath);
    QTRY_VERIFY_WITH_TIMEOUT(titlesListed(rows).isEmpty(), Timeout);

    sheet->dismiss();
    QTRY_VERIFY_WITH_TIMEOUT(!guard, Timeout);
}

void TestFilterFollows::aPageThatGoesLastWithItsModelFollowsNothing()
{
    // The page's own widgets hold the last share of its model: the model goes while the page
    // is being taken apart, and its filter is emptied then.
    ModelInstance::destroy();
    auto* page = new AllSongsPage(window.get(), QVariant(false));
    QSharedPointer<MafwTrackerModel> model = page->currentPageModel();
    QVERIFY(model);
    QPointer<MafwTrackerModel> gone(model.data());
    ModelInstance::destroy();
    model.reset();
    QVERIFY(gone);
    delete page;
    QVERIFY(!gone);
}

PARLOVANCE_TEST_MAIN(TestFilterFollows)
#include "tst_filterfollows.moc"
