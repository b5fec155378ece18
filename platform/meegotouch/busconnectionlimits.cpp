#include "busconnectionlimits.h"

#include "touchlogging.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDebug>

#include <dlfcn.h>

namespace {

// Held messages of one connection before the bus library stops reading it: eight messages of
// the largest size the bus carries.
const long ReceivedBytesLimit = 1024L * 1024L * 1024L;

} // namespace

void BusConnectionLimits::apply(const QDBusConnection& connection)
{
    void* raw = connection.internalPointer();
    if (!raw)
        return;
    // Qt has loaded the bus library already; its one setter is looked up rather than linked, so
    // the program needs no development files of the bus library.
    using SetLimit = void (*)(void*, long);
    static const auto setReceivedSize = reinterpret_cast<SetLimit>(
        dlsym(RTLD_DEFAULT, "dbus_connection_set_max_received_size"));
    if (!setReceivedSize) {
        qCWarning(lcTouch) << Q_FUNC_INFO << "- the bus library's limits cannot be set";
        return;
    }
    setReceivedSize(raw, ReceivedBytesLimit);
}

void BusConnectionLimits::releaseName(const QDBusConnection& connection, const QString& name)
{
    if (!connection.isConnected())
        return;
    QDBusMessage release = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                          QStringLiteral("/org/freedesktop/DBus"),
                                                          QStringLiteral("org.freedesktop.DBus"),
                                                          QStringLiteral("ReleaseName"));
    release << name;
    release.setAutoStartService(false);
    connection.send(release);
}
