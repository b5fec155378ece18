#include "parlovanceapplicationservice.h"

#include "common/logging.h"
#include "mainwindow.h"
#include "playback/playstate.h"
#include "qmusbmode.h"

#include <QCoreApplication>

using namespace Parlovance;

namespace {
const unsigned int FrontUpdateInterval = 1;
const unsigned int SwitcherUpdateInterval = 10;
} // namespace

ParlovanceApplicationService* ParlovanceApplicationService::s_instance = nullptr;

ParlovanceApplicationService* ParlovanceApplicationService::instance()
{
    if (!s_instance)
        s_instance = new ParlovanceApplicationService;
    return s_instance;
}

ParlovanceApplicationService::ParlovanceApplicationService(QObject* parent)
    : MApplicationService(QStringLiteral("com.vaspe.parlovance"), parent)
{
}

ParlovanceApplicationService::~ParlovanceApplicationService()
{
    if (s_instance == this)
        s_instance = nullptr;
}

MainWindow* ParlovanceApplicationService::mainWindow() const
{
    return window;
}

void ParlovanceApplicationService::showMainWindow(ParlovancePages page, bool externalPlayback)
{
    if (window) {
        window->refreshUsbMode();
        if (window->isMassStorageMode())
            page = PageUsbNotice;
    } else {
        createMainWindow(page, externalPlayback);
    }
    window->setShownForExternalPlayback(externalPlayback);
    window->goToPage(page, QVariant());
    window->raise();
    appWindowInFront();
}

void ParlovanceApplicationService::showPlayerSheet()
{
    showMainWindow(PageNowPlaying, true);
}

void ParlovanceApplicationService::createMainWindow(ParlovancePages& page, bool externalPlayback)
{
    MeeGo::QmUSBMode usbMode;
    if (usbMode.getMode() == MeeGo::QmUSBMode::MassStorage)
        page = PageUsbNotice;
    window = new MainWindow(page, externalPlayback);
    connect(window, SIGNAL(switcherEntered()), this, SLOT(appWindowInSwitcher()),
            Qt::UniqueConnection);
    connect(window, SIGNAL(switcherExited()), this, SLOT(appWindowInFront()),
            Qt::UniqueConnection);
    connect(window, SIGNAL(mainWindowClosed()), this, SLOT(appWindowClosed()),
            Qt::UniqueConnection);
    connect(window, SIGNAL(playerViewAppeared()), this, SIGNAL(playerViewAppeared()),
            Qt::UniqueConnection);
}

void ParlovanceApplicationService::deleteMainWindow()
{
    delete window;
    window = nullptr;
}

void ParlovanceApplicationService::launch()
{
    if (!QCoreApplication::instance())
        return;
    qCInfo(lcShell) << "launched: the main window comes forward";
    showMainWindow(PageMain, false);
}

void ParlovanceApplicationService::appWindowInFront()
{
    windowInSwitcher = false;
    if (PlayState::instance()->state(PlayState::MusicMode) == PlayState::Playing)
        PlayState::instance()->setPositionUpdateInterval(FrontUpdateInterval);
}

void ParlovanceApplicationService::appWindowInSwitcher()
{
    windowInSwitcher = true;
    if (PlayState::instance()->state(PlayState::MusicMode) == PlayState::Playing)
        PlayState::instance()->setPositionUpdateInterval(SwitcherUpdateInterval);
}

void ParlovanceApplicationService::sheetInFront()
{
    sheetHidden = false;
    if (PlayState::instance()->state(PlayState::RadioMode) == PlayState::Playing)
        PlayState::instance()->setPositionUpdateInterval(FrontUpdateInterval);
}

void ParlovanceApplicationService::sheetInSwitcher()
{
    sheetHidden = true;
    if (PlayState::instance()->state(PlayState::RadioMode) == PlayState::Playing)
        PlayState::instance()->setPositionUpdateInterval(SwitcherUpdateInterval);
}

void ParlovanceApplicationService::appWindowClosed()
{
    if (PlayState::instance()->mode() == PlayState::MusicMode)
        PlayState::instance()->stop(PlayState::MusicMode);
}
