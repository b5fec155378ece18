#include "testenvironment.h"

#include <QProcess>

// Every test binary fails on a string-based connection that Qt cannot resolve.
class TestConnectionGuard : public QObject
{
    Q_OBJECT

private:
    static int runProbe(const QString& function, QString* output)
    {
        QProcess probe;
        probe.setProcessChannelMode(QProcess::MergedChannels);
        probe.start(QStringLiteral(CONNECTION_GUARD_PROBE), { function });
        if (!probe.waitForFinished(60000))
            return -1;
        *output = QString::fromLocal8Bit(probe.readAll());
        return probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    }

private slots:
    void recognisesTheWarnings()
    {
        QVERIFY(TestEnvironment::isBadConnection(
            "QObject::connect: No such signal QObject::nothing() in x.cpp:1"));
        QVERIFY(TestEnvironment::isBadConnection("QObject::connect: No such slot A::b()"));
        QVERIFY(
            TestEnvironment::isBadConnection("QObject::connect: Cannot connect (nullptr)::x()"));
        QVERIFY(TestEnvironment::isBadConnection("QObject::disconnect: No such signal A::b()"));
        QVERIFY(
            TestEnvironment::isBadConnection("QMetaObject::invokeMethod: No such method A::b()"));
        QVERIFY(!TestEnvironment::isBadConnection("the connection to the store was lost"));
    }

    void failsTheTestThatConnectsWrongly_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("fails");
        QTest::newRow("resolved") << "resolvedConnection" << false;
        QTest::newRow("missing signal") << "missingSignal" << true;
        QTest::newRow("missing slot") << "missingSlot" << true;
        QTest::newRow("on a worker thread") << "missingSignalOnAWorker" << true;
    }

    void failsTheTestThatConnectsWrongly()
    {
        QFETCH(QString, function);
        QFETCH(bool, fails);
        QString output;
        const int code = runProbe(function, &output);
        QVERIFY2(code >= 0, qPrintable(output));
        QCOMPARE(code != 0, fails);
        QCOMPARE(output.contains(QLatin1String("unresolved connection")), fails);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestConnectionGuard)
#include "tst_connectionguard.moc"
