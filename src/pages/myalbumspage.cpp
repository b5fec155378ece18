#include "myalbumspage.h"

MyAlbumsPage::MyAlbumsPage(MainWindow* window, QVariant deviceEmpty)
    : QuintaveilPage(window, deviceEmpty)
{
    setTitle(qtTrId("qtn_musi_albums_container"));
    finishPageCreation(CollectionObjectMenu);
}

MyAlbumsPage::~MyAlbumsPage() = default;

void MyAlbumsPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
