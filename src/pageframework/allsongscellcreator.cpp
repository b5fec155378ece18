#include "allsongscellcreator.h"

#include "common/constants.h"
#include "mlabel.h"
#include "zeltime.h"

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

    const bool accented = isPlaying(field(index, columns.songId).toInt());
    item->titleLabel()->setStyleName(accented ? QStringLiteral("CommonTitleAccented")
                                              : QStringLiteral("CommonTitleInverted"));
    const QString secondary = accented ? QStringLiteral("CommonSubTitleAccented")
                                       : QStringLiteral("CommonSubTitleInverted");
    item->subtitleLabel()->setStyleName(secondary);
    item->infoLabel()->setStyleName(secondary);

    const QString title = field(index, columns.title).toString();
    QString artist = field(index, columns.artist).toString();
    if (artist.isEmpty())
        artist = unknownArtistText;
    QString album = field(index, columns.album).toString();
    if (album.isEmpty())
        album = unknownAlbumText;
    QString subtitle = subtitlePart(artist, unknownArtistText) + QStringLiteral(" | ")
                       + subtitlePart(album, unknownAlbumText);
    QString length = ZelTime::timeString(field(index, columns.length).toInt(), false);
    bool favourite = field(index, columns.favorited).toBool();
    if (title.isEmpty()) {
        subtitle.clear();
        length.clear();
        favourite = false;
    }

    setHighlighted(item->titleLabel(), title);
    setHighlighted(item->subtitleLabel(), subtitle);
    setPlain(item->infoLabel(), length);
    showFavourite(item->imageWidget(), favourite);
}

QSizeF AllSongsCellCreator::cellSize() const
{
    SongCollectionItem probe;
    probe.setTitle(QStringLiteral("title"));
    probe.setSubtitle(QStringLiteral("subtitle"));
    probe.setInfo(QStringLiteral("6:66"));
    return probe.preferredSize();
}
