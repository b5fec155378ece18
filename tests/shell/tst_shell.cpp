#include "testenvironment.h"
#include "testcatalogs.h"

#include "shell/commandline.h"
#include "common/constants.h"
#include "shell/errormessage.h"
#include "shell/mainwindow.h"
#include "shell/pagetable.h"
#include "mapplication.h"
#include "mapplicationpage.h"
#include "mbanner.h"
#include "mbutton.h"
#include "pageframework/mainpagelistitem.h"
#include "mlocale.h"
#include "mscenemanager.h"
#include "shell/parlovanceapplicationservice.h"
#include "shell/parlovancelauncher.h"
#include "pages/parlovancemainpage.h"
#include "common/parlovancesettings.h"
#include "shell/performancemeasurement.h"
#include "playback/playstate.h"
#include "qmusbmode.h"
#include "pageframework/quintaveilpage.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace Parlovance;

namespace {

const char* const BannerTexts[] = { "Unable to connect",
                                    "Connection lost",
                                    "Connection lost",
                                    "File not found",
                                    "Codec not supported",
                                    "Format not supported",
                                    "Not enough memory",
                                    "Playlist is corrupted",
                                    "Playlist is empty",
                                    "Unable to play song",
                                    "Unable to seek",
                                    "Cannot play music during a call",
                                    "Protected content not supported",
                                    "Application is not responding" };

QString settingsPath()
{
    return ParlovanceSettings().fileName();
}

void writeSettings(const QHash<QString, QVariant>& values)
{
    ParlovanceSettings settings;
    settings.clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
}

QStringList settingsKeys()
{
    return ParlovanceSettings().allKeys();
}

// The copies of the settings file kept beside it.
QStringList settingsBackups()
{
    const QFileInfo info(settingsPath());
    return QDir(info.absolutePath()).entryList({ info.fileName() + ".backup-*" }, QDir::Files);
}

QList<MBanner*> bannersOf(MWindow* window)
{
    QList<MBanner*> banners;
    const QList<QGraphicsItem*> items = window->scene()->items();
    for (QGraphicsItem* item : items) {
        if (auto* banner = qobject_cast<MBanner*>(item->toGraphicsObject()))
            banners.append(banner);
    }
    return banners;
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Before any window exists.
    void bannerWithoutWindowStillDisappears();
    void commandLine();
    void performanceMeasurement();
    void launcherAsksTheBus();

    void pageTableHasOneRowForEachPage();
    void pageFactoryBuildsEachPageOnce();
    void historyFollowsShownPages();
    void goingBackKeepsTheHistory();
    void pageBackButtonGoesBackInWindowAndScene();
    void removeVisitedPage();
    void massStorageLocksNavigation();
    void leavingMassStorageDropsThePlaylistsPageSafely();
    void leavingMassStorageDuringAnUpdateReturnsToMainPage();
    void settingsVersionRule_data();
    void settingsVersionRule();
    void strayQuoteBeforeTheVersionCostsOnlyItsLine();
    void unreadableSettingsDoNotStopTheStart();
    void errorBannersShowTheirTexts();
    void applicationServiceShowsAndDeletesTheWindow();
    void aClosedWindowStaysClosedUntilAskedFor();
    void launchOverTheBusShowsTheWindow();
    void startParksRequestsUntilThePagesAreBuilt();
    void aPageAskedForDuringTheStartIsBuiltAndShownFirst();
    void indexingReportsDriveTheUpdatingState();
    void updatingStateEndsWithoutAFinishedReport();

private:
    std::unique_ptr<MainWindow> newWindow(ParlovancePages page = PageMain);
};

void TestShell::initTestCase()
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    MBanner::setDisplayDurationForTesting(50);
}

void TestShell::init()
{
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::Disconnected);
    PlayState::instance()->setUpdatingLibrary(false);
    MBanner::clearShownTitles();
}

void TestShell::cleanup()
{
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::Disconnected);
    PlayState::instance()->setUpdatingLibrary(false);
}

std::unique_ptr<MainWindow> TestShell::newWindow(ParlovancePages page)
{
    auto window = std::make_unique<MainWindow>(page, false);
    // Other pages are shown once the window has built the most used ones.
    if (page == PageMain)
        [&]() { QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), 30000); }();
    return window;
}

