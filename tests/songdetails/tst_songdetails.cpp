// The song details page through the real main window over a fixture library in the real
// store: what it shows of a song, that it never shows one song's details for another, that
// tag texts with quotes cannot break its queries, and how it follows plays and the player.
// The last case saves a screenshot (into $PARLOVANCE_SCREENSHOT_DIR, or "screenshots" in the
// build tree). Under Xvfb:
//   xvfb-run -a -s "-screen 0 1024x1024x24" env QT_QPA_PLATFORM=xcb tst_songdetails

#include "fixturelibrary.h"
#include "testcatalogs.h"
#include "testpage.h"
#include "touchdriver.h"
#include "listrows.h"
#include "testenvironment.h"

#include "applicationactionmediator.h"
#include "common/constants.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"
#include "mbanner.h"
#include "mlabel.h"
#include "mlist.h"
#include "mobjectmenu.h"
#include "data/listmodel.h"
#include "mlocale.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pages/propertiescontainer.h"
#include "pages/songdetailview.h"
#include "pages/songdetailwidget.h"
#include "playback/playstate.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>

#include <memory>

using namespace Parlovance;

namespace {

const int Timeout = 30000;

const char* const QuotedAlbum = "Say \"Hi\" \\ Bye";
const char* const QuotedArtist = "Ann \"The Voice\"";

QStringList texts(const QList<MLabel*>& labels)
{
    QStringList list;
    for (MLabel* label : labels)
        list << label->text();
    return list;
}

MafwTrackerConnection* connection()
{
    return MafwTrackerModelFactoryInstance::instance()->factory()->trackerConnection();
}

// Runs a SPARQL update on the store and waits for its answer.
class StoreUpdate : public QObject
{
    Q_OBJECT

public:
    bool run(const QString& sparql)
    {
        done = false;
        ok = false;
        connection()->asyncQuery(sparql, 0, this,
                                 SLOT(finished(QList<QStringList>, bool, QVariant)),
                                 SLOT(queryFailed(int, QString, QVariant)), QVariant());
        return QTest::qWaitFor([this] { return done; }, Timeout) && ok;
    }

public slots:
    void finished(QList<QStringList>, bool, QVariant)
    {
        done = true;
        ok = true;
    }
    void queryFailed(int, QString message, QVariant)
    {
        qWarning() << "update failed:" << message;
        done = true;
    }

private:
    bool done = false;
    bool ok = false;
};

} // namespace

class TestSongDetails : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void detailsOfASongFillEveryPart();
    void longTapDetailsShowTheTappedSong();
    void quotesInTagsReachTheStoreSafely();
    void untitledSongShowsItsFileName();
    void anotherSongReplacesEverything();
    void aSongThatIsGoneLeavesNothingOfTheOneBefore();
    void aLateAnswerNeverShowsTheSongAskedBefore();
    void sameSongAgainRefreshesOnlyItsUsage();
    void discRowFollowsTheAlbumsDiscCount();
    void propertyValuesAreFormatted_data();
    void propertyValuesAreFormatted();
    void propertyRowsKeepTheirOrder();
    void rightToLeftLanguagesAlignRowsRight();
    void followsThePlayingSongOnlyWhenOpenedFromThePlayer();
    void finishedPlaybackDropsThePlayerFromTheHistory();
    void aLongTitleIsShownWhole();
    void screenshotOfTheDetailsPage();

private:
    int idOf(const QString& title) const;
    SongDetailView* showDetails(int id, ParlovancePages from = PageMain);

    std::unique_ptr<MainWindow> window;
    QSharedPointer<MafwTrackerModel> allSongs;
    mutable QHash<QString, int> ids;
};

