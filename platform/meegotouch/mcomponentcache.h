#ifndef MCOMPONENTCACHE_H
#define MCOMPONENTCACHE_H

#include <QString>

class MApplication;
class MApplicationService;
class MApplicationWindow;

// The launcher's cache of ready-made application objects. Nothing is prepared ahead on a
// desktop: the objects are made when asked for.
class MComponentCache
{
public:
    static MApplication* mApplication(int& argc, char** argv,
                                      const QString& appIdentifier = QString(),
                                      MApplicationService* service = nullptr);
};

#endif // MCOMPONENTCACHE_H