void TestShell::bannerWithoutWindowStillDisappears()
{
    QVERIFY(MApplication::windows().isEmpty());
    ErrorMessage message(nullptr);
    QSignalSpy gone(&message, SIGNAL(disappeared()));
    message.show(ErrorMessage::AppNotResponding);
    QVERIFY(gone.wait(5000));
    QCOMPARE(MBanner::shownTitles(),
             QStringList { QStringLiteral("Application is not responding") });
}

void TestShell::commandLine()
{
    struct Case
    {
        QList<QByteArray> args;
        bool help;
        bool serviceOnly;
    };
    const QList<Case> cases = {
        { { "parlovance" }, false, false },
        { { "parlovance", "--help" }, true, false },
        { { "parlovance", "-servicefw" }, false, true },
        { { "parlovance", "--help", "-servicefw" }, true, true },
        { { "parlovance", "--helpme", "-servicefwx", "--HELP", "servicefw" }, false, false },
        { { "-servicefw" }, false, true },
        { { "--help", "other" }, true, false },
    };
    for (const Case& c : cases) {
        QVector<QByteArray> storage = c.args.toVector();
        QVector<char*> argv;
        for (QByteArray& arg : storage)
            argv.append(arg.data());
        bool help = true;
        bool serviceOnly = true;
        parseArguments(argv.size(), argv.data(), help, serviceOnly);
        QCOMPARE(help, c.help);
        QCOMPARE(serviceOnly, c.serviceOnly);
    }
}

