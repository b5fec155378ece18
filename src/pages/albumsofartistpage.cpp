#include "albumsofartistpage.h"

AlbumsOfArtistPage::AlbumsOfArtistPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setTitle(QStringLiteral("Artist"));
    finishPageCreation(CollectionObjectMenu);
}

AlbumsOfArtistPage::~AlbumsOfArtistPage() = default;

void AlbumsOfArtistPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
