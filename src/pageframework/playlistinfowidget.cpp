#include "playlistinfowidget.h"

#include "albumart/collageimagewidget.h"
#include "common/constants.h"
#include "mlabel.h"

#include <QGraphicsLinearLayout>

namespace {

// The first column whose header is the given data key; -1 when the model has none.
int columnOf(const QAbstractItemModel& model, const QString& key)
{
    for (int c = 0; c < model.columnCount(); ++c) {
        if (model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == key)
            return c;
    }
    return -1;
}

} // namespace

PlaylistInfoWidget::PlaylistInfoWidget(QSharedPointer<MafwTrackerModel> playlist,
                                       QGraphicsItem* parent)
    : SongPageInfoWidget(playlist, parent)
{
    labelColumn->addItem(songCount);
    labelColumn->addItem(length);
    labelColumn->addStretch(1);
    year->hide();
    genre->hide();
    // The base constructor cannot reach the override, and the first playlist a page opens
    // deserves a saved collage as much as the ones after it. The file is named before the
    // collage is composed, so the first composition is saved too.
    saveCollageUnderPlaylist();
    image->setModel(playlist);
}

PlaylistInfoWidget::~PlaylistInfoWidget() = default;

void PlaylistInfoWidget::setModel(QSharedPointer<MafwTrackerModel> playlist)
{
    SongPageInfoWidget::setModel(playlist);
    saveCollageUnderPlaylist();
    image->setModel(model);
}

void PlaylistInfoWidget::setCollageTitle(const QString& title)
{
    image->setTitle(title);
}

int PlaylistInfoWidget::collageIdOf(const QAbstractItemModel* playlist)
{
    const auto* tracker = qobject_cast<const MafwTrackerModel*>(playlist);
    if (!tracker)
        return 0;
    switch (tracker->queryType()) {
    case MafwTrackerModel::RecentlyAddedSongs:
    case MafwTrackerModel::RecentlyPlayedSongs:
    case MafwTrackerModel::MostPlayedSongs:
    case MafwTrackerModel::NeverPlayedSongs:
        // The automatic playlists go by minus their query type wherever a playlist id is passed.
        return -int(tracker->queryType());
    case MafwTrackerModel::SongsOfAlbum: {
        const int column = columnOf(*tracker, Constants::PlaylistId);
        return column < 0 ? 0 : tracker->index(0, column).data().toInt();
    }
    default:
        return 0;
    }
}

QString PlaylistInfoWidget::collageSaveName(int id)
{
    // The latest-activity grid reads a playlist's tile from the file of the same name.
    return id == 0 ? QStringLiteral("Playlist")
                   : QStringLiteral("%1_%2").arg(QStringLiteral("Playlist")).arg(id);
}

void PlaylistInfoWidget::saveCollageUnderPlaylist()
{
    const int id = collageIdOf(model.data());
    image->setSaveFile(true, collageSaveName(id));
    image->setCollageId(id);
}
