#include "artistslistcellcreator.h"

#include "highlighter.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "mimagewidget.h"
#include "mlabel.h"

#include <QAbstractItemModel>
#include <QStringList>

ArtistsListCellCreator::ArtistsListCellCreator(AlbumArtLoader* artLoader, const QString& filter,
                                               QHash<QString, int> columns, QObject* parent)
    : QObject(parent)
    , loader(artLoader)
    , highlighter(new Highlighter(this))
    , filterText(&filter)
    , artistNameColumn(columns.value(Constants::ArtistName, 0))
    , albumNameColumn(columns.value(Constants::AlbumName, 0))
    , albumCountColumn(columns.value(Constants::NumberOfAlbums, 0))
{
    {
        ArtistContentItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
    qRegisterMetaType<QModelIndex>("QModelIndex");
}

ArtistsListCellCreator::~ArtistsListCellCreator() = default;

QVariant ArtistsListCellCreator::field(const QModelIndex& index, int column) const
{
    // The list model answers the role of column c on any item of the row.
    return index.data(Qt::UserRole + column);
}

void ArtistsListCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<ArtistContentItem*>(cell);
    if (!item || index.row() < 0 || index.column() < 0 || !index.model())
        return;

    item->setTitle(QString());
    item->setSubtitle(QString());
    item->setLayoutPosition(M::CenterPosition);
    item->setIconStyle(MDetailedListItem::Thumbnail);

    const QString artist = field(index, artistNameColumn).toString();
    const QString albumNames = field(index, albumNameColumn).toString();
    QStringList albums = albumNames.split(QLatin1Char('\t'), Qt::KeepEmptyParts,
                                          Qt::CaseSensitive);
    albums.removeDuplicates();

    QString albumLine = albums.size() == 1 ? albums.first()
                                           : qtTrId("qtn_musi_album_number").arg(albums.size());
    // The system's own text may hold length variants; only the first fits beside the picture.
    if (albumLine == qtTrId("qtn_musi_unknown_album"))
        albumLine = Constants::firstLengthVariant(albumLine);

    if (loader) {
        const QVariant cookie = QVariant::fromValue(QModelIndex(index));
        const ArtInfo cached = loader->artistArtFromCache(albums, artist, AlbumArtType::ArtistArt,
                                                          QStringLiteral("common"), true, nullptr);
        if (!cached.pixmap.isNull()) {
            item->imageWidget()->setPixmap(cached.pixmap);
            // A generated picture stands in until a real one is found.
            if (cached.fromGenerated)
                loader->loadAlbumArt(index, albumNameColumn, artistNameColumn, cookie, false,
                                     AlbumArtType::ArtistArt, QStringLiteral("common"));
        } else {
            if (const QPixmap* placeholder = loader->defaultPixmap())
                item->imageWidget()->setPixmap(*placeholder);
            loader->loadAlbumArt(index, albumNameColumn, artistNameColumn, cookie, true,
                                 AlbumArtType::ArtistArt, QStringLiteral("common"));
        }
    }

    const QString filter = filterText ? *filterText : QString();
    // Highlighted texts are markup with the row's own text escaped.
    const Qt::TextFormat format = filter.isEmpty() ? Qt::PlainText : Qt::RichText;
    item->titleLabelWidget()->setTextFormat(format);
    item->setTitle(highlighter->highlight(artist, filter));

    const int albumCount = index.data(Qt::UserRole + albumCountColumn).toInt();
    if (albumCount < 2) {
        item->subtitleLabelWidget()->setTextFormat(format);
        item->setSubtitle(highlighter->highlight(albumLine, filter));
    } else {
        item->subtitleLabelWidget()->setTextFormat(Qt::PlainText);
        item->setSubtitle(albumLine);
    }
}
