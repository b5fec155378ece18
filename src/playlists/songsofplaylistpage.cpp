#include "songsofplaylistpage.h"

SongsOfPlaylistPage::SongsOfPlaylistPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setTitle(QStringLiteral("Playlist"));
    finishPageCreation(SongObjectMenu);
}

SongsOfPlaylistPage::~SongsOfPlaylistPage() = default;

void SongsOfPlaylistPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
