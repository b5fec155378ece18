#include "songsofartistcellcreator.h"

#include "mlabel.h"

SongsOfArtistCellCreator::SongsOfArtistCellCreator(const SongColumns& songColumns,
                                                   QObject* parent)
    : CellPainter(parent)
    , columns(songColumns)
{
    // Measured once: every row of the list has the size of a one-line song row.
    SongItem probe;
    probe.setTitle(QStringLiteral("title"));
    probe.setInfo(QStringLiteral("6:66"));
    probe.setStyleName(QStringLiteral("CommonSmallPanelInverted"));
    setCellSize(probe.preferredSize());
}

SongsOfArtistCellCreator::~SongsOfArtistCellCreator() = default;

void SongsOfArtistCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<SongCollectionListItem*>(cell);
    if (!item || !isRow(index))
        return;
    paintSongRow(item, index, columns, QStringLiteral("CommonSingleTitleInverted"),
                 QStringLiteral("CommonSingleTitleAccented"));
    setPlain(item->titleLabel(), field(index, columns.title).toString());
}