void TestSongDetails::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs(QStringLiteral("en_GB"));
    MBanner::setDisplayDurationForTesting(50);

    AudioTags quoted;
    quoted.title = QStringLiteral("Quoted");
    quoted.artist = QLatin1String(QuotedArtist);
    quoted.album = QLatin1String(QuotedAlbum);
    quoted.genre = QStringLiteral("Jazz");
    quoted.trackNumber = 3;
    quoted.year = 2004;
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Ann/quoted.ogg"), quoted, 60000).isEmpty());

    AudioTags plain;
    plain.title = QStringLiteral("Plain");
    plain.artist = QStringLiteral("Bob");
    plain.album = QStringLiteral("Solo");
    plain.genre = QStringLiteral("Rock");
    plain.trackNumber = 1;
    plain.year = 2010;
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Bob/plain.mp3"), plain, 60000).isEmpty());
    plain.title = QStringLiteral("Second");
    plain.trackNumber = 2;
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Bob/second.flac"), plain, 60000).isEmpty());

    AudioTags untitled;
    untitled.artist = QStringLiteral("Bob");
    QVERIFY(!FixtureLibrary::addSong(QStringLiteral("Loose/a.b.ogg"), untitled, 1000).isEmpty());
    QVERIFY(FixtureLibrary::index());

    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    QTRY_VERIFY_WITH_TIMEOUT(factory->isReady(), Timeout);
    allSongs.reset(factory->factory()->getModel(MafwTrackerModel::AllSongs, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(allSongs->rowCount(), 4, Timeout);
    for (const char* title : { "Plain", "Second", "Quoted", "" })
        QVERIFY(idOf(QLatin1String(title)) > 0);

    window = std::make_unique<MainWindow>(PageMain, false);
    window->resize(480, 854);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // Page requests wait until the window's start has finished.
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), Timeout);
}

void TestSongDetails::init()
{
    PlayState::instance()->setShuffle(false);
    PlayState::instance()->setUpdatingLibrary(false);
}

void TestSongDetails::cleanupTestCase()
{
    PlayState* hub = PlayState::instance();
    hub->stop(PlayState::MusicMode);
    window.reset();
    allSongs.reset();
}

int TestSongDetails::idOf(const QString& title) const
{
    // Read once: a case renames a song in the store for a while.
    if (ids.contains(title))
        return ids.value(title);
    const int titleColumn = QuintaveilPage::columnForKey(allSongs.data(), Constants::SongTitle);
    const int idColumn = QuintaveilPage::columnForKey(allSongs.data(), Constants::SongId);
    const int untitled = QuintaveilPage::columnForKey(allSongs.data(), QStringLiteral("url"));
    for (int row = 0; row < allSongs->rowCount(); ++row) {
        const QString rowTitle = allSongs->index(row, titleColumn).data().toString();
        const QString uri = allSongs->index(row, untitled).data().toString();
        if (title.isEmpty() ? uri.endsWith(QLatin1String("a.b.ogg")) : rowTitle == title)
            return ids[title] = allSongs->index(row, idColumn).data().toInt();
    }
    return -1;
}

// Shows the details of a song through the window from another page, as the object menu does,
// and waits until the page has read it.
SongDetailView* TestSongDetails::showDetails(int id, ParlovancePages from)
{
    window->goToPage(from);
    auto* page = qobject_cast<SongDetailView*>(window->cachedPage(PageSongDetails));
    std::unique_ptr<QSignalSpy> finished;
    if (page)
        finished = std::make_unique<QSignalSpy>(page, SIGNAL(songDetailsQueryFinished()));
    window->goToPage(PageSongDetails, QVariant(id));
    page = qobject_cast<SongDetailView*>(window->cachedPage(PageSongDetails));
    if (!page)
        return nullptr;
    if (!finished)
        finished = std::make_unique<QSignalSpy>(page, SIGNAL(songDetailsQueryFinished()));
    if (finished->isEmpty() && !finished->wait(Timeout))
        return nullptr;
    if (!QTest::qWaitFor([page] { return page->sceneWindowState() == MSceneWindow::Appeared; },
                         Timeout))
        return nullptr;
    return page;
}

