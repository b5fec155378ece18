#include "playlistscollectioncellcreator.h"

#include "mlabel.h"
#include "zeltime.h"

#include <QAbstractItemModel>
#include <QStringList>

namespace {

// The playlist file formats the library reads and the player plays.
const QStringList& playlistExtensions()
{
    static const QStringList extensions{ QStringLiteral("m3u"), QStringLiteral("m3u8"),
                                         QStringLiteral("pls"), QStringLiteral("xspf"),
                                         QStringLiteral("wpl"), QStringLiteral("asx") };
    return extensions;
}

} // namespace

PlaylistsCollectionCellCreator::PlaylistsCollectionCellCreator(QObject* parent,
                                                               const PlaylistColumns& playlistColumns)
    : CellPainter(parent)
    , columns(playlistColumns)
{
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

PlaylistsCollectionCellCreator::~PlaylistsCollectionCellCreator() = default;

void PlaylistsCollectionCellCreator::removeExtension(QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return;
    // A user's own name such as "Mr. Blue" has a dot too: only a playlist file's extension
    // goes.
    if (playlistExtensions().contains(name.mid(dot + 1), Qt::CaseInsensitive))
        name.truncate(dot);
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
