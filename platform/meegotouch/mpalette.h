#ifndef MPALETTE_H
#define MPALETTE_H

#include <QColor>

// The colours of the dark theme: light text on black with one accent colour.
class MPalette
{
public:
    MPalette();

    QColor firstAccentColor() const;
    QColor secondAccentColor() const;
    QColor defaultColor() const;   // primary text
    QColor secondaryColor() const; // secondary text
    QColor disabledColor() const;
    QColor backgroundColor() const;
    QColor panelColor() const;   // bars, menus, banners
    QColor pressedColor() const; // background of a pressed item
};

#endif // MPALETTE_H