void TestSongDetails::detailsOfASongFillEveryPart()
{
    const int id = idOf(QStringLiteral("Plain"));
    QVERIFY(id > 0);
    const int announced = ApplicationActionMediator::instance()->contentCount();
    const int playedBefore = ApplicationActionMediator::instance()->playActionCount();
    SongDetailView* page = showDetails(id);
    QVERIFY(page);
    QCOMPARE(window->currentPage(), int(PageSongDetails));

    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Plain"));
    QCOMPARE(texts(page->detailWidget()->shownRows()),
             QStringList(
                 { "Track number: 1", "Artist: Bob", "Album: Solo", "Year: 2010", "Genre: Rock" }));

    const QStringList properties = texts(page->propertiesContainer()->shownRows());
    QCOMPARE(properties.value(0), QStringLiteral("Type: MP3"));
    QVERIFY2(properties.value(1).contains(QRegularExpression("^Size: \\d+\\.\\d kB$")),
             qPrintable(properties.value(1)));
    QCOMPARE(properties.value(2), QStringLiteral("Duration: 01:00"));
    QVERIFY2(properties.value(3).contains(QRegularExpression("^Bit rate: \\d+ kbps$")),
             qPrintable(properties.value(3)));
    QVERIFY2(properties.value(4).contains(QRegularExpression("^Sample rate: \\d+\\.\\d kHz$")),
             qPrintable(properties.value(4)));
    QCOMPARE(properties.value(5), QStringLiteral("Play count: 0"));
    QVERIFY(properties.value(6).startsWith(QLatin1String("Date added: ")));
    QVERIFY(properties.filter(QRegularExpression("^Channels: \\d$")).size() == 1);
    QCOMPARE(properties.last(), QStringLiteral("DRM protected: No"));
    // Never played: no last-played row.
    QVERIFY(properties.filter(QStringLiteral("Last played")).isEmpty());

    // The extensions hear of the song shown, which is no song played.
    ApplicationActionMediator* mediator = ApplicationActionMediator::instance();
    QCOMPARE(mediator->contentCount(), announced + 1);
    QCOMPARE(mediator->lastContentType(), 0);
    QCOMPARE(mediator->lastContent().value("song").toString(), QStringLiteral("Plain"));
    QCOMPARE(mediator->lastContent().value("artist").toString(), QStringLiteral("Bob"));
    QCOMPARE(mediator->lastContent().value("album").toString(), QStringLiteral("Solo"));
    QCOMPARE(mediator->lastContent().value("genre").toString(), QString());
    QCOMPARE(mediator->playActionCount(), playedBefore);
}

// The road a user takes: a long tap on a song row, "Details" in its menu.
void TestSongDetails::longTapDetailsShowTheTappedSong()
{
    auto page = std::make_unique<TestPage>(window.get(), false, SongObjectMenu);
    page->setModel(allSongs);
    TouchDriver finger(window.get());
    for (const char* title : { "Quoted", "Second" }) {
        window->goToPage(PageMain);
        page->appear(window.get());
        QTRY_COMPARE_WITH_TIMEOUT(page->sceneWindowState(), MSceneWindow::Appeared, Timeout);
        QModelIndex row;
        QTRY_VERIFY_WITH_TIMEOUT(
            (row = rowTitled(page->listAdapter(), QLatin1String(title))).isValid()
                && page->pageList()->visibleCell(row),
            Timeout);
        MWidget* cell = page->pageList()->visibleCell(row);
        const QPointF at = cell->mapToScene(cell->boundingRect().center());
        MObjectMenu* menu = page->pageObjectMenu();
        finger.press(at);
        QTRY_VERIFY_WITH_TIMEOUT(menu && menu->sceneWindowState() == MSceneWindow::Appeared,
                                 Timeout);
        finger.release(at);

        QAction* details = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QLatin1String("Details"))
                details = action;
        }
        QVERIFY(details);
        finger.tap(menu->mapToScene(menu->entryRect(details).center()));
        QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageSongDetails), Timeout);
        auto* detailsPage = qobject_cast<SongDetailView*>(window->cachedPage(PageSongDetails));
        QVERIFY(detailsPage);
        QTRY_COMPARE_WITH_TIMEOUT(detailsPage->titleHeader()->text(), QLatin1String(title),
                                  Timeout);
        QCOMPARE(detailsPage->fields().value("songId").toInt(), idOf(QLatin1String(title)));
        QTRY_COMPARE_WITH_TIMEOUT(menu->sceneWindowState(), MSceneWindow::Disappeared, Timeout);
    }
    window->goToPage(PageMain);
}

