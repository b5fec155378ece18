#include "mainwindow.h"

#include "common/logging.h"
#include "common/constants.h"
#include "common/settingsfilecheck.h"
#include "activity/latestactivitycontroller.h"
#include "activity/latestactivitymodel.h"
#include "applicationactionmediator.h"
#include "applicationinterface.h"
#include "data/contentmanager.h"
#include "data/contentmanagermodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "data/storequeries.h"
#include "errormessage.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"
#include "mbanner.h"
#include "mapplication.h"
#include "mpannableviewport.h"
#include "mscenemanager.h"
#include "player/nowplayingpage.h"
#include "pages/parlovancemainpage.h"
#include "pagetable.h"
#include "parlovanceservice.h"
#include "playlists/automaticplaylistsmodel.h"
#include "playlists/playlistselectionsheet.h"
#include "playback/playstate.h"
#include "pageframework/itemmenu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QModelIndex>

using namespace Parlovance;

namespace {
const int CurrentSettingsVersion = 2;
const int UpdatingLibraryTimeoutMs = 15000;
const int LatestActivityUpdateDelayMs = 1500;
const int RestartActivityUpdateDelayMs = 5000;
const int FollowDeletionsDelayMs = 1000;

} // namespace

MainWindow::MainWindow(ParlovancePages page, bool externalPlayback)
    : MApplicationWindow(nullptr)
    , playerTitleText(qtTrId("qtn_musi_player"))
    , musicTitleText(qtTrId("qtn_musi_music"))
    , initialPage(page)
    , startedForExternalPlayback(externalPlayback)
    , windowTitleText(qtTrId("qtn_comm_appname_musi"))
    , deleteErrorText(qtTrId("qtn_musi_delete_error"))
    , playState(PlayState::instance())
{
    setPortraitOrientation();
    lockOrientation();
    setWindowState(Qt::WindowFullScreen | Qt::WindowActive);
    qRegisterMetaType<QModelIndex>("QModelIndex");
    qRegisterMetaType<ParlovancePages>("Parlovance::ParlovancePages");
    // The pages offer items to a playlist through the sheet of the playlists, which they do
    // not know.
    ItemMenu::setPlaylistSheetOpener([](int itemType, int id) {
        auto* sheet = new PlaylistSelectionSheet(itemType, id);
        sheet->appear(MApplication::activeApplicationWindow(), MSceneWindow::DestroyWhenDismissed);
    });
    init();
}

MainWindow::~MainWindow()
{
    playState->stop(playState->mode());
    for (const QPointer<MApplicationPage>& page : qAsConst(pages)) {
        if (page)
            page->deleteLater();
    }
}

void MainWindow::init()
{
    checkSettingsVersion();
    setWindowTitle(windowTitleText);
    setStyleName(QStringLiteral("CommonApplicationWindowInverted"));

    if (initialPage == PageNowPlaying) {
        // The application service shows the player right after the window is made.
        registerService();
    } else {
        goToPage(initialPage);
        if (initialPage == PageUsbNotice) {
            registerService();
            if (startedForExternalPlayback)
                QTimer::singleShot(5000, qApp, SLOT(closeAllWindows()));
        }
    }

    usbModeChangedSlot(playState->isMassStorageMode());
    connect(playState, SIGNAL(massStorageMode(bool)), this, SLOT(usbModeChangedSlot(bool)),
            Qt::UniqueConnection);

    watchTrackerIndexing(true);

    // Opens the library and starts indexing the music folder in the background.
    MafwTrackerModelFactoryInstance* factory = MafwTrackerModelFactoryInstance::instance();
    if (factory->isReady()) {
        // A window made after the library was opened (a start for the service only, shown
        // later) asks too, or it would watch for good.
        stopWatchingUnlessIndexing();
        trackerReady = true;
        queryMusicExists();
        checkReadiness();
    } else {
        connect(factory, SIGNAL(completed(bool)), this, SLOT(trackerModelCompletedSlot(bool)),
                Qt::UniqueConnection);
    }
}

void MainWindow::checkReadiness()
{
    if (trackerReady && mainPageAppeared && mainPageConstructed && existenceKnown)
        delayedConstruction();
}

void MainWindow::trackerModelCompletedSlot(bool ok)
{
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    if (!ok) {
        // Without a library the window would only look like an empty one: say so, then end.
        if (!errorMessage) {
            errorMessage = new ErrorMessage(this);
            connect(errorMessage, SIGNAL(disappeared()), this, SLOT(handleParlovanceExit()));
            errorMessage->show(ErrorMessage::AppNotResponding);
        }
        return;
    }
    stopWatchingUnlessIndexing();
    disconnect(instance, SIGNAL(completed(bool)), this, SLOT(trackerModelCompletedSlot(bool)));
    trackerReady = true;
    queryMusicExists();
}

