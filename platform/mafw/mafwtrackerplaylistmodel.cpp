#include "mafwtrackerplaylistmodel.h"

#include "mafwlogging.h"
#include "mafwtrackermodelfactory.h"

#include <QDebug>
#include <QStringList>

MafwTrackerPlaylistModel::MafwTrackerPlaylistModel(MafwTrackerModelFactory* factory, int limit,
                                                   int playlistId)
    : MafwTrackerModel(factory, SongsOfUserPlaylist, limit, playlistId, 0)
{
}

void MafwTrackerPlaylistModel::insertItems(int itemType, const QList<int>& ids)
{
    factory()->appendToPlaylist(queryId(), itemType, ids);
}

void MafwTrackerPlaylistModel::removeItems(const QList<int>& rows)
{
    // Every position is turned into its entry first; removing one by one would shift the
    // positions that follow.
    QStringList entries;
    for (int row : rows) {
        if (row < 0 || row >= rowsHeld().size()) {
            qCDebug(lcModels) << Q_FUNC_INFO << "- no entry at row" << row;
            continue;
        }
        const QString entry = rowsHeld().at(row).key;
        if (!entries.contains(entry))
            entries.append(entry);
    }
    if (!entries.isEmpty())
        factory()->removePlaylistEntries(queryId(), entries);
}
