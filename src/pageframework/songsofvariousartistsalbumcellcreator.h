#ifndef SONGSOFVARIOUSARTISTSALBUMCELLCREATOR_H
#define SONGSOFVARIOUSARTISTSALBUMCELLCREATOR_H

#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"
#include "tworowssongitem.h"

#include <QString>
#include <QVariant>

// Draws the rows of an album of several artists: the title above the song's own artist, the
// favourite mark and the length; the playing song's row is accented.
class SongsOfVariousArtistsAlbumCellCreator : public CellPainter,
                                              public MAbstractCellCreator<TwoRowsSongItem>
{
    Q_OBJECT

public:
    SongsOfVariousArtistsAlbumCellCreator(const SongColumns& columns, QObject* parent);
    ~SongsOfVariousArtistsAlbumCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;
    QSizeF cellSize() const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    SongColumns columns;
    QString unknownArtistText;
};

#endif // SONGSOFVARIOUSARTISTSALBUMCELLCREATOR_H
