#ifndef ALBUMSOFARTISTCELLCREATOR_H
#define ALBUMSOFARTISTCELLCREATOR_H

#include "albumsofartistcontentitem.h"
#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"

#include <QString>
#include <QVariant>

class AlbumArtLoader;

// Draws the album rows of an artist's page: the cover, the title (the unknown-album text for
// an album without one), the number of songs and the total length. Covers come from the
// page's loader, asked with the row's index; a cover found only among the generated ones
// shows at once and the real one is asked for.
class AlbumsOfArtistCellCreator : public CellPainter,
                                  public MAbstractCellCreator<AlbumsOfArtistContentItem>
{
    Q_OBJECT

public:
    AlbumsOfArtistCellCreator(AlbumArtLoader* loader, const AlbumColumns& columns, QObject* parent);
    ~AlbumsOfArtistCellCreator() override;

    // The artist of the page; the rows do not show it.
    void setArtistName(const QString& name) { artist = name; }
    QString artistName() const { return artist; }

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    AlbumArtLoader* loader;
    AlbumColumns columns;
    QString artist;
    QString unknownAlbumText;
};

#endif // ALBUMSOFARTISTCELLCREATOR_H
