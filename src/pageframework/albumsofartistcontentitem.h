#ifndef ALBUMSOFARTISTCONTENTITEM_H
#define ALBUMSOFARTISTCONTENTITEM_H

#include "mdetailedlistitem.h"

// A row of an artist's page: a thumbnail at the left, the title over the subtitle (the number
// of songs) and the length at the right end of the subtitle line. The artist's albums, its
// songs without an album and all its songs show in such rows.
class AlbumsOfArtistContentItem : public MDetailedListItem
{
    Q_OBJECT

public:
    explicit AlbumsOfArtistContentItem(QGraphicsItem* parent = nullptr);
    ~AlbumsOfArtistContentItem() override;
};

#endif // ALBUMSOFARTISTCONTENTITEM_H