void TestShell::performanceMeasurement()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString path = dir.filePath(QStringLiteral("performance_results.txt"));
    const QRegularExpression record(QStringLiteral(
        "^-{60}\nMeasure id: start\nDescription: Start-up\nResult: \\d+ms\nRequired: <800 ms\n\n$"));

    // Without the file nothing is written at construction; records are still appended.
    PerformanceMeasurement* timing = PerformanceMeasurement::instance();
    QVERIFY(!QFile::exists(path));
    timing->stopMeasure(QStringLiteral("never"));
    QVERIFY(!QFile::exists(path));
    timing->startMeasure(QStringLiteral("start"), 800, QStringLiteral("Start-up"));
    timing->stopMeasure(QStringLiteral("start"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(record.match(QString::fromUtf8(file.readAll())).hasMatch(), "record layout");
    file.close();
    // A measure is written once: the second stop finds nothing.
    const qint64 size = QFileInfo(path).size();
    timing->stopMeasure(QStringLiteral("start"));
    QCOMPARE(QFileInfo(path).size(), size);

    // With the file present, a new instance starts it again with a header.
    PerformanceMeasurement::destroyInstance();
    timing = PerformanceMeasurement::instance();
    timing->startMeasure(QStringLiteral("page"), 100, QStringLiteral("Page"));
    timing->writeResult(QStringLiteral("page"), 42);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    QVERIFY2(text.startsWith(QStringLiteral("\n\nMeasures performed: ")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Measure id: start")));
    QVERIFY(text.endsWith(QString(60, QLatin1Char('-'))
                          + QStringLiteral("\nMeasure id: page\nDescription: Page\nResult: 42ms\n"
                                           "Required: <100 ms\n\n")));
    PerformanceMeasurement::destroyInstance();
    QDir::setCurrent(previous);
}

void TestShell::launcherAsksTheBus()
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QVERIFY(bus);
    // Not registered yet: nothing is started, nothing fails.
    QVERIFY(!bus->isServiceRegistered(QStringLiteral("com.vaspe.parlovance")).value());
    ParlovanceLauncher::instance()->startParlovanceService();
    ParlovanceApplicationService::instance();
    QVERIFY(bus->isServiceRegistered(QStringLiteral("com.vaspe.parlovance")).value());
    ParlovanceLauncher::instance()->startParlovanceService();
    ParlovanceLauncher::destroyInstance();
    ParlovanceLauncher::destroyInstance();
}

void TestShell::pageTableHasOneRowForEachPage()
{
    // Only these show while the most used pages are still being built.
    const QSet<int> atOnce = { PageMain, PageNowPlaying, PageSongDetails, PageUsbNotice };
    for (int value = PageMain; value <= PageUsbNotice; ++value) {
        const PageTable::Row& row = PageTable::row(ParlovancePages(value));
        QCOMPARE(int(row.page), value);
        QVERIFY(row.make);
        QCOMPARE(row.showsWhilePreloading, atOnce.contains(value));
    }
    // A number that names no page is built as the main page, but waits like the others.
    const PageTable::Row& unknown = PageTable::row(ParlovancePages(PageUsbNotice + 1));
    QCOMPARE(unknown.styleName, PageTable::row(PageMain).styleName);
    QVERIFY(!unknown.hasToolbar);
    QVERIFY(!unknown.showsWhilePreloading);
}

void TestShell::pageFactoryBuildsEachPageOnce()
{
    struct Expected
    {
        int page;
        const char* className;
        const char* styleName;
        int toolbarActions;
    };
    const QList<Expected> expected = {
        { 0, "ParlovanceMainPage", "ParlovanceMainPage", 0 },
        { 1, "MyArtistsPage", "ArtistsCollectionView", 1 },
        { 2, "MyAlbumsPage", "AlbumsCollectionView", 1 },
        { 3, "AllSongsPage", "SongsCollectionView", 1 },
        { 4, "SongsOfAlbumPage", "SongsOfAlbumCollectionView", 1 },
        { 5, "AlbumsOfArtistPage", "AlbumsOfArtistCollectionView", 1 },
        { 6, "PlaylistCollectionPage", "PlaylistCollectionPage", 1 },
        { 7, "SongsOfPlaylistPage", "SongsOfPlaylistCollectionView", 1 },
        { 8, "NowPlayingPage", "AudioPlayerView", 0 },
        { 9, "SongsOfArtistPage", "SongsOfArtistCollectionView", 1 },
        { 10, "ExtensionPage", "ExtensionSubView", 1 },
        { 11, "SongDetailView", "SongDetailView", 0 },
        { 12, "ParlovanceMainPage", "ParlovanceMainPage", 0 },
        { 13, "UsbStateNoticePage", "", 0 },
        { 14, "ParlovanceMainPage", "ParlovanceMainPage", 0 },
        { 15, "ParlovanceMainPage", "ParlovanceMainPage", 0 },
    };
    auto window = newWindow();
    QSet<MApplicationPage*> seen;
    for (const Expected& e : expected) {
        const auto value = ParlovancePages(e.page);
        window->loadPage(value);
        MApplicationPage* page = window->cachedPage(value);
        QVERIFY2(page, qPrintable(QString::number(e.page)));
        QCOMPARE(page->metaObject()->className(), e.className);
        QCOMPARE(page->styleName(), QString::fromLatin1(e.styleName));
        QCOMPARE(page->toolBarActions().size() + page->viewMenuActions().size() > 0,
                 e.toolbarActions > 0);
        // Toolbar actions are made once: loading the page again adds none.
        const int actions = page->actions().size();
        QCOMPARE(actions > 0, e.toolbarActions > 0);
        window->loadPage(value);
        QCOMPARE(window->cachedPage(value), page);
        QCOMPARE(page->actions().size(), actions);
        QVERIFY(!seen.contains(page));
        seen.insert(page);
    }
    // Each page value has its own instance, also where the class is the same.
    QCOMPARE(seen.size(), expected.size());
}

void TestShell::historyFollowsShownPages()
{
    auto window = newWindow();
    QCOMPARE(window->pageHistory(), QList<ParlovancePages> { PageMain });
    QCOMPARE(window->currentPage(), 0);
    QSignalSpy changed(window.get(), SIGNAL(pageChanged(Parlovance::ParlovancePages)));
    QSignalSpy remember(window.get(), SIGNAL(rememberPosition(bool)));

    window->goToPage(PageAlbums);
    window->goToPage(PageAlbums);
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageAlbums }));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(window->previousPage(), 0);
    QCOMPARE(window->currentPage(), 2);

    window->goToPage(PageNowPlaying);
    window->goToPage(PageNowPlaying);
    QCOMPARE(window->pageHistory(),
             (QList<ParlovancePages> { PageMain, PageAlbums, PageNowPlaying, PageNowPlaying }));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(window->previousPage(), 8);

    window->goToPage(PageSongDetails, QVariant(7));
    QCOMPARE(remember.count(), 4);
    QCOMPARE(remember.last().first().toBool(), true);
    QCOMPARE(remember.first().first().toBool(), false);
    QCOMPARE(window->currentPage(), 11);
    QCOMPARE(window->previousPage(), 8);
    QTRY_COMPARE(window->sceneManager()->currentPage(), window->cachedPage(PageSongDetails));
    QVERIFY(window->isVisible());

    // The main page is shown again even when it is shown already.
    window->goToPage(PageMain);
    window->goToPage(PageMain);
    QCOMPARE(window->pageHistory().mid(5), (QList<ParlovancePages> { PageMain, PageMain }));
    QCOMPARE(window->previousPage(), 0);
}

