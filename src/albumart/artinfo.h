#ifndef ARTINFO_H
#define ARTINFO_H

#include "albumartcacheitem.h"

#include <QPixmap>

// The answer of a synchronous cover probe: a null pixmap when nothing is cached.
struct ArtInfo
{
    QPixmap pixmap;
    bool fromGenerated = false; // the probe went on to the generated covers
    AlbumArtCacheItem item;     // the request the probe built, with its file flags
};

#endif // ARTINFO_H
