#ifndef LATESTACTIVITYCONTROLLER_H
#define LATESTACTIVITYCONTROLLER_H

#include <QObject>

// Keeps the record of recent listening. Minimal for now: the calls the main window makes.
class LatestActivityController : public QObject
{
    Q_OBJECT

public:
    static LatestActivityController* instance();

    // Writes the latest activities to the settings file.
    void writeActivities();

private:
    LatestActivityController();
    ~LatestActivityController() override;

    static LatestActivityController* s_instance;
};

#endif // LATESTACTIVITYCONTROLLER_H