void TestSongDetails::quotesInTagsReachTheStoreSafely()
{
    const int id = idOf(QStringLiteral("Quoted"));
    QVERIFY(id > 0);
    auto* page = qobject_cast<SongDetailView*>(window->cachedPage(PageSongDetails));
    std::unique_ptr<QSignalSpy> discs;
    if (page)
        discs = std::make_unique<QSignalSpy>(page, SIGNAL(discNumberQueryFinished(int)));
    page = showDetails(id);
    QVERIFY(page);
    if (!discs)
        discs = std::make_unique<QSignalSpy>(page, SIGNAL(discNumberQueryFinished(int)));
    QCOMPARE(page->fields().value("album"), QLatin1String(QuotedAlbum));
    QCOMPARE(page->fields().value("artist"), QLatin1String(QuotedArtist));
    QVERIFY(texts(page->detailWidget()->shownRows())
                .contains(QStringLiteral("Album: ") + QLatin1String(QuotedAlbum)));
    // The album's disc count comes back: the quotes and the backslash did not break the query.
    QTRY_VERIFY_WITH_TIMEOUT(!discs->isEmpty(), Timeout);
    QCOMPARE(discs->last().at(0).toInt(), 1);
}

void TestSongDetails::untitledSongShowsItsFileName()
{
    const int id = idOf(QString());
    QVERIFY(id > 0);
    SongDetailView* page = showDetails(id);
    QVERIFY(page);
    QCOMPARE(page->fields().value("filename"), QStringLiteral("a.b.ogg"));
    // Only the last extension goes.
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("a.b"));
    // An untagged song has no album: the unknown-album text stands in.
    QCOMPARE(page->fields().value("album"), qtTrId("qtn_musi_unknown_album"));
    QCOMPARE(page->fields().value("mediatype"), QStringLiteral("OGG"));
    // No track number and no year: no rows for them.
    const QStringList rows = texts(page->detailWidget()->shownRows());
    QVERIFY(rows.filter(QStringLiteral("Track number")).isEmpty());
    QVERIFY(rows.filter(QStringLiteral("Year")).isEmpty());
}

void TestSongDetails::anotherSongReplacesEverything()
{
    SongDetailView* page = showDetails(idOf(QStringLiteral("Quoted")));
    QVERIFY(page);
    QVERIFY(texts(page->detailWidget()->shownRows()).contains(QStringLiteral("Genre: Jazz")));

    page = showDetails(idOf(QStringLiteral("Second")));
    QVERIFY(page);
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Second"));
    QCOMPARE(texts(page->detailWidget()->shownRows()),
             QStringList(
                 { "Track number: 2", "Artist: Bob", "Album: Solo", "Year: 2010", "Genre: Rock" }));
    QCOMPARE(texts(page->propertiesContainer()->shownRows()).value(0),
             QStringLiteral("Type: FLAC"));
}

void TestSongDetails::aSongThatIsGoneLeavesNothingOfTheOneBefore()
{
    SongDetailView* page = showDetails(idOf(QStringLiteral("Plain")));
    QVERIFY(page);
    const int announced = ApplicationActionMediator::instance()->contentCount();

    // An id of no song: the page empties instead of showing "Plain" under another id.
    page = showDetails(987654);
    QVERIFY(page);
    QCOMPARE(page->titleHeader()->text(), QString());
    QVERIFY(page->detailWidget()->shownRows().isEmpty());
    QCOMPARE(texts(page->propertiesContainer()->shownRows()),
             QStringList({ "Play count: 0", "DRM protected: No" }));
    QCOMPARE(ApplicationActionMediator::instance()->contentCount(), announced);

    // Ids below 1 are no songs at all: the page keeps what it shows.
    showDetails(idOf(QStringLiteral("Plain")));
    QSignalSpy finished(page, SIGNAL(songDetailsQueryFinished()));
    for (int bad : { 0, -1 }) {
        window->goToPage(PageMain);
        window->goToPage(PageSongDetails, QVariant(bad));
    }
    FixtureLibrary::settleStore();
    QVERIFY(finished.isEmpty());
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Plain"));
}