void MainWindow::stopWatchingUnlessIndexing()
{
    // Indexing is watched from the start so that a first start's indexing shows the updating
    // state; a start with nothing to index stops watching, and a later change to the music
    // folder then updates the lists in place instead of taking the user to the main page.
    // Which of the two it is, the first scan tells, often after the library is shown.
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    if (!instance->isIndexingStatusKnown()) {
        connect(instance, SIGNAL(indexingStatusKnown()), this, SLOT(stopWatchingUnlessIndexing()),
                Qt::UniqueConnection);
        return;
    }
    disconnect(instance, SIGNAL(indexingStatusKnown()), this, SLOT(stopWatchingUnlessIndexing()));
    MafwTrackerModelFactory* factory = instance->factory();
    MafwTrackerConnection* connection = factory ? factory->trackerConnection() : nullptr;
    if (connection && !connection->isIndexingReportAvailable())
        watchTrackerIndexing(false);
}

void MainWindow::queryMusicExists()
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerConnection* connection = factory ? factory->trackerConnection() : nullptr;
    if (!connection)
        return;
    connection->asyncQuery(QString::fromLatin1(StoreQueries::MusicExists), 1, this,
                           SLOT(existsSlot(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), QVariant());
}

void MainWindow::existsSlot(QList<QStringList> rows, bool end, QVariant userData)
{
    Q_UNUSED(end)
    Q_UNUSED(userData)
    deviceEmpty = rows.isEmpty();
    existenceKnown = true;
    emit resolveDeviceEmptyFinished();
    checkReadiness();
}

void MainWindow::queryFailed(int errCode, QString errStr, QVariant userData)
{
    Q_UNUSED(userData)
    qCDebug(lcShell) << "void MainWindow::queryFailed(int, QString, const QVariant&)"
                     << " - query failed " << errCode << " : " << errStr;
}

void MainWindow::delayedConstruction()
{
    if (delayedConstructionDone || !preloadQueue.isEmpty() || preloadingDone)
        return;
    delayedConstructionDone = true;
    LatestActivityController::instance()->checkActivities();
    if (!startedForExternalPlayback)
        registerService();
    preloadQueue << PageNowPlaying << PageAlbums << PageArtists << PagePlaylists << PageAllSongs;
    QTimer::singleShot(0, this, SLOT(preloadPage()));

    applicationInterface = new ApplicationInterface(this);
    ApplicationActionMediator::instance()->setApplicationInterface(applicationInterface);
    connect(applicationInterface, &ApplicationInterface::subPageWidgetChanged, this,
            &MainWindow::displayExtensionSubView);

    systemState = new MeeGo::QmSystemState(this);
    connect(systemState, SIGNAL(systemStateChanged(MeeGo::QmSystemState::StateIndication)), this,
            SLOT(handleSystemStateChange(MeeGo::QmSystemState::StateIndication)),
            Qt::UniqueConnection);
    restoreLastSong();
    if (MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory())
        connect(factory, SIGNAL(deletionFinished(int, int)), this,
                SLOT(handleDeletionFinished(int, int)), Qt::UniqueConnection);
}

void MainWindow::preloadPage()
{
    if (!preloadQueue.isEmpty()) {
        // A page the user has already asked for is built first and shown at once: the others
        // are built for later visits, and on a large library each costs a turn of its own.
        const int asked = preloadQueue.indexOf(ParlovancePages(parkedPage));
        if (asked > 0)
            preloadQueue.move(asked, 0);
        const ParlovancePages next = preloadQueue.takeFirst();
        loadPage(next);
        if (asked >= 0) {
            parkedPage = 0;
            goToPage(next, parkedParameter);
            parkedParameter = QVariant();
        }
        if (!preloadQueue.isEmpty()) {
            QTimer::singleShot(0, this, SLOT(preloadPage()));
            return;
        }
    }
    LatestActivityController::instance()->createCollages();
    preloadingDone = true;
    if (parkedPage != 0)
        goToPage(ParlovancePages(parkedPage), parkedParameter);
    QTimer::singleShot(FollowDeletionsDelayMs, LatestActivityController::instance(),
                       SLOT(startFollowingDeletionsFromOtherModels()));
}

void MainWindow::restoreLastSong()
{
    ParlovanceSettings last;
    const int songId = last.value(Constants::SettingsSongId, 0).toInt();
    const int position = last.value(Constants::Position, 0).toInt();
    last.remove(Constants::SettingsSongId);
    last.remove(Constants::Position);
    last.sync();
    if (!contentManager)
        contentManager = new ContentManager(this);
    if (position != 0 && songId != 0)
        contentManager->model()->setLastPlayedPosition(position, songId);
}

