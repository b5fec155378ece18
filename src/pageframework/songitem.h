#ifndef SONGITEM_H
#define SONGITEM_H

#include "songcollectionlistitem.h"

// The cell of a one-line song row: title, favourite mark and length. A class of its own so
// that the list's recycler keeps it apart from the other song rows.
class SongItem : public SongCollectionListItem
{
    Q_OBJECT

public:
    explicit SongItem(QGraphicsItem* parent = nullptr);
    ~SongItem() override;
};

#endif // SONGITEM_H