void TestSongDetails::aLateAnswerNeverShowsTheSongAskedBefore()
{
    SongDetailView* page = showDetails(idOf(QStringLiteral("Plain")));
    QVERIFY(page);
    QSignalSpy finished(page, SIGNAL(songDetailsQueryFinished()));
    // Two songs asked for in a row: only the last one may end on screen.
    window->goToPage(PageMain);
    window->goToPage(PageSongDetails, QVariant(idOf(QStringLiteral("Quoted"))));
    window->goToPage(PageMain);
    window->goToPage(PageSongDetails, QVariant(idOf(QStringLiteral("Second"))));
    QVERIFY(finished.wait(Timeout));
    FixtureLibrary::settleStore(); // a late answer arrives, and is dropped
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Second"));
    QCOMPARE(page->fields().value("songId").toInt(), idOf(QStringLiteral("Second")));

    // Back to a song shown before, while another is still asked for.
    window->goToPage(PageMain);
    window->goToPage(PageSongDetails, QVariant(idOf(QStringLiteral("Quoted"))));
    window->goToPage(PageMain);
    window->goToPage(PageSongDetails, QVariant(idOf(QStringLiteral("Second"))));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, Timeout);
    FixtureLibrary::settleStore();
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Second"));
}

void TestSongDetails::sameSongAgainRefreshesOnlyItsUsage()
{
    const int id = idOf(QStringLiteral("Plain"));
    SongDetailView* page = showDetails(id);
    QVERIFY(page);
    QCOMPARE(page->fields().value("playcount").toInt(), 0);

    // Renamed behind the page's back: showing the song again reads only its usage, so the
    // title stays as read, while the play count is current.
    StoreUpdate update;
    QVERIFY(update.run(QStringLiteral("DELETE { ?s nie:title ?t } INSERT { ?s nie:title "
                                      "\"Renamed\" } WHERE { ?s a nmm:MusicPiece ; nie:title "
                                      "?t . FILTER(tracker:id(?s) = %1) }")
                           .arg(id)));
    connection()->songPlayed(id);
    page = showDetails(id);
    QVERIFY(page);
    QTRY_COMPARE_WITH_TIMEOUT(page->fields().value("playcount").toInt(), 1, Timeout);
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Plain"));
    QCOMPARE(page->fields().value("title"), QStringLiteral("Plain"));
    QStringList properties = texts(page->propertiesContainer()->shownRows());
    QVERIFY(properties.contains(QStringLiteral("Play count: 1")));
    // The last-played row comes in its place, after the date added.
    const int lastPlayed = properties.indexOf(QRegularExpression("^Last played: .+"));
    QVERIFY(lastPlayed > properties.indexOf(QRegularExpression("^Date added: .+")));

    // While the page shows, every play of the song shows at once.
    QSignalSpy finished(page, SIGNAL(songDetailsQueryFinished()));
    connection()->songPlayed(id);
    QVERIFY(finished.wait(Timeout));
    QCOMPARE(texts(page->propertiesContainer()->shownRows()).filter("Play count").value(0),
             QStringLiteral("Play count: 2"));

    // Hidden, it does not listen.
    window->goToPage(PageMain);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Disappeared);
    finished.clear();
    connection()->songPlayed(id);
    FixtureLibrary::settleStore();
    QVERIFY(finished.isEmpty());

    QVERIFY(update.run(QStringLiteral("DELETE { ?s nie:title ?t } INSERT { ?s nie:title "
                                      "\"Plain\" } WHERE { ?s a nmm:MusicPiece ; nie:title "
                                      "?t . FILTER(tracker:id(?s) = %1) }")
                           .arg(id)));
}

