#include "busflooder.h"

#include <QDBusConnection>

#include <utility>

BusFlooder::BusFlooder(std::function<QDBusMessage(qint64)> call, int callsPerSecond, int seconds)
    : call(std::move(call))
    , callsPerSecond(callsPerSecond)
    , seconds(seconds)
{
}

void BusFlooder::run()
{
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                               QStringLiteral("flooder"));
    while (clock.elapsed() < seconds * 1000) {
        const qint64 due = clock.elapsed() * callsPerSecond / 1000;
        for (; sent < due; ++sent)
            connection.call(call(sent), QDBus::NoBlock);
        QThread::msleep(5);
    }
    endedAtMs = clock.elapsed();
}
