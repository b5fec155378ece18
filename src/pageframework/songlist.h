#ifndef SONGLIST_H
#define SONGLIST_H

#include "mlist.h"

// A list of songs that redraws its visible rows whenever the playing song changes, so that
// the cells can mark the current song. Only the rows on screen are refreshed.
class SongList : public MList
{
    Q_OBJECT

public:
    explicit SongList(QGraphicsItem* parent);
    ~SongList() override;

    int currentSongId() const { return currentId; }
    int previousSongId() const { return previousId; }

    void updateVisibleItems();

private slots:
    void handleSongChanged();
    void handleSongCountChange(int newSongCount);

private:
    int previousId = -1;
    int currentId = -1;
};

#endif // SONGLIST_H
