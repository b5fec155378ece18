// Item pages that are nothing but their description, on a real window over the standard
// fixture library in the real store: the songs a parameter names or brings, the title, the
// panel, a tap and the shuffle row playing through the real playback hub and recorded as the
// description says, songs that are gone stepping back, a shuffle row that plays other songs
// than those listed, and the songs the object menu plays for a row that is no song.

#include "librarywindow.h"

#include "activity/latestactivitycontroller.h"
#include "albumart/albumartloader.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "fixturelibrary.h"
#include "mafwtrackermodelfactory.h"
#include "mlabel.h"
#include "mlist.h"
#include "albumart/collageimagewidget.h"
#include "pageframework/albumsofartistcellcreator.h"
#include "pageframework/allsongscellcreator.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/playlistinfowidget.h"
#include "pageframework/songpage.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"
#include "touchdriver.h"

#include <QSignalSpy>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;
const AlbumColumns Albums;

// A page with no code of its own: what it does comes from the description.
class DescribedPage : public SongPage
{
public:
    DescribedPage(const ItemPageDescription& description, PageWindow* window)
        : SongPage(description, window)
    {
        finishPageCreation();
    }

    using SongPage::infoWidget;
    using SongPage::shownSongs;
    using SongPage::shuffleRow;
};

// The songs of one album as a playlist (which is recorded under the name it plays by), by the
// album id and the name the parameter gives.
ItemPageDescription albumSongs()
{
    ItemPageDescription page;
    page.songs = [](const QHash<QString, QVariant>& parameter) {
        ItemPageDescription::Songs songs;
        if (parameter.isEmpty())
            return songs;
        if (parameter.contains(QStringLiteral("gone"))) {
            songs.gone = true;
            return songs;
        }
        songs.model = parameter.value(QStringLiteral("model"))
                          .value<QSharedPointer<MafwTrackerModel>>();
        songs.type = MafwTrackerModel::SongsOfAlbum;
        songs.id = parameter.value(QStringLiteral("album")).toInt();
        songs.trackerId = songs.id;
        songs.title = parameter.value(QStringLiteral("name")).toString();
        songs.playName = QStringLiteral("albumById");
        return songs;
    };
    page.info = [](QSharedPointer<MafwTrackerModel> songs, QGraphicsItem* parent) {
        return new PlaylistInfoWidget(songs, parent);
    };
    page.infoShows = [](SongPageInfoWidget* panel, const ItemPageDescription::Songs& shown) {
        static_cast<PlaylistInfoWidget*>(panel)->setCollageTitle(shown.title);
    };
    page.shuffleRow = ItemPageDescription::ShuffleRowWithDivider;
    page.painter = [](AlbumArtLoader*, QObject* parent) {
        return new AllSongsCellCreator(SongColumns(), parent);
    };
    page.activityType = Activity::Playlist;
    return page;
}

// The albums of one artist; the shuffle row plays all the artist's songs and the menu an
// album's songs.
ItemPageDescription artistAlbums()
{
    ItemPageDescription page;
    page.songs = [](const QHash<QString, QVariant>& parameter) {
        ItemPageDescription::Songs albums;
        albums.type = MafwTrackerModel::AlbumsOfArtist;
        albums.id = parameter.value(QStringLiteral("artist")).toInt();
        albums.trackerId = albums.id;
        albums.title = QStringLiteral("Kim");
        return albums;
    };
    page.shuffleRow = ItemPageDescription::IconShuffleRowWithDivider;
    page.shuffleSongs = [](const ItemPageDescription::Songs& shown) {
        ItemPageDescription::Songs songs;
        songs.type = MafwTrackerModel::SongsOfArtist;
        songs.id = shown.trackerId;
        songs.trackerId = shown.trackerId;
        songs.playName = QStringLiteral("artistById");
        return songs;
    };
    page.songRows = false;
    page.covers = true;
    page.painter = [](AlbumArtLoader* covers, QObject* parent) {
        return new AlbumsOfArtistCellCreator(covers, Albums, parent);
    };
    page.menuType = CollectionObjectMenu;
    page.itemSongs = [](const QModelIndex& row, const ItemPageDescription::Songs& shown) {
        ItemPageDescription::Songs songs;
        songs.type = MafwTrackerModel::SongsOfAlbumByArtist;
        songs.id = row.data(Qt::UserRole + Albums.albumId).toInt();
        songs.secondId = shown.trackerId;
        songs.trackerId = songs.id;
        songs.title = row.data(Qt::UserRole + Albums.album).toString();
        songs.activityType = Activity::Album;
        return songs;
    };
    page.activityType = Activity::Artist;
    return page;
}