void TestSongDetails::discRowFollowsTheAlbumsDiscCount()
{
    SongDetailView* page = showDetails(idOf(QStringLiteral("Second")));
    QVERIFY(page);
    SongDetailWidget* widget = page->detailWidget();

    QHash<QString, QString> fields = page->fields();
    fields.insert("discnumber", "1");
    widget->setData(fields);
    widget->updateDiscCount(1);
    QVERIFY(texts(widget->shownRows()).filter("Disc number").isEmpty());
    widget->updateDiscCount(2);
    QCOMPARE(texts(widget->shownRows()).value(1), QStringLiteral("Disc number: 1"));
    widget->updateDiscCount(2); // once only
    QCOMPARE(texts(widget->shownRows()).filter("Disc number").size(), 1);

    // Disc 2 shows even when the count failed; without a track number it is still second.
    fields.insert("discnumber", "2");
    fields.insert("tracknumber", "0");
    widget->setData(fields);
    widget->updateDiscCount(0);
    QCOMPARE(texts(widget->shownRows()),
             QStringList(
                 { "Artist: Bob", "Disc number: 2", "Album: Solo", "Year: 2010", "Genre: Rock" }));

    // Bad numbers give no rows.
    for (const char* bad : { "-1", "x", "" }) {
        fields.insert("discnumber", bad);
        fields.insert("tracknumber", bad);
        fields.insert("year", bad);
        widget->setData(fields);
        widget->updateDiscCount(5);
        QCOMPARE(texts(widget->shownRows()),
                 QStringList({ "Artist: Bob", "Album: Solo", "Genre: Rock" }));
    }
}

void TestSongDetails::propertyValuesAreFormatted_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("bytes") << "size" << "1023" << "1,023 bytes";
    QTest::newRow("one kilobyte") << "size" << "1024" << "1.0 kB";
    QTest::newRow("almost a megabyte") << "size" << "1048575" << "1024.0 kB";
    QTest::newRow("one megabyte") << "size" << "1048576" << "1.0 MB";
    QTest::newRow("gigabytes") << "size" << "3221225472" << "3.0 GB";
    QTest::newRow("bit rate below one kbps") << "bitrate" << "999" << "0 kbps";
    QTest::newRow("bit rate") << "bitrate" << "128000" << "128 kbps";
    QTest::newRow("fractional bit rate") << "bitrate" << "191999.9" << "191 kbps";
    QTest::newRow("cd sample rate") << "samplerate" << "44100" << "44.1 kHz";
    QTest::newRow("sample rate") << "samplerate" << "48000" << "48.0 kHz";
    QTest::newRow("protected") << "drm" << "true" << "Yes";
    QTest::newRow("not protected") << "drm" << "false" << "No";
    QTest::newRow("one is no yes") << "drm" << "1" << "No";
    QTest::newRow("upper case") << "drm" << "TRUE" << "No";
    QTest::newRow("no play") << "playcount" << "" << "0";
    QTest::newRow("plays") << "playcount" << "1234" << "1,234";
    QTest::newRow("channels") << "channels" << "2" << "2";
    QTest::newRow("length") << "length" << "61" << "01:01";
    QTest::newRow("bad date") << "created" << "yesterday" << "";
    QTest::newRow("no date") << "lastplayed" << "" << "";
    QTest::newRow("type") << "mediatype" << "MP3" << "MP3";
    QTest::newRow("publisher") << "publisher" << "Label & Co" << "Label & Co";
    // clang-format on
}

void TestSongDetails::propertyValuesAreFormatted()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    PropertiesContainer container(nullptr);
    QCOMPARE(container.formatValue(key, value), shown);
}

