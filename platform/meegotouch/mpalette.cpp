#include "mpalette.h"

MPalette::MPalette() = default;

QColor MPalette::firstAccentColor() const
{
    return QColor(0xef, 0x8a, 0x14);
}

QColor MPalette::secondAccentColor() const
{
    return QColor(0xf6, 0xb0, 0x5c);
}

QColor MPalette::defaultColor() const
{
    return QColor(0xff, 0xff, 0xff);
}

QColor MPalette::secondaryColor() const
{
    return QColor(0xa6, 0xa6, 0xa6);
}

QColor MPalette::disabledColor() const
{
    return QColor(0x5c, 0x5c, 0x5c);
}

QColor MPalette::backgroundColor() const
{
    return QColor(0x00, 0x00, 0x00);
}

QColor MPalette::panelColor() const
{
    return QColor(0x1c, 0x1c, 0x1c);
}

QColor MPalette::pressedColor() const
{
    return QColor(0x3a, 0x3a, 0x3a);
}
