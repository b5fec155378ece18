#pragma once

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <functional>

// Another program flooding the session bus: sends callsPerSecond calls a second for the given
// seconds on a connection of its own ("flooder"), without waiting for the answers. The n-th
// call (from 0) is the message that call(n) makes. clock is started by whoever starts the
// flood, so that a prober reads the same time.
class BusFlooder : public QThread
{
public:
    BusFlooder(std::function<QDBusMessage(qint64)> call, int callsPerSecond, int seconds);

    std::atomic<qint64> endedAtMs { -1 };
    std::atomic<qint64> sent { 0 };
    QElapsedTimer clock;

protected:
    void run() override;

private:
    std::function<QDBusMessage(qint64)> call;
    int callsPerSecond;
    int seconds;
};
