#ifndef SONGSOFARTISTCELLCREATOR_H
#define SONGSOFARTISTCELLCREATOR_H

#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"
#include "songitem.h"

#include <QVariant>

// Draws the one-line song rows of an artist's songs, which stand under their album's header:
// the title, the favourite mark and the length; the playing song's row is accented.
class SongsOfArtistCellCreator : public CellPainter, public MAbstractCellCreator<SongItem>
{
    Q_OBJECT

public:
    SongsOfArtistCellCreator(const SongColumns& columns, QObject* parent);
    ~SongsOfArtistCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    SongColumns columns;
};

#endif // SONGSOFARTISTCELLCREATOR_H
