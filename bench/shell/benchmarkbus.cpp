#include "benchmarkbus.h"

BenchmarkBus::~BenchmarkBus()
{
    if (daemon.state() == QProcess::NotRunning)
        return;
    daemon.terminate();
    daemon.waitForFinished();
}

bool BenchmarkBus::start()
{
    daemon.start(QStringLiteral("dbus-daemon"),
                 { QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address=1") });
    if (!daemon.waitForStarted() || !daemon.waitForReadyRead(10000))
        return false;
    busAddress = daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress);
    return true;
}
