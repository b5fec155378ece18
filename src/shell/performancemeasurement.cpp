#include "performancemeasurement.h"

#include <QDateTime>
#include <QTextStream>

PerformanceMeasurement* PerformanceMeasurement::s_instance = nullptr;

PerformanceMeasurement* PerformanceMeasurement::instance()
{
    if (!s_instance)
        s_instance = new PerformanceMeasurement;
    return s_instance;
}

void PerformanceMeasurement::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

PerformanceMeasurement::PerformanceMeasurement()
    : QObject(nullptr)
    , resultFile(QStringLiteral("performance_results.txt"))
{
    if (resultFile.exists() && resultFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream out(&resultFile);
        out << "\n\nMeasures performed: " << QDateTime::currentDateTime().toString() << "\n\n";
        out.flush();
        resultFile.close();
    }
}

PerformanceMeasurement::~PerformanceMeasurement()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void PerformanceMeasurement::startMeasure(const QString& id, int requiredMs,
                                          const QString& description)
{
    startTime.start();
    startTimes.insert(id, startTime);
    descriptions.insert(id, description);
    requiredTimes.insert(id, requiredMs);
}

void PerformanceMeasurement::stopMeasure(const QString& id)
{
    const auto started = startTimes.constFind(id);
    if (started == startTimes.constEnd())
        return;
    writeResult(id, int(started->elapsed()));
}

void PerformanceMeasurement::writeResult(const QString& id, int resultMs)
{
    if (resultFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        QTextStream out(&resultFile);
        out << QString(60, QLatin1Char('-')) << "\nMeasure id: " << id << "\n"
            << "Description: " << descriptions.value(id) << "\n"
            << "Result: " << resultMs << "ms\n"
            << "Required: <" << requiredTimes.value(id) << " ms\n\n";
        out.flush();
        resultFile.close();
    }
    startTimes.remove(id);
    descriptions.remove(id);
    requiredTimes.remove(id);
}
