#include "playercontrolswidgetstyle.h"

PlayerControlsWidgetStyle::PlayerControlsWidgetStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

PlayerControlsWidgetStyle::~PlayerControlsWidgetStyle() = default;
