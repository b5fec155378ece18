#include "nowplayingwidgetstyle.h"

NowPlayingWidgetStyle::NowPlayingWidgetStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

NowPlayingWidgetStyle::~NowPlayingWidgetStyle() = default;
