#ifndef PLAYQUEUECONTENTITEM_H
#define PLAYQUEUECONTENTITEM_H

#include "mdetailedlistitem.h"

class QGraphicsGridLayout;

// A row of the play queue: the album's thumbnail, the title above the artist, and the song's
// length at the right end of the artist's line.
class PlayQueueContentItem : public MDetailedListItem
{
    Q_OBJECT

public:
    explicit PlayQueueContentItem(QGraphicsItem* parent = nullptr);
    ~PlayQueueContentItem() override;

protected:
    QGraphicsLayout* createLayout() override;
    void clearLayout() override;

private:
    QGraphicsGridLayout* grid = nullptr;
};

#endif // PLAYQUEUECONTENTITEM_H
