#include "mapplicationservice.h"

#include "busconnectionlimits.h"
#include "touchlogging.h"
#include "mapplication.h"
#include "mapplicationserviceadaptor.h"
#include "mtestability.h"
#include "mwindow.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDebug>

const char* const MApplicationService::InterfaceName = "com.vaspe.ApplicationService";

MApplicationService::MApplicationService(const QString& serviceName, QObject* parent)
    : QObject(parent)
    , name(serviceName)
{
    new MApplicationServiceAdaptor(this);
    if (QCoreApplication::instance())
        registerService();
}

MApplicationService::~MApplicationService()
{
    if (connectionName.isEmpty())
        return;
    QDBusConnection connection(connectionName);
    if (registered)
        BusConnectionLimits::releaseName(connection, name);
    connection.unregisterObject(QStringLiteral("/"));
    connection.unregisterObject(QStringLiteral("/testability"));
    QDBusConnection::disconnectFromBus(connectionName);
}

bool MApplicationService::isRegistered() const
{
    return registered;
}

bool MApplicationService::registerService()
{
    if (registered)
        return true;
    if (!QCoreApplication::instance())
        return false;
    // A connection of our own keeps "/" free for the application's other services.
    if (connectionName.isEmpty()) {
        connectionName = QStringLiteral("mapplicationservice-") + name;
        QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                                   connectionName);
        if (!connection.isConnected()) {
            qCWarning(lcTouch) << Q_FUNC_INFO
                               << "- no session bus:" << connection.lastError().message();
            return false;
        }
        BusConnectionLimits::apply(connection);
        if (!connection.registerObject(QStringLiteral("/"), this, QDBusConnection::ExportAdaptors))
            qCWarning(lcTouch) << Q_FUNC_INFO << "- cannot export the service object";
        MTestability::exportOn(connection, this);
    }
    QDBusConnection connection(connectionName);
    if (!connection.isConnected())
        return false;
    registered = connection.registerService(name);
    if (!registered)
        qCWarning(lcTouch) << Q_FUNC_INFO << "- the name" << name
                           << "is taken:" << connection.lastError().message();
    return registered;
}

bool MApplicationService::handOverToOwner(bool bringForward)
{
    if (registered || connectionName.isEmpty())
        return false;
    QDBusConnection connection(connectionName);
    if (!connection.isConnected() || !connection.interface()
        || !connection.interface()->isServiceRegistered(name).value())
        return false;
    if (!bringForward)
        return true;
    const QDBusMessage call = QDBusMessage::createMethodCall(name, QStringLiteral("/"),
                                                             QString::fromLatin1(InterfaceName),
                                                             QStringLiteral("launch"));
    const QDBusMessage reply = connection.call(call, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        qCWarning(lcTouch) << Q_FUNC_INFO << "- the running" << name
                           << "did not answer launch:" << reply.errorMessage();
    // Even an owner that does not answer keeps the name: a second copy would still be a second
    // writer of the same files.
    return true;
}

void MApplicationService::launch()
{
    if (MWindow* window = MApplication::activeWindow()) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}
