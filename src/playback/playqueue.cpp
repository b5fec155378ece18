#include "playqueue.h"

#include "common/constants.h"
#include "data/containermodel.h"
#include "mafwgeneralsourceplaylist.h"
#include "mafwshared.h"
#include "playback/audiobookfilterproxymodel.h"
#include "playback/playitem.h"
#include "playback/shuffleproxymodel.h"

namespace {
// The container's column that tells spoken word from music.
const int GenreColumn = 6;
} // namespace

PlayQueue::PlayQueue()
    : id(MafwPlaylist::getNewPlaylistId())
    , queued(new ContainerModel)
    , filter(new AudiobookFilterProxyModel(GenreColumn, nullptr))
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

QVariant PlayQueue::cell(int row, const QString& name) const
{
    QAbstractItemModel* rows = model();
    const int column = findColumn(name);
    if (!rows || column < 0 || row < 0 || row >= rows->rowCount())
        return QVariant();
    return rows->index(row, column).data(Qt::DisplayRole);
}

PlayItem PlayQueue::item(int row) const
{
    PlayItem song;
    song.contentType = PlayState::SongContent;
    song.index = row;
    song.title = cell(row, Constants::SongTitle).toString();
    song.album = cell(row, Constants::AlbumName).toString();
    song.artist = cell(row, Constants::ArtistName).toString();
    song.genre = cell(row, Constants::Genre).toString();
    song.songUri = cell(row, Constants::SongUri).toString();
    song.songId = cell(row, Constants::SongId).toInt();
    song.albumId = cell(row, Constants::AlbumId).toInt();
    song.duration = cell(row, Constants::SongLength).toInt();
    return song;
}

int PlayQueue::findColumn(const QString& name, QAbstractItemModel* model) const
{
    const QAbstractItemModel* target = model ? model : queued;
    for (int column = 0; column < target->columnCount(); ++column) {
        if (target->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() == name)
            return column;
    }
    return -1;
}

bool PlayQueue::hasSeveralAlbums() const
{
    const int column = findColumn(Constants::AlbumId);
    if (column < 0)
        return false;
    const QVariant first = queued->index(0, column).data();
    for (int row = 1; row < queued->rowCount(); ++row) {
        if (queued->index(row, column).data() != first)
            return true;
    }
    return false;
}
