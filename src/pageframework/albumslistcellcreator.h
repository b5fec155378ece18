#ifndef ALBUMSLISTCELLCREATOR_H
#define ALBUMSLISTCELLCREATOR_H

#include "albumcontentitem.h"
#include "cellpainter.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"

class AlbumArtLoader;

// Draws the rows of the albums list: the cover (asked for with the row's index as the
// cookie), the album's title, its artist or "various artists", and the number of its songs.
// Matches of the page's live filter are highlighted in title and artist.
class AlbumsListCellCreator : public CellPainter, public MAbstractCellCreator<AlbumContentItem>
{
    Q_OBJECT

public:
    AlbumsListCellCreator(AlbumArtLoader* loader, const AlbumColumns& columns, QObject* parent);
    ~AlbumsListCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

private:
    AlbumArtLoader* loader;
    AlbumColumns columns;
};

#endif // ALBUMSLISTCELLCREATOR_H
