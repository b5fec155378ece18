#include "songsofalbumcellcreator.h"

#include "mlabel.h"

SongsOfAlbumCellCreator::SongsOfAlbumCellCreator(const SongColumns& songColumns, QObject* parent)
    : CellPainter(parent)
    , columns(songColumns)
{
    SongItem prototype;
    setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
}

SongsOfAlbumCellCreator::~SongsOfAlbumCellCreator() = default;

void SongsOfAlbumCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<SongCollectionListItem*>(cell);
    if (!item || !isRow(index))
        return;
    paintSongRow(item, index, columns, QStringLiteral("CommonSingleTitleInverted"),
                 QStringLiteral("CommonSingleTitleAccented"));
    setPlain(item->titleLabel(), field(index, columns.title).toString());
}

QSizeF SongsOfAlbumCellCreator::cellSize() const
{
    SongItem probe;
    probe.setTitle(QStringLiteral("title"));
    probe.setInfo(QStringLiteral("6:66"));
    probe.setStyleName(QStringLiteral("CommonSmallPanelInverted"));
    return probe.preferredSize();
}
