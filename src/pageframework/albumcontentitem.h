#ifndef ALBUMCONTENTITEM_H
#define ALBUMCONTENTITEM_H

#include "mdetailedlistitem.h"

class QGraphicsGridLayout;

// An album row: the cover thumbnail on the left, the title above the artist line, and a short
// text (the number of songs) at the right end of the artist line.
class AlbumContentItem : public MDetailedListItem
{
    Q_OBJECT

public:
    explicit AlbumContentItem(QGraphicsItem* parent = nullptr);
    ~AlbumContentItem() override;

protected:
    QGraphicsLayout* createLayout() override;
    void clearLayout() override;

private:
    QGraphicsGridLayout* grid = nullptr;
};

#endif // ALBUMCONTENTITEM_H
