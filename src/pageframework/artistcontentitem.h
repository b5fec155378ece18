#ifndef ARTISTCONTENTITEM_H
#define ARTISTCONTENTITEM_H

#include "mdetailedlistitem.h"

class QGraphicsGridLayout;
class QGraphicsWidget;

// An artist row: the artist's picture on the left, the name, and below it the artist's one
// album or the number of albums. Also the row of the songs without an artist or album.
class ArtistContentItem : public MDetailedListItem
{
    Q_OBJECT

public:
    explicit ArtistContentItem(QGraphicsItem* parent = nullptr);
    ~ArtistContentItem() override;

protected:
    QGraphicsLayout* createLayout() override;
    void clearLayout() override;

private:
    QGraphicsGridLayout* grid = nullptr;
    QGraphicsWidget* spacer = nullptr;
};

#endif // ARTISTCONTENTITEM_H
