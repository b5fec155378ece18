// A test program whose functions make connections that Qt cannot resolve; tst_connectionguard
// runs it and expects each such function to fail.

#include "testenvironment.h"

#include <QThread>

class ConnectionGuardProbe : public QObject
{
    Q_OBJECT

signals:
    void ping();

public slots:
    void pong() { }

private slots:
    void resolvedConnection() { QVERIFY(connect(this, SIGNAL(ping()), this, SLOT(pong()))); }

    void missingSignal() { connect(this, SIGNAL(noSuchSignal()), this, SLOT(pong())); }

    void missingSlot() { connect(this, SIGNAL(ping()), this, SLOT(noSuchSlot(int))); }

    void missingSignalOnAWorker()
    {
        QThread* worker = QThread::create([this] {
            QObject local;
            QObject::connect(&local, SIGNAL(noSuchSignal()), this, SLOT(pong()));
        });
        worker->start();
        QVERIFY(worker->wait(10000));
        delete worker;
    }
};

PARLOVANCE_TEST_MAIN_CORE(ConnectionGuardProbe)
#include "connectionguardprobe.moc"
