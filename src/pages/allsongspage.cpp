#include "allsongspage.h"

AllSongsPage::AllSongsPage(MainWindow* window, QVariant deviceEmpty)
    : QuintaveilPage(window, deviceEmpty)
{
    setTitle(qtTrId("qtn_musi_all_songs"));
    finishPageCreation(SongObjectMenu);
}

AllSongsPage::~AllSongsPage() = default;

void AllSongsPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
