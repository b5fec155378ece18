#pragma once

#include <QByteArray>
#include <QProcess>

// A session bus of the benchmark's own, so that a benchmark runs alike from a desktop and a
// build machine: started, it is the session bus of this process and of the programs it starts
// (DBUS_SESSION_BUS_ADDRESS); it ends with the object.
class BenchmarkBus
{
public:
    BenchmarkBus() = default;
    ~BenchmarkBus();
    BenchmarkBus(const BenchmarkBus&) = delete;
    BenchmarkBus& operator=(const BenchmarkBus&) = delete;

    bool start();
    // The bus's address, once started.
    QByteArray address() const { return busAddress; }

private:
    QProcess daemon;
    QByteArray busAddress;
};
