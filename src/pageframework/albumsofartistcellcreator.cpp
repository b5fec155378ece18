#include "albumsofartistcellcreator.h"

#include "albumart/albumartloader.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "zeltime.h"

AlbumsOfArtistCellCreator::AlbumsOfArtistCellCreator(AlbumArtLoader* artLoader,
                                                     const AlbumColumns& albumColumns,
                                                     QObject* parent)
    : CellPainter(parent)
    , loader(artLoader)
    , columns(albumColumns)
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
{
    AlbumsOfArtistContentItem prototype;
    setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
}

AlbumsOfArtistCellCreator::~AlbumsOfArtistCellCreator() = default;

void AlbumsOfArtistCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<AlbumsOfArtistContentItem*>(cell);
    if (!item || !isRow(index))
        return;

    QString title = field(index, columns.album).toString();
    if (title.isEmpty())
        title = unknownAlbumText;
    setPlain(item->titleLabelWidget(), title);
    setPlain(item->subtitleLabelWidget(),
             qtTrId("qtn_musi_song_number", field(index, columns.trackCount).toInt()));
    setPlain(item->sideBottomLabelWidget(),
             ZelTime::timeString(field(index, columns.length).toInt(), false));

    if (loader) {
        const QString flavor = QStringLiteral("common");
        const QString artArtist = artistLine(field(index, columns.artist).toString()).artArtist;
        showCover(item->imageWidget(), loader,
                  loader->artFromCache(title, artArtist, AlbumArtType::AlbumArt, flavor, true),
                  index, columns.album, columns.artist, AlbumArtType::AlbumArt, flavor);
    }
}
