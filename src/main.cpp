#include "mapplication.h"
#include "mapplicationpage.h"
#include "mapplicationservice.h"
#include "mapplicationwindow.h"
#include "mcomponentcache.h"

int main(int argc, char** argv)
{
    auto* service = new MApplicationService(QStringLiteral("com.vaspe.parlovance"));
    MApplication* app
        = MComponentCache::mApplication(argc, argv, QStringLiteral("parlovance"), service);

    auto* window = new MApplicationWindow;
    auto* page = new MApplicationPage;
    page->setTitle(QStringLiteral("Music"));
    page->appear(window);
    window->show();

    // The last window closed ends the loop.
    const int result = app->exec();
    delete window;
    delete app;
    return result;
}
