#ifndef TWOROWSSONGITEM_H
#define TWOROWSSONGITEM_H

#include "songcollectionlistitem.h"

// The cell of a song row of an album of several artists: title above, artist below. A class
// of its own so that the list's recycler keeps it apart from the other song rows.
class TwoRowsSongItem : public SongCollectionListItem
{
    Q_OBJECT

public:
    explicit TwoRowsSongItem(QGraphicsItem* parent = nullptr);
    ~TwoRowsSongItem() override;
};

#endif // TWOROWSSONGITEM_H
