#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "common/parlovance.h"
#include "mapplicationwindow.h"
#include "common/parlovancesettings.h"
#include "pageframework/pagewindow.h"
#include "qmsystemstate.h"

#include <QChar>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariant>

class ApplicationInterface;
class ContentManager;
class ErrorMessage;
class MApplicationPage;
class ParlovanceService;
class PlayState;

// The application window: it builds every page once, as its row in PageTable says, keeps it
// under its page value, shows pages on request and keeps the history of the pages shown. While
// the device is in USB mass storage only the USB notice page can be shown.
class MainWindow : public MApplicationWindow, public PageWindow
{
    Q_OBJECT

public:
    MainWindow(Parlovance::ParlovancePages page, bool externalPlayback);
    ~MainWindow() override;

    bool isStartedForExternalPlayback() const;
    void setStartedForExternalPlayback(bool started);
    bool isShownForExternalPlayback() const;
    void setShownForExternalPlayback(bool shown);
    // Whether the user closed the window. Its own page changes (the library's update going back
    // to the main page, say) then leave it closed; only an outside request to show it (a launch,
    // a song played over the bus) clears this and brings it back.
    bool isClosedByUser() const;
    void setClosedByUser(bool closed);
    int currentPage() const override;
    int previousPage() const;
    bool wentBack() const override;
    void setWentBack(bool wentBack) override;
    bool isMassStorageMode() const;
    void refreshUsbMode();

    // Takes the page out of the window's history and the scene's, for a page that must not be
    // come back to (the song details page removes what it was opened over).
    void removeVisitedPage(Parlovance::ParlovancePages page);

    // The page cached under a page value; null when it is not built.
    MApplicationPage* cachedPage(Parlovance::ParlovancePages page) const override;
    QObject* windowObject() override { return this; }
    // The pages shown, oldest first.
    QList<Parlovance::ParlovancePages> pageHistory() const;
    bool isNavigationLocked() const;
    // True once the pages most used have been built after the start (requests for other
    // pages wait until then).
    bool isPreloadingDone() const;
    // True once the library has answered whether it holds any music (resolveDeviceEmptyFinished
    // has been emitted), for a page built after that.
    bool isDeviceEmptyResolved() const;

signals:
    void playlistSaved();
    void playlistDeleted();
    void pageChanged(Parlovance::ParlovancePages page);
    void alphaNumericKeyPressed(QChar key = QChar());
    void rememberPosition(bool remember);
    void trackerIndexing();
    void trackerIndexingProgress(bool inProgress);
    void goingToPlayerView();
    void resolveDeviceEmptyFinished();
    void mainWindowClosed();
    void playerViewAppeared();

public slots:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter = QVariant()) override;
    void loadPage(Parlovance::ParlovancePages page) override;
    void goBack() override;
    void noticeGoingToPlayerView() override;
    void handleParlovanceMainPageConstructionDone();
    void handleAnimationDone();
    void init();
    // An extension asked for a page of its own: page 10 shows it.
    void displayExtensionSubView();
    void registerService();
    void usbModeChangedSlot(bool isMassStorage);
    void disableUpdatingLibraryState();
    void checkReadiness();
    void trackerModelCompletedSlot(bool ok);
    void queryMusicExists();
    void existsSlot(QList<QStringList> rows, bool end, QVariant userData);
    void queryFailed(int errCode, QString errStr, QVariant userData);
    void delayedConstruction();
    void preloadPage();
    void restoreLastSong();
    void handleSystemStateChange(MeeGo::QmSystemState::StateIndication state);
    void handleDeletionFinished(int deletedCount, int failedCount);
    void handleParlovanceExit();
    void watchTrackerIndexing(bool on);
    void handleTrackerIndexing(bool active, int changes, bool restart);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Once the indexer's first scan is known: the library may be shown before.
    void stopWatchingUnlessIndexing();

private:
    void checkSettingsVersion();
    void enableUpdatingLibraryState();
    void dropPlaylistsPage();
    // Page 10 takes the extension's widget and title.
    void fillExtensionPage(MApplicationPage* page);

    ParlovanceSettings settings;
    QList<Parlovance::ParlovancePages> history;
    QHash<int, QPointer<MApplicationPage>> pages;
    ParlovanceService* service = nullptr;
    QString playerTitleText;
    QString musicTitleText;
    int m_currentPage = 0;
    int m_previousPage = 0;
    Parlovance::ParlovancePages initialPage;
    bool startedForExternalPlayback;
    bool shownForExternalPlayback = false;
    bool closedByUser = false;
    bool mainPageAppeared = false;
    bool mainPageConstructed = false;
    bool massStorage = false;
    bool navigationLocked = false;
    QString windowTitleText;
    QString deleteErrorText;
    QTimer updatingLibraryTimer;
    bool deviceEmpty = false;
    bool m_wentBack = false;
    PlayState* playState;

    // The readiness gate: the second stage of the start runs once all four hold.
    bool trackerReady = false;
    bool existenceKnown = false;
    QList<Parlovance::ParlovancePages> preloadQueue;
    bool preloadingDone = false;
    bool delayedConstructionDone = false;
    // The one request for a page made while preloading; a later one replaces it.
    int parkedPage = 0;
    QVariant parkedParameter;

    bool watchingIndexing = false;
    bool restartSeen = false;
    MeeGo::QmSystemState* systemState = nullptr;
    ErrorMessage* errorMessage = nullptr;
    ContentManager* contentManager = nullptr;
    ApplicationInterface* applicationInterface = nullptr;
};

#endif // MAINWINDOW_H