void TestSongDetails::propertyRowsKeepTheirOrder()
{
    PropertiesContainer container(nullptr);
    // A song without any value: play count and protection only, in that order.
    container.update(QHash<QString, QString>());
    QCOMPARE(texts(container.shownRows()), QStringList({ "Play count: 0", "DRM protected: No" }));

    // Rows come in where they belong, whichever rows stand around them.
    QHash<QString, QString> fields { { "length", "61" }, { "channels", "2" } };
    container.update(fields);
    QCOMPARE(texts(container.shownRows()), QStringList({ "Duration: 01:01", "Play count: 0",
                                                         "Channels: 2", "DRM protected: No" }));
    fields.insert("size", "2048");
    fields.insert("mediatype", "OGG");
    fields.insert("publisher", "Label");
    container.update(fields);
    QCOMPARE(texts(container.shownRows()),
             QStringList({ "Type: OGG", "Size: 2.0 kB", "Duration: 01:01", "Play count: 0",
                           "Channels: 2", "Publisher: Label", "DRM protected: No" }));
    fields.remove("size");
    container.update(fields);
    fields.insert("size", "4096");
    fields.insert("created", "2026-12-01T08:30:00Z");
    container.update(fields);
    const QStringList rows = texts(container.shownRows());
    QCOMPARE(rows.value(1), QStringLiteral("Size: 4.0 kB"));
    QVERIFY(rows.value(4).startsWith(QLatin1String("Date added: 01/12/2026")));

    // The usage rows alone.
    container.updateUsage({ { "playcount", "3" }, { "lastplayed", "2026-12-02T10:00:00Z" } });
    QCOMPARE(texts(container.shownRows()).value(3), QStringLiteral("Play count: 3"));
    QVERIFY(texts(container.shownRows()).value(5).startsWith(QLatin1String("Last played: ")));
    QCOMPARE(texts(container.shownRows()).value(6), QStringLiteral("Channels: 2"));
}

void TestSongDetails::rightToLeftLanguagesAlignRowsRight()
{
    const MLocale english = MLocale();
    const QHash<QString, QString> fields { { "artist", "Bob" }, { "tracknumber", "4" } };
    for (const char* name : { "ar", "fa", "he", "en_GB" }) {
        MLocale::setDefault(MLocale(QLatin1String(name)));
        const Qt::Alignment side = QLatin1String(name) == QLatin1String("en_GB") ? Qt::AlignLeft
                                                                                 : Qt::AlignRight;
        PropertiesContainer container(nullptr);
        container.update(fields);
        for (MLabel* label : container.shownRows())
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, side);
        SongDetailWidget widget(nullptr);
        widget.setData(fields);
        QCOMPARE(widget.shownRows().size(), 2);
        for (MLabel* label : widget.shownRows())
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, side);
    }
    MLocale::setDefault(english);
}

void TestSongDetails::followsThePlayingSongOnlyWhenOpenedFromThePlayer()
{
    PlayState* hub = PlayState::instance();
    const int plain = idOf(QStringLiteral("Plain"));
    const int second = idOf(QStringLiteral("Second"));
    const int idColumn = QuintaveilPage::columnForKey(allSongs.data(), Constants::SongId);
    int secondRow = -1;
    for (int row = 0; row < allSongs->rowCount(); ++row) {
        if (allSongs->index(row, idColumn).data().toInt() == second)
            secondRow = row;
    }
    QVERIFY(secondRow >= 0);

    // Opened from the main page: a change of song is not followed.
    SongDetailView* page = showDetails(plain);
    QVERIFY(page);
    hub->appendModel(allSongs, PlayState::ReplaceQueue, -1);
    QTRY_VERIFY_WITH_TIMEOUT(hub->songCount(PlayState::MusicMode) > 0, Timeout);
    QVERIFY(hub->startPlayback(secondRow, PlayState::PlayNow) >= 0);
    QTRY_COMPARE_WITH_TIMEOUT(hub->songId(PlayState::MusicMode), second, Timeout);
    hub->emitSongChanged();
    FixtureLibrary::settleStore();
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Plain"));

    // Opened from the player: the page follows the song that plays.
    page = showDetails(plain, PageNowPlaying);
    QVERIFY(page);
    QCOMPARE(window->previousPage(), int(PageNowPlaying));
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Plain"));
    // The answer for "Plain" asked when the page opened may still be on its way: wait for
    // the song that plays, not for the next answer.
    hub->emitSongChanged();
    QTRY_COMPARE_WITH_TIMEOUT(page->titleHeader()->text(), QStringLiteral("Second"), Timeout);

    hub->stop(PlayState::MusicMode);
    hub->clearPlayQueue();
    // Nothing to play: no id, and the page keeps its song (a query for no song would have
    // emptied it).
    QVERIFY(hub->songId(PlayState::MusicMode) < 1);
    hub->emitSongChanged();
    FixtureLibrary::settleStore();
    QCOMPARE(page->titleHeader()->text(), QStringLiteral("Second"));
    QCOMPARE(page->fields().value("songId").toInt(), second);
}

