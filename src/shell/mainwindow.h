#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "mapplicationwindow.h"
#include "common/parlovance.h"
#include "parlovancesettings.h"

#include <QChar>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QVariant>

class MApplicationPage;
class ParlovanceService;
class PlayState;

// The application window: it builds every page once, keeps it under its page value, shows
// pages on request and keeps the history of the pages shown. While the device is in USB mass
// storage only the USB notice page can be shown.
class MainWindow : public MApplicationWindow
{
    Q_OBJECT

public:
    MainWindow(Parlovance::ParlovancePages page, bool externalPlayback);
    ~MainWindow() override;

    bool isStartedForExternalPlayback() const;
    void setStartedForExternalPlayback(bool started);
    bool isShownForExternalPlayback() const;
    void setShownForExternalPlayback(bool shown);
    int currentPage() const;
    int previousPage() const;
    bool wentBack() const;
    void setWentBack(bool wentBack);
    bool isMassStorageMode() const;
    void refreshUsbMode();

    // Takes the page out of the window's history and the scene's, for a page that must not be
    // come back to (the song details page removes what it was opened over).
    void removeVisitedPage(Parlovance::ParlovancePages page);

    // The page cached under a page value; null when it is not built.
    MApplicationPage* cachedPage(Parlovance::ParlovancePages page) const;
    // The pages shown, oldest first.
    QList<Parlovance::ParlovancePages> pageHistory() const;
    bool isNavigationLocked() const;

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
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter = QVariant());
    void loadPage(Parlovance::ParlovancePages page);
    void goBack();
    void noticeGoingToPlayerView();
    void handleParlovanceMainPageConstructionDone();
    void handleAnimationDone();
    void init();
    void registerService();
    void usbModeChangedSlot(bool isMassStorage);
    void disableUpdatingLibraryState();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void checkSettingsVersion();
    void enableUpdatingLibraryState();
    void dropPlaylistsPage();

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
};

#endif // MAINWINDOW_H
