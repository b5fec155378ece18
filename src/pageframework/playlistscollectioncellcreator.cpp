#include "playlistscollectioncellcreator.h"

#include "common/shownplaylistname.h"
#include "mlabel.h"
#include "zeltime.h"

#include <QAbstractItemModel>

PlaylistsCollectionCellCreator::PlaylistsCollectionCellCreator(
    QObject* parent, const PlaylistColumns& playlistColumns)
    : CellPainter(parent)
    , columns(playlistColumns)
{
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

PlaylistsCollectionCellCreator::~PlaylistsCollectionCellCreator() = default;

void PlaylistsCollectionCellCreator::removeExtension(QString& name)
{
    name = shownPlaylistName(name);
}

void PlaylistsCollectionCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<SongCollectionListItem*>(cell);
    if (!item || !isRow(index))
        return;

    item->titleLabel()->setStyleName(QStringLiteral("CommonTitleInverted"));
    item->subtitleLabel()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
    item->infoLabel()->setStyleName(QStringLiteral("CommonItemInfoInverted"));

    // Automatic playlists are named by a text id; a user's name comes back as it is. The id
    // is looked up in its UTF-8 form so that no name is mangled by the locale's encoding.
    QString name = field(index, columns.name).toString();
    name = qtTrId(name.toUtf8().constData());
    removeExtension(name);
    setHighlighted(item->titleLabel(), name);

    const int songs = field(index, columns.trackCount).toInt();
    // The catalog formats the count itself (%Ln), in the locale's digits and plural form.
    item->setSubtitle(qtTrId("qtn_musi_song_number", songs));
    item->setInfo(ZelTime::timeString(field(index, columns.length).toInt(), false));
}
