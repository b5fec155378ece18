#include "songcollectionitem.h"

SongCollectionItem::SongCollectionItem(QGraphicsItem* parent)
    : SongCollectionListItem(TwoRows, parent)
{
}

SongCollectionItem::~SongCollectionItem() = default;
