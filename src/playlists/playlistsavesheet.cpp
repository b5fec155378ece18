#include "playlistsavesheet.h"

#include "userplaylistutils.h"

PlaylistSaveSheet::PlaylistSaveSheet(QList<int> itemIds, int itemType)
    : MSaveAsDialog(true)
    , ids(itemIds)
    , type(itemType)
{
    setAutoCopyMode(MSaveAsDialog::NameOnly);
    connect(this, &MSaveAsDialog::saveFileAs, this, &PlaylistSaveSheet::handleSave);
}

PlaylistSaveSheet::~PlaylistSaveSheet() = default;

void PlaylistSaveSheet::handleSave(const QString& name)
{
    UserPlaylistUtils::createPlaylist(name, type, ids);
}