void TestShell::goingBackKeepsTheHistory()
{
    auto window = newWindow();
    // One entry: going back shows the main page again.
    window->goBack();
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageMain }));

    window->goToPage(PageArtists);
    window->goToPage(PageAlbumsOfArtist);
    QSignalSpy changed(window.get(), SIGNAL(pageChanged(Parlovance::ParlovancePages)));
    QVERIFY(!window->wentBack());
    window->goBack();
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageMain, PageArtists }));
    QCOMPARE(window->currentPage(), 1);
    QCOMPARE(window->previousPage(), 0);
    QVERIFY(window->wentBack());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().value<ParlovancePages>(), PageArtists);
    window->setWentBack(false);
    QVERIFY(!window->wentBack());

    // A step forward right after going back: the flag was the page gone back to's, not the
    // page now shown's. Showing the same page again is no step and leaves it.
    window->goToPage(PageAlbumsOfArtist);
    window->goBack();
    window->goToPage(PageArtists);
    QVERIFY(window->wentBack());
    window->goToPage(PageAlbumsOfArtist);
    QVERIFY(!window->wentBack());
    window->goBack();

    window->goBack();
    window->goBack();
    QCOMPARE(window->pageHistory(), QList<ParlovancePages> { PageMain });
    QCOMPARE(window->currentPage(), 0);
    QCOMPARE(window->previousPage(), 0);
}

void TestShell::pageBackButtonGoesBackInWindowAndScene()
{
    auto window = newWindow();
    window->show();
    window->goToPage(PageArtists);
    auto* artists = qobject_cast<QuintaveilPage*>(window->cachedPage(PageArtists));
    QVERIFY(artists);
    QTRY_COMPARE(artists->sceneWindowState(), MSceneWindow::Appeared);

    // A page asks for another page through its own signal.
    emit artists->goToPage(PageAlbumsOfArtist, QVariant(QStringLiteral("x")));
    QCOMPARE(window->currentPage(), 5);
    auto* albums = window->cachedPage(PageAlbumsOfArtist);
    QTRY_COMPARE(albums->sceneWindowState(), MSceneWindow::Appeared);

    emit albums->backButtonClicked();
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageArtists }));
    QTRY_COMPARE(window->sceneManager()->currentPage(), static_cast<MApplicationPage*>(artists));
    QVERIFY(window->wentBack());
}

void TestShell::removeVisitedPage()
{
    auto window = newWindow();
    window->goToPage(PageAlbums);
    window->goToPage(PageSongDetails);
    MApplicationPage* albums = window->cachedPage(PageAlbums);
    QVERIFY(window->sceneManager()->pageHistory().contains(albums));

    window->removeVisitedPage(PageAlbums);
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageSongDetails }));
    QVERIFY(!window->sceneManager()->pageHistory().contains(albums));
    QCOMPARE(window->sceneManager()->pageHistory().size(), 1);

    // Not in both histories: a warning, and the window's history stays as it is.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Failed to remove visited page!"));
    window->removeVisitedPage(PageAlbums);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Failed to remove visited page!"));
    window->removeVisitedPage(PageArtists);
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageSongDetails }));
    QCOMPARE(window->sceneManager()->pageHistory().size(), 1);
}

void TestShell::massStorageLocksNavigation()
{
    auto window = newWindow();
    window->show();
    window->goToPage(PageAlbums);
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
    QVERIFY(window->isMassStorageMode());
    QVERIFY(window->isNavigationLocked());
    QCOMPARE(window->currentPage(), 13);
    MApplicationPage* notice = window->cachedPage(PageUsbNotice);
    QVERIFY(notice);
    QTRY_COMPARE(window->sceneManager()->currentPage(), notice);
    QVERIFY(!notice->isPannable());
    QCOMPARE(int(notice->componentDisplayMode(MApplicationPage::NavigationBar)),
             int(MApplicationPageModel::Hide));
    QCOMPARE(int(notice->componentDisplayMode(MApplicationPage::HomeButton)),
             int(MApplicationPageModel::Hide));
    QCOMPARE(int(notice->componentDisplayMode(MApplicationPage::EscapeButton)),
             int(MApplicationPageModel::Hide));

    // Every request is ignored, whoever makes it.
    const QList<ParlovancePages> locked = window->pageHistory();
    window->goToPage(PageMain);
    window->goToPage(PageNowPlaying);
    emit qobject_cast<QuintaveilPage*>(window->cachedPage(PageAlbums))->goToPage(PageArtists);
    ParlovanceApplicationService::instance()->appWindowInFront();
    QCOMPARE(window->pageHistory(), locked);
    QCOMPARE(window->currentPage(), 13);

    // A window made while the device is in mass storage starts on the notice page.
    auto second = newWindow(PageUsbNotice);
    QCOMPARE(second->currentPage(), 13);
    QVERIFY(second->isNavigationLocked());
}

