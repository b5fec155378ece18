#ifndef SONGSOFALBUMCELLCREATOR_H
#define SONGSOFALBUMCELLCREATOR_H

#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"
#include "songitem.h"

#include <QVariant>

// Draws the one-line rows of an album of one artist: the title, the favourite mark and the
// length; the playing song's row is accented.
class SongsOfAlbumCellCreator : public CellPainter, public MAbstractCellCreator<SongItem>
{
    Q_OBJECT

public:
    SongsOfAlbumCellCreator(const SongColumns& columns, QObject* parent);
    ~SongsOfAlbumCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;
    QSizeF cellSize() const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    SongColumns columns;
};

#endif // SONGSOFALBUMCELLCREATOR_H
