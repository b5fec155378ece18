#ifndef COVERLISTENER_H
#define COVERLISTENER_H

#include "albumart/albumartcacheitem.h"

#include <QImage>
#include <QObject>

class ThumbnailerThread;

// Counts the thumbnailer's answers, keeping none of them.
class CoverListener : public QObject
{
    Q_OBJECT

public:
    explicit CoverListener(ThumbnailerThread* worker);
    ~CoverListener() override;

    int ready = 0;
    int notFound = 0;

signals:
    void answered();

private slots:
    void thumbnailReadySlot(AlbumArtCacheItem item, QImage image);
    void thumbnailNotFoundSlot(AlbumArtCacheItem item, QImage image);

private:
    ThumbnailerThread* worker;
};

#endif // COVERLISTENER_H