// The column of the song with the title, among all songs; 0 when there is none.
int columnOfSong(const QString& title, int column)
{
    const SongColumns songs;
    QScopedPointer<MafwTrackerModel> model(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(MafwTrackerModel::AllSongs,
                                                                         0, 0));
    QSignalSpy completed(model.data(), SIGNAL(completed()));
    if (model->rowCount() == 0 && !completed.wait(Timeout))
        return 0;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, songs.title).data().toString() == title)
            return model->index(row, column).data().toInt();
    }
    return 0;
}

} // namespace

class TestSongPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void aParameterNamesTheSongsTheTitleAndThePanel();
    void aTapAndTheShuffleRowPlayAsDescribed();
    void aParameterMayBringItsSongsOrNameSongsThatWent();
    void theShuffleRowAndTheMenuMayPlayOtherSongs();

private:
    DescribedPage* showPage(const ItemPageDescription& description, const QVariant& parameter);
    void tap(QGraphicsItem* item);

    std::unique_ptr<MainWindow> window;
    int blueId = 0;
    int kimId = 0;
    QList<DescribedPage*> pages;
};

void TestSongPage::initTestCase()
{
    // Songs long enough that none ends while a case looks at what plays.
    openLibraryWindow(&window, Timeout);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    // The album Blue: Kim's three songs and the one without an artist.
    blueId = columnOfSong(QStringLiteral("Azure"), SongColumns().albumId);
    kimId = columnOfSong(QStringLiteral("Azure"), SongColumns().artistId);
    QVERIFY(blueId > 0);
    QVERIFY(kimId > 0);
}

void TestSongPage::cleanup()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    window->goToPage(PageMain);
    for (DescribedPage* page : qAsConst(pages))
        delete page;
    pages.clear();
    QCoreApplication::processEvents();
}

void TestSongPage::cleanupTestCase()
{
    window.reset();
}

DescribedPage* TestSongPage::showPage(const ItemPageDescription& description,
                                      const QVariant& parameter)
{
    auto* page = new DescribedPage(description, window.get());
    pages.append(page);
    page->appear(window.get());
    page->passParameterToPage(parameter);
    return page;
}

void TestSongPage::tap(QGraphicsItem* item)
{
    TouchDriver(window.get()).tap(item->mapToScene(item->boundingRect().center()));
}

void TestSongPage::aParameterNamesTheSongsTheTitleAndThePanel()
{
    DescribedPage* page = showPage(albumSongs(),
                                   QHash<QString, QVariant>(
                                       { { "album", blueId }, { "name", "Blue one" } }));
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Blue one"));
    QSharedPointer<MafwTrackerModel> songs = page->currentPageModel();
    QVERIFY(songs);
    QTRY_COMPARE_WITH_TIMEOUT(songs->rowCount(), 4, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(page->pageList()->itemModel()->rowCount(), 4, Timeout);
    QVERIFY(page->infoWidget);
    QTRY_COMPARE_WITH_TIMEOUT(page->infoWidget->songCountLabel()->text(), QStringLiteral("4 songs"),
                              Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(page->shuffleRow->isShown(), Timeout);

    // The same songs under another title keep their model; the title names what plays.
    page->passParameterToPage(
        QHash<QString, QVariant>({ { "album", blueId }, { "name", "Blue again" } }));
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Blue again"));
    QCOMPARE(page->currentPageModel(), songs);

    // After the library was indexed anew they load again.
    page->libraryUpdated();
    page->passParameterToPage(
        QHash<QString, QVariant>({ { "album", blueId }, { "name", "Blue again" } }));
    QVERIFY(page->currentPageModel() != songs);
    QTRY_COMPARE_WITH_TIMEOUT(page->currentPageModel()->rowCount(), 4, Timeout);

    // A parameter that names nothing leaves the page as it is.
    songs = page->currentPageModel();
    page->passParameterToPage(QVariant());
    QCOMPARE(page->currentPageModel(), songs);
    QCOMPARE(page->titleWidget()->text(), QStringLiteral("Blue again"));
}

void TestSongPage::aTapAndTheShuffleRowPlayAsDescribed()
{
    PlayState* hub = PlayState::instance();
    DescribedPage* page = showPage(albumSongs(),
                                   QHash<QString, QVariant>(
                                       { { "album", blueId }, { "name", "Blue one" } }));
    QTRY_COMPARE_WITH_TIMEOUT(page->currentPageModel()->rowCount(), 4, Timeout);

    // A tap on the panel's picture plays from the start, recorded under the description's
    // activity, the songs' play name and their id.
    tap(page->infoWidget->picture());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 4);
    QTRY_VERIFY_WITH_TIMEOUT(!LatestActivityController::instance()->activities().isEmpty(),
                             Timeout);
    Activity recorded = LatestActivityController::instance()->activities().first();
    QCOMPARE(int(recorded.Type), int(Activity::Playlist));
    QCOMPARE(recorded.Name, QStringLiteral("albumById"));
    QCOMPARE(recorded.TrackerId, blueId);
    QVERIFY(!recorded.Shuffled);

    hub->stop(PlayState::MusicMode);
    QTRY_VERIFY_WITH_TIMEOUT(hub->state(PlayState::MusicMode) != PlayState::Playing, Timeout);
    page->appear(window.get());
    QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    tap(page->shuffleRow->rowItem());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 4);
    QTRY_VERIFY_WITH_TIMEOUT(LatestActivityController::instance()->activities().first().Shuffled,
                             Timeout);
    recorded = LatestActivityController::instance()->activities().first();
    QCOMPARE(recorded.Name, QStringLiteral("albumById"));
}