void MainWindow::handleSystemStateChange(MeeGo::QmSystemState::StateIndication state)
{
    if (int(state) == 0)
        QApplication::closeAllWindows();
}

void MainWindow::handleDeletionFinished(int deletedCount, int failedCount)
{
    Q_UNUSED(deletedCount)
    if (failedCount <= 0)
        return;
    MWindow* window = MApplication::activeWindow();
    if (!window)
        window = this;
    auto* banner = new MBanner;
    banner->setStyleName(QStringLiteral("InformationBanner"));
    banner->setTitle(deleteErrorText);
    banner->appear(window, MSceneWindow::DestroyWhenDone);
}

void MainWindow::handleParlovanceExit()
{
    qCWarning(lcShell) << "renderer missing or MafwTrackerModelFactory failed to initialize!";
    ::exit(1);
}

void MainWindow::watchTrackerIndexing(bool on)
{
    watchingIndexing = on;
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerConnection* connection = factory ? factory->trackerConnection() : nullptr;
    if (!connection)
        return;
    connection->setIndexingNotification(on);
    connect(connection, SIGNAL(trackerIndexing(bool, int, bool)), this,
            SLOT(handleTrackerIndexing(bool, int, bool)), Qt::UniqueConnection);
}

void MainWindow::handleTrackerIndexing(bool active, int changes, bool restart)
{
    updatingLibraryTimer.stop();
    if (!restart) {
        if (!active) {
            disableUpdatingLibraryState();
            return;
        }
        if ((playState->isUsbSyncMode() && changes > 2) || watchingIndexing)
            enableUpdatingLibraryState();
    } else if (!restartSeen) {
        restartSeen = true;
        enableUpdatingLibraryState();
        if (auto* mainPage = qobject_cast<ParlovanceMainPage*>(pages.value(PageMain)))
            mainPage->setLatestActivityUpdateDelay(RestartActivityUpdateDelayMs);
        // The store was built anew: the next check makes the followed lists again.
        LatestActivityController::instance()->model()->releaseFollowedModels();
    }
    // Every report of activity restarts the safety net: if the report that indexing has
    // finished never comes, the updating state still ends.
    if (playState->isUpdatingLibrary()) {
        connect(&updatingLibraryTimer, SIGNAL(timeout()), this, SLOT(disableUpdatingLibraryState()),
                Qt::UniqueConnection);
        updatingLibraryTimer.setSingleShot(true);
        updatingLibraryTimer.start(UpdatingLibraryTimeoutMs);
    }
}

void MainWindow::checkSettingsVersion()
{
    ParlovanceSettings check;
    if (check.contains(Constants::SettingsVersion)
        && check.value(Constants::SettingsVersion).toInt() > 1)
        return;
    // The settings of an older version go, but not unseen: the file is kept beside. The play
    // modes are written at every start before this check, a first start included, so a file
    // holding nothing else is no loss.
    QStringList keys = check.allKeys();
    for (const QString& key :
         { Constants::SettingsVersion, Constants::ShuffleOn, Constants::RepeatOn })
        keys.removeOne(key);
    if (!keys.isEmpty()) {
        const QString backup = SettingsFileCheck::keepBackup(check.fileName());
        qCWarning(lcShell).noquote()
            << "The settings file" << check.fileName()
            << "is of an older version and starts anew; what it held"
            << (backup.isEmpty() ? QStringLiteral("cannot be kept") : "is kept as " + backup);
    }
    check.clear();
    check.setValue(Constants::SettingsVersion, CurrentSettingsVersion);
    check.sync();
    // A file that does not parse reads as empty and is written anew; say so, it is the user's.
    if (check.status() == QSettings::FormatError)
        qCWarning(lcShell) << Q_FUNC_INFO << "- the settings file" << check.fileName()
                           << "could not be read; it starts anew";
    else if (check.status() != QSettings::NoError)
        qCWarning(lcShell) << Q_FUNC_INFO << "- the settings file" << check.fileName()
                           << "cannot be written";
}

void MainWindow::registerService()
{
    if (service)
        return;
    service = ParlovanceService::instance();
    connect(service, SIGNAL(goToPage(Parlovance::ParlovancePages, QVariant)), this,
            SLOT(goToPage(Parlovance::ParlovancePages, QVariant)));
}

