#include "latestactivitywidgetstyle.h"

LatestActivityWidgetStyle::LatestActivityWidgetStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

LatestActivityWidgetStyle::~LatestActivityWidgetStyle() = default;
