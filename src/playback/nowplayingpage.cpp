#include "nowplayingpage.h"

NowPlayingPage::NowPlayingPage(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setTitle(qtTrId("qtn_musi_player"));
    finishPageCreation(NoObjectMenu);
}

NowPlayingPage::~NowPlayingPage() = default;

void NowPlayingPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
