#include "tworowssongitem.h"

TwoRowsSongItem::TwoRowsSongItem(QGraphicsItem* parent)
    : SongCollectionListItem(TwoRows, parent)
{
}

TwoRowsSongItem::~TwoRowsSongItem() = default;
