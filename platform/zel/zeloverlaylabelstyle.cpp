#include "zeloverlaylabelstyle.h"

ZelOverlayLabelStyle::ZelOverlayLabelStyle(QObject* parent)
    : MWidgetStyle(parent)
{
}

ZelOverlayLabelStyle::~ZelOverlayLabelStyle() = default;
