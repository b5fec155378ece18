#ifndef THUMBNAILLISTENER_H
#define THUMBNAILLISTENER_H

#include "albumart/albumartcacheitem.h"

#include <QImage>
#include <QList>
#include <QObject>

class ThumbnailerThread;

// Takes the thumbnailer's answers as a loader does, and records them.
class ThumbnailListener : public QObject
{
    Q_OBJECT

public:
    struct Answer
    {
        bool ready;
        AlbumArtCacheItem item;
        QImage image;
        bool onOwnThread; // the slot ran on the listener's thread
    };

    explicit ThumbnailListener(ThumbnailerThread* worker);
    // Unregisters first, as every listener must before it goes.
    ~ThumbnailListener() override;

    QList<Answer> answers;

signals:
    void answered();

private slots:
    void thumbnailReadySlot(AlbumArtCacheItem item, QImage image);
    void thumbnailNotFoundSlot(AlbumArtCacheItem item, QImage image);

private:
    ThumbnailerThread* worker;
};

#endif // THUMBNAILLISTENER_H
