#include "coverlistener.h"

#include "albumart/thumbnailerthread.h"

CoverListener::CoverListener(ThumbnailerThread* worker)
    : worker(worker)
{
    worker->registerListener(this, SLOT(thumbnailReadySlot(AlbumArtCacheItem, QImage)),
                             SLOT(thumbnailNotFoundSlot(AlbumArtCacheItem, QImage)));
}

CoverListener::~CoverListener()
{
    worker->unregisterListener(this);
}

void CoverListener::thumbnailReadySlot(AlbumArtCacheItem, QImage image)
{
    if (!image.isNull())
        ++ready;
    emit answered();
}

void CoverListener::thumbnailNotFoundSlot(AlbumArtCacheItem, QImage)
{
    ++notFound;
    emit answered();
}
