#ifndef PLAYQUEUECONTENTITEM_H
#define PLAYQUEUECONTENTITEM_H

#include "pageframework/albumcontentitem.h"

// A row of the play queue: the album's thumbnail, the title above the artist, and the song's
// length at the right end of the artist's line. Laid out as an album row; a class of its own
// so that the queue's rows are recycled apart from the albums'.
class PlayQueueContentItem : public AlbumContentItem
{
    Q_OBJECT

public:
    explicit PlayQueueContentItem(QGraphicsItem* parent = nullptr);
    ~PlayQueueContentItem() override;
};

#endif // PLAYQUEUECONTENTITEM_H
