#ifndef PLAYQUEUELISTCELLCREATOR_H
#define PLAYQUEUELISTCELLCREATOR_H

#include "mabstractcellcreator.h"
#include "playqueuecontentitem.h"

#include <QHash>
#include <QObject>
#include <QString>

class AlbumArtLoader;

// Fills the rows of the play queue from the queue model: title, artist (or "various artists"),
// length and the album's thumbnail, with the playing song's rows in the accent colour.
class PlayQueueListCellCreator : public QObject, public MAbstractCellCreator<PlayQueueContentItem>
{
public:
    // columns: the queue model's column numbers by their names (the data keys).
    PlayQueueListCellCreator(AlbumArtLoader* loader, QHash<QString, int> columns,
                             QObject* parent);
    ~PlayQueueListCellCreator() override;

    // The queue model got its columns (it has none while empty).
    void setColumns(const QHash<QString, int>& columns);

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

private:
    AlbumArtLoader* loader;
    int titleColumn = 0;
    int artistColumn = 0;
    int lengthColumn = 0;
    int albumColumn = 0;
    int songIdColumn = 0;
};

#endif // PLAYQUEUELISTCELLCREATOR_H
