#include "mcomponentcache.h"

#include "mapplication.h"
#include "mapplicationwindow.h"

MApplication* MComponentCache::mApplication(int& argc, char** argv, const QString& appIdentifier,
                                            MApplicationService* service)
{
    return new MApplication(argc, argv, appIdentifier, service);
}