void TestShell::leavingMassStorageDropsThePlaylistsPageSafely()
{
    auto window = newWindow();
    window->show();
    window->goToPage(PagePlaylists);
    QPointer<MApplicationPage> playlists = window->cachedPage(PagePlaylists);
    QTRY_COMPARE(playlists->sceneWindowState(), MSceneWindow::Appeared);
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
    QTRY_COMPARE(window->sceneManager()->currentPage(), window->cachedPage(PageUsbNotice));
    QVERIFY(window->sceneManager()->pageHistory().contains(playlists.data()));

    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::Disconnected);
    QVERIFY(!window->isNavigationLocked());
    QVERIFY(PlayState::instance()->isUpdatingLibrary());
    QCOMPARE(window->pageHistory(), QList<ParlovancePages> { PageMain });
    QCOMPARE(window->currentPage(), 0);
    auto* mainPage = qobject_cast<ParlovanceMainPage*>(window->cachedPage(PageMain));
    QVERIFY(mainPage->isUpdatingLibraryState());
    QCOMPARE(mainPage->latestActivityUpdateDelay(), 1500);

    // The playlists page leaves the cache and the scene's history before it goes.
    QVERIFY(!window->cachedPage(PagePlaylists));
    QVERIFY(!window->sceneManager()->pageHistory().contains(playlists.data()));
    QTRY_VERIFY(playlists.isNull());
    QTRY_COMPARE(window->sceneManager()->currentPage(), static_cast<MApplicationPage*>(mainPage));
    // Going back through the scene now finds only live pages.
    for (MSceneWindow* page : window->sceneManager()->pageHistory())
        QVERIFY(page);

    // Built again on next use.
    window->goToPage(PagePlaylists);
    QVERIFY(window->cachedPage(PagePlaylists));
    QCOMPARE(window->currentPage(), 6);

    // The updating state ends (after 15 s, or when indexing ends).
    window->disableUpdatingLibraryState();
    QVERIFY(!PlayState::instance()->isUpdatingLibrary());
    QVERIFY(!mainPage->isUpdatingLibraryState());
}

void TestShell::leavingMassStorageDuringAnUpdateReturnsToMainPage()
{
    auto window = newWindow();
    window->goToPage(PageArtists);
    PlayState::instance()->setUpdatingLibrary(true);
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
    QCOMPARE(window->currentPage(), 13);
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::SyncMode);
    QVERIFY(!window->isNavigationLocked());
    QCOMPARE(window->currentPage(), 0);
    QCOMPARE(window->pageHistory(), QList<ParlovancePages> { PageMain });
    window->goToPage(PageAlbums);
    QCOMPARE(window->currentPage(), 2);
}

void TestShell::settingsVersionRule_data()
{
    QTest::addColumn<QVariant>("version");
    QTest::addColumn<bool>("kept");
    QTest::newRow("missing") << QVariant() << false;
    QTest::newRow("1") << QVariant(1) << false;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("not a number") << QVariant(QStringLiteral("two")) << false;
    QTest::newRow("2") << QVariant(2) << true;
    QTest::newRow("7") << QVariant(7) << true;
}

