#include "songlist.h"

#include "data/listmodel.h"
#include "playback/playstate.h"

SongList::SongList(QGraphicsItem* parent)
    : MList(parent)
{
    PlayState* hub = PlayState::instance();
    currentId = hub->songId(PlayState::MusicMode);
    connect(hub, SIGNAL(songChanged(QString,QString,QString,int,bool)), this,
            SLOT(handleSongChanged()));
    connect(hub, SIGNAL(songCountChanged(int)), this, SLOT(handleSongCountChange(int)));
}

SongList::~SongList() = default;

void SongList::handleSongChanged()
{
    previousId = currentId;
    currentId = PlayState::instance()->songId(PlayState::MusicMode);
    updateVisibleItems();
}

void SongList::handleSongCountChange(int newSongCount)
{
    if (newSongCount != 0)
        return;
    previousId = -1;
    currentId = -1;
    updateVisibleItems();
}

void SongList::updateVisibleItems()
{
    auto* adapter = qobject_cast<ListModel*>(itemModel());
    if (adapter)
        adapter->emitRowChanged(firstVisibleItem(), lastVisibleItem());
}
