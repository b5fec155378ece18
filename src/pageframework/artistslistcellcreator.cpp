#include "artistslistcellcreator.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "mimagewidget.h"
#include "mlabel.h"

#include <QStringList>

ArtistsListCellCreator::ArtistsListCellCreator(AlbumArtLoader* artLoader,
                                               const ArtistColumns& artistColumns, QObject* parent)
    : CellPainter(parent)
    , loader(artLoader)
    , columns(artistColumns)
{
    {
        ArtistContentItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

ArtistsListCellCreator::~ArtistsListCellCreator() = default;

void ArtistsListCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<ArtistContentItem*>(cell);
    if (!item || !isRow(index))
        return;

    item->setTitle(QString());
    item->setSubtitle(QString());
    item->setLayoutPosition(M::CenterPosition);
    item->setIconStyle(MDetailedListItem::Thumbnail);

    const QString artist = field(index, columns.artist).toString();
    QStringList albums = field(index, columns.albums)
                             .toString()
                             .split(QLatin1Char('\t'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    albums.removeDuplicates();

    QString albumLine = albums.size() == 1 ? albums.first()
                                           : qtTrId("qtn_musi_album_number").arg(albums.size());
    // The system's own text may hold length variants; only the first fits beside the picture.
    if (albumLine == qtTrId("qtn_musi_unknown_album"))
        albumLine = Constants::firstLengthVariant(albumLine);

    if (loader) {
        showCover(item->imageWidget(), loader,
                  loader->artistArtFromCache(albums, artist, AlbumArtType::ArtistArt,
                                             QStringLiteral("common"), true, nullptr),
                  index, columns.albums, columns.artist, AlbumArtType::ArtistArt,
                  QStringLiteral("common"));
    }

    setHighlighted(item->titleLabelWidget(), artist);
    // A count of albums is no text of the artist's: it is never marked.
    if (field(index, columns.albumCount).toInt() < 2)
        setHighlighted(item->subtitleLabelWidget(), albumLine);
    else
        setPlain(item->subtitleLabelWidget(), albumLine);
}
