#include "songlist.h"

#include "cellpainter.h"

#include "data/listmodel.h"
#include "mcellcreator.h"
#include "playback/playstate.h"

SongList::SongList(QGraphicsItem* parent)
    : MList(parent)
{
    PlayState* hub = PlayState::instance();
    currentId = hub->songId(PlayState::MusicMode);
    connect(hub, &PlayState::songChanged, this, &SongList::handleSongChanged);
    connect(hub, &PlayState::songCountChanged, this, &SongList::handleSongCountChange);
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

void SongList::setPainter(MCellCreator* creator)
{
    setCellCreator(creator);
    tellPainter();
}

void SongList::tellPainter()
{
    if (auto* painter = dynamic_cast<CellPainter*>(cellCreator()))
        painter->setPlayingSongId(currentId);
}

void SongList::updateVisibleItems()
{
    tellPainter();
    auto* adapter = qobject_cast<ListModel*>(itemModel());
    if (adapter)
        adapter->emitRowChanged(firstVisibleItem(), lastVisibleItem());
}