void TestShell::settingsVersionRule()
{
    QFETCH(QVariant, version);
    QFETCH(bool, kept);
    QHash<QString, QVariant> values = {
        { Constants::ShuffleOn, 1 },
        { Constants::RepeatOn, true },
        { Constants::SettingsSongId, 12 },
        { Constants::Position, 40 },
    };
    if (version.isValid())
        values.insert(Constants::SettingsVersion, version);
    writeSettings(values);
    const QStringList backupsBefore = settingsBackups();

    // The rule is applied as the window is made, before the start's second stage.
    auto window = std::make_unique<MainWindow>(PageMain, false);
    ParlovanceSettings settings;
    QStringList backups = settingsBackups();
    if (kept) {
        QCOMPARE(settings.allKeys().size(), 5);
        QCOMPARE(settings.value(Constants::SettingsVersion), version);
        QCOMPARE(settings.value(Constants::SettingsSongId).toInt(), 12);
        QCOMPARE(backups, backupsBefore);
    } else {
        QCOMPARE(settingsKeys(), QStringList { Constants::SettingsVersion });
        QCOMPARE(settings.value(Constants::SettingsVersion).toInt(), 2);
        // What the old file held is not dropped unseen: it is kept beside.
        for (const QString& before : backupsBefore)
            backups.removeOne(before);
        QCOMPARE(backups.size(), 1);
        QSettings backup(QFileInfo(settingsPath()).absolutePath() + '/' + backups.first(),
                         QSettings::IniFormat);
        QCOMPARE(backup.value(Constants::SettingsSongId).toInt(), 12);
    }
}

void TestShell::strayQuoteBeforeTheVersionCostsOnlyItsLine()
{
    writeSettings({ { Constants::SettingsVersion, 2 }, { Constants::RepeatOn, true } });
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(text).replace("[General]\n", "[General]\nNote=\"unterminated\n"));
    }
    auto window = newWindow();
    ParlovanceSettings settings;
    QCOMPARE(settings.value(Constants::SettingsVersion).toInt(), 2);
    QCOMPARE(settings.value(Constants::RepeatOn).toBool(), true);
    QVERIFY(!settings.contains(QStringLiteral("Note")));
}

void TestShell::unreadableSettingsDoNotStopTheStart()
{
    const QString path = settingsPath();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    // Garbage in the file: the window starts and the file is written anew, so that settings
    // last again.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::fromHex("00ff5b5b5b62726f6b656e0a3d0a0102")
                   + QByteArray(61, '\x7f'));
    }
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read; it starts anew"));
        auto window = newWindow();
        QCOMPARE(window->currentPage(), 0);
        ParlovanceSettings settings;
        settings.setValue(Constants::RepeatOn, true);
        settings.sync();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("SettingsVersion=2") && text.contains("RepeatOn=true"), text);
    }
    // The file cannot be opened at all (a folder in its place): the window still starts.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkpath(path));
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be written"));
        auto window = newWindow();
        QCOMPARE(window->currentPage(), 0);
        window->goToPage(PageArtists);
        QCOMPARE(window->currentPage(), 1);
    }
    QVERIFY(QDir(path).removeRecursively());
}

void TestShell::errorBannersShowTheirTexts()
{
    auto window = newWindow();
    window->show();
    QTRY_VERIFY(window->sceneManager()->currentPage());
    ErrorMessage message(window.get());
    QSignalSpy gone(&message, SIGNAL(disappeared()));
    for (int code = 0; code <= 13; ++code) {
        MBanner::clearShownTitles();
        message.show(code);
        const QList<MBanner*> banners = bannersOf(window.get());
        QVERIFY(!banners.isEmpty());
        QCOMPARE(banners.last()->styleName(), QStringLiteral("InformationBanner"));
        QTRY_COMPARE(MBanner::shownTitles(), QStringList { QString::fromUtf8(BannerTexts[code]) });
    }
    QTRY_COMPARE(gone.count(), 14);

    // Other codes: a banner without a title, which still goes and says so.
    gone.clear();
    MBanner::clearShownTitles();
    message.show(14);
    message.show(-1);
    QTRY_COMPARE(MBanner::shownTitles(), (QStringList { QString(), QString() }));
    QTRY_COMPARE(gone.count(), 2);
    // Banners delete themselves when done.
    QTRY_VERIFY(bannersOf(window.get()).isEmpty());
}

