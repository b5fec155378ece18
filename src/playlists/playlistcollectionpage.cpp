#include "playlistcollectionpage.h"

PlaylistCollectionPage::PlaylistCollectionPage(MainWindow* window, QVariant deviceEmpty)
    : QuintaveilPage(window, deviceEmpty)
{
    setTitle(qtTrId("qtn_musi_playlists_container"));
    finishPageCreation(CollectionObjectMenuWithoutPlaylist);
}

PlaylistCollectionPage::~PlaylistCollectionPage() = default;

void PlaylistCollectionPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
