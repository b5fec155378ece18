#ifndef PLAYQUEUE_H
#define PLAYQUEUE_H

#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

class AudiobookFilterProxyModel;
class ContainerModel;
class MafwGeneralSourcePlaylist;
class QAbstractItemModel;
class ShuffleProxyModel;
struct PlayItem;

// The play queue: the models queued one after the other (a container), the audiobook filter
// and the shuffle proxy over them, published to the play controller as one playlist whose
// rows are the shuffle proxy's.
class PlayQueue
{
public:
    PlayQueue();
    ~PlayQueue();

    QString playlistId() const;
    MafwGeneralSourcePlaylist* playlist() const;
    ContainerModel* container() const;
    AudiobookFilterProxyModel* audiobookFilter() const;
    QSharedPointer<ShuffleProxyModel> shuffleProxy() const;

    // The rows in the order the controller plays them.
    QAbstractItemModel* model() const;
    int rowCount() const;
    // A cell of a row, the column as SongColumns names it; invalid where the row has none.
    QVariant cell(int row, int column) const;
    // The song of a row, as the queue's cells give it.
    PlayItem item(int row) const;
    bool hasSeveralAlbums() const;

private:
    QString id;
    ContainerModel* queued;
    QScopedPointer<AudiobookFilterProxyModel> filter;
    QSharedPointer<ShuffleProxyModel> shuffle;
    MafwGeneralSourcePlaylist* published;
};

#endif // PLAYQUEUE_H
