#include "playqueuecontentitem.h"

PlayQueueContentItem::PlayQueueContentItem(QGraphicsItem* parent)
    : AlbumContentItem(parent)
{
}

PlayQueueContentItem::~PlayQueueContentItem() = default;