void MainWindow::loadPage(ParlovancePages page)
{
    const int key = page;
    if (pages.value(key))
        return;

    const PageTable::Row& row = PageTable::row(page);
    MApplicationPage* built = row.make(this, deviceEmpty);
    if (row.styleName)
        built->setStyleName(QLatin1String(row.styleName));
    if (row.hasToolbar) {
        if (auto* toolbarPage = qobject_cast<QuintaveilPage*>(built))
            toolbarPage->createToolbarActions();
    }
    if (qobject_cast<NowPlayingPage*>(built)) {
        connect(built, SIGNAL(displayEntered()), this, SIGNAL(playerViewAppeared()));
    } else if (qobject_cast<ParlovanceMainPage*>(built)) {
        connect(built, SIGNAL(pageConstructionDone()), this,
                SLOT(handleParlovanceMainPageConstructionDone()));
        connect(built, SIGNAL(appeared()), this, SLOT(handleAnimationDone()), Qt::QueuedConnection);
    }
    pages.insert(key, built);
}

void MainWindow::goToPage(ParlovancePages page, QVariant parameter)
{
    if (navigationLocked)
        return;
    // Until the most used pages are built only the pages whose row says so, and the pages
    // built so far, show at once; the last other request waits, and is shown as soon as its
    // page is built (it is built first) or when preloading ends.
    if (!preloadingDone && !PageTable::row(page).showsWhilePreloading && !pages.value(page)) {
        parkedPage = page;
        parkedParameter = parameter;
        return;
    }

    loadPage(page);
    const int key = page;
    if (!history.isEmpty() && history.last() == key && key != PageMain && key != PageNowPlaying)
        return;
    MApplicationPage* shown = pages.value(key);
    if (!shown)
        return;

    if (shown->isPannable() && shown->pannableViewport())
        shown->pannableViewport()->setPosition(QPointF(0, 0));

    history.append(page);
    // A step forward ends the back step before it: the flag was for the page gone back to,
    // which may not even have come in yet (a row tapped right after Back), never for this one.
    m_wentBack = false;
    const int newPrevious = history.size() >= 2 ? int(history.at(history.size() - 2)) : 0;
    if (page == PageExtension)
        fillExtensionPage(shown);

    shown->appear(this, MSceneWindow::KeepWhenDone);
    // A window the user closed stays closed: a page change of its own, such as a report of the
    // indexer that comes in after the close, would otherwise show it again and keep the
    // program from ending.
    if (!closedByUser)
        setVisible(true);

    emit pageChanged(page);
    emit rememberPosition(key == PageSongDetails);

    m_previousPage = newPrevious;
    m_currentPage = key;

    if (auto* quintaveilPage = qobject_cast<QuintaveilPage*>(shown))
        quintaveilPage->passParameterToPage(parameter);
}

void MainWindow::displayExtensionSubView()
{
    // Showing page 10 again while it is the current page changes nothing, so a newer sub view
    // of an extension goes onto the page here.
    MApplicationPage* extensionPage = pages.value(PageExtension);
    if (extensionPage && !history.isEmpty() && history.last() == PageExtension)
        fillExtensionPage(extensionPage);
    else
        goToPage(PageExtension);
}

void MainWindow::fillExtensionPage(MApplicationPage* page)
{
    if (!applicationInterface)
        return;
    page->setCentralWidget(applicationInterface->subPageWidget());
    page->setTitle(applicationInterface->title());
}

void MainWindow::goBack()
{
    if (history.size() < 2) {
        goToPage(PageMain);
        return;
    }
    history.removeLast();
    m_currentPage = history.last();
    m_previousPage = history.size() >= 2 ? int(history.at(history.size() - 2)) : 0;
    emit pageChanged(ParlovancePages(m_currentPage));
    m_wentBack = true;
}

void MainWindow::removeVisitedPage(ParlovancePages page)
{
    MSceneManager* manager = sceneManager();
    QList<MSceneWindow*> sceneHistory = manager->pageHistory();
    MApplicationPage* visited = pages.value(int(page));
    const bool inScene = visited && sceneHistory.removeOne(visited);
    bool inHistory = false;
    if (inScene)
        inHistory = history.removeOne(page);
    if (!inScene || !inHistory)
        qCWarning(lcShell) << Q_FUNC_INFO << "- Failed to remove visited page!";
    manager->setPageHistory(sceneHistory);
}

void MainWindow::noticeGoingToPlayerView()
{
    emit goingToPlayerView();
}

void MainWindow::handleParlovanceMainPageConstructionDone()
{
    mainPageConstructed = true;
    checkReadiness();
}

void MainWindow::handleAnimationDone()
{
    // Only the first appearance of the main page counts.
    if (QObject* page = sender())
        disconnect(page, SIGNAL(appeared()), this, SLOT(handleAnimationDone()));
    mainPageAppeared = true;
    checkReadiness();
}

