#include "parlovanceservice.h"

#include "playstate.h"

#include <QDBusConnection>

const char* const ParlovanceService::ServiceName = "com.vaspe.lurno.meegotouch.ParlovanceService";

ParlovanceService* ParlovanceService::s_instance = nullptr;

ParlovanceService* ParlovanceService::instance()
{
    if (!s_instance)
        s_instance = new ParlovanceService;
    return s_instance;
}

void ParlovanceService::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

ParlovanceService::ParlovanceService()
    : QObject(nullptr)
    , playState(PlayState::instance())
{
    setObjectName(QStringLiteral("ParlovanceService"));
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerService(QLatin1String(ServiceName));
    bus.registerObject(QStringLiteral("/"), this, QDBusConnection::ExportAdaptors);
}

ParlovanceService::~ParlovanceService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QStringLiteral("/"));
    bus.unregisterService(QLatin1String(ServiceName));
    if (s_instance == this)
        s_instance = nullptr;
}
