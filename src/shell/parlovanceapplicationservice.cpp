#include "parlovanceapplicationservice.h"

#include "busconnectionlimits.h"
#include "common/logging.h"
#include "mainwindow.h"
#include "mapplication.h"
#include "mapplicationwindow.h"
#include "player/playersheet.h"
#include "playback/playstate.h"
#include "qmusbmode.h"

#include <QApplication>
#include <QDBusConnection>

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
    // The playback service registers on the default connection later; a call sent to the
    // connection before that must not leave it deaf either.
    if (QCoreApplication::instance())
        BusConnectionLimits::apply(QDBusConnection::sessionBus());
}

ParlovanceApplicationService::~ParlovanceApplicationService()
{
    if (sheet) {
        disconnect(sheet, nullptr, this, nullptr);
        delete sheet;
    }
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
    window->setClosedByUser(false);
    window->goToPage(page, QVariant());
    window->raise();
    appWindowInFront();
}

PlayerSheet* ParlovanceApplicationService::playerSheet() const
{
    return sheet;
}

bool ParlovanceApplicationService::showsPlayerView() const
{
    return window && window->isVisible() && window->currentPage() == PageNowPlaying;
}

QList<QWidget*> ParlovanceApplicationService::sheetWindows()
{
    QList<QWidget*> found;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (qobject_cast<MWindow*>(w) && !qobject_cast<MApplicationWindow*>(w))
            found.append(w);
    }
    return found;
}

void ParlovanceApplicationService::showPlayerSheet()
{
    // A sheet closed in this turn, on its way out, goes with its own item: what is asked now
    // gets a sheet of its own.
    if (sheet
        && (sheet->sceneWindowState() == MSceneWindow::Disappearing
            || sheet->sceneWindowState() == MSceneWindow::Disappeared))
        sheet = nullptr;
    if (sheet) {
        if (!window) {
            if (MWindow* active = MApplication::activeWindow())
                active->raise();
        } else {
            for (QWidget* w : sheetWindows())
                w->raise();
        }
        return;
    }
    createSheet();
    sheet->appearSystemwide(MSceneWindow::DestroyWhenDone);
    sheetInFront();
    for (QWidget* w : sheetWindows()) {
        connect(w, SIGNAL(switcherEntered()), this, SLOT(sheetInSwitcher()), Qt::UniqueConnection);
        connect(w, SIGNAL(switcherExited()), this, SLOT(sheetInFront()), Qt::UniqueConnection);
    }
}

void ParlovanceApplicationService::createSheet()
{
    sheet = new PlayerSheet;
    sheet->setSystemwideModeOrientation(MSheet::LockedToPortraitOrientation);
    connect(sheet, SIGNAL(destroyed(QObject*)), this, SLOT(sheetDestroyed(QObject*)),
            Qt::UniqueConnection);
}

void ParlovanceApplicationService::dismissSheet()
{
    if (sheet)
        sheet->dismiss();
}

void ParlovanceApplicationService::sheetDestroyed(QObject* destroyedSheet)
{
    PlayState::instance()->unregisterSheetListener(destroyedSheet);
    if (destroyedSheet != sheet)
        return;
    sheet = nullptr;
    // However the sheet went (its buttons, its window closed), its item goes with it.
    PlayState::instance()->endSheetItem();
}

void ParlovanceApplicationService::serveBusOnly()
{
    busOnly = true;
    QGuiApplication::setQuitOnLastWindowClosed(false);
    qCInfo(lcShell) << "started for the bus only: it serves other programs until one calls launch";
}

void ParlovanceApplicationService::createMainWindow(ParlovancePages& page, bool externalPlayback)
{
    if (busOnly) {
        busOnly = false;
        QGuiApplication::setQuitOnLastWindowClosed(true);
    }
    MeeGo::QmUSBMode usbMode;
    if (usbMode.getMode() == MeeGo::QmUSBMode::MassStorage)
        page = PageUsbNotice;
    window = new MainWindow(page, externalPlayback);
    connect(window, SIGNAL(switcherEntered()), this, SLOT(appWindowInSwitcher()),
            Qt::UniqueConnection);
    connect(window, SIGNAL(switcherExited()), this, SLOT(appWindowInFront()), Qt::UniqueConnection);
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
