#ifndef ARTINFO_H
#define ARTINFO_H

#include <QPixmap>

// The answer of a synchronous cover probe: a null pixmap when nothing is cached.
struct ArtInfo
{
    QPixmap pixmap;
    bool generated = false; // the pixmap is a generated cover, not a real one
};

#endif // ARTINFO_H
