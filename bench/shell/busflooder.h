#pragma once

#include "flood.h"

#include <QDBusMessage>

#include <functional>

// Another program flooding the session bus: sends callsPerSecond calls a second for the given
// seconds on a connection of its own ("flooder"), without waiting for the answers. The n-th
// call (from 0) is the message that call(n) makes.
class BusFlooder : public Flood
{
public:
    BusFlooder(std::function<QDBusMessage(qint64)> call, int callsPerSecond, int seconds);

protected:
    void run() override;

private:
    std::function<QDBusMessage(qint64)> call;
    int callsPerSecond;
    int seconds;
};
