#include "albumslistcellcreator.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlocale.h"

AlbumsListCellCreator::AlbumsListCellCreator(AlbumArtLoader* artLoader,
                                             const AlbumColumns& albumColumns, QObject* parent)
    : CellPainter(parent)
    , loader(artLoader)
    , columns(albumColumns)
{
    {
        AlbumContentItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

AlbumsListCellCreator::~AlbumsListCellCreator() = default;

void AlbumsListCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<AlbumContentItem*>(cell);
    if (!item || !isRow(index))
        return;

    const QString album = field(index, columns.album).toString();
    const ArtistLine artist = artistLine(field(index, columns.artist).toString());
    // The system's own text may hold length variants; only the first fits beside the count.
    const QString shownArtist = artist.shown == qtTrId("qtn_musi_unknown_artist")
                                    ? Constants::firstLengthVariant(artist.shown)
                                    : artist.shown;
    setHighlighted(item->titleLabelWidget(), album);
    setHighlighted(item->subtitleLabelWidget(), shownArtist);
    setPlain(item->sideBottomLabelWidget(),
             MLocale().formatNumber(field(index, columns.trackCount).toInt()));

    if (loader) {
        showCover(item->imageWidget(), loader,
                  loader->artFromCache(album, artist.artArtist, AlbumArtType::AlbumArt,
                                       QStringLiteral("common"), true),
                  index, columns.album, columns.artist, AlbumArtType::AlbumArt,
                  QStringLiteral("common"));
    }
}
