#include "parlovanceservice.h"

#include "common/logging.h"
#include "playback/playstate.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDebug>

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
    // Another player may hold the name already; say so, as other programs will not reach us.
    if (!bus.registerService(QLatin1String(ServiceName)))
        qCWarning(lcShell) << Q_FUNC_INFO << "- cannot take the bus name" << ServiceName << ":"
                           << bus.lastError().message();
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
