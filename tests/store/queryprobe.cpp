#include "queryprobe.h"

#include "mafwtrackerconnection.h"

#include <QTest>

void QueryProbe::ready(QList<QStringList> r, bool c, const QVariant& k)
{
    rows = r;
    complete = c;
    cookie = k;
    ++results;
}

void QueryProbe::queryFailed(int code, QString message, const QVariant& k)
{
    errorCode = code;
    errorMessage = message;
    cookie = k;
    ++failures;
}

bool QueryProbe::run(MafwTrackerConnection* connection, const QString& sparql, int columns,
                     QList<QStringList>* rows, QString* error)
{
    QueryProbe probe;
    connection->asyncQuery(sparql, columns, &probe,
                           SLOT(ready(QList<QStringList>, bool, const QVariant&)),
                           SLOT(queryFailed(int, QString, const QVariant&)), QVariant());
    for (int waited = 0; probe.answers() == 0 && waited < 60000; waited += 10)
        QTest::qWait(10);
    if (rows)
        *rows = probe.rows;
    if (error)
        *error = probe.errorMessage;
    if (probe.failures)
        qWarning() << "query failed:" << probe.errorMessage << "\n" << sparql;
    return probe.results == 1 && probe.failures == 0;
}