void TestSongDetails::finishedPlaybackDropsThePlayerFromTheHistory()
{
    SongDetailView* page = showDetails(idOf(QStringLiteral("Plain")), PageNowPlaying);
    QVERIFY(page);
    const int visits = window->pageHistory().count(PageNowPlaying);
    QVERIFY(visits > 0);
    QMetaObject::invokeMethod(PlayState::instance(), "playbackCompleted");
    QCOMPARE(window->pageHistory().count(PageNowPlaying), visits - 1);

    // With another page on screen the history stays as it is.
    window->goToPage(PageNowPlaying);
    window->goToPage(PageMain);
    QTRY_COMPARE(page->sceneWindowState(), MSceneWindow::Disappeared);
    QMetaObject::invokeMethod(PlayState::instance(), "playbackCompleted");
    QCOMPARE(window->pageHistory().count(PageNowPlaying), visits);
}

void TestSongDetails::aLongTitleIsShownWhole()
{
    const int id = idOf(QStringLiteral("Second"));
    QVERIFY(id > 0);
    QString title;
    for (int word = 1; title.size() < 200; ++word)
        title += QStringLiteral("Word%1 ").arg(word);
    title = title.left(199) + QLatin1Char('Z');
    QCOMPARE(title.size(), 200);
    StoreUpdate update;
    const QString rename = QStringLiteral("DELETE { ?s nie:title ?t } INSERT { ?s nie:title \"%1\" "
                                          "} WHERE { ?s a nmm:MusicPiece ; nie:title ?t . "
                                          "FILTER(tracker:id(?s) = %2) }");
    QVERIFY(update.run(rename.arg(title).arg(id)));
    // Another song first, so that the page reads this one anew.
    QVERIFY(showDetails(idOf(QStringLiteral("Plain"))));
    SongDetailView* page = showDetails(id);
    QVERIFY(page);
    QCOMPARE(page->titleHeader()->text(), title);
    QCoreApplication::processEvents();

    // The header's label, drawn alone: as many lines of ink as the title needs at its width.
    MLabel* label = page->titleHeader()->label();
    const QSize size = label->size().toSize();
    QVERIFY(size.width() > 100);
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        QStyleOptionGraphicsItem option;
        label->paint(&painter, &option, nullptr);
    }
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < drawn.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < drawn.width() && !ink; ++x)
            ink = qAlpha(drawn.pixel(x, y)) > 0;
        if (ink && !inLine)
            ++lines;
        inLine = ink;
    }
    // Two hundred characters do not fit on three lines of a phone's width.
    QVERIFY2(lines >= 4, qPrintable(QString::number(lines)));
    // The rows below start under the whole title.
    QVERIFY(page->detailWidget()->mapRectToScene(page->detailWidget()->boundingRect()).top()
            >= label->mapRectToScene(label->boundingRect()).bottom() - 1);

    QVERIFY(update.run(rename.arg(QStringLiteral("Second")).arg(id)));
}

void TestSongDetails::screenshotOfTheDetailsPage()
{
    SongDetailView* page = showDetails(idOf(QStringLiteral("Quoted")));
    QVERIFY(page);
    QTRY_VERIFY(page->sceneWindowState() == MSceneWindow::Appeared);
    QCoreApplication::processEvents();
    // Every row is on screen, inside the window.
    for (MLabel* label : page->propertiesContainer()->shownRows()) {
        const QRectF onScene = label->mapRectToScene(label->boundingRect());
        QVERIFY2(onScene.top() >= 0 && onScene.bottom() <= 854 + 400, qPrintable(label->text()));
        QVERIFY(label->isVisible());
    }
    const QImage shot = window->grab().toImage();
    QVERIFY(!shot.isNull());
    const QString path = TestEnvironment::screenshotDir() + QStringLiteral("/song-details.png");
    QVERIFY(shot.save(path));
    qInfo().noquote() << "screenshot:" << path;
}

PARLOVANCE_TEST_MAIN(TestSongDetails)
#include "tst_songdetails.moc"
