#include "songitem.h"

SongItem::SongItem(QGraphicsItem* parent)
    : SongCollectionListItem(SingleRow, parent)
{
}

SongItem::~SongItem() = default;
