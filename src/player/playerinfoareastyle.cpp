#include "playerinfoareastyle.h"

PlayerInfoAreaStyle::PlayerInfoAreaStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

PlayerInfoAreaStyle::~PlayerInfoAreaStyle() = default;
