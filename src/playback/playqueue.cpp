#include "playqueue.h"

#include "data/containermodel.h"
#include "data/modelcolumns.h"
#include "mafwgeneralsourceplaylist.h"
#include "mafwshared.h"
#include "playback/audiobookfilterproxymodel.h"
#include "playback/playitem.h"
#include "playback/shuffleproxymodel.h"

namespace {
// The queue holds song models only.
const SongColumns Columns;
} // namespace

PlayQueue::PlayQueue()
    : id(MafwPlaylist::getNewPlaylistId())
    , queued(new ContainerModel)
    , filter(new AudiobookFilterProxyModel(Columns.genre, nullptr))
    , shuffle(new ShuffleProxyModel)
{
    filter->setSourceModel(queued);
    shuffle->setSourceModel(filter.data());
    published = new MafwGeneralSourcePlaylist(id, QString(), QStringLiteral("MafwTrackerSource"));
    MafwShared::instance()->publishPlaylist(published);
    published->setUnderlyingModel(shuffle);
}

PlayQueue::~PlayQueue()
{
    MafwShared::instance()->unPublishPlaylist(id);
    delete queued;
    // The controller keeps a guarded pointer to the playlist; nobody else holds it.
    delete published;
}

QString PlayQueue::playlistId() const
{
    return id;
}
MafwGeneralSourcePlaylist* PlayQueue::playlist() const
{
    return published;
}
ContainerModel* PlayQueue::container() const
{
    return queued;
}
AudiobookFilterProxyModel* PlayQueue::audiobookFilter() const
{
    return filter.data();
}
QSharedPointer<ShuffleProxyModel> PlayQueue::shuffleProxy() const
{
    return shuffle;
}

QAbstractItemModel* PlayQueue::model() const
{
    return published->underlyingModel().data();
}

int PlayQueue::rowCount() const
{
    QAbstractItemModel* rows = model();
    return rows ? rows->rowCount() : 0;
}

QVariant PlayQueue::cell(int row, int column) const
{
    QAbstractItemModel* rows = model();
    if (!rows || column < 0 || column >= rows->columnCount() || row < 0 || row >= rows->rowCount())
        return QVariant();
    return rows->index(row, column).data(Qt::DisplayRole);
}

PlayItem PlayQueue::item(int row) const
{
    PlayItem song;
    song.contentType = PlaybackEnums::SongContent;
    song.index = row;
    song.title = cell(row, Columns.title).toString();
    song.album = cell(row, Columns.album).toString();
    song.artist = cell(row, Columns.artist).toString();
    song.genre = cell(row, Columns.genre).toString();
    song.songUri = cell(row, Columns.uri).toString();
    song.songId = cell(row, Columns.songId).toInt();
    song.albumId = cell(row, Columns.albumId).toInt();
    song.duration = cell(row, Columns.length).toInt();
    return song;
}

bool PlayQueue::hasSeveralAlbums() const
{
    const int column = Columns.albumId;
    if (!queued || column >= queued->columnCount())
        return false;
    const QVariant first = queued->index(0, column).data();
    for (int row = 1; row < queued->rowCount(); ++row) {
        if (queued->index(row, column).data() != first)
            return true;
    }
    return false;
}
