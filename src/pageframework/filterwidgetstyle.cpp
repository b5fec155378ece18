#include "filterwidgetstyle.h"

FilterWidgetStyle::FilterWidgetStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

FilterWidgetStyle::~FilterWidgetStyle() = default;
