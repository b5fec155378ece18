#ifndef SONGLIST_H
#define SONGLIST_H

#include "mlist.h"

class CellPainter;

// A list of songs that marks the song that plays now: its painter learns every change of the
// playing song, and the rows on screen are redrawn then.
class SongList : public MList
{
    Q_OBJECT

public:
    explicit SongList(QGraphicsItem* parent);
    ~SongList() override;

    int currentSongId() const { return currentId; }
    int previousSongId() const { return previousId; }

    // Draws the rows with the creator and, when it is a CellPainter, tells it the playing
    // song from now on.
    void setPainter(MCellCreator* creator);

    void updateVisibleItems();

private slots:
    void handleSongChanged();
    void handleSongCountChange(int newSongCount);

private:
    void tellPainter();

    int previousId = -1;
    int currentId = -1;
};

#endif // SONGLIST_H
