#ifndef PLAYQUEUETITLEITEM_H
#define PLAYQUEUETITLEITEM_H

#include "mlistitem.h"

class MButton;

// The header of the open play queue: its title and a play button that closes the queue.
class PlayQueueTitleItem : public MListItem
{
    Q_OBJECT

public:
    explicit PlayQueueTitleItem(QGraphicsItem* parent = nullptr);
    ~PlayQueueTitleItem() override;

    MButton* closeButton() const { return button; }

signals:
    void clicked();

private:
    MButton* button;
};

#endif // PLAYQUEUETITLEITEM_H
