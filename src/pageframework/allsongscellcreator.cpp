#include "allsongscellcreator.h"

#include "common/constants.h"
#include "mlabel.h"

namespace {

// Only the system's own text has length variants; a real name is shown whole.
QString subtitlePart(const QString& text, const QString& unknownText)
{
    return text == unknownText ? Constants::firstLengthVariant(text) : text;
}

} // namespace

AllSongsCellCreator::AllSongsCellCreator(const SongColumns& songColumns, QObject* parent)
    : CellPainter(parent)
    , columns(songColumns)
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
{
    {
        SongCollectionItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

AllSongsCellCreator::~AllSongsCellCreator() = default;

void AllSongsCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<SongCollectionListItem*>(cell);
    if (!item || !isRow(index))
        return;

    paintSongRow(item, index, columns, QStringLiteral("CommonTitleInverted"),
                 QStringLiteral("CommonTitleAccented"));
    const QString title = field(index, columns.title).toString();
    QString subtitle;
    // A row without a title shows nothing else either.
    if (title.isEmpty()) {
        setPlain(item->infoLabel(), QString());
        showFavourite(item->imageWidget(), false);
    } else {
        QString artist = field(index, columns.artist).toString();
        if (artist.isEmpty())
            artist = unknownArtistText;
        QString album = field(index, columns.album).toString();
        if (album.isEmpty())
            album = unknownAlbumText;
        subtitle = subtitlePart(artist, unknownArtistText) + QStringLiteral(" | ")
                   + subtitlePart(album, unknownAlbumText);
    }
    setHighlighted(item->titleLabel(), title);
    setHighlighted(item->subtitleLabel(), subtitle);
}

QSizeF AllSongsCellCreator::cellSize() const
{
    SongCollectionItem probe;
    probe.setTitle(QStringLiteral("title"));
    probe.setSubtitle(QStringLiteral("subtitle"));
    probe.setInfo(QStringLiteral("6:66"));
    return probe.preferredSize();
}
