#include "playqueuelistcellcreator.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "zeltime.h"

#include <QModelIndex>

PlayQueueListCellCreator::PlayQueueListCellCreator(AlbumArtLoader* artLoader,
                                                   const SongColumns& songColumns, QObject* parent)
    : CellPainter(parent)
    , loader(artLoader)
    , columns(songColumns)
{
    {
        PlayQueueContentItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

PlayQueueListCellCreator::~PlayQueueListCellCreator() = default;

void PlayQueueListCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<PlayQueueContentItem*>(cell);
    if (!item || !isRow(index))
        return;

    const ArtistLine artist = artistLine(field(index, columns.artist).toString());
    const QString shownArtist = artist.shown == qtTrId("qtn_musi_unknown_artist")
                                    ? Constants::firstLengthVariant(artist.shown)
                                    : artist.shown;
    const QString album = field(index, columns.album).toString();
    setPlain(item->titleLabelWidget(), field(index, columns.title).toString());
    setPlain(item->subtitleLabelWidget(), shownArtist);
    setPlain(item->sideBottomLabelWidget(),
             ZelTime::timeString(field(index, columns.length).toInt(), false));

    const bool playing = isPlaying(field(index, columns.songId).toInt());
    item->titleLabelWidget()->setStyleName(playing ? QStringLiteral("CommonTitleAccented")
                                                   : QStringLiteral("CommonTitleInverted"));
    item->subtitleLabelWidget()->setStyleName(playing ? QStringLiteral("CommonSubTitleAccented")
                                                      : QStringLiteral("CommonSubTitleInverted"));
    item->sideBottomLabelWidget()->setStyleName(playing ? QStringLiteral("CommonSubTitleAccented")
                                                        : QStringLiteral("CommonItemInfoInverted"));

    showCover(item->imageWidget(), loader,
              loader->artFromCache(album, artist.artArtist, AlbumArtType::AlbumArt, QString(),
                                   true),
              index, columns.album, columns.artist, AlbumArtType::AlbumArt, QString());
}
