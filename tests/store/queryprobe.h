#ifndef QUERYPROBE_H
#define QUERYPROBE_H

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

class MafwTrackerConnection;

// A receiver for the tracker connection's asynchronous queries that records what arrives.
class QueryProbe : public QObject
{
    Q_OBJECT

public:
    QList<QStringList> rows;
    bool complete = false;
    QVariant cookie;
    int results = 0;
    int failures = 0;
    int errorCode = 0;
    QString errorMessage;

    int answers() const { return results + failures; }

    // Sends the text and waits for its answer; false on failure or time-out.
    static bool run(MafwTrackerConnection* connection, const QString& sparql, int columns,
                    QList<QStringList>* rows, QString* error = nullptr);

public slots:
    void ready(QList<QStringList> rows, bool complete, const QVariant& cookie);
    void queryFailed(int code, QString message, const QVariant& cookie);
};

#endif // QUERYPROBE_H
