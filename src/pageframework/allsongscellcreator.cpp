#include "allsongscellcreator.h"

#include "common/constants.h"
#include "highlighter.h"
#include "mapplicationpage.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "playback/playstate.h"
#include "zeltime.h"

#include <QAbstractItemModel>

AllSongsCellCreator::AllSongsCellCreator(const QHash<QString, int>& columnTable,
                                         const QString* filter, QObject* parent)
    : QObject(parent)
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
    , highlighter(new Highlighter(this))
    , filterText(filter)
    , columns(columnTable)
    , ownerPage(qobject_cast<MApplicationPage*>(parent))
    , favoritedColumn(columnTable.value(Constants::Favorited, 0))
    , songLengthColumn(columnTable.value(Constants::SongLength, 0))
    , albumNameColumn(columnTable.value(Constants::AlbumName, 0))
    , artistNameColumn(columnTable.value(Constants::ArtistName, 0))
    , songTitleColumn(columnTable.value(Constants::SongTitle, 0))
    , songIdColumn(columnTable.value(Constants::SongId, 0))
{
    {
        SongCollectionItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

AllSongsCellCreator::~AllSongsCellCreator() = default;

QVariant AllSongsCellCreator::field(const QModelIndex& index, int column) const
{
    const QAbstractItemModel* model = index.model();
    if (!model)
        return QVariant();
    // The list model answers the role of column c on any item of the row; a list model that
    // makes items of column 0 only is asked on the row's own item.
    QModelIndex item = model->index(index.row(), column, index.parent());
    if (!item.isValid())
        item = index;
    return item.data(Qt::UserRole + column);
}

QString AllSongsCellCreator::subtitlePart(const QString& text, const QString& unknownText) const
{
    // Only the system's own text has length variants; a real name is shown whole.
    if (text == unknownText)
        return Constants::firstLengthVariant(text);
    return text;
}

QString AllSongsCellCreator::highlighted(const QString& text) const
{
    const QString filter = filterText ? *filterText : QString();
    return highlighter->highlight(text, filter);
}

void AllSongsCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<SongCollectionListItem*>(cell);
    if (!item || index.row() < 0 || index.column() < 0 || !index.model())
        return;

    const int id = field(index, songIdColumn).toInt();
    QString title = field(index, songTitleColumn).toString();

    const bool accented =
        (!ownerPage || ownerPage->sceneWindowState() != MSceneWindow::Disappearing)
        && id == PlayState::instance()->songId(PlayState::MusicMode);
    item->titleLabel()->setStyleName(accented ? QStringLiteral("CommonTitleAccented")
                                              : QStringLiteral("CommonTitleInverted"));
    const QString secondary = accented ? QStringLiteral("CommonSubTitleAccented")
                                       : QStringLiteral("CommonSubTitleInverted");
    item->subtitleLabel()->setStyleName(secondary);
    item->infoLabel()->setStyleName(secondary);

    QString artist = field(index, artistNameColumn).toString();
    if (artist.isEmpty())
        artist = unknownArtistText;
    QString album = field(index, albumNameColumn).toString();
    if (album.isEmpty())
        album = unknownAlbumText;
    QString subtitle = subtitlePart(artist, unknownArtistText) + QStringLiteral(" | ")
                       + subtitlePart(album, unknownAlbumText);
    QString length = ZelTime::timeString(field(index, songLengthColumn).toInt(), false);
    bool favorite = field(index, favoritedColumn).toBool();
    if (title.isEmpty()) {
        subtitle.clear();
        length.clear();
        favorite = false;
    }

    // Highlighted texts are markup with the row's own text escaped; without a filter the
    // texts are shown as they are, whatever characters they hold.
    const bool filtering = filterText && !filterText->isEmpty();
    const Qt::TextFormat format = filtering ? Qt::RichText : Qt::PlainText;
    item->titleLabel()->setTextFormat(format);
    item->subtitleLabel()->setTextFormat(format);
    item->infoLabel()->setTextFormat(Qt::PlainText);
    item->setTitle(highlighted(title));
    item->setSubtitle(highlighted(subtitle));
    item->setInfo(length);

    if (favorite)
        item->imageWidget()->setImage(Constants::IconToolbarFavoriteMarkWhite, QSize(32, 32));
    else
        item->imageWidget()->setPixmap(emptyPixmap);
}

QSizeF AllSongsCellCreator::cellSize() const
{
    SongCollectionItem probe;
    probe.setTitle(QStringLiteral("title"));
    probe.setSubtitle(QStringLiteral("subtitle"));
    probe.setInfo(QStringLiteral("6:66"));
    return probe.preferredSize();
}
