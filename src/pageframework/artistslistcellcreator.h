#ifndef ARTISTSLISTCELLCREATOR_H
#define ARTISTSLISTCELLCREATOR_H

#include "artistcontentitem.h"
#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"

#include <QVariant>

class AlbumArtLoader;

// Draws the rows of the artists list: the artist's picture (asked for over the artist's
// albums, with the row's index as the cookie), the name, and below it the one album or the
// number of albums. Matches of the page's live filter are highlighted.
class ArtistsListCellCreator : public CellPainter, public MAbstractCellCreator<ArtistContentItem>
{
    Q_OBJECT

public:
    ArtistsListCellCreator(AlbumArtLoader* loader, const ArtistColumns& columns, QObject* parent);
    ~ArtistsListCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    AlbumArtLoader* loader;
    ArtistColumns columns;
};

#endif // ARTISTSLISTCELLCREATOR_H