void TestShell::applicationServiceShowsAndDeletesTheWindow()
{
    ParlovanceApplicationService* service = ParlovanceApplicationService::instance();
    QVERIFY(!service->mainWindow());
    service->showMainWindow(PageMain, false);
    MainWindow* window = service->mainWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    // Shown once by the window's own start and once by the service.
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageMain }));
    QVERIFY(!window->isShownForExternalPlayback());

    service->showMainWindow(PageNowPlaying, true);
    QCOMPARE(service->mainWindow(), window);
    QCOMPARE(window->currentPage(), 8);
    QVERIFY(window->isShownForExternalPlayback());

    // In mass storage the notice page is shown instead.
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::MassStorage);
    service->showMainWindow(PageNowPlaying, true);
    QCOMPARE(window->currentPage(), 13);

    QSignalSpy closed(window, SIGNAL(mainWindowClosed()));
    window->close();
    QCOMPARE(closed.count(), 1);
    service->deleteMainWindow();
    QVERIFY(!service->mainWindow());
    service->deleteMainWindow();

    // A window made in mass storage starts on the notice page.
    service->showMainWindow(PageMain, false);
    QCOMPARE(service->mainWindow()->currentPage(), 13);
    QCOMPARE(service->mainWindow()->pageHistory().first(), PageUsbNotice);
    service->deleteMainWindow();
}

void TestShell::aClosedWindowStaysClosedUntilAskedFor()
{
    // The user closes the window while the start is busy; the indexer's report that it has
    // begun (a first start on a large library) comes in after the close. It takes the window
    // back to its main page, but the window stays closed, so the program can end; only an
    // outside request to show it brings it back.
    ParlovanceApplicationService* service = ParlovanceApplicationService::instance();
    QVERIFY(!service->mainWindow());
    service->showMainWindow(PageMain, false);
    MainWindow* window = service->mainWindow();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), 30000);
    window->goToPage(PageAlbums);
    QVERIFY(window->isVisible());
    window->watchTrackerIndexing(true);
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    window->handleTrackerIndexing(true, 20000, false);
    QVERIFY(PlayState::instance()->isUpdatingLibrary());
    QCOMPARE(window->currentPage(), int(PageMain));
    QCoreApplication::processEvents();
    QVERIFY(!window->isVisible());
    // An indexing that starts over does the same.
    window->handleTrackerIndexing(false, 0, false);
    window->handleTrackerIndexing(true, 0, true);
    QCoreApplication::processEvents();
    QVERIFY(!window->isVisible());
    window->handleTrackerIndexing(false, 0, false);

    service->launch();
    QVERIFY(window->isVisible());
    QCOMPARE(window->currentPage(), int(PageMain));
    // Shown again, the window follows its pages as before.
    window->goToPage(PageAlbums);
    QVERIFY(window->isVisible());
    service->deleteMainWindow();
}

void TestShell::launchOverTheBusShowsTheWindow()
{
    ParlovanceApplicationService* service = ParlovanceApplicationService::instance();
    QVERIFY(!service->mainWindow());
    // The service answers in this very thread: call without blocking the loop (a proxy object
    // would introspect synchronously and wait for itself).
    const QDBusMessage launch = QDBusMessage::createMethodCall(
        QStringLiteral("com.vaspe.parlovance"), QStringLiteral("/"),
        QStringLiteral("com.vaspe.ApplicationService"), QStringLiteral("launch"));
    QDBusPendingCall call = QDBusConnection::sessionBus().asyncCall(launch);
    QTRY_VERIFY_WITH_TIMEOUT(call.isFinished(), 10000);
    QVERIFY(!call.isError());
    QTRY_VERIFY(service->mainWindow());
    QVERIFY(service->mainWindow()->isVisible());
    QCOMPARE(service->mainWindow()->currentPage(), 0);
    service->deleteMainWindow();
}

void TestShell::startParksRequestsUntilThePagesAreBuilt()
{
    auto window = std::make_unique<MainWindow>(PageMain, false);
    QVERIFY(!window->isPreloadingDone());
    QSignalSpy changed(window.get(), SIGNAL(pageChanged(Parlovance::ParlovancePages)));
    // Requests made before the pages are built: only the last is shown, once, when
    // preloading ends.
    window->goToPage(PageAlbums);
    window->goToPage(PageArtists, QVariant(QStringLiteral("parked")));
    QVERIFY(!window->cachedPage(PageAlbums));
    QCOMPARE(window->currentPage(), int(PageMain));
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), 30000);
    // Built in their order, one per turn of the event loop.
    for (ParlovancePages page :
         { PageNowPlaying, PageAlbums, PageArtists, PagePlaylists, PageAllSongs })
        QVERIFY(window->cachedPage(page));
    QCOMPARE(window->currentPage(), int(PageArtists));
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageArtists }));
    QCOMPARE(changed.count(), 1);
    // The playback service is on the bus once the gate has opened.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService")));
}