void MainWindow::usbModeChangedSlot(bool isMassStorage)
{
    if (isMassStorage == massStorage)
        return;
    if (isMassStorage) {
        goToPage(PageUsbNotice);
        navigationLocked = true;
        watchTrackerIndexing(true);
        massStorage = true;
        return;
    }
    navigationLocked = false;
    enableUpdatingLibraryState();
    // The updating state may have been on already, which leaves the notice page in front: it
    // has no way out of its own, so take the user back to the main page.
    if (m_currentPage == PageUsbNotice) {
        history.clear();
        goToPage(PageMain);
    }
    connect(&updatingLibraryTimer, SIGNAL(timeout()), this, SLOT(disableUpdatingLibraryState()),
            Qt::UniqueConnection);
    updatingLibraryTimer.setSingleShot(true);
    updatingLibraryTimer.start(UpdatingLibraryTimeoutMs);
    massStorage = false;
}

void MainWindow::enableUpdatingLibraryState()
{
    if (playState->isUpdatingLibrary())
        return;
    playState->setUpdatingLibrary(true);

    history.clear();
    goToPage(PageMain);

    if (auto* mainPage = qobject_cast<ParlovanceMainPage*>(pages.value(PageMain))) {
        mainPage->setUpdatingLibraryState(true);
        mainPage->setLatestActivityUpdateDelay(LatestActivityUpdateDelayMs);
    }
    dropPlaylistsPage();
}

void MainWindow::dropPlaylistsPage()
{
    QPointer<MApplicationPage> playlists = pages.take(PagePlaylists);
    if (!playlists)
        return;
    // The scene may still hold the page in its history (or be taking it off the screen): let it
    // forget the page before it goes, so going back never reaches a deleted page.
    QList<MSceneWindow*> sceneHistory = sceneManager()->pageHistory();
    if (sceneHistory.removeAll(playlists.data()) > 0)
        sceneManager()->setPageHistory(sceneHistory);
    history.removeAll(PagePlaylists);
    playlists->deleteLater();
}

void MainWindow::disableUpdatingLibraryState()
{
    if (!playState->isUpdatingLibrary())
        return;
    watchTrackerIndexing(false);
    ModelInstance::instance()->recreateModels();
    AutomaticPlaylistsModel::instance()->reload();
    if (restartSeen) {
        for (const QPointer<MApplicationPage>& page : qAsConst(pages)) {
            if (auto* quintaveilPage = qobject_cast<QuintaveilPage*>(page.data()))
                quintaveilPage->libraryUpdated();
        }
        restartSeen = false;
    }
    shownForExternalPlayback = false;
    if (auto* mainPage = qobject_cast<ParlovanceMainPage*>(pages.value(PageMain)))
        mainPage->setUpdatingLibraryState(false);
    playState->setUpdatingLibrary(false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    LatestActivityController::instance()->writeActivities();
    MApplicationWindow::closeEvent(event);
    emit mainWindowClosed();
    event->accept();
    closedByUser = true;
}

bool MainWindow::isStartedForExternalPlayback() const
{
    return startedForExternalPlayback;
}

void MainWindow::setStartedForExternalPlayback(bool started)
{
    startedForExternalPlayback = started;
}

bool MainWindow::isShownForExternalPlayback() const
{
    return shownForExternalPlayback;
}

void MainWindow::setShownForExternalPlayback(bool shown)
{
    shownForExternalPlayback = shown;
}

bool MainWindow::isClosedByUser() const
{
    return closedByUser;
}

void MainWindow::setClosedByUser(bool closed)
{
    closedByUser = closed;
}

int MainWindow::currentPage() const
{
    return m_currentPage;
}

int MainWindow::previousPage() const
{
    return m_previousPage;
}

bool MainWindow::wentBack() const
{
    return m_wentBack;
}

void MainWindow::setWentBack(bool wentBack)
{
    m_wentBack = wentBack;
}

bool MainWindow::isMassStorageMode() const
{
    return playState->isMassStorageMode();
}

void MainWindow::refreshUsbMode()
{
    playState->checkUsbMode();
}

MApplicationPage* MainWindow::cachedPage(ParlovancePages page) const
{
    return pages.value(int(page));
}

QList<ParlovancePages> MainWindow::pageHistory() const
{
    return history;
}

bool MainWindow::isNavigationLocked() const
{
    return navigationLocked;
}

bool MainWindow::isPreloadingDone() const
{
    return preloadingDone;
}

bool MainWindow::isDeviceEmptyResolved() const
{
    return existenceKnown;
}
