#include "shell/commandline.h"
#include "mapplication.h"
#include "mcomponentcache.h"
#include "mlocale.h"
#include "common/parlovance.h"
#include "shell/parlovanceapplicationservice.h"
#include "player/parlovancekeyhandler.h"
#include "shell/parlovanceservice.h"
#include "shell/processsetup.h"
#include "playback/playstate.h"
#include "shell/terminationhandler.h"

namespace {
// Kept for the life of the process: the bus may still call into it while the rest goes.
ParlovanceApplicationService* applicationService = nullptr;
} // namespace

int main(int argc, char** argv)
{
    bool help = false;
    bool serviceOnly = false;
    parseArguments(argc, argv, help, serviceOnly);
    if (help)
        printUsage(QString::fromLocal8Bit(argv[0]));

    ProcessSetup::beforeApplication();
    applicationService = ParlovanceApplicationService::instance();
    MApplication* application = MComponentCache::mApplication(argc, argv,
                                                              QStringLiteral("parlovance"),
                                                              applicationService);

    // A second start on the same session hands over to the player already running and ends, so
    // the library store and the settings never get a second writer.
    if (applicationService->handOverToOwner(!serviceOnly)) {
        delete application;
        return 0;
    }

    MLocale locale;
    MLocale::addTranslationPath(QStringLiteral("/usr/share/l10n/dui/"));
    locale.installTrCatalog(QStringLiteral("music"));
    locale.installTrCatalog(QStringLiteral("parlovance"));
    locale.installTrCatalog(QStringLiteral("common"));
    MLocale::setDefault(locale);

    // SIGTERM and SIGINT end the loop like closing the window does.
    new TerminationHandler(application);

    // Making the key handler makes the playback hub.
    ParlovanceKeyHandler::instance();

    if (serviceOnly) {
        applicationService->serveBusOnly();
        ParlovanceService::instance();
    } else {
        applicationService->showMainWindow(Parlovance::PageMain, false);
    }

    const int result = application->exec();

    ParlovanceService::destroyInstance();
    ParlovanceKeyHandler::destroyInstance();
    applicationService->deleteMainWindow();
    PlayState::destroyInstance();
    delete application;
    return result;
}
