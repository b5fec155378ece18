#include "latestactivitycontroller.h"

#include <QCoreApplication>

LatestActivityController* LatestActivityController::s_instance = nullptr;

LatestActivityController* LatestActivityController::instance()
{
    if (!s_instance)
        s_instance = new LatestActivityController;
    return s_instance;
}

LatestActivityController::LatestActivityController()
    : QObject(QCoreApplication::instance())
{
}

LatestActivityController::~LatestActivityController()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void LatestActivityController::writeActivities()
{
}
