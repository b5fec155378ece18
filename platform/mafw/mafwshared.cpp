#include "mafwshared.h"

#include "mafwlogging.h"
#include "mafwplaylist.h"

#include <QDebug>

MafwShared* MafwShared::instance()
{
    static MafwShared* shared = new MafwShared;
    return shared;
}

MafwShared::MafwShared() = default;

MafwShared::~MafwShared() = default;

bool MafwShared::publishPlaylist(MafwPlaylist* playlist)
{
    if (!playlist) {
        qCWarning(lcRenderer) << Q_FUNC_INFO << "- no playlist given";
        return false;
    }
    m_playlists.insert(playlist->id(), playlist);
    return true;
}

void MafwShared::unPublishPlaylist(const QString& id)
{
    m_playlists.remove(id);
}

MafwPlaylist* MafwShared::playlist(const QString& id) const
{
    return m_playlists.value(id).data();
}
