#include "songdetailview.h"

SongDetailView::SongDetailView(MainWindow* window)
    : QuintaveilPage(window, QVariant())
{
    setTitle(qtTrId("qtn_musi_properties"));
    finishPageCreation(NoObjectMenu);
}

SongDetailView::~SongDetailView() = default;

void SongDetailView::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
