#ifndef PERFORMANCEMEASUREMENT_H
#define PERFORMANCEMEASUREMENT_H

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QObject>
#include <QString>

// Times named operations and appends each result, with the limit it had to meet, to
// "performance_results.txt" in the working directory.
class PerformanceMeasurement : public QObject
{
public:
    static PerformanceMeasurement* instance();
    static void destroyInstance();

    // Starts (or starts again) the measure of id.
    void startMeasure(const QString& id, int requiredMs, const QString& description);
    // Writes the time since the measure of id started; nothing for a measure never started.
    void stopMeasure(const QString& id);
    void writeResult(const QString& id, int resultMs);

private:
    PerformanceMeasurement();
    ~PerformanceMeasurement() override;

    static PerformanceMeasurement* s_instance;

    QElapsedTimer startTime;
    QHash<QString, QElapsedTimer> startTimes;
    QHash<QString, QString> descriptions;
    QHash<QString, int> requiredTimes;
    QFile resultFile;
};

#endif // PERFORMANCEMEASUREMENT_H
