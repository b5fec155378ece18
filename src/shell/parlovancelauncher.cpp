#include "parlovancelauncher.h"

#include "common/logging.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDebug>

namespace {
const QString ApplicationServiceName = QStringLiteral("com.vaspe.parlovance");
}

ParlovanceLauncher* ParlovanceLauncher::s_instance = nullptr;

ParlovanceLauncher* ParlovanceLauncher::instance()
{
    if (!s_instance)
        s_instance = new ParlovanceLauncher;
    return s_instance;
}

void ParlovanceLauncher::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

ParlovanceLauncher::ParlovanceLauncher()
    : QObject(nullptr)
{
}

ParlovanceLauncher::~ParlovanceLauncher()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void ParlovanceLauncher::startParlovanceService()
{
    busInterface = QDBusConnection::sessionBus().interface();
    if (!busInterface) {
        qCDebug(lcShell) << Q_FUNC_INFO << "- no session bus";
        return;
    }
    const QDBusReply<bool> registered = busInterface->isServiceRegistered(ApplicationServiceName);
    if (registered.isValid() && registered.value())
        busInterface->startService(ApplicationServiceName);
}
