#include "myartistspage.h"

MyArtistsPage::MyArtistsPage(MainWindow* window, QVariant deviceEmpty)
    : QuintaveilPage(window, deviceEmpty)
{
    setTitle(qtTrId("qtn_musi_artists_container"));
    finishPageCreation(CollectionObjectMenu);
}

MyArtistsPage::~MyArtistsPage() = default;

void MyArtistsPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
