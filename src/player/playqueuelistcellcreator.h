#ifndef PLAYQUEUELISTCELLCREATOR_H
#define PLAYQUEUELISTCELLCREATOR_H

#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"
#include "pageframework/cellpainter.h"
#include "playqueuecontentitem.h"

class AlbumArtLoader;

// Fills the rows of the play queue from the queue model: title, artist (or "various artists"),
// length and the album's thumbnail, with the playing song's rows in the accent colour.
class PlayQueueListCellCreator : public CellPainter,
                                 public MAbstractCellCreator<PlayQueueContentItem>
{
    Q_OBJECT

public:
    PlayQueueListCellCreator(AlbumArtLoader* loader, const SongColumns& columns, QObject* parent);
    ~PlayQueueListCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

private:
    AlbumArtLoader* loader;
    SongColumns columns;
};

#endif // PLAYQUEUELISTCELLCREATOR_H
