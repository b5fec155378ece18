#ifndef SONGCOLLECTIONITEM_H
#define SONGCOLLECTIONITEM_H

#include "songcollectionlistitem.h"

// The cell of an all-songs row: title and favourite mark above, artist and album with the
// length below. A class of its own so that the list's recycler keeps it apart from the other
// song rows.
class SongCollectionItem : public SongCollectionListItem
{
    Q_OBJECT

public:
    explicit SongCollectionItem(QGraphicsItem* parent = nullptr);
    ~SongCollectionItem() override;
};

#endif // SONGCOLLECTIONITEM_H
