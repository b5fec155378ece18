#ifndef ALLSONGSCELLCREATOR_H
#define ALLSONGSCELLCREATOR_H

#include "cellpainter.h"
#include "common/parlovance.h"
#include "data/modelcolumns.h"
#include "mabstractcellcreator.h"
#include "songcollectionitem.h"

#include <QString>
#include <QVariant>

// Draws the rows of the all-songs list: the title with the favourite mark, "artist | album"
// below it and the length at the right. The playing song is accented; while the page filters,
// the parts of title and subtitle that match the filter text are highlighted.
class AllSongsCellCreator : public CellPainter, public MAbstractCellCreator<SongCollectionItem>
{
    Q_OBJECT

public:
    AllSongsCellCreator(const SongColumns& columns, QObject* parent);
    ~AllSongsCellCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;
    QSizeF cellSize() const override;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);
    void goToPage(Parlovance::ParlovancePages page);

private:
    SongColumns columns;
    QString unknownArtistText;
    QString unknownAlbumText;
};

#endif // ALLSONGSCELLCREATOR_H