void TestSongPage::aParameterMayBringItsSongsOrNameSongsThatWent()
{
    QSharedPointer<MafwTrackerModel> brought(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::SongsOfArtist, 0, kimId));
    const QHash<QString, QVariant> bringing(
        { { "album", blueId }, { "name", "Kim's" }, { "model", QVariant::fromValue(brought) } });
    DescribedPage* page = showPage(albumSongs(), bringing);
    QCOMPARE(page->currentPageModel(), brought);
    QTRY_COMPARE_WITH_TIMEOUT(page->pageList()->itemModel()->rowCount(), 5, Timeout);
    page->passParameterToPage(bringing);
    QCOMPARE(page->currentPageModel(), brought);

    // The same query without the model is other songs.
    page->passParameterToPage(
        QHash<QString, QVariant>({ { "album", blueId }, { "name", "Blue one" } }));
    QVERIFY(page->currentPageModel() != brought);
    QTRY_COMPARE_WITH_TIMEOUT(page->currentPageModel()->rowCount(), 4, Timeout);

    // Songs that went take the page back, and it keeps what it showed.
    QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    const QSharedPointer<MafwTrackerModel> shown = page->currentPageModel();
    QSignalSpy left(page, SIGNAL(disappeared()));
    page->passParameterToPage(QHash<QString, QVariant>({ { "gone", true } }));
    QVERIFY(left.count() > 0 || left.wait(Timeout));
    QCOMPARE(page->currentPageModel(), shown);
    QCOMPARE(page->shownSongs().id, blueId);
}

void TestSongPage::theShuffleRowAndTheMenuMayPlayOtherSongs()
{
    PlayState* hub = PlayState::instance();
    DescribedPage* page = showPage(artistAlbums(),
                                   QHash<QString, QVariant>({ { "artist", kimId } }));
    // A plain list of the albums, painted with the page's covers.
    QVERIFY(!page->pageList()->inherits("SongList"));
    QVERIFY(dynamic_cast<AlbumsOfArtistCellCreator*>(page->rowPainter()));
    QTRY_COMPARE_WITH_TIMEOUT(page->currentPageModel()->rowCount(), 2, Timeout);

    // The row plays the artist's songs, not the albums: it shows whatever the list holds.
    QVERIFY(page->shuffleRow->isShown());
    QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
    tap(page->shuffleRow->rowItem());
    QTRY_COMPARE_WITH_TIMEOUT(hub->state(PlayState::MusicMode), PlayState::Playing, Timeout);
    QCOMPARE(hub->songCount(PlayState::MusicMode), 5);
    QTRY_VERIFY_WITH_TIMEOUT(LatestActivityController::instance()->activities().first().Shuffled,
                             Timeout);
    const Activity recorded = LatestActivityController::instance()->activities().first();
    // An artist is recorded by its name, which the hub reads from the songs.
    QCOMPARE(int(recorded.Type), int(Activity::Artist));
    QCOMPARE(recorded.Name, QStringLiteral("Kim"));
    QCOMPARE(recorded.TrackerId, kimId);

    // The menu plays an album row as the artist's songs of it.
    QModelIndex blue;
    QAbstractItemModel* rows = page->pageList()->itemModel();
    for (int row = 0; row < rows->rowCount() && !blue.isValid(); ++row) {
        if (rows->index(row, 0).data(Qt::UserRole + Albums.album).toString() == "Blue")
            blue = rows->index(row, 0);
    }
    QVERIFY(blue.isValid());
    const QHash<QString, QVariant> menu = page->itemParameters(blue);
    QCOMPARE(menu.value("name").toString(), QStringLiteral("Blue"));
    QCOMPARE(menu.value("trackerId").toInt(), blueId);
    QCOMPARE(menu.value("type").toInt(), int(Activity::Album));
    const auto albumSongs = menu.value("model").value<QSharedPointer<MafwTrackerModel>>();
    QVERIFY(albumSongs);
    QSignalSpy completed(albumSongs.data(), SIGNAL(completed()));
    QVERIFY(albumSongs->rowCount() == 3 || completed.wait(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(albumSongs->rowCount(), 3, Timeout);
    QVERIFY(page->itemParameters(QModelIndex()).isEmpty());
}

PARLOVANCE_TEST_MAIN(TestSongPage)
#include "tst_songpage.moc"