void TestShell::aPageAskedForDuringTheStartIsBuiltAndShownFirst()
{
    auto window = std::make_unique<MainWindow>(PageMain, false);
    QVERIFY(!window->isPreloadingDone());
    // What else is built when the page shows: a user who tapped Songs at the start waits for
    // that page alone, not for every page built ahead of it.
    QList<ParlovancePages> builtWhenShown;
    QObject watching;
    connect(window.get(), &MainWindow::pageChanged, &watching,
            [&builtWhenShown, &window](Parlovance::ParlovancePages page) {
                if (page != PageAllSongs)
                    return;
                for (ParlovancePages other :
                     { PageNowPlaying, PageAlbums, PageArtists, PagePlaylists, PageAllSongs }) {
                    if (window->cachedPage(other))
                        builtWhenShown << other;
                }
            });
    window->goToPage(PageAllSongs, QVariant(QStringLiteral("asked")));
    QCOMPARE(window->currentPage(), int(PageMain));
    QTRY_COMPARE_WITH_TIMEOUT(window->currentPage(), int(PageAllSongs), 30000);
    QCOMPARE(builtWhenShown, QList<ParlovancePages> { PageAllSongs });
    // The others are built after it, and it is not shown a second time.
    QTRY_VERIFY_WITH_TIMEOUT(window->isPreloadingDone(), 30000);
    for (ParlovancePages page : { PageNowPlaying, PageAlbums, PageArtists, PagePlaylists })
        QVERIFY(window->cachedPage(page));
    QCOMPARE(window->pageHistory(), (QList<ParlovancePages> { PageMain, PageAllSongs }));
}

void TestShell::indexingReportsDriveTheUpdatingState()
{
    auto window = newWindow();
    window->goToPage(PageAlbums);
    PlayState* hub = PlayState::instance();
    window->watchTrackerIndexing(true);
    window->handleTrackerIndexing(true, 5, false);
    QVERIFY(hub->isUpdatingLibrary());
    QCOMPARE(window->pageHistory(), QList<ParlovancePages> { PageMain });
    // The main page's library buttons wait while the library is updated.
    QList<MainPageListItem*> buttons;
    QList<QGraphicsItem*> items = window->cachedPage(PageMain)->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem* item = items.takeFirst();
        auto* button = qobject_cast<MainPageListItem*>(item->toGraphicsObject());
        if (button && button->title() == QLatin1String("Albums"))
            buttons << button;
        items << item->childItems();
    }
    QVERIFY(!buttons.isEmpty());
    for (MainPageListItem* button : buttons)
        emit button->clicked();
    QCOMPARE(window->pageHistory(), QList<ParlovancePages> { PageMain });
    // Further activity keeps it; the report that indexing has finished ends it at once.
    window->handleTrackerIndexing(true, 3, false);
    QVERIFY(hub->isUpdatingLibrary());
    window->handleTrackerIndexing(false, 0, false);
    QVERIFY(!hub->isUpdatingLibrary());
    emit buttons.first()->clicked();
    QCOMPARE(window->pageHistory().size(), 2);

    // Not watching: a few changes in sync mode are not an update of the library; more are.
    window->watchTrackerIndexing(false);
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::SyncMode);
    QTRY_VERIFY(hub->isUsbSyncMode());
    window->handleTrackerIndexing(true, 2, false);
    QVERIFY(!hub->isUpdatingLibrary());
    window->handleTrackerIndexing(true, 3, false);
    QVERIFY(hub->isUpdatingLibrary());
    window->handleTrackerIndexing(false, 0, false);
    QVERIFY(!hub->isUpdatingLibrary());
    MeeGo::QmUSBMode::injectModeForTesting(MeeGo::QmUSBMode::Disconnected);
    QTRY_VERIFY(!hub->isUsbSyncMode());
    window->handleTrackerIndexing(true, 50, false);
    QVERIFY(!hub->isUpdatingLibrary());
}

void TestShell::updatingStateEndsWithoutAFinishedReport()
{
    auto window = newWindow();
    PlayState* hub = PlayState::instance();
    window->watchTrackerIndexing(true);
    window->handleTrackerIndexing(true, 5, false);
    QVERIFY(hub->isUpdatingLibrary());
    // The indexer goes quiet without saying it has finished: the state ends on its own.
    QTRY_VERIFY_WITH_TIMEOUT(!hub->isUpdatingLibrary(), 20000);
}

PARLOVANCE_TEST_MAIN(TestShell)
#include "tst_shell.moc"
