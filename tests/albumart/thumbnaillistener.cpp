#include "thumbnaillistener.h"

#include "albumart/thumbnailerthread.h"

#include <QThread>

ThumbnailListener::ThumbnailListener(ThumbnailerThread* worker)
    : worker(worker)
{
    if (worker) {
        worker->registerListener(this, SLOT(thumbnailReadySlot(AlbumArtCacheItem, QImage)),
                                 SLOT(thumbnailNotFoundSlot(AlbumArtCacheItem, QImage)));
    }
}

ThumbnailListener::~ThumbnailListener()
{
    if (worker)
        worker->unregisterListener(this);
}

void ThumbnailListener::thumbnailReadySlot(AlbumArtCacheItem item, QImage image)
{
    answers.append({ true, item, image, QThread::currentThread() == thread() });
    emit answered();
}

void ThumbnailListener::thumbnailNotFoundSlot(AlbumArtCacheItem item, QImage image)
{
    answers.append({ false, item, image, QThread::currentThread() == thread() });
    emit answered();
}
