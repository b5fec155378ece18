#include "songsofartistpage.h"

SongsOfArtistPage::SongsOfArtistPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setTitle(QStringLiteral("Songs of artist"));
    finishPageCreation(SongObjectMenu);
}

SongsOfArtistPage::~SongsOfArtistPage() = default;

void SongsOfArtistPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
