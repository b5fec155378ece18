#include "songsofartistgroupheadercellcreator.h"

#include <QModelIndex>

SongsOfArtistGroupHeaderCellCreator::SongsOfArtistGroupHeaderCellCreator(QObject* parent)
    : QObject(parent)
{
}

SongsOfArtistGroupHeaderCellCreator::~SongsOfArtistGroupHeaderCellCreator() = default;

void SongsOfArtistGroupHeaderCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* header = qobject_cast<SongsOfArtistGroupHeader*>(cell);
    if (!header || !index.isValid())
        return;
    header->setTitle(index.data(Qt::DisplayRole).toString());
}
