#include "songsofalbumpage.h"

SongsOfAlbumPage::SongsOfAlbumPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setTitle(QStringLiteral("Album"));
    finishPageCreation(SongObjectMenu);
}

SongsOfAlbumPage::~SongsOfAlbumPage() = default;

void SongsOfAlbumPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
