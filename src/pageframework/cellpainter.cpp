#include "cellpainter.h"

#include "highlighter.h"
#include "songcollectionlistitem.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "data/modelcolumns.h"
#include "mapplicationpage.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "zeltime.h"

#include <QAbstractItemModel>
#include <QModelIndex>
#include <QStringList>

CellPainter::CellPainter(QObject* parent)
    : QObject(parent)
    , highlighter(new Highlighter(this))
    , ownerPage(qobject_cast<MApplicationPage*>(parent))
{
    qRegisterMetaType<QModelIndex>("QModelIndex");
}

CellPainter::~CellPainter() = default;

void CellPainter::setFilterText(const QString& text)
{
    filter = text;
}

void CellPainter::setPlayingSongId(int songId)
{
    playingId = songId;
}

bool CellPainter::isRow(const QModelIndex& index)
{
    return index.row() >= 0 && index.column() >= 0 && index.model();
}

QVariant CellPainter::field(const QModelIndex& index, int column)
{
    const QAbstractItemModel* model = index.model();
    if (!model)
        return QVariant();
    // The list model answers the role of column c on any item of the row; a model that makes
    // items of column 0 only is asked on the row's own item.
    QModelIndex item = model->index(index.row(), column, index.parent());
    if (!item.isValid())
        item = index;
    return item.data(Qt::UserRole + column);
}

bool CellPainter::isPlaying(int songId) const
{
    if (ownerPage && ownerPage->sceneWindowState() == MSceneWindow::Disappearing)
        return false;
    return songId == playingId;
}

void CellPainter::setHighlighted(MLabel* label, const QString& text) const
{
    if (filter.isEmpty()) {
        setPlain(label, text);
        return;
    }
    label->setTextFormat(Qt::RichText);
    label->setText(highlighter->highlight(text, filter));
}

void CellPainter::setPlain(MLabel* label, const QString& text)
{
    // A title such as "<3" is shown as written, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

void CellPainter::showFavourite(MImageWidget* image, bool favourite)
{
    if (favourite)
        image->setImage(Constants::IconToolbarFavoriteMarkWhite, QSize(32, 32));
    else
        image->setPixmap(QPixmap());
}

void CellPainter::paintSongRow(SongCollectionListItem* item, const QModelIndex& index,
                               const SongColumns& columns, const QString& titleStyle,
                               const QString& accentedTitleStyle) const
{
    const bool accented = isPlaying(field(index, columns.songId).toInt());
    item->titleLabel()->setStyleName(accented ? accentedTitleStyle : titleStyle);
    const QString secondary = accented ? QStringLiteral("CommonSubTitleAccented")
                                       : QStringLiteral("CommonSubTitleInverted");
    item->subtitleLabel()->setStyleName(secondary);
    item->infoLabel()->setStyleName(secondary);
    setPlain(item->infoLabel(), ZelTime::timeString(field(index, columns.length).toInt(), false));
    showFavourite(item->imageWidget(), field(index, columns.favorited).toBool());
}

void CellPainter::showCover(MImageWidget* image, AlbumArtLoader* loader, const ArtInfo& cached,
                            const QModelIndex& index, int albumColumn, int artistColumn,
                            AlbumArtType::ArtType type, const QString& flavor)
{
    if (!loader)
        return;
    const QVariant cookie = QVariant::fromValue(QModelIndex(index));
    if (!cached.pixmap.isNull()) {
        image->setPixmap(cached.pixmap);
        // A generated cover stands in until a real one is found.
        if (cached.fromGenerated)
            loader->loadAlbumArt(index, albumColumn, artistColumn, cookie, false, type, flavor);
        return;
    }
    if (const QPixmap* placeholder = loader->defaultPixmap())
        image->setPixmap(*placeholder);
    loader->loadAlbumArt(index, albumColumn, artistColumn, cookie, true, type, flavor);
}

CellPainter::ArtistLine CellPainter::artistLine(const QString& performers)
{
    QStringList names = performers.split(QLatin1Char('\t'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    names.removeDuplicates();
    ArtistLine line;
    if (names.size() == 1) {
        line.shown = line.artArtist = names.first();
        return line;
    }
    line.shown = qtTrId("qtn_musi_various_artist");
    line.artArtist = line.shown;
    const QString unknown = qtTrId("qtn_musi_unknown_artist");
    for (const QString& name : qAsConst(names)) {
        if (name != unknown) {
            line.artArtist = name;
            break;
        }
    }
    return line;
}
