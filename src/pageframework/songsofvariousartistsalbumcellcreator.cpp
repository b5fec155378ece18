#include "songsofvariousartistsalbumcellcreator.h"

#include "mlabel.h"

SongsOfVariousArtistsAlbumCellCreator::SongsOfVariousArtistsAlbumCellCreator(
    const SongColumns& songColumns, QObject* parent)
    : CellPainter(parent)
    , columns(songColumns)
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
{
    TwoRowsSongItem prototype;
    setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
}

SongsOfVariousArtistsAlbumCellCreator::~SongsOfVariousArtistsAlbumCellCreator() = default;

void SongsOfVariousArtistsAlbumCellCreator::updateCell(const QModelIndex& index,
                                                       MWidget* cell) const
{
    auto* item = qobject_cast<SongCollectionListItem*>(cell);
    if (!item || !isRow(index))
        return;
    paintSongRow(item, index, columns, QStringLiteral("CommonTitleInverted"),
                 QStringLiteral("CommonTitleAccented"));
    QString artist = field(index, columns.artist).toString();
    if (artist.isEmpty())
        artist = unknownArtistText;
    setPlain(item->titleLabel(), field(index, columns.title).toString());
    setPlain(item->subtitleLabel(), artist);
}

QSizeF SongsOfVariousArtistsAlbumCellCreator::cellSize() const
{
    TwoRowsSongItem probe;
    probe.setTitle(QStringLiteral("title"));
    probe.setSubtitle(QStringLiteral("subtitle"));
    probe.setInfo(QStringLiteral("6:66"));
    probe.setObjectName(QStringLiteral("CommonPanelInverted"));
    return probe.preferredSize();
}
