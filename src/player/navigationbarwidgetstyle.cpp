#include "navigationbarwidgetstyle.h"

NavigationBarWidgetStyle::NavigationBarWidgetStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

NavigationBarWidgetStyle::~NavigationBarWidgetStyle() = default;
